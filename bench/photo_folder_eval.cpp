#include "photo_folder_eval.h"

#include "cats/foreground_segmentation.h"
#include "cats/image_decoding.h"
#include "cats/image_editing.h"
#include "cats/model_segmentation.h"
#include "cats/opencv_image.h"
#include "cats/saliency_model.h"
#include "cats/segmentation_model_file.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Photo {
    QString name;
    QImage picture;
    QImage truth;  // Grayscale8
    QImage ignore; // Grayscale8 or null
};

double iou(const Photo& photo, const ForegroundSegmentation::Result& result) {
    qint64 both = 0, either = 0;
    for (int y = 0; y < photo.picture.height(); ++y) {
        const uchar* truth = photo.truth.constScanLine(y);
        const uchar* ignore = photo.ignore.isNull() ? nullptr : photo.ignore.constScanLine(y);
        for (int x = 0; x < photo.picture.width(); ++x) {
            if (ignore && ignore[x] > 127)
                continue;
            const bool predicted =
                result.cutout && result.bounds.contains(x, y) &&
                qAlpha(result.cutout->pixel(x - result.bounds.x(), y - result.bounds.y())) > 127;
            const bool actual = truth[x] > 127;
            both += predicted && actual;
            either += predicted || actual;
        }
    }
    return either ? double(both) / double(either) : 1.0;
}

using Method = std::function<ForegroundSegmentation::Result(const QImage&)>;

