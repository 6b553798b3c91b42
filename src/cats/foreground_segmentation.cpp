#include "cats/foreground_segmentation.h"

#include "cats/opencv_image.h"
#include "cats/subject_saliency.h"

#include <QFile>

#include <algorithm>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>
#include <vector>

namespace ForegroundSegmentation {

namespace {

using OpenCvImage::fitted;

// GrabCut's cost grows quickly with the pixel count; this size keeps a pass well under a second
// on two cores while holding enough detail for the guided filter to recover the edges.
constexpr int kWorkSize = 320;
// The guided filter runs at this size; the result is then resized to the full picture.
constexpr int kRefineSize = 1024;
// With sure background around the seeds, further iterations change nothing measurable.
constexpr int kGrabCutIterations = 2;
// Fine texture is measured at this size, before the reduction to the work size smooths it away.
constexpr int kDetailSize = 800;
// Foreground below this share of the picture counts as nothing found.
constexpr double kMinForegroundShare = 0.005;
// Pictures at least this transparent are cut-outs already.
constexpr double kCutOutTransparentShare = 0.05;
// How sure the segmentation must be before it answers with a cut-out rather than "no subject":
// the subject score must split cleanly into two classes (Otsu's effectiveness, the share of the
// score's variance between the classes), or the foreground must be a large part of the picture.
// On real photos every cut-out that missed the cat (intersection over union below 0.2) had an
// effectiveness of 0.72 or less and covered 11 % of the picture or less.
constexpr double kMinSeparation = 0.75;
constexpr double kConfidentShare = 0.15;
using OpenCvImage::isCancelled;
using OpenCvImage::kMinSide;

// Cat faces found by the cascade that OpenCV's data package ships; empty when it is missing.
std::vector<cv::Rect> catFaces(const cv::Mat& bgr) {
    static const char* const kCascades[] = {
        "/usr/share/opencv4/haarcascades/haarcascade_frontalcatface_extended.xml",
        "/usr/share/opencv4/haarcascades/haarcascade_frontalcatface.xml",
    };
    // A classifier is not safe to share between threads; each thread loads its own once.
    thread_local cv::CascadeClassifier classifier;
    thread_local bool tried = false;
    if (!tried) {
        tried = true;
        for (const char* path : kCascades)
            if (QFile::exists(QString::fromLatin1(path)) && classifier.load(path))
                break;
    }
    std::vector<cv::Rect> faces;
    if (classifier.empty())
        return faces;
    cv::Mat gray;
    cv::cvtColor(bgr, gray, cv::COLOR_BGR2GRAY);
    cv::equalizeHist(gray, gray);
    const int minSide = std::max(16, std::min(gray.cols, gray.rows) / 12);
    classifier.detectMultiScale(gray, faces, 1.1, 4, 0, cv::Size(minSide, minSide));
    return faces;
}

// Keeps the connected regions that matter: the largest, any at least a tenth of its size, and
// any that holds a detected face. Holes smaller than 1 % of the kept area are filled.
cv::Mat significantRegions(const cv::Mat& binary, const std::vector<cv::Rect>& faces) {
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(binary, labels, stats, centroids, 8);
    int largest = 0;
    for (int i = 1; i < count; ++i)
        largest = std::max(largest, stats.at<int>(i, cv::CC_STAT_AREA));
    std::vector<uchar> keep(size_t(count), 0);
    for (int i = 1; i < count; ++i)
        keep[size_t(i)] = stats.at<int>(i, cv::CC_STAT_AREA) * 10 >= largest;
    for (const cv::Rect& face : faces) {
        const cv::Point centre(face.x + face.width / 2, face.y + face.height / 2);
        if (centre.inside(cv::Rect(0, 0, labels.cols, labels.rows)))
            keep[size_t(labels.at<int>(centre))] = 1;
    }
    keep[0] = 0;
    cv::Mat kept(binary.size(), CV_8U, cv::Scalar(0));
    for (int y = 0; y < labels.rows; ++y) {
        const int* in = labels.ptr<int>(y);
        uchar* out = kept.ptr<uchar>(y);
        for (int x = 0; x < labels.cols; ++x)
            out[x] = keep[size_t(in[x])] ? 255 : 0;
    }
    // Fill small holes: background regions that do not touch the border and are small.
    cv::Mat inverse = 255 - kept;
    const int holes = cv::connectedComponentsWithStats(inverse, labels, stats, centroids, 4);
    const int keptArea = cv::countNonZero(kept);
    for (int i = 1; i < holes; ++i) {
        const int x = stats.at<int>(i, cv::CC_STAT_LEFT), y = stats.at<int>(i, cv::CC_STAT_TOP);
        const int w = stats.at<int>(i, cv::CC_STAT_WIDTH), h = stats.at<int>(i, cv::CC_STAT_HEIGHT);
        const bool touchesBorder = x == 0 || y == 0 || x + w == kept.cols || y + h == kept.rows;
        if (!touchesBorder && stats.at<int>(i, cv::CC_STAT_AREA) * 100 < keptArea)
            kept.setTo(255, labels == i);
    }
    return kept;
}

// GrabCut knows colour only. Where the sure foreground is clearly more (or less) textured than
// the border, foreground pixels whose texture is nearer the border's are shapes of the
// background that happen to share the subject's colours.
void dropUntexturedSpill(cv::Mat& binary, const cv::Mat& sure, const cv::Mat& border,
                         const cv::Mat& detail) {
    auto median = [&](const cv::Mat& where) {
        std::vector<float> values;
        for (int y = 0; y < detail.rows; ++y)
            for (int x = 0; x < detail.cols; ++x)
                if (where.at<uchar>(y, x))
                    values.push_back(detail.at<float>(y, x));
        if (values.empty())
            return -1.0;
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        return double(values[values.size() / 2]);
    };
    const double subject = median(sure), surroundings = median(border);
    // A grey level of difference in the median residual separates fur from a smooth wall; less
    // is noise and compression.
    constexpr double kMargin = 1.0;
    if (subject < 0 || surroundings < 0 || std::abs(subject - surroundings) < kMargin)
        return;
    // Texture is measured over a window, so it fades across every outline: only what is within
    // a quarter of the way from the surroundings' level goes, and the subject's rim stays.
    const double limit = surroundings + (subject - surroundings) * 0.25;
    const cv::Mat nearSurroundings = subject > surroundings ? detail < limit : detail > limit;
    binary.setTo(0, nearSurroundings & ~sure);
}

// The mask without specks, with narrow gaps closed and only its significant regions; empty
// when too little is left.
cv::Mat cleanedUp(cv::Mat binary, const std::vector<cv::Rect>& faces) {
    const cv::Size size = binary.size();
    const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(3, 3));
    cv::morphologyEx(binary, binary, cv::MORPH_OPEN, kernel);
    // Stripes and patches coloured like the background split a cat into bands; closing the
    // narrow gaps joins them before the regions are counted.
    const int gap = std::max(3, std::min(size.width, size.height) / 40) | 1;
    cv::morphologyEx(binary, binary, cv::MORPH_CLOSE,
                     cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(gap, gap)));
    binary = significantRegions(binary, faces);
    if (cv::countNonZero(binary) < kMinForegroundShare * size.area())
        return {};
    return binary;
}

