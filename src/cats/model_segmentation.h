#pragma once

#include <QImage>
#include <QString>

#include <atomic>
#include <opencv2/core.hpp>

class SaliencyModel;

// The subject of a photo as the learned salient-object model sees it: its map, normalised,
// carried to the picture's size along the picture's own edges (guided filter), reduced to the
// region that matters (the largest, and what lies against it), with a soft edge.
namespace ModelSegmentation {

// Whether the raw map (the network's output, 0 to 1) shows a subject it is sure of. A photo of
// grass or a wall gives a faint, spread-out map; normalising it would make its brightest patch
// look like a subject.
bool showsSubject(const cv::Mat& raw);

// The soft foreground mask (0 to 255) at the input's size; null when the model sees no subject,
// when the work was cancelled, or on an error (described in `error`).
QImage foregroundMask(const QImage& image, SaliencyModel& model, QString* error = nullptr,
                      const std::atomic<bool>* cancelled = nullptr);

} // namespace ModelSegmentation