// The largest band of the photo along one edge with no cat in it (and no unscored band), when
// it is at least a third of the photo on both sides: a picture with no subject, on which a
// method should say so.
std::optional<QImage> catFreeBand(const Photo& photo) {
    const int w = photo.picture.width(), h = photo.picture.height();
    int left = w, top = h, right = -1, bottom = -1;
    for (int y = 0; y < h; ++y) {
        const uchar* truth = photo.truth.constScanLine(y);
        const uchar* ignore = photo.ignore.isNull() ? nullptr : photo.ignore.constScanLine(y);
        for (int x = 0; x < w; ++x)
            if (truth[x] > 0 || (ignore && ignore[x] > 0)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    const QRect bands[] = {QRect(0, 0, left, h), QRect(right + 1, 0, w - right - 1, h),
                           QRect(0, 0, w, top), QRect(0, bottom + 1, w, h - bottom - 1)};
    QRect best;
    for (const QRect& band : bands)
        if (band.width() * 3 >= w && band.height() * 3 >= h &&
            qint64(band.width()) * band.height() > qint64(best.width()) * best.height())
            best = band;
    if (best.isEmpty())
        return std::nullopt;
    return photo.picture.copy(best);
}

void evaluate(const char* label, const std::vector<Photo>& photos, const Method& method,
              const QString& outDir) {
    std::vector<double> scores, times;
    int nothing = 0, wrongCutOuts = 0;
    std::printf("\n== %s\n", label);
    for (const Photo& photo : photos) {
        QElapsedTimer timer;
        timer.start();
        const ForegroundSegmentation::Result result = method(photo.picture);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        const double score = iou(photo, result);
        scores.push_back(score);
        nothing += !result.cutout;
        wrongCutOuts += result.cutout && score < 0.2;
        std::printf("%-28s IoU %.3f %6.0f ms%s\n", qPrintable(photo.name), score, times.back(),
                    result.cutout ? "" : "  (no subject)");
        if (!outDir.isEmpty() && result.cutout)
            result.cutout->save(QDir(outDir).filePath(photo.name + QStringLiteral("-") +
                                                      QString::fromLatin1(label) +
                                                      QStringLiteral(".png")));
    }
    std::vector<double> sorted = scores;
    std::sort(sorted.begin(), sorted.end());
    double mean = 0;
    for (double s : scores)
        mean += s;
    mean /= double(scores.size());
    auto share = [&](double below) {
        return double(std::count_if(scores.begin(), scores.end(),
                                    [below](double s) { return s < below; })) /
               double(scores.size());
    };
    int bands = 0, bandCutOuts = 0;
    for (const Photo& photo : photos)
        if (const std::optional<QImage> band = catFreeBand(photo)) {
            ++bands;
            bandCutOuts += method(*band).cutout.has_value();
        }
    std::printf("%s: cat-free bands of the photos: %d of %d cut out (should say no subject)\n",
                label, bandCutOuts, bands);
    std::sort(times.begin(), times.end());
    std::printf("%s: %zu photos, mean IoU %.3f, median %.3f, worst %.3f, below 0.8 %.0f %%, "
                "below 0.5 %.0f %%, no subject %d, cut-outs below 0.2 %d, median %.0f ms\n",
                label, scores.size(), mean, sorted[sorted.size() / 2], sorted.front(),
                100 * share(0.8), 100 * share(0.5), nothing, wrongCutOuts, times[times.size() / 2]);
}

// The photo as the user would crop it: the cat's box and a tenth of its size on every side.
// (Scored without the cat-free bands, which a crop to the cat leaves none of.)
Photo cropped(const Photo& photo) {
    const QRect box = OpenCvImage::boundsAbove(photo.truth, 127);
    if (box.isEmpty())
        return photo;
    const QRect crop =
        box.adjusted(-box.width() / 10, -box.height() / 10, box.width() / 10, box.height() / 10) &
        photo.picture.rect();
    Photo out;
    out.name = photo.name;
    out.picture = photo.picture.copy(crop);
    out.truth = photo.truth.copy(crop);
    if (!photo.ignore.isNull())
        out.ignore = photo.ignore.copy(crop);
    return out;
}

} // namespace

int evaluatePhotoFolder(const QString& dir, const QString& outDir) {
    std::vector<Photo> photos;
    const QDir images(QDir(dir).filePath(QStringLiteral("images")));
    for (const QFileInfo& file : images.entryInfoList(QDir::Files, QDir::Name)) {
        Photo photo;
        photo.name = file.completeBaseName();
        const auto picture = ImageDecoding::decodeFile(file.filePath());
        const QImage truth(
            QDir(dir).filePath(QStringLiteral("masks/") + photo.name + QStringLiteral(".png")));
        if (!picture || truth.isNull()) {
            std::fprintf(stderr, "skipped %s\n", qPrintable(photo.name));
            continue;
        }
        photo.picture = *picture;
        photo.truth = truth.convertToFormat(QImage::Format_Grayscale8);
        const QImage ignore(
            QDir(dir).filePath(QStringLiteral("ignore/") + photo.name + QStringLiteral(".png")));
        if (!ignore.isNull())
            photo.ignore = ignore.convertToFormat(QImage::Format_Grayscale8);
        photos.push_back(photo);
    }
    if (photos.empty()) {
        std::fprintf(stderr, "no photos with masks under %s\n", qPrintable(dir));
        return 2;
    }
    if (!outDir.isEmpty())
        QDir().mkpath(outDir);
    std::vector<Photo> crops;
    for (const Photo& photo : photos)
        crops.push_back(cropped(photo));

    using ForegroundSegmentation::Framing;
    evaluate(
        "built-in", photos,
        [](const QImage& picture) { return ForegroundSegmentation::cutOut(picture); }, outDir);
    evaluate("built-in, cropped", crops,
             [](const QImage& picture) {
                 return ForegroundSegmentation::cutOut(picture, Framing::aroundSubject);
             },
             {});

    const std::optional<QString> path = SegmentationModelFile::find();
    QString error;
    const std::shared_ptr<SaliencyModel> model =
        path ? SaliencyModel::load(*path, &error) : nullptr;
    if (!model) {
        std::printf("\n(no model: %s; set PURRTICK_MODEL_DIR)\n",
                    path ? qPrintable(error) : "none found");
        return 0;
    }
    std::printf("\nmodel %s, input %dx%d\n", qPrintable(*path), model->inputSize().width,
                model->inputSize().height);
    const auto byModel = [&](const QImage& picture) {
        const QImage mask = ModelSegmentation::foregroundMask(picture, *model);
        if (mask.isNull())
            return ForegroundSegmentation::Result{};
        return ForegroundSegmentation::cutOutWith(picture, mask);
    };
    evaluate("model", photos, byModel, outDir);
    evaluate("model, cropped", crops, byModel, {});

    // As the editor does it, on a 12-megapixel photo: decode, segment, encode.
    const Photo& first = photos.front();
    const QImage big =
        first.picture.scaled(4000, 3000, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    big.save(&buffer, "JPEG", 90);
    std::vector<double> runs;
    bool found = true;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        found = ImageEditing::removeBackgroundPNG(jpeg).has_value() && found;
        runs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(runs.begin(), runs.end());
    std::printf("\n12 MP JPEG (%s enlarged) to cut-out PNG, as the editor does it: median %.0f "
                "ms (min %.0f, max %.0f)%s\n",
                qPrintable(first.name), runs[1], runs.front(), runs.back(),
                found ? "" : ", no subject");
    return 0;
}
