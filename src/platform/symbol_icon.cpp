#include "platform/symbol_icon.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace SymbolIcon {
namespace {

QString resourcePath(const QString& name) {
    return QStringLiteral(":/symbols/") + name + QStringLiteral(".svg");
}

class TintedSymbolEngine : public QIconEngine {
public:
    TintedSymbolEngine(QString name, QColor color)
        : m_name(std::move(name))
        , m_color(std::move(color)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QColor color = m_color;
        if (mode == QIcon::Disabled)
            color.setAlphaF(color.alphaF() * 0.4f);
        painter->drawImage(rect, render(m_name, rect.size(), color, dpr));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        const QSize device = (QSizeF(size) * scale).toSize();
        QImage image = render(m_name, device, m_color, 1.0);
        if (mode == QIcon::Disabled) {
            QPainter painter(&image);
            painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            painter.fillRect(image.rect(), QColor(0, 0, 0, 102));
        }
        QPixmap pixmap = QPixmap::fromImage(std::move(image));
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    QIconEngine* clone() const override { return new TintedSymbolEngine(m_name, m_color); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(16, 16), QSize(22, 22), QSize(24, 24),
                QSize(32, 32), QSize(48, 48), QSize(64, 64)};
    }

private:
    QString m_name;
    QColor m_color;
};

} // namespace

bool exists(const QString& name) {
    return QFile::exists(resourcePath(name));
}

QImage render(const QString& name, QSize size, const QColor& color, qreal devicePixelRatio) {
    if (size.isEmpty() || !exists(name))
        return {};
    QSvgRenderer renderer(resourcePath(name));
    if (!renderer.isValid())
        return {};

    const QSize device = (QSizeF(size) * devicePixelRatio).toSize();
    QImage image(device, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(devicePixelRatio);

    QSizeF drawn = QSizeF(renderer.defaultSize()).scaled(QSizeF(device), Qt::KeepAspectRatio);
    const QRectF target(
        QPointF((device.width() - drawn.width()) / 2.0, (device.height() - drawn.height()) / 2.0),
        drawn);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The icons are drawn in "currentColor" (black); the colour replaces it, keeping coverage.
    painter.scale(1.0 / devicePixelRatio, 1.0 / devicePixelRatio);
    renderer.render(&painter, target);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(device)), color);
    return image;
}

QImage cachedRender(const QString& name, QSize size, const QColor& color, qreal devicePixelRatio) {
    struct Entry {
        QString name;
        QSize size;
        QRgb color;
        qreal ratio;
        QImage image;
    };
    static QList<Entry> entries;
    constexpr qsizetype kCapacity = 48;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const Entry& e = entries.at(i);
        if (e.name == name && e.size == size && e.color == color.rgba() &&
            e.ratio == devicePixelRatio) {
            if (i > 0)
                entries.move(i, 0);
            return entries.front().image;
        }
    }
    entries.prepend(Entry{name, size, color.rgba(), devicePixelRatio,
                          render(name, size, color, devicePixelRatio)});
    if (entries.size() > kCapacity)
        entries.removeLast();
    return entries.front().image;
}

void draw(QPainter& painter, const QString& name, const QRectF& box, const QColor& color) {
    const QSize size = box.size().toSize().expandedTo(QSize(1, 1));
    painter.drawImage(box, cachedRender(name, size, color, painter.device()->devicePixelRatioF()));
}

QIcon icon(const QString& name, const QColor& color) {
    return QIcon(new TintedSymbolEngine(name, color));
}

} // namespace SymbolIcon
