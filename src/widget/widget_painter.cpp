#include "widget/widget_painter.h"

#include "platform/symbol_icon.h"
#include "widget/cat_figure.h"
#include "widget/layer_drawing.h"
#include "widget/soft_shadow.h"
#include "widget/widget_geometry.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

const QColor kRed(0xFF, 0x3B, 0x30);

QRectF centred(QPointF centre, double side) {
    return QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side);
}

qreal ratioOf(const QPainter& painter) {
    return painter.device()->devicePixelRatioF();
}

} // namespace

QColor WidgetPainter::timeColor(const QColor& base, TimerState state) {
    switch (state) {
    case TimerState::idle: {
        QColor faded = base;
        faded.setAlphaF(base.alphaF() * 0.7f);
        return faded;
    }
    case TimerState::running:
        return base;
    case TimerState::paused:
        return QColor(0xFF, 0xCC, 0x00);
    case TimerState::done:
        return kRed;
    }
    return base;
}

void WidgetPainter::paintBackdrop(QPainter& painter, const WidgetScene& scene) {
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(scene.bounds, QColor(255, 255, 255, 1));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    paintCat(painter, scene);
}

void WidgetPainter::paintBackdropFromLayer(QPainter& painter, const WidgetScene& scene,
                                           QRect area) {
    const qreal ratio = ratioOf(painter);
    const QString key = scene.skin.id + QLatin1Char('/') + QString::number(int(scene.state)) +
                        QLatin1Char('/') + QString::number(scene.rotation) + QLatin1Char('/') +
                        QString::number(scene.photo ? scene.photo->cacheKey() : 0) +
                        QLatin1Char('/') + QString::number(scene.geometry.scale());
    if (m_backdrop.rect != area || m_backdrop.ratio != ratio || m_backdrop.key != key) {
        QImage image((QSizeF(area.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter offscreen(&image);
        offscreen.setRenderHints(painter.renderHints());
        offscreen.translate(-area.topLeft());
        paintBackdrop(offscreen, scene);
        offscreen.end();
        m_backdrop = {area, ratio, key, std::move(image)};
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(area.topLeft(), m_backdrop.image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void WidgetPainter::dropBackdropLayer() {
    if (!m_backdrop.image.isNull())
        m_backdrop = {};
}

void WidgetPainter::paintCat(QPainter& painter, const WidgetScene& scene) {
    const WidgetGeometry& geometry = scene.geometry;
    const double scale = geometry.scale();
    const QPointF centre = geometry.centre();
    const QSizeF content = geometry.catContentSize(scene.skin.isCustom);
    painter.save();
    painter.setTransform(geometry.catTransform(content, scene.rotation), true);
    if (scene.photo) {
        const QSizeF drawn = content * scene.photoScale;
        const QRectF target =
            centred(centre, 1).adjusted(-drawn.width() / 2 + 0.5, -drawn.height() / 2 + 0.5,
                                        drawn.width() / 2 - 0.5, drawn.height() / 2 - 0.5);
        LayerDrawing::draw(painter, target,
                           photoLayer(*scene.photo, target.size(), ratioOf(painter)));
    } else if (scene.skin.isCustom && !scene.photoLoading) {
        // (While a photo is still being decoded nothing is drawn in its place.)
        CatFigure::paintPhotoPlaceholder(painter, centre, scale,
                                         QStringLiteral("설정에서 사진을 골라주세요"), 0.85);
    } else if (!scene.skin.isCustom) {
        scene.figure.paint(painter, centre, scale * WidgetGeometry::kFigureScale);
    }
    painter.restore();
}

const QImage& WidgetPainter::photoLayer(const QImage& photo, QSizeF size, qreal ratio) {
    // The photo scaled once to the size it is drawn at (the display-size decode is still up to
    // ten times larger), so a repaint of the time text copies pixels instead of filtering the
    // whole photo down again.
    const QSize pixels = (size * ratio).toSize().expandedTo(QSize(1, 1));
    if (m_photoLayer.key != photo.cacheKey() || m_photoLayer.image.size() != pixels) {
        m_photoLayer.key = photo.cacheKey();
        m_photoLayer.image = photo.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        m_photoLayer.image.setDevicePixelRatio(ratio);
    }
    return m_photoLayer.image;
}

void WidgetPainter::paintText(QPainter& painter, const WidgetScene& scene) {
    if (scene.textOpacity <= 0.0)
        return;
    const OutlinedText::Rendering& text = OutlinedText::cached(
        scene.text, scene.geometry.fontSize(), scene.textStyle, ratioOf(painter));
    painter.save();
    painter.setOpacity(scene.textOpacity);
    LayerDrawing::draw(painter, scene.geometry.textRect().center() - text.center, text.image);
    painter.restore();
}

const QImage& WidgetPainter::cachedLayer(const QString& key, QSizeF size, qreal ratio,
                                         const std::function<void(QPainter&)>& draw) {
    const QString fullKey = key + QLatin1Char('@') + QString::number(size.width()) +
                            QLatin1Char('x') + QString::number(size.height()) + QLatin1Char('@') +
                            QString::number(ratio);
    if (const auto found = m_layers.find(fullKey); found != m_layers.end())
        return found->second;
    // Each scale the resize grip passes through makes new sizes: only a few are kept.
    if (m_layers.size() >= 12)
        m_layers.clear();
    const QSize pixels = (size * ratio).toSize().expandedTo(QSize(1, 1));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    draw(painter);
    painter.end();
    return m_layers.emplace(fullKey, std::move(image)).first->second;
}

void WidgetPainter::paintDisc(QPainter& painter, QPointF centre, double diameter,
                              const QString& symbol, double iconSide, int darkness,
                              double opacity) {
    if (opacity <= 0.0)
        return;
    // An antialiased disc costs as much to draw as a whole frame of the pulse: drawn once.
    const qreal ratio = ratioOf(painter);
    const double side = std::ceil(diameter * ratio) / ratio;
    const QString key = symbol + QLatin1Char('/') + QString::number(iconSide) + QLatin1Char('/') +
                        QString::number(darkness);
    const QImage& layer = cachedLayer(key, QSizeF(side, side), ratio, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, darkness));
        const QPointF middle(side / 2, side / 2);
        p.drawEllipse(middle, diameter / 2, diameter / 2);
        SymbolIcon::draw(p, symbol, centred(middle, iconSide), Qt::white);
    });
    painter.save();
    painter.setOpacity(opacity);
    LayerDrawing::draw(painter, centred(centre, side), layer);
    painter.restore();
}

const QImage& WidgetPainter::alertButtonLayer(QSizeF size, qreal ratio, double scale,
                                              const QFont& face) {
    // Filled red, its label and symbol in white.
    return cachedLayer(QStringLiteral("alert button"), size, ratio, [&](QPainter& painter) {
        const QRectF button(QPointF(0, 0), size);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kRed);
        painter.drawRoundedRect(button, button.height() / 2, button.height() / 2);
        QFont font = face;
        font.setPixelSize(std::max(1, int(std::lround(12 * scale))));
        font.setBold(true);
        painter.setFont(font);
        const QString label = QStringLiteral("끄기");
        const double labelWidth = QFontMetricsF(font).horizontalAdvance(label);
        const double icon = 12 * scale;
        const double gap = 4 * scale;
        const double left = button.center().x() - (icon + gap + labelWidth) / 2;
        SymbolIcon::draw(painter, QStringLiteral("bell.slash.fill"),
                         QRectF(left, button.center().y() - icon / 2, icon, icon), Qt::white);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(left + icon + gap, button.top(), labelWidth + 2, button.height()),
                         Qt::AlignVCenter | Qt::AlignLeft, label);
    });
}

const QImage& WidgetPainter::buttonSymbolLayer(const QString& symbol, QSizeF size, qreal ratio,
                                               double scale) {
    // The symbol over a soft black shadow.
    return cachedLayer(QStringLiteral("button/") + symbol, size, ratio, [&](QPainter& painter) {
        QImage layer((size * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        layer.setDevicePixelRatio(ratio);
        {
            QPainter p(&layer);
            SymbolIcon::draw(
                p, symbol, centred(QPointF(size.width() / 2, size.height() / 2), 14 * scale * 1.2),
                Qt::white);
        }
        painter.drawImage(QPointF(0, 0), SoftShadow::withShadow(layer, 2 * scale, QPointF(0, 0),
                                                                QColor(0, 0, 0, 179)));
    });
}

void WidgetPainter::paintControls(QPainter& painter, const WidgetScene& scene,
                                  const QRectF& dirty) {
    const WidgetGeometry& geometry = scene.geometry;
    const double scale = geometry.scale();
    const double controls = scene.controlsOpacity;
    const QRectF button = geometry.controlRect();
    if (!scene.clock && dirty.intersects(button)) {
        if (scene.alerting) {
            // Drawn one to one from its layer, where the button sits on whole pixels.
            LayerDrawing::draw(
                painter, button.topLeft(),
                alertButtonLayer(button.size(), ratioOf(painter), scale, scene.font));
        } else if (controls > 0.0) {
            const QString symbol = scene.state == TimerState::running ? QStringLiteral("pause.fill")
                                   : scene.state == TimerState::done
                                       ? QStringLiteral("arrow.clockwise")
                                       : QStringLiteral("play.fill");
            painter.save();
            painter.setOpacity(controls);
            LayerDrawing::draw(painter, button.topLeft(),
                               buttonSymbolLayer(symbol, button.size(), ratioOf(painter), scale));
            painter.restore();
        }
    }
    const QString resizeSymbol = QStringLiteral("arrow.up.left.and.arrow.down.right");
    // The text's size handle sits on the text's bottom-trailing corner.
    const QRectF handle = geometry.sizeHandleRect();
    if (controls > 0.0 && dirty.intersects(handle))
        paintDisc(painter, handle.center(), handle.width(), resizeSymbol, 8 * scale, 140, controls);
    const double gripDisc = 21 * scale;
    if (dirty.intersects(geometry.resizeArea()))
        paintDisc(painter, geometry.resizeArea().center(), gripDisc, resizeSymbol, 11 * scale, 128,
                  0.9 * controls);
    if (dirty.intersects(geometry.rotateArea()))
        paintDisc(painter, geometry.rotateArea().center(), gripDisc,
                  QStringLiteral("arrow.triangle.2.circlepath"), 11 * scale, 128, controls);
}
