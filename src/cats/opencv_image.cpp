#include "cats/opencv_image.h"

#include <algorithm>
#include <opencv2/imgproc.hpp>
#include <opencv2/ximgproc/edge_filter.hpp>

namespace OpenCvImage {

namespace {

// Alpha below this (of 255) is invisible over any background.
constexpr double kFaintAlpha = 8;

} // namespace

cv::Mat toBgr(const QImage& image, cv::Mat* transparent) {
    const QImage argb = image.format() == QImage::Format_ARGB32_Premultiplied
                            ? image
                            : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const cv::Mat view(argb.height(), argb.width(), CV_8UC4, const_cast<uchar*>(argb.constBits()),
                       size_t(argb.bytesPerLine()));
    cv::Mat bgr;
    cv::cvtColor(view, bgr, cv::COLOR_BGRA2BGR);
    if (transparent) {
        cv::Mat alpha;
        cv::extractChannel(view, alpha, 3);
        *transparent = alpha < 16;
    }
    return bgr;
}

cv::Size fitted(cv::Size size, int longSide) {
    const double s = double(longSide) / std::max(size.width, size.height);
    if (s >= 1.0)
        return size;
    return {std::max(1, int(std::lround(size.width * s))),
            std::max(1, int(std::lround(size.height * s)))};
}

cv::Mat alongEdges(const cv::Mat& guide, const cv::Mat& coarse, int* radius) {
    cv::Mat guideF;
    guide.convertTo(guideF, CV_32FC3, 1.0 / 255.0);
    cv::Mat map;
    cv::resize(coarse, map, guide.size(), 0, 0, cv::INTER_LINEAR);
    const int r = std::max(2, std::max(guide.cols, guide.rows) / 150);
    if (radius)
        *radius = r;
    cv::Mat refined;
    cv::ximgproc::guidedFilter(guideF, map, refined, r, 1e-3);
    return refined;
}

cv::Mat softEdge(const cv::Mat& refined) {
    return (refined - 0.5) * 2.5 + 0.5;
}

QRect boundsAbove(const QImage& grey, int level) {
    const cv::Mat view(grey.height(), grey.width(), CV_8U, const_cast<uchar*>(grey.constBits()),
                       size_t(grey.bytesPerLine()));
    const cv::Rect box = cv::boundingRect(view > level);
    return QRect(box.x, box.y, box.width, box.height);
}

QImage toGrayscale(const cv::Mat& mask) {
    QImage image(mask.cols, mask.rows, QImage::Format_Grayscale8);
    for (int y = 0; y < mask.rows; ++y)
        std::copy_n(mask.ptr<uchar>(y), mask.cols, image.scanLine(y));
    return image;
}

QImage fullMask(const cv::Mat& soft, cv::Size full, const cv::Mat& transparent) {
    cv::Mat alpha;
    cv::resize(soft, alpha, full, 0, 0, cv::INTER_LINEAR);
    alpha.convertTo(alpha, CV_8U, 255.0); // saturates to 0..255
    alpha.setTo(0, alpha < kFaintAlpha);
    if (!transparent.empty() && cv::countNonZero(transparent) > 0)
        alpha.setTo(0, transparent);
    return toGrayscale(alpha);
}

} // namespace OpenCvImage
