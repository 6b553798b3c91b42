#include "synthetic_cats.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRandomGenerator>

#include <cmath>

namespace {

// Every camera adds some grain to the whole picture.
constexpr int kSensorNoise = 4;

QPainterPath catShape(QRandomGenerator& rng, QSizeF size) {
    const double w = size.width(), h = size.height();
    const double s = std::min(w, h) * (0.45 + 0.2 * rng.generateDouble());
    const QPointF centre(w * (0.4 + 0.2 * rng.generateDouble()),
                         h * (0.5 + 0.1 * rng.generateDouble()));
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    // Body, sitting.
    const QRectF body(centre.x() - s * 0.35, centre.y() - s * 0.15, s * 0.7, s * 0.6);
    path.addEllipse(body);
    // Head and ears.
    const double headR = s * 0.2;
    const QPointF head(centre.x() + s * (rng.generateDouble() - 0.5) * 0.2, centre.y() - s * 0.25);
    path.addEllipse(head, headR * 1.1, headR);
    for (int side : {-1, 1}) {
        QPolygonF ear;
        ear << QPointF(head.x() + side * headR * 0.25, head.y() - headR * 0.7)
            << QPointF(head.x() + side * headR * 0.95, head.y() - headR * 0.35)
            << QPointF(head.x() + side * headR * 0.75, head.y() - headR * 1.55);
        path.addPolygon(ear);
        path.closeSubpath();
    }
    // Front paws.
    for (int side : {-1, 1})
        path.addEllipse(QPointF(centre.x() + side * s * 0.14, body.bottom() - s * 0.03), s * 0.09,
                        s * 0.06);
    // Tail, a thick curve.
    QPainterPath tail;
    const double dir = rng.bounded(2) ? 1 : -1;
    tail.moveTo(centre.x() + dir * s * 0.3, body.bottom() - s * 0.1);
    tail.cubicTo(centre.x() + dir * s * 0.65, body.bottom() - s * 0.05, centre.x() + dir * s * 0.7,
                 centre.y() - s * 0.2, centre.x() + dir * s * 0.55, centre.y() - s * 0.35);
    QPainterPathStroker stroker;
    stroker.setWidth(s * 0.07);
    stroker.setCapStyle(Qt::RoundCap);
    path.addPath(stroker.createStroke(tail));
    return path.simplified();
}

QColor furColour(int kind, QRandomGenerator& rng) {
    static const QColor furs[] = {QColor(226, 140, 60), QColor(120, 120, 125),
                                  QColor(35, 32, 30),   QColor(240, 236, 228),
                                  QColor(170, 120, 80), QColor(200, 170, 130)};
    QColor c = furs[kind % 6];
    return c.lighter(90 + rng.bounded(20));
}

void noise(QImage& image, QRandomGenerator& rng, int amount) {
    for (int y = 0; y < image.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = rng.bounded(2 * amount + 1) - amount;
            const QRgb p = px[x];
            px[x] = qRgba(std::clamp(qRed(p) + n, 0, 255), std::clamp(qGreen(p) + n, 0, 255),
                          std::clamp(qBlue(p) + n, 0, 255), qAlpha(p));
        }
    }
}