// Otsu's effectiveness of splitting the score at `split`: the between-class variance as a share
// of the whole variance, 1 for two clean classes.
double separation(const cv::Mat& score8, double split) {
    cv::Scalar mean, deviation;
    cv::meanStdDev(score8, mean, deviation);
    const double variance = deviation[0] * deviation[0];
    const cv::Mat high = score8 > split;
    const double w = double(cv::countNonZero(high)) / double(score8.total());
    if (variance <= 0 || w <= 0 || w >= 1)
        return 0;
    const double gap = cv::mean(score8, high)[0] - cv::mean(score8, ~high)[0];
    return w * (1 - w) * gap * gap / variance;
}

// The hard foreground mask at the work size, or an empty matrix when there is none.
cv::Mat workMask(const cv::Mat& bgr, const cv::Mat& detail, const cv::Mat& transparent,
                 const std::atomic<bool>* cancelled) {
    const cv::Size size = bgr.size();
    const int band = std::max(2, std::min(size.width, size.height) / 25);
    // The same picture always gives the same cut-out: k-means (here and inside GrabCut) draws
    // from OpenCV's per-thread random generator.
    cv::theRNG().state = 0x5eed;
    // A picture with much transparency has been cut out already, and trimmed, so the subject
    // fills its frame: the border tells nothing, the opaque part is the subject.
    if (!transparent.empty() &&
        cv::countNonZero(transparent) >= kCutOutTransparentShare * size.area())
        return cleanedUp(~transparent, {});
    const cv::Mat score = SubjectSaliency::score(bgr, detail, band);
    const std::vector<cv::Rect> faces = catFaces(bgr);
    if (isCancelled(cancelled))
        return {};

    // Seeds around Otsu's split of the score: clearly above it probable foreground, far above it
    // and the detected faces sure foreground; well below it sure background, so GrabCut's colour
    // model cannot spread over a busy background's shapes; the border band below it and
    // transparent pixels sure background too (a subject cut by the frame scores high there).
    cv::Mat score8;
    score.convertTo(score8, CV_8U, 255.0);
    cv::Mat otsu;
    const double split = cv::threshold(score8, otsu, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
    cv::Mat mask(size, CV_8U, cv::Scalar(cv::GC_PR_BGD));
    mask.setTo(cv::GC_PR_FGD, score8 > split + (255 - split) * 0.2);
    mask.setTo(cv::GC_FGD, score8 > std::min(250.0, split + (255 - split) * 0.6));
    cv::Mat border(size, CV_8U, cv::Scalar(255));
    border(cv::Rect(band, band, size.width - 2 * band, size.height - 2 * band)).setTo(0);
    mask.setTo(cv::GC_BGD, border & (score8 < split));
    mask.setTo(cv::GC_BGD, score8 < split * 0.6);
    for (const cv::Rect& face : faces) {
        const cv::Rect core(face.x + face.width / 4, face.y + face.height / 4, face.width / 2,
                            face.height / 2);
        mask(core & cv::Rect(0, 0, size.width, size.height)).setTo(cv::GC_FGD);
    }
    if (!transparent.empty())
        mask.setTo(cv::GC_BGD, transparent);
    if (cv::countNonZero(mask == cv::GC_FGD) + cv::countNonZero(mask == cv::GC_PR_FGD) == 0)
        return {};
    if (cv::countNonZero(mask == cv::GC_BGD) + cv::countNonZero(mask == cv::GC_PR_BGD) == 0)
        return {};

    cv::Mat background, foreground;
    cv::grabCut(bgr, mask, cv::Rect(), background, foreground, kGrabCutIterations,
                cv::GC_INIT_WITH_MASK);
    if (isCancelled(cancelled))
        return {};

    cv::Mat binary = (mask == cv::GC_FGD) | (mask == cv::GC_PR_FGD);
    dropUntexturedSpill(binary, mask == cv::GC_FGD, border, detail);
    cv::Mat cleaned = cleanedUp(binary, faces);
    if (cleaned.empty())
        return {};
    const double share = double(cv::countNonZero(cleaned)) / double(size.area());
    if (separation(score8, split) < kMinSeparation && share < kConfidentShare)
        return {};
    return cleaned;
}

} // namespace

