#include "settings_window/photo_cell.h"

#include "platform/symbol_icon.h"
#include "settings_window/photo_thumbnails.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kInset = 3;
constexpr qreal kOutlineWidth = 2;
constexpr int kMenuSide = 18;
const QColor kDoneRed(0xFF, 0x3B, 0x30);

// The "more" symbol in two colours: white dots on a dark translucent disc, readable over any
// photo.
QImage menuSymbol(qreal ratio) {
    const QSize size(kMenuSide, kMenuSide);
    QImage dark = SymbolIcon::cachedRender(QStringLiteral("ellipsis.circle.fill"), size,
                                           QColor(0, 0, 0, 115), ratio);
    QImage image(dark.size(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // White inside the circle; the symbol's own shape then covers all of it but the dots.
    const QRectF disc = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(3, 3, -3, -3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(disc);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    painter.drawImage(
        QPointF(0, 0),
        SymbolIcon::cachedRender(QStringLiteral("ellipsis.circle.fill"), size, Qt::black, ratio));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPointF(0, 0), dark);
    return image;
}

// The menu button: the symbol alone, borderless, at its natural size.
class MenuButton : public QAbstractButton {
public:
    explicit MenuButton(QWidget* parent)
        : QAbstractButton(parent) {
        setFixedSize(kMenuSide, kMenuSide);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(QPointF(0, 0), menuSymbol(devicePixelRatioF()));
        if (hasFocus()) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
            painter.drawEllipse(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75));
        }
    }
};

} // namespace

PhotoCell::PhotoCell(const QString& fileName, const QString& path, bool isNormal, bool isDone,
                     PhotoThumbnails& thumbnails, QWidget* parent)
    : QAbstractButton(parent)
    , m_fileName(fileName)
    , m_path(path)
    , m_isNormal(isNormal)
    , m_isDone(isDone)
    , m_thumbnails(thumbnails)
    , m_menuButton(new MenuButton(this)) {
    setFixedSize(kSide, kSide);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(isNormal && isDone ? QStringLiteral("평소·완료 사진")
                      : isNormal         ? QStringLiteral("평소 사진")
                      : isDone           ? QStringLiteral("완료 사진")
                                         : QStringLiteral("사진"));
    m_menuButton->setObjectName(QStringLiteral("photoMenu"));
    m_menuButton->setAccessibleName(QStringLiteral("사진 메뉴"));
    m_menuButton->move(kSide - kInset - kMenuSide, kInset);
    connect(m_menuButton, &QAbstractButton::clicked, this, [this] {
        emit menuRequested(m_menuButton->mapToGlobal(QPoint(0, m_menuButton->height())));
    });
}

void PhotoCell::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF box = QRectF(rect()).adjusted(kOutlineWidth / 2, kOutlineWidth / 2,
                                               -kOutlineWidth / 2, -kOutlineWidth / 2);
    QPainterPath shape;
    shape.addRoundedRect(box, kCornerRadius, kCornerRadius);
    QColor grey(Qt::gray);
    grey.setAlphaF(0.15);
    painter.fillPath(shape, grey);

    const qreal ratio = devicePixelRatioF();
    const PhotoThumbnails::Result thumbnail = m_thumbnails.thumbnail(m_path, qRound(kSide * ratio));
    if (thumbnail.status == PhotoThumbnails::Status::ready) {
        const QSizeF drawn =
            QSizeF(thumbnail.image.size()).scaled(QSizeF(kSide, kSide), Qt::KeepAspectRatio);
        const QRectF target(QPointF((kSide - drawn.width()) / 2, (kSide - drawn.height()) / 2),
                            drawn);
        painter.save();
        painter.setClipPath(shape);
        painter.drawImage(target, thumbnail.image);
        painter.restore();
    } else if (thumbnail.status == PhotoThumbnails::Status::unreadable) {
        const qreal side = 26;
        SymbolIcon::draw(painter, QStringLiteral("photo"),
                         QRectF((kSide - side) / 2, (kSide - side) / 2, side, side),
                         palette().color(QPalette::PlaceholderText));
    }
    // Until the thumbnail is ready the grey square stands in for it.

    if (m_isNormal) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), kOutlineWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(shape);
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(3, 3, -3, -3), kCornerRadius - 2, kCornerRadius - 2);
    }
    paintBadges(painter);
}

void PhotoCell::contextMenuEvent(QContextMenuEvent* event) {
    emit menuRequested(event->globalPos());
}

void PhotoCell::paintBadges(QPainter& painter) {
    // Sized in the cell's own units: the badges must fit two side by side in 64 points.
    QFont font = this->font();
    font.setPixelSize(8);
    font.setBold(true);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    qreal x = kInset;
    const qreal height = metrics.height() + 2;
    const qreal y = kSide - kInset - height;
    auto badge = [&](const QString& text, const QColor& colour) {
        const QRectF capsule(x, y, metrics.horizontalAdvance(text) + 8, height);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawRoundedRect(capsule, height / 2, height / 2);
        painter.setPen(Qt::white);
        painter.drawText(capsule, Qt::AlignCenter, text);
        x = capsule.right() + 2;
    };
    if (m_isNormal)
        badge(QStringLiteral("평소"), palette().color(QPalette::Highlight));
    if (m_isDone)
        badge(QStringLiteral("완료"), kDoneRed);
}
