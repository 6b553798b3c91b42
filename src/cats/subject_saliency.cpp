#include "cats/subject_saliency.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace SubjectSaliency {

namespace {

// Texture enters the feature vector at this many units per grey level, next to Lab colour.
constexpr float kTextureWeight = 4.0f;
// The border's spread is never taken as smaller than these (in feature units), so noise-free
// synthetic borders do not turn the faintest difference into a strong one.
constexpr double kColourSpreadFloor = 4.0;
constexpr double kTextureSpreadFloor = 2.0;
// How many spreads away from the border's nearest cluster a pixel must be to count as
// probably subject on the absolute scale.
constexpr double kSpreadScale = 2.0;
constexpr int kBorderClusters = 8;
// Neighbouring pixels at most this far apart per channel (0 to 255) belong to one region, so
// smooth shading stays within it and grain at the work size mostly does too.
constexpr int kRegionTolerance = 3;
// Enclosed regions from this share of the picture count as subject, fully from the second.
constexpr double kLeastRegionShare = 0.02;
constexpr double kFullRegionShare = 0.1;

// The map rescaled so its 1st percentile is 0 and its 95th is 1: the subject's most striking
// parts (eyes, a white chest, highlights) must not squeeze the rest of it into the low range.
cv::Mat stretched(const cv::Mat& map) {
    std::vector<float> values(map.begin<float>(), map.end<float>());
    auto at = [&](double share) {
        auto it = values.begin() + std::ptrdiff_t(share * double(values.size() - 1));
        std::nth_element(values.begin(), it, values.end());
        return double(*it);
    };
    const double low = at(0.01), high = at(0.95);
    if (high - low < 1e-3)
        return cv::Mat::zeros(map.size(), CV_32F);
    cv::Mat out = (map - low) / (high - low);
    return cv::min(cv::max(out, 0.0), 1.0);
}

// For each pixel of `features` (CV_32FC4), the distance to the nearest cluster of the border
// band's features, each channel measured in that cluster's own spread.
cv::Mat borderDistance(const cv::Mat& features, int band) {
    std::vector<cv::Vec4f> samples;
    for (int y = 0; y < features.rows; ++y)
        for (int x = 0; x < features.cols; ++x)
            if (x < band || y < band || x >= features.cols - band || y >= features.rows - band)
                samples.push_back(features.at<cv::Vec4f>(y, x));
    const int clusters = std::min<int>(kBorderClusters, int(samples.size()));
    cv::Mat labels, centres;
    cv::kmeans(cv::Mat(samples).reshape(1), clusters, labels,
               cv::TermCriteria(cv::TermCriteria::EPS + cv::TermCriteria::COUNT, 10, 1.0), 2,
               cv::KMEANS_PP_CENTERS, centres);

    std::vector<cv::Vec4d> squares(size_t(centres.rows));
    std::vector<int> members(size_t(centres.rows), 0);
    for (size_t i = 0; i < samples.size(); ++i) {
        const int c = labels.at<int>(int(i));
        for (int k = 0; k < 4; ++k) {
            const double d = samples[i][k] - centres.at<float>(c, k);
            squares[size_t(c)][k] += d * d;
        }
        ++members[size_t(c)];
    }

    cv::Mat distance(features.size(), CV_32F, cv::Scalar(std::numeric_limits<float>::max()));
    for (int c = 0; c < centres.rows; ++c) {
        cv::Scalar centre, inverseSpread;
        for (int k = 0; k < 4; ++k) {
            centre[k] = centres.at<float>(c, k);
            const double spread =
                std::sqrt(squares[size_t(c)][k] / std::max(1, members[size_t(c)]));
            inverseSpread[k] =
                1.0 / std::max(k == 3 ? kTextureSpreadFloor : kColourSpreadFloor, spread);
        }
        cv::Mat diff = features - centre, squared;
        cv::multiply(diff, inverseSpread, diff);
        cv::multiply(diff, diff, squared);
        cv::Mat sum;
        cv::transform(squared, sum, cv::Matx14f(1, 1, 1, 1));
        cv::sqrt(sum, sum);
        distance = cv::min(distance, sum);
    }
    cv::GaussianBlur(distance, distance, cv::Size(0, 0), 1.5);
    return distance;
}

// A weight that falls off from the centre of the picture to nothing near its corners: subjects
// are framed, backgrounds fill the edges.
cv::Mat centrePrior(cv::Size size) {
    cv::Mat prior(size, CV_32F);
    for (int y = 0; y < size.height; ++y) {
        const double dy = (y + 0.5) / size.height - 0.5;
        auto* row = prior.ptr<float>(y);
        for (int x = 0; x < size.width; ++x) {
            const double dx = (x + 0.5) / size.width - 0.5;
            row[x] = float(std::max(0.0, 1.0 - 2.4 * (dx * dx + dy * dy)));
        }
    }
    return prior;
}

// Large regions of one colour (gradual shading included) that do not reach the border: objects
// standing in front of their surroundings, however common their colour is around them. Each
// pixel scores its region's share of the picture.
cv::Mat enclosedRegions(const cv::Mat& bgr) {
    cv::Mat smooth;
    cv::GaussianBlur(bgr, smooth, cv::Size(0, 0), 1.0);
    const int w = bgr.cols, h = bgr.rows;
    // Union-find over 4-neighbours whose colours differ by at most the tolerance per channel.
    std::vector<int> parent(size_t(w) * size_t(h));
    for (size_t i = 0; i < parent.size(); ++i)
        parent[i] = int(i);
    auto find = [&](int i) {
        while (parent[size_t(i)] != i) {
            parent[size_t(i)] = parent[size_t(parent[size_t(i)])];
            i = parent[size_t(i)];
        }
        return i;
    };
    auto join = [&](int a, int b) {
        a = find(a);
        b = find(b);
        if (a != b)
            parent[size_t(std::max(a, b))] = std::min(a, b);
    };
    auto alike = [&](const cv::Vec3b& p, const cv::Vec3b& q) {
        return std::abs(p[0] - q[0]) <= kRegionTolerance &&
               std::abs(p[1] - q[1]) <= kRegionTolerance &&
               std::abs(p[2] - q[2]) <= kRegionTolerance;
    };
    for (int y = 0; y < h; ++y) {
        const auto* row = smooth.ptr<cv::Vec3b>(y);
        const auto* below = y + 1 < h ? smooth.ptr<cv::Vec3b>(y + 1) : nullptr;
        for (int x = 0; x < w; ++x) {
            if (x + 1 < w && alike(row[x], row[x + 1]))
                join(y * w + x, y * w + x + 1);
            if (below && alike(row[x], below[x]))
                join(y * w + x, (y + 1) * w + x);
        }
    }
    std::vector<int> area(parent.size(), 0);
    std::vector<uchar> touches(parent.size(), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int root = find(y * w + x);
            ++area[size_t(root)];
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1)
                touches[size_t(root)] = 1;
        }
    const double total = double(bgr.total());
    cv::Mat result(bgr.size(), CV_32F);
    for (int y = 0; y < h; ++y) {
        auto* out = result.ptr<float>(y);
        for (int x = 0; x < w; ++x) {
            const int root = find(y * w + x);
            const double share = area[size_t(root)] / total;
            out[x] = touches[size_t(root)] || share < kLeastRegionShare
                         ? 0.0f
                         : float(std::min(1.0, share / kFullRegionShare));
        }
    }
    return result;
}

} // namespace