QImage foregroundMask(const QImage& image, QString* error, const std::atomic<bool>* cancelled) {
    if (image.isNull() || image.width() < kMinSide || image.height() < kMinSide)
        return {};
    return OpenCvImage::guarded(error, [&]() -> QImage {
        cv::Mat transparent;
        const cv::Mat full = OpenCvImage::toBgr(image, &transparent);
        cv::Mat work;
        cv::resize(full, work, fitted(full.size(), kWorkSize), 0, 0, cv::INTER_AREA);
        if (work.cols < kMinSide || work.rows < kMinSide) // a thin strip
            return {};
        cv::Mat workTransparent;
        if (cv::countNonZero(transparent) > 0)
            cv::resize(transparent, workTransparent, work.size(), 0, 0, cv::INTER_NEAREST);
        cv::Mat detailSource;
        cv::resize(full, detailSource, fitted(full.size(), kDetailSize), 0, 0, cv::INTER_AREA);
        const cv::Mat detail = SubjectSaliency::fineDetail(detailSource, work.size());
        const cv::Mat binary = workMask(work, detail, workTransparent, cancelled);
        if (binary.empty() || isCancelled(cancelled))
            return {};

        // Carry the mask to the refinement size and let the picture's own edges shape it.
        cv::Mat guide;
        cv::resize(full, guide, fitted(full.size(), kRefineSize), 0, 0, cv::INTER_AREA);
        cv::Mat coarse;
        binary.convertTo(coarse, CV_32F, 1.0 / 255.0);
        const cv::Mat refined = OpenCvImage::alongEdges(guide, coarse);
        if (isCancelled(cancelled))
            return {};
        return OpenCvImage::fullMask(OpenCvImage::softEdge(refined), full.size(), transparent);
    });
}

Result cutOut(const QImage& image, const std::atomic<bool>* cancelled) {
    Result result;
    const QImage mask = foregroundMask(image, &result.error, cancelled);
    if (mask.isNull() || isCancelled(cancelled))
        return result;
    return cutOutWith(image, mask);
}

Result cutOutWith(const QImage& image, const QImage& mask) {
    Result result;

    // Trim to what is visibly foreground.
    int left = mask.width(), top = mask.height(), right = -1, bottom = -1;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* row = mask.constScanLine(y);
        for (int x = 0; x < mask.width(); ++x) {
            if (row[x] > 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < left)
        return result;
    result.bounds = QRect(QPoint(left, top), QPoint(right, bottom));

    QImage cut = image.copy(result.bounds).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < cut.height(); ++y) {
        const uchar* m = mask.constScanLine(y + top) + left;
        auto* px = reinterpret_cast<QRgb*>(cut.scanLine(y));
        for (int x = 0; x < cut.width(); ++x) {
            const uint a = m[x];
            const QRgb p = px[x];
            // Premultiplied: every channel scales with the mask.
            px[x] = qRgba(qRed(p) * a / 255, qGreen(p) * a / 255, qBlue(p) * a / 255,
                          qAlpha(p) * a / 255);
        }
    }
    cut.setDevicePixelRatio(1.0);
    result.cutout = cut;
    return result;
}

} // namespace ForegroundSegmentation
