// Pictures of cut-outs' soft edges before and after the background's colour is taken out, on a
// dark and a light background, for looking at halos:
//   PURRTICK_MODEL_DIR=... edge_colour_shots PHOTO_DIR OUTPUT_DIR [COUNT]
// PHOTO_DIR holds photos under images/; each gives one row: the cut-out's top edge enlarged,
// the photo itself, then the cut as photographed (a pair) and cleaned (a pair), each over dark
// and over light.
#include "cats/foreground_segmentation.h"
#include "cats/image_decoding.h"
#include "cats/model_segmentation.h"
#include "cats/saliency_model.h"
#include "cats/segmentation_model_file.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

namespace {

constexpr int kTile = 220;

// The photo's pixels under the mask, as they were photographed.
QImage photographed(const QImage& picture, const QImage& mask) {
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(out.scanLine(y));
        const uchar* m = mask.constScanLine(y);
        for (int x = 0; x < out.width(); ++x)
            px[x] = qRgba(qRed(px[x]), qGreen(px[x]), qBlue(px[x]), m[x]);
    }
    return out;
}

// A square of the cut around the middle of its top edge, enlarged, over `ground`.
QImage tile(const QImage& cut, QPoint centre, int side, QColor ground) {
    QImage out(kTile, kTile, QImage::Format_ARGB32_Premultiplied);
    out.fill(ground);
    QPainter p(&out);
    p.drawImage(QRect(0, 0, kTile, kTile),
                cut.copy(QRect(centre - QPoint(side / 2, side / 2), QSize(side, side))));
    return out;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: edge_colour_shots PHOTO_DIR OUTPUT_DIR [COUNT]\n");
        return 2;
    }
    const QDir images(QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("images")));
    const QString outDir = QString::fromLocal8Bit(argv[2]);
    const int count = argc > 3 ? std::atoi(argv[3]) : 5;
    QDir().mkpath(outDir);
    const std::optional<QString> path = SegmentationModelFile::find();
    QString error;
    const std::shared_ptr<SaliencyModel> model =
        path ? SaliencyModel::load(*path, &error) : nullptr;
    int done = 0;
    for (const QFileInfo& file : images.entryInfoList(QDir::Files, QDir::Name)) {
        if (done == count)
            break;
        const std::optional<QImage> picture = ImageDecoding::decodeFile(file.filePath());
        if (!picture)
            continue;
        const QImage mask = model ? ModelSegmentation::foregroundMask(*picture, *model)
                                  : ForegroundSegmentation::foregroundMask(*picture);
        if (mask.isNull())
            continue;
        const ForegroundSegmentation::Result cleaned =
            ForegroundSegmentation::cutOutWith(*picture, mask);
        if (!cleaned.cutout)
            continue;
        QImage clean(picture->size(), QImage::Format_ARGB32_Premultiplied);
        clean.fill(Qt::transparent);
        QPainter(&clean).drawImage(cleaned.bounds.topLeft(), *cleaned.cutout);
        const QImage raw = photographed(*picture, mask);
        // The middle of the cut's top edge: its first partly kept pixel down the middle column.
        const int x = cleaned.bounds.center().x();
        int y = cleaned.bounds.top();
        while (y < cleaned.bounds.bottom() && mask.constScanLine(y)[x] < 128)
            ++y;
        const int side = std::max(40, cleaned.bounds.width() / 6);
        QImage row(kTile * 5 + 24, kTile, QImage::Format_ARGB32_Premultiplied);
        row.fill(Qt::white);
        QPainter p(&row);
        const QColor dark(32, 32, 36), light(245, 245, 242);
        p.drawImage(0, 0, tile(*picture, QPoint(x, y), side, dark));
        p.drawImage(kTile + 12, 0, tile(raw, QPoint(x, y), side, dark));
        p.drawImage(2 * kTile + 12, 0, tile(raw, QPoint(x, y), side, light));
        p.drawImage(3 * kTile + 24, 0, tile(clean, QPoint(x, y), side, dark));
        p.drawImage(4 * kTile + 24, 0, tile(clean, QPoint(x, y), side, light));
        p.end();
        row.save(QDir(outDir).filePath(file.completeBaseName() + QStringLiteral("-edge.png")));
        std::printf("%s\n", qPrintable(file.completeBaseName()));
        ++done;
    }
    return 0;
}
