#include "cats/foreground_segmentation.h"

#include "cats/edge_colours.h"
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
// GrabCut from a box settles within a few iterations.
constexpr int kGrabCutIterations = 4;
// Foreground below this share of the picture counts as nothing found.
constexpr double kMinForegroundShare = 0.005;
// Pictures at least this transparent are cut-outs already.
constexpr double kCutOutTransparentShare = 0.05;
// The subject's box leaves this share of each side as sure background: a photo's cat is
// rarely at its very edge; a crop to the cat leaves only a thin rim.
constexpr double kPhotoMargin = 0.10;
constexpr double kCroppedMargin = 0.03;
// A foreground outside these shares of the box is no subject: all of it means nothing stood
// apart from the surroundings.
constexpr double kMaxBoxShare = 0.92;
constexpr double kMinBoxShare = 0.03;
// Inside the box, a subject score below this share of Otsu's split marks a pixel as probably
// background. Fine detail is measured at its own size, before the reduction smooths it away.
constexpr double kLikeTheBorder = 0.6;
constexpr int kDetailSize = 800;
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

// Where the subject is looked for: a centred box, or around the largest cat face found (a
// cat's body lies below and beside its face), or nearly the whole picture when the user has
// cropped it to the cat.
cv::Rect subjectBox(cv::Size size, const std::vector<cv::Rect>& faces, Framing framing) {
    const double margin = framing == Framing::aroundSubject ? kCroppedMargin : kPhotoMargin;
    const cv::Rect whole(0, 0, size.width, size.height);
    cv::Rect box(int(size.width * margin), int(size.height * margin),
                 int(size.width * (1 - 2 * margin)), int(size.height * (1 - 2 * margin)));
    if (framing == Framing::photo && !faces.empty()) {
        const cv::Rect face =
            *std::max_element(faces.begin(), faces.end(), [](const cv::Rect& a, const cv::Rect& b) {
                return a.area() < b.area();
            });
        box = cv::Rect(face.x - int(face.width * 1.6), face.y - int(face.height * 0.7),
                       int(face.width * 4.2), int(face.height * 5.0)) &
              whole;
        // GrabCut needs some sure background all round.
        const int m = std::max(2, std::min(size.width, size.height) / 50);
        box &= cv::Rect(m, m, size.width - 2 * m, size.height - 2 * m);
    }
    return box;
}

// The hard foreground mask at the work size by GrabCut from the subject's box (outside it sure
// background, inside probable foreground, a detected face's middle sure foreground; `detail` is
// the picture's fine detail at the work size), or an
// empty matrix when there is none or the answer is implausible.
cv::Mat workMask(const cv::Mat& bgr, const cv::Mat& detail, const cv::Mat& transparent,
                 Framing framing, const std::atomic<bool>* cancelled) {
    const cv::Size size = bgr.size();
    // The same picture always gives the same cut-out: GrabCut's k-means draws from OpenCV's
    // per-thread random generator.
    cv::theRNG().state = 0x5eed;
    // A picture with much transparency has been cut out already, and trimmed, so the subject
    // fills its frame: the opaque part is the subject.
    if (!transparent.empty() &&
        cv::countNonZero(transparent) >= kCutOutTransparentShare * size.area())
        return cleanedUp(~transparent, {});
    const std::vector<cv::Rect> faces = catFaces(bgr);
    const cv::Rect box = subjectBox(size, faces, framing);
    if (box.width < kMinSide / 2 || box.height < kMinSide / 2 || isCancelled(cancelled))
        return {};
    cv::Mat mask(size, CV_8U, cv::Scalar(cv::GC_BGD));
    mask(box).setTo(cv::GC_PR_FGD);
    // In a photo as taken, the box holds much of the surroundings too: what is clearly like
    // the picture's border in colour and texture starts out as probable background. (A crop to
    // the cat needs no such help, and is cut better without it.)
    if (framing == Framing::photo) {
        const int band = std::max(2, std::min(size.width, size.height) / 25);
        const cv::Mat score = SubjectSaliency::score(bgr, detail, band);
        cv::Mat score8;
        score.convertTo(score8, CV_8U, 255.0);
        cv::Mat otsu;
        const double split =
            cv::threshold(score8, otsu, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
        cv::Mat inside(size, CV_8U, cv::Scalar(0));
        inside(box).setTo(255);
        mask.setTo(cv::GC_PR_BGD, inside & (score8 < split * kLikeTheBorder));
    }
    for (const cv::Rect& face : faces) {
        const cv::Rect core(face.x + face.width / 4, face.y + face.height / 4, face.width / 2,
                            face.height / 2);
        mask(core & box).setTo(cv::GC_FGD);
    }
    if (!transparent.empty())
        mask.setTo(cv::GC_BGD, transparent);
    if (cv::countNonZero(mask != cv::GC_BGD) == 0)
        return {};
    cv::Mat background, foreground;
    cv::grabCut(bgr, mask, cv::Rect(), background, foreground, kGrabCutIterations,
                cv::GC_INIT_WITH_MASK);
    if (isCancelled(cancelled))
        return {};
    cv::Mat cleaned = cleanedUp((mask == cv::GC_FGD) | (mask == cv::GC_PR_FGD), faces);
    if (cleaned.empty())
        return {};
    // GrabCut that keeps (nearly) the whole box found nothing that stands apart from the
    // surroundings; a crumb of it is no subject either.
    const double share = double(cv::countNonZero(cleaned)) / double(box.area());
    if (share > kMaxBoxShare || share < kMinBoxShare)
        return {};
    return cleaned;
}

} // namespace