void paintBackground(QPainter& p, int kind, QSize size, QRandomGenerator& rng, QColor fur) {
    const QRectF all(QPointF(0, 0), QSizeF(size));
    switch (kind % 6) {
    case 0: { // gradient
        QLinearGradient g(all.topLeft(), all.bottomRight());
        g.setColorAt(0, QColor::fromHsv(rng.bounded(360), 90, 230));
        g.setColorAt(1, QColor::fromHsv(rng.bounded(360), 140, 120));
        p.fillRect(all, g);
        break;
    }
    case 1: // flat with noise (added later)
        p.fillRect(all, QColor::fromHsv(rng.bounded(360), 60, 200));
        break;
    case 2: { // busy pattern: many shapes
        p.fillRect(all, QColor(210, 205, 190));
        for (int i = 0; i < 160; ++i) {
            p.setBrush(
                QColor::fromHsv(rng.bounded(360), 80 + rng.bounded(150), 80 + rng.bounded(170)));
            p.setPen(Qt::NoPen);
            const double r = size.width() * (0.01 + 0.05 * rng.generateDouble());
            p.drawEllipse(QPointF(rng.bounded(size.width()), rng.bounded(size.height())), r, r);
        }
        break;
    }
    case 3: { // stripes, like wallpaper or a floor
        p.fillRect(all, QColor(90, 110, 140));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(150, 160, 175));
        const int step = std::max(8, size.width() / 24);
        for (int x = -size.height(); x < size.width(); x += step * 2)
            p.drawPolygon(QPolygonF({QPointF(x, 0), QPointF(x + step, 0),
                                     QPointF(x + step + size.height(), size.height()),
                                     QPointF(x + size.height(), size.height())}));
        break;
    }
    case 4: { // similar colours: the fur's own hue, a little darker, with texture
        p.fillRect(all, fur.darker(135));
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 60; ++i) {
            p.setBrush(fur.darker(110 + rng.bounded(50)));
            const double r = size.width() * (0.02 + 0.04 * rng.generateDouble());
            p.drawEllipse(QPointF(rng.bounded(size.width()), rng.bounded(size.height())), r,
                          r * 0.6);
        }
        break;
    }
    default: { // room: a wall and a floor
        p.fillRect(QRectF(0, 0, size.width(), size.height() * 0.62), QColor(230, 225, 210));
        p.fillRect(QRectF(0, size.height() * 0.62, size.width(), size.height()),
                   QColor(140, 100, 70));
        break;
    }
    }
}

// A background of that kind, with its texture where the kind has one.
QImage background(int kind, QSize size, QRandomGenerator& rng, QColor fur) {
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        paintBackground(p, kind, size, rng, fur);
    }
    if (kind == 1 || kind == 4)
        noise(picture, rng, 18);
    return picture;
}

} // namespace

SyntheticCat makeSyntheticCat(int index, QSize size) {
    QRandomGenerator rng(quint32(1000 + index));
    const int furKind = index % 6;
    const int backgroundKind = (index / 6 + index) % 6;
    const QColor fur = furColour(furKind, rng);

    const QPainterPath shape = catShape(rng, QSizeF(size));
    SyntheticCat cat;
    cat.name = QStringLiteral("case%1-fur%2-bg%3").arg(index).arg(furKind).arg(backgroundKind);
    cat.picture = background(backgroundKind, size, rng, fur);

    QImage catLayer(size, QImage::Format_ARGB32_Premultiplied);
    catLayer.fill(Qt::transparent);
    {
        QPainter p(&catLayer);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(shape, fur);
        p.setClipPath(shape);
        // Stripes or calico patches, and a lighter chest.
        p.setPen(Qt::NoPen);
        const QRectF box = shape.boundingRect();
        if (furKind == 0 || furKind == 1) {
            p.setBrush(fur.darker(150));
            for (double y = box.top(); y < box.bottom(); y += box.height() / 14)
                p.drawRect(QRectF(box.left(), y, box.width(), box.height() / 40));
        } else if (furKind == 3) {
            for (int i = 0; i < 4; ++i) {
                p.setBrush(i % 2 ? QColor(40, 35, 30) : QColor(220, 130, 50));
                p.drawEllipse(QPointF(box.left() + box.width() * rng.generateDouble(),
                                      box.top() + box.height() * rng.generateDouble()),
                              box.width() * 0.15, box.height() * 0.12);
            }
        }
        p.setBrush(fur.lighter(125));
        p.drawEllipse(QPointF(box.center().x(), box.center().y() + box.height() * 0.1),
                      box.width() * 0.12, box.height() * 0.15);
        // Eyes.
        p.setBrush(QColor(60, 160, 60));
        const QPointF head(box.center().x(), box.top() + box.height() * 0.3);
        p.drawEllipse(head + QPointF(-box.width() * 0.06, 0), box.width() * 0.025,
                      box.height() * 0.02);
        p.drawEllipse(head + QPointF(box.width() * 0.06, 0), box.width() * 0.025,
                      box.height() * 0.02);
    }
    noise(catLayer, rng, 10);
    {
        // Fur noise must not leak outside the shape.
        QPainter p(&catLayer);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QImage clip(size, QImage::Format_ARGB32_Premultiplied);
        clip.fill(Qt::transparent);
        QPainter c(&clip);
        c.setRenderHint(QPainter::Antialiasing);
        c.fillPath(shape, Qt::black);
        c.end();
        p.drawImage(0, 0, clip);
    }
    {
        QPainter p(&cat.picture);
        // A soft contact shadow, as in real photos.
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF box = shape.boundingRect();
        // An ellipse under the cat that fades out completely before its rim.
        const double radius = box.width() * 0.6;
        QRadialGradient g(QPointF(0, 0), radius);
        g.setColorAt(0, QColor(0, 0, 0, 70));
        g.setColorAt(1, QColor(0, 0, 0, 0));
        p.save();
        p.translate(box.center().x(), box.bottom());
        p.scale(1.0, box.height() * 0.12 / radius);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(QPointF(0, 0), radius, radius);
        p.restore();
        p.drawImage(0, 0, catLayer);
    }

    noise(cat.picture, rng, kSensorNoise);

    cat.truth = QImage(size, QImage::Format_Grayscale8);
    cat.truth.fill(0);
    QPainter t(&cat.truth);
    t.setRenderHint(QPainter::Antialiasing);
    t.fillPath(shape, Qt::white);
    return cat;
}

