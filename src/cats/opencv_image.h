#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <atomic>
#include <new>
#include <opencv2/core.hpp>

// Moving pictures between Qt and OpenCV for the segmentations.
namespace OpenCvImage {

// A BGR copy of the image, with its transparent pixels flagged in `transparent` when asked.
cv::Mat toBgr(const QImage& image, cv::Mat* transparent = nullptr);

// `size` shrunk to fit `longSide` (never enlarged), aspect kept.
cv::Size fitted(cv::Size size, int longSide);

// The smallest rectangle holding every pixel of an 8-bit greyscale image above `level`; empty
// when there is none.
QRect boundsAbove(const QImage& grey, int level);

// An 8-bit single-channel matrix as a greyscale image.
QImage toGrayscale(const cv::Mat& mask);

// Pictures smaller than this on either side have no subject to find.
inline constexpr int kMinSide = 16;

inline bool isCancelled(const std::atomic<bool>* cancelled) {
    return cancelled && cancelled->load(std::memory_order_relaxed);
}

// Runs a segmentation step, turning OpenCV's errors and a failed allocation into nothing with a
// readable reason in `error`.
template <typename Work>
QImage guarded(QString* error, Work work) {
    try {
        return work();
    } catch (const cv::Exception& e) {
        if (error)
            *error = QString::fromStdString(e.msg);
    } catch (const std::bad_alloc&) {
        if (error)
            *error = QStringLiteral("메모리가 부족합니다");
    }
    return {};
}

// A coarse map (CV_32F, 0 to 1, any size) carried to the size of `guide` (BGR, 8 bits) and
// shaped by the picture's own edges with a guided filter; `radius` gets the filter's radius.
cv::Mat alongEdges(const cv::Mat& guide, const cv::Mat& coarse, int* radius = nullptr);

// A refined map made into a soft edge about a pixel and a half wide (values past 0 and 1 are
// cut when the mask is made).
cv::Mat softEdge(const cv::Mat& refined);

// The soft mask (0 to 1, at any size) as the 8-bit mask of the full picture: resized, with a
// faint fringe cleared (an alpha too faint to see would keep the trimmed box large) and the
// picture's own transparent pixels kept transparent.
QImage fullMask(const cv::Mat& soft, cv::Size full, const cv::Mat& transparent);

} // namespace OpenCvImage
