#include "cats/edge_colours.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace EdgeColours {

namespace {

// The local averages are taken on a copy at most this large: the colours of the surroundings
// change slowly, and the full picture may have 12 megapixels.
constexpr int kEstimateSize = 512;
// Alpha at or below this is surroundings, at or above the second the subject.
constexpr int kClearAlpha = 8;
constexpr int kSolidAlpha = 247;
// Below the first alpha the subject's colour comes from its own pixels nearby; above the second
// from the solved mix; in between a blend of the two.
constexpr double kUnsteady = 0.15, kSteady = 0.6;
// A solid pixel by the edge counts as mixed when its colour lies less than this share of the
// way from the background's colour to the subject's, and the two differ by at least this much
// (out of 255 per channel): otherwise the mix cannot be told.
constexpr double kSolidShare = 0.9;
constexpr double kDistinct = 30;
// The rim of solid pixels judged by colour: this fraction of the picture's longer side (a
// camera's soft focus spreads an outline over several pixels).
constexpr int kRimShare = 150;

// The average colour of the `where` pixels around each pixel, with how much of them there was;
// where a window holds none, a window three times as wide is tried.
void localAverage(const cv::Mat& bgr, const cv::Mat& where, int radius, cv::Mat& average,
                  cv::Mat& weight) {
    cv::Mat w;
    where.convertTo(w, CV_32F, 1.0 / 255.0);
    cv::Mat weighted;
    cv::Mat wide;
    cv::cvtColor(w, wide, cv::COLOR_GRAY2BGR);
    cv::multiply(bgr, wide, weighted);
    for (int side : {2 * radius + 1, 6 * radius + 1}) {
        cv::Mat sum, count;
        cv::boxFilter(weighted, sum, -1, cv::Size(side, side), cv::Point(-1, -1), false);
        cv::boxFilter(w, count, -1, cv::Size(side, side), cv::Point(-1, -1), false);
        if (average.empty()) {
            average = cv::Mat(bgr.size(), CV_32FC3, cv::Scalar::all(0));
            weight = cv::Mat(bgr.size(), CV_32F, cv::Scalar(0));
        }
        for (int y = 0; y < bgr.rows; ++y) {
            const auto* s = sum.ptr<cv::Vec3f>(y);
            const float* c = count.ptr<float>(y);
            auto* a = average.ptr<cv::Vec3f>(y);
            float* k = weight.ptr<float>(y);
            for (int x = 0; x < bgr.cols; ++x)
                if (k[x] < 0.5f && c[x] >= 0.5f) {
                    a[x] = s[x] / c[x];
                    k[x] = c[x];
                }
        }
    }
}

} // namespace

void cleanEdges(cv::Mat& bgr, const cv::Mat& alpha) {
    // Each pixel's new colour depends on its own and on averages taken first: the picture is
    // changed in place, with no second copy of a 12-megapixel picture.
    cv::Mat& result = bgr;
    cv::Mat soft;
    cv::inRange(alpha, 1, 254, soft);
    if (bgr.empty() || cv::countNonZero(soft) == 0)
        return;
    soft.release();
    // A mask is seldom exact to the pixel: the solid pixels just inside its edge may be mixed
    // too. Those within a few pixels of the edge are judged by their colour.
    const int rim = std::max(3, std::max(bgr.cols, bgr.rows) / kRimShare);
    cv::Mat nearEdge;
    // A square reach: separable, so cheap on a 12-megapixel mask.
    cv::dilate(alpha < 255, nearEdge,
               cv::getStructuringElement(cv::MORPH_RECT, cv::Size(2 * rim + 1, 2 * rim + 1)));

    const double scale =
        std::min(1.0, double(kEstimateSize) / double(std::max(bgr.cols, bgr.rows)));
    const cv::Size small(std::max(1, int(bgr.cols * scale)), std::max(1, int(bgr.rows * scale)));
    cv::Mat smallBgr, smallAlpha;
    cv::resize(bgr, smallBgr, small, 0, 0, cv::INTER_AREA);
    cv::resize(alpha, smallAlpha, small, 0, 0, cv::INTER_AREA);
    smallBgr.convertTo(smallBgr, CV_32FC3);
    const int radius = std::max(2, std::max(small.width, small.height) / 40);
    cv::Mat background, backgroundWeight, subject, subjectWeight;
    localAverage(smallBgr, smallAlpha <= kClearAlpha, radius, background, backgroundWeight);
    // The subject's colour comes from its solid core, past the rim whose colours are in doubt.
    cv::Mat core;
    const int coreRim = std::max(1, int(std::lround(rim * scale)));
    cv::erode(
        smallAlpha >= kSolidAlpha, core,
        cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(2 * coreRim + 1, 2 * coreRim + 1)));
    localAverage(smallBgr, core, radius, subject, subjectWeight);

    for (int y = 0; y < bgr.rows; ++y) {
        const uchar* a = alpha.ptr<uchar>(y);
        const uchar* rimmed = nearEdge.ptr<uchar>(y);
        const auto* in = bgr.ptr<cv::Vec3b>(y);
        auto* out = result.ptr<cv::Vec3b>(y);
        const int sy = std::min(small.height - 1, int(y * scale));
        for (int x = 0; x < bgr.cols; ++x) {
            if (a[x] == 0 || (a[x] == 255 && !rimmed[x]))
                continue;
            const int sx = std::min(small.width - 1, int(x * scale));
            const bool knowsBackground = backgroundWeight.at<float>(sy, sx) >= 0.5f;
            const bool knowsSubject = subjectWeight.at<float>(sy, sx) >= 0.5f;
            if (!knowsBackground)
                continue;
            double share = a[x] / 255.0;
            const cv::Vec3f b = background.at<cv::Vec3f>(sy, sx);
            const cv::Vec3f f0 = knowsSubject ? subject.at<cv::Vec3f>(sy, sx) : cv::Vec3f(in[x]);
            if (a[x] == 255) {
                // How far the colour lies from the background towards the subject's.
                if (!knowsSubject)
                    continue;
                const cv::Vec3f towards = f0 - b;
                const double length2 = towards.dot(towards);
                if (length2 < kDistinct * kDistinct)
                    continue;
                share = std::clamp((cv::Vec3f(in[x]) - b).dot(towards) / length2, 0.0, 1.0);
                if (share >= kSolidShare)
                    continue;
                share = std::max(share, kUnsteady);
            }
            const double t = std::clamp((share - kUnsteady) / (kSteady - kUnsteady), 0.0, 1.0);
            for (int c = 0; c < 3; ++c) {
                const double solved = (in[x][c] - (1 - share) * b[c]) / share;
                const double colour = t * std::clamp(solved, 0.0, 255.0) + (1 - t) * f0[c];
                out[x][c] = cv::saturate_cast<uchar>(colour);
            }
        }
    }
}

} // namespace EdgeColours
