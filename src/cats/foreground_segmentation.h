#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <atomic>
#include <optional>

// Separates the subject of a photo (a cat, usually) from its background without any model
// download: GrabCut on a reduced copy from a box where the subject is expected (the middle of
// the photo, around a detected cat face, or nearly all of a picture the user cropped to the
// cat); the mask is then carried back to full resolution with an edge-aware guided filter and a
// soft edge. When the answer is implausible it says there is no subject rather than cut the
// wrong thing.
namespace ForegroundSegmentation {

// How the picture frames its subject: a photo as taken, or cropped by the user around the cat.
enum class Framing { photo, aroundSubject };

struct Result {
    // The input's pixels where the foreground is, transparent elsewhere, trimmed to the
    // foreground's bounding box. Absent when no foreground was found or the work was cancelled.
    std::optional<QImage> cutout;
    // Where the cut-out lies in the input.
    QRect bounds;
    // A readable description when segmentation itself failed.
    QString error;
};

Result cutOut(const QImage& image, Framing framing = Framing::photo,
              const std::atomic<bool>* cancelled = nullptr);

// The picture's pixels under a soft mask of its size (0 to 255; faint values cleared already),
// trimmed to what the mask keeps. No cut-out when the mask keeps nothing.
Result cutOutWith(const QImage& image, const QImage& mask);

// The soft foreground mask (0 to 255) at the input's size, before trimming; empty when no
// foreground was found.
QImage foregroundMask(const QImage& image, Framing framing = Framing::photo,
                      QString* error = nullptr, const std::atomic<bool>* cancelled = nullptr);

} // namespace ForegroundSegmentation