QImage foregroundMask(const QImage& image, Framing framing, QString* error,
                      const std::atomic<bool>* cancelled) {
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
        const cv::Mat binary = workMask(work, detail, workTransparent, framing, cancelled);
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

Result cutOut(const QImage& image, Framing framing, const std::atomic<bool>* cancelled) {
    Result result;
    const QImage mask = foregroundMask(image, framing, &result.error, cancelled);
    if (mask.isNull() || isCancelled(cancelled))
        return result;
    return cutOutWith(image, mask);
}

Result cutOutWith(const QImage& image, const QImage& mask) {
    Result result;

    // Trim to what is visibly foreground.
    result.bounds = OpenCvImage::boundsAbove(mask, 0);
    if (result.bounds.isEmpty())
        return result;
    const int left = result.bounds.x(), top = result.bounds.y();

    // The soft edge's colours without the background's share, estimated from a margin of the
    // surroundings around the cut.
    const int margin = std::max(8, std::max(result.bounds.width(), result.bounds.height()) / 20);
    const QRect around = result.bounds.adjusted(-margin, -margin, margin, margin) & image.rect();
    cv::Mat colours;
    try {
        colours = OpenCvImage::toBgr(image.copy(around));
        // The mask's part, read where it lies (its lines are 4-byte aligned).
        const cv::Mat alpha(around.height(), around.width(), CV_8U,
                            const_cast<uchar*>(mask.constScanLine(around.y()) + around.x()),
                            size_t(mask.bytesPerLine()));
        EdgeColours::cleanEdges(colours, alpha);
    } catch (const cv::Exception&) {
        colours.release(); // the photo's own colours, halo and all
    } catch (const std::bad_alloc&) {
        colours.release();
    }

    QImage cut = image.copy(result.bounds).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < cut.height(); ++y) {
        const uchar* m = mask.constScanLine(y + top) + left;
        auto* px = reinterpret_cast<QRgb*>(cut.scanLine(y));
        const cv::Vec3b* clean =
            colours.empty() ? nullptr
                            : colours.ptr<cv::Vec3b>(y + top - around.y()) + (left - around.x());
        for (int x = 0; x < cut.width(); ++x) {
            const uint a = m[x];
            const QRgb p = px[x];
            if (clean && a > 0 && a < 255 && qAlpha(p) == 255) {
                const cv::Vec3b c = clean[x];
                px[x] = qRgba(c[2] * a / 255, c[1] * a / 255, c[0] * a / 255, a);
                continue;
            }
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