SyntheticCat makeArtworkCat(int index, const QImage& artwork, const QString& artworkName,
                            QSize size) {
    QRandomGenerator rng(quint32(5000 + index));
    const int backgroundKind = index % 6;
    // The artwork's average colour stands in for the fur when a background copies it.
    const QImage tiny = artwork.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_ARGB32);
    const QRgb average = tiny.pixel(0, 0); // not premultiplied in this format
    const QColor fur =
        qAlpha(average) ? QColor(qRed(average), qGreen(average), qBlue(average)) : QColor(Qt::gray);

    SyntheticCat cat;
    cat.name = QStringLiteral("art%1-%2-bg%3").arg(index).arg(artworkName).arg(backgroundKind);
    cat.picture = background(backgroundKind, size, rng, fur);

    // Large, off-centre a little, as a photo would frame it.
    const double side = std::min(size.width(), size.height()) * (0.6 + 0.25 * rng.generateDouble());
    const QSizeF drawn = QSizeF(artwork.size()).scaled(side, side, Qt::KeepAspectRatio);
    const QPointF topLeft((size.width() - drawn.width()) * (0.3 + 0.4 * rng.generateDouble()),
                          (size.height() - drawn.height()) * (0.3 + 0.5 * rng.generateDouble()));
    const QRectF target(topLeft, drawn);
    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(target, artwork);
    }
    {
        QPainter p(&cat.picture);
        p.drawImage(0, 0, layer);
    }
    noise(cat.picture, rng, kSensorNoise);

    cat.truth = QImage(size, QImage::Format_Grayscale8);
    for (int y = 0; y < size.height(); ++y) {
        const auto* px = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        uchar* out = cat.truth.scanLine(y);
        for (int x = 0; x < size.width(); ++x)
            out[x] = uchar(qAlpha(px[x]));
    }
    return cat;
}

double intersectionOverUnion(const SyntheticCat& cat, const ForegroundSegmentation::Result& r) {
    qint64 both = 0, either = 0;
    for (int y = 0; y < cat.truth.height(); ++y) {
        const uchar* truth = cat.truth.constScanLine(y);
        for (int x = 0; x < cat.truth.width(); ++x) {
            const bool predicted =
                r.cutout && r.bounds.contains(x, y) &&
                qAlpha(r.cutout->pixel(x - r.bounds.x(), y - r.bounds.y())) > 127;
            const bool actual = truth[x] > 127;
            both += predicted && actual;
            either += predicted || actual;
        }
    }
    return either == 0 ? 1.0 : double(both) / double(either);
}
