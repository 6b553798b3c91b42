#pragma once

#include "cats/foreground_segmentation.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>

#include <atomic>
#include <optional>

// Stateless operations on pictures for the photo editor. None modifies its input; every one
// returns a new picture or encoded bytes, or nothing on failure. Safe to call from any thread.
namespace ImageEditing {

// The picture as a complete PNG file.
std::optional<QByteArray> pngData(const QImage& image);

// The part of the picture inside `unitRect` (fractions of its width and height, origin top-left),
// expanded outwards to whole pixels and clipped to the picture. Nothing when that is empty.
std::optional<QImage> crop(const QImage& image, const QRectF& unitRect);

// The picture zoomed by `factor` about its centre on an unchanged canvas: above 1 the edges are
// cut off, below 1 a transparent border surrounds it. Nothing for factor ≤ 0, or within 0.001
// of 1 (no change: the caller keeps its picture).
std::optional<QImage> scaled(const QImage& image, double factor);

// The foreground of the encoded picture on a transparent background, trimmed to its bounding
// box, as PNG. Nothing when the bytes are not a picture or no foreground is found; a
// segmentation error is logged with the prefix "배경 제거 실패: ". Slow: run it off the main
// thread. When `cancelled` becomes true the work stops early and gives nothing.
std::optional<QByteArray> removeBackgroundPNG(const QByteArray& encoded,
                                              const std::atomic<bool>* cancelled = nullptr);
// The cut-out of the picture: by the learned model when one is installed (see
// SegmentationModelFile), whose answer, a subject or none, is the answer; by the built-in
// segmentation when there is no model. When a model file is there but cannot be loaded, the
// built-in method answers and `unusableModel` gets the reason.
// `framing` tells the built-in method whether the user cropped the picture to the cat.
ForegroundSegmentation::Result
cutOut(const QImage& picture, const std::atomic<bool>* cancelled = nullptr,
       QString* unusableModel = nullptr,
       ForegroundSegmentation::Framing framing = ForegroundSegmentation::Framing::photo);

// A cut-out as PNG, compressed lightly when it is large (the default level takes seconds on a
// 12-megapixel picture for a file only a little smaller).
std::optional<QByteArray> encodedCutout(const QImage& cutout);

// The same for a picture decoded already.
std::optional<QByteArray> removeBackgroundPNG(const QImage& picture,
                                              const std::atomic<bool>* cancelled = nullptr);

} // namespace ImageEditing
