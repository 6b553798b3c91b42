#pragma once

#include <QImage>

#include <opencv2/core.hpp>

// Moving pictures between Qt and OpenCV for the segmentations.
namespace OpenCvImage {

// A BGR copy of the image, with its transparent pixels flagged in `transparent` when asked.
cv::Mat toBgr(const QImage& image, cv::Mat* transparent = nullptr);

// `size` shrunk to fit `longSide` (never enlarged), aspect kept.
cv::Size fitted(cv::Size size, int longSide);

// An 8-bit single-channel matrix as a greyscale image.
QImage toGrayscale(const cv::Mat& mask);

// The soft mask (0 to 1, at any size) as the 8-bit mask of the full picture: resized, with a
// faint fringe cleared (an alpha too faint to see would keep the trimmed box large) and the
// picture's own transparent pixels kept transparent.
QImage fullMask(const cv::Mat& soft, cv::Size full, const cv::Mat& transparent);

} // namespace OpenCvImage