cv::Mat fineDetail(const cv::Mat& picture, cv::Size size) {
    cv::Mat grey;
    cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
    // What a 3×3 median takes away is grain; steps and lines wider than a pixel stay in the
    // median, so they add nothing. The median over a larger window then drops what is left of
    // single edges and keeps textured areas.
    cv::Mat smooth, residual;
    cv::medianBlur(grey, smooth, 3);
    cv::absdiff(grey, smooth, residual);
    constexpr double kGain = 8.0; // keeps fractions of a grey level through the 8-bit median
    residual.convertTo(residual, CV_8U, kGain);
    cv::medianBlur(residual, residual, 5);
    cv::Mat detail;
    residual.convertTo(detail, CV_32F, 1.0 / kGain);
    cv::resize(detail, detail, size, 0, 0, cv::INTER_AREA);
    return detail;
}

cv::Mat score(const cv::Mat& bgr, const cv::Mat& detail, int band) {
    cv::Mat lab;
    bgr.convertTo(lab, CV_32F, 1.0 / 255.0);
    cv::cvtColor(lab, lab, cv::COLOR_BGR2Lab);
    cv::Mat features;
    cv::merge(std::vector<cv::Mat>{lab, detail * kTextureWeight}, features);
    const cv::Mat distance = borderDistance(features, band);

    // Two readings of the same distance: relative to the rest of this picture (finds a subject
    // that differs only a little, as long as it differs most), and absolute in border spreads
    // (keeps a busy background's odd colours from ranking with the subject).
    cv::Mat absolute;
    cv::multiply(distance, distance, absolute, -1.0 / (2 * kSpreadScale * kSpreadScale));
    cv::exp(absolute, absolute);
    absolute = 1.0 - absolute;
    cv::Mat combined = (stretched(distance) + absolute) * 0.5;
    // A large enclosed region counts even where its colour is common around it (a dark cat
    // among dark shapes).
    combined = cv::max(combined, enclosedRegions(bgr));
    return combined.mul(centrePrior(bgr.size()));
}

} // namespace SubjectSaliency
