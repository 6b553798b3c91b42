// Measures the background removal on synthetic composites with exact masks: intersection over
// union of the cut-out's alpha against the truth, and the time per picture.
//   segmentation_eval [COUNT] [OUTPUT_DIR] [WIDTHxHEIGHT]
//   segmentation_eval --photos DIR [OUTPUT_DIR]    (real photos with masks, both methods)
// COUNT drawn cats (36 by default), then each built-in artwork over each kind of background.
// With OUTPUT_DIR, each composite and its cut-out are saved there for looking at.
#include "cats/bundled_cat.h"
#include "cats/foreground_segmentation.h"
#include "cats/image_editing.h"
#include "photo_folder_eval.h"
#include "synthetic_cats.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// The picture dimmed, with what was missed in blue and what was wrongly kept in red.
QImage errorMap(const SyntheticCat& cat, const ForegroundSegmentation::Result& result) {
    QImage map = cat.picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < map.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(map.scanLine(y));
        const uchar* truth = cat.truth.constScanLine(y);
        for (int x = 0; x < map.width(); ++x) {
            const bool predicted =
                result.cutout && result.bounds.contains(x, y) &&
                qAlpha(result.cutout->pixel(x - result.bounds.x(), y - result.bounds.y())) > 127;
            const bool actual = truth[x] > 127;
            const int grey = qGray(px[x]) / 3 + 40;
            if (predicted && !actual)
                px[x] = qRgb(230, 40, 40);
            else if (actual && !predicted)
                px[x] = qRgb(40, 80, 230);
            else
                px[x] = predicted ? qRgb(grey + 80, grey + 80, grey + 80) : qRgb(grey, grey, grey);
        }
    }
    return map;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc > 2 && std::strcmp(argv[1], "--photos") == 0)
        return evaluatePhotoFolder(QString::fromLocal8Bit(argv[2]),
                                   argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
    const int count = argc > 1 ? std::atoi(argv[1]) : 36;
    const QString outDir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QSize size(800, 600);
    if (argc > 3 && std::sscanf(argv[3], "%dx%d", &size.rwidth(), &size.rheight()) != 2) {
        std::fprintf(stderr, "size must read WIDTHxHEIGHT\n");
        return 2;
    }
    if (!outDir.isEmpty())
        QDir().mkpath(outDir);

    // The drawn cats first, then every built-in artwork over every kind of background.
    std::vector<SyntheticCat> cases;
    for (int i = 0; i < count; ++i)
        cases.push_back(makeSyntheticCat(i, size));
    BundledCat bundled(BundledCat::findBundle());
    int artworkIndex = 0;
    for (const CatSkin& skin : bundled.skins()) {
        const std::optional<QImage> artwork = bundled.image(*skin.imageFile);
        if (!artwork)
            continue;
        const QString name = QFileInfo(*skin.imageFile).baseName();
        for (int background = 0; background < 6; ++background, ++artworkIndex)
            cases.push_back(makeArtworkCat(artworkIndex, *artwork, name, size));
    }
    if (artworkIndex == 0)
        std::printf("(no built-in artwork found: build the purrtick_artwork target)\n");

    std::vector<double> scores, times;
    for (const SyntheticCat& cat : cases) {
        QElapsedTimer timer;
        timer.start();
        // As the editor does it: the learned model when one is installed, else the built-in method.
        const ForegroundSegmentation::Result result = ImageEditing::cutOut(cat.picture);
        times.push_back(timer.nsecsElapsed() / 1e6);
        const double iou = intersectionOverUnion(cat, result);
        scores.push_back(iou);
        std::printf("%-36s IoU %.3f  %6.1f ms%s\n", qPrintable(cat.name), iou, times.back(),
                    result.cutout ? "" : "  (nothing found)");
        if (!outDir.isEmpty()) {
            cat.picture.save(outDir + QStringLiteral("/%1.png").arg(cat.name));
            if (result.cutout)
                result.cutout->save(outDir + QStringLiteral("/%1-cut.png").arg(cat.name));
            errorMap(cat, result).save(outDir + QStringLiteral("/%1-error.png").arg(cat.name));
        }
    }
    auto summary = [&](const char* what, size_t from, size_t to) {
        if (from >= to)
            return;
        double mean = 0;
        for (size_t i = from; i < to; ++i)
            mean += scores[i];
        mean /= double(to - from);
        std::printf("%-10s %3zu cases at %dx%d: mean IoU %.3f, worst %.3f\n", what, to - from,
                    size.width(), size.height(), mean,
                    *std::min_element(scores.begin() + std::ptrdiff_t(from),
                                      scores.begin() + std::ptrdiff_t(to)));
    };
    std::printf("\n");
    summary("drawn", 0, size_t(count));
    summary("artwork", size_t(count), scores.size());
    summary("all", 0, scores.size());
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    std::printf("median time per picture %.0f ms\n", sorted[sorted.size() / 2]);

    // A 12-megapixel photo through the whole operation: decode, segment, encode.
    const SyntheticCat big = makeSyntheticCat(7, QSize(4000, 3000));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(big.picture);
    if (!outDir.isEmpty()) {
        QFile file(outDir + QStringLiteral("/photo-12mp.jpg"));
        if (file.open(QIODevice::WriteOnly))
            file.write(jpeg);
    }
    std::vector<double> bigTimes;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        const auto png = ImageEditing::removeBackgroundPNG(jpeg);
        bigTimes.push_back(timer.nsecsElapsed() / 1e6);
        if (!png)
            std::printf("12 MP: nothing found\n");
    }
    std::sort(bigTimes.begin(), bigTimes.end());
    std::printf("12 MP JPEG to cut-out PNG: median %.0f ms (min %.0f, max %.0f)\n", bigTimes[2],
                bigTimes.front(), bigTimes.back());
    std::printf("12 MP IoU %.3f\n",
                intersectionOverUnion(big, ForegroundSegmentation::cutOut(big.picture)));
    return 0;
}
