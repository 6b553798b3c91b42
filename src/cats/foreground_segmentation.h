#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <atomic>
#include <optional>

// Separates the subject of a photo (a cat, usually) from its background without any model
// download: how unlike the picture's border each pixel is in colour and fine texture, detected
// cat faces and a centre prior seed a GrabCut segmentation on a reduced copy, whose colour-only
// result loses what is textured like the surroundings; the mask is then carried back to full
// resolution with an edge-aware guided filter and a soft edge.
namespace ForegroundSegmentation {

struct Result {
    // The input's pixels where the foreground is, transparent elsewhere, trimmed to the
    // foreground's bounding box. Absent when no foreground was found or the work was cancelled.
    std::optional<QImage> cutout;
    // Where the cut-out lies in the input.
    QRect bounds;
    // A readable description when segmentation itself failed.
    QString error;
};

Result cutOut(const QImage& image, const std::atomic<bool>* cancelled = nullptr);

// The picture's pixels under a soft mask of its size (0 to 255; faint values cleared already),
// trimmed to what the mask keeps. No cut-out when the mask keeps nothing.
Result cutOutWith(const QImage& image, const QImage& mask);

// The soft foreground mask (0 to 255) at the input's size, before trimming; empty when no
// foreground was found.
QImage foregroundMask(const QImage& image, QString* error = nullptr,
                      const std::atomic<bool>* cancelled = nullptr);

} // namespace ForegroundSegmentation
