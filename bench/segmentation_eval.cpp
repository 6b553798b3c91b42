// Measures the background removal on synthetic composites with exact masks: intersection over
// union of the cut-out's alpha against the truth, and the time per picture.
//   segmentation_eval [COUNT] [OUTPUT_DIR]
// With OUTPUT_DIR, each composite and its cut-out are saved there for looking at.
#include "cats/foreground_segmentation.h"
#include "cats/image_editing.h"
#include "synthetic_cats.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 36;
    const QString outDir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (!outDir.isEmpty())
        QDir().mkpath(outDir);

    std::vector<double> scores, times;
    for (int i = 0; i < count; ++i) {
        const SyntheticCat cat = makeSyntheticCat(i, QSize(800, 600));
        QElapsedTimer timer;
        timer.start();
        const ForegroundSegmentation::Result result = ForegroundSegmentation::cutOut(cat.picture);
        times.push_back(timer.nsecsElapsed() / 1e6);
        const double iou = intersectionOverUnion(cat, result);
        scores.push_back(iou);
        std::printf("%-28s IoU %.3f  %6.1f ms%s\n", qPrintable(cat.name), iou, times.back(),
                    result.cutout ? "" : "  (nothing found)");
        if (!outDir.isEmpty()) {
            cat.picture.save(outDir + QStringLiteral("/%1.png").arg(cat.name));
            if (result.cutout)
                result.cutout->save(outDir + QStringLiteral("/%1-cut.png").arg(cat.name));
        }
    }
    double mean = 0;
    for (double s : scores)
        mean += s;
    mean /= std::max<size_t>(1, scores.size());
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    std::printf("\n%d cases at 800x600: mean IoU %.3f, worst %.3f, median %.0f ms\n", count, mean,
                *std::min_element(scores.begin(), scores.end()), sorted[sorted.size() / 2]);

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
    return 0;
}
