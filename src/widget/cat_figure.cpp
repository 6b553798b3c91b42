#include "widget/cat_figure.h"

#include "cats/bundled_cat.h"
#include "cats/custom_cat.h"
#include "platform/symbol_icon.h"
#include "settings/settings.h"
#include "widget/layer_drawing.h"
#include "widget/soft_shadow.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {

constexpr double kMutedSaturation = 0.92;
const QColor kYellow(0xFF, 0xCC, 0x00);
const QColor kRed(0xFF, 0x3B, 0x30);
constexpr int kCycleStepMs = 400;
// The alarm clock's point size at scale 1.
constexpr double kClockSize = 24.0;
constexpr int kCycleSteps = 3;

// Symbols are drawn in a square box a little larger than their point size, so that their
// artwork is about as large as the size asks for.
QRectF symbolBox(QPointF center, double pointSize) {
    const double side = pointSize * 1.15;
    return QRectF(center.x() - side / 2, center.y() - side / 2, side, side);
}

QImage desaturated(const QImage& source, double saturation) {
    QImage result = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb p = line[x];
            // Rec. 709 luminance, as the usual saturation filters use.
            const double luma = 0.2126 * qRed(p) + 0.7152 * qGreen(p) + 0.0722 * qBlue(p);
            auto mix = [&](int c) {
                return std::clamp(int(std::lround(luma + saturation * (c - luma))), 0, qAlpha(p));
            };
            line[x] = qRgba(mix(qRed(p)), mix(qGreen(p)), mix(qBlue(p)), qAlpha(p));
        }
    }
    return result;
}

} // namespace

CatFigure::CatFigure(BundledCat& catalogue, CustomCat& library, Settings& settings, QObject* parent)
    : QObject(parent)
    , m_catalogue(catalogue)
    , m_library(library)
    , m_settings(settings) {
    for (AnimatedValue* value :
         {&m_saturation, &m_pictureScale, &m_groupScale, &m_badge, &m_bounce})
        value->onChanged = [this] {
            if (onChanged)
                onChanged();
        };
    m_cycle.setParent(this);
    m_cycle.setInterval(kCycleStepMs);
    connect(&m_cycle, &QTimer::timeout, this, [this] {
        m_cyclePhase = (m_cyclePhase + 1) % kCycleSteps;
        if (onAlarmChanged)
            onAlarmChanged();
        else if (onChanged)
            onChanged();
    });
}

QRectF CatFigure::bounds(QPointF center, double s) {
    // The picture square grown by the done scale and the badge, or the symbol with its clock
    // hanging below and its shadow.
    const double half = kPictureSide * s * 0.56;
    return QRectF(center.x() - half, center.y() - half, 2 * half, 2 * half + 14 * s);
}

QRectF CatFigure::alarmBounds(QPointF center, double s) {
    // As paintSymbol places it: the clock hangs 10·s below the form's bottom edge; its outer
    // wave reaches 0.92 of its size from its centre, with half the wave's stroke.
    const double clockSize = kClockSize * s;
    const QPointF clock(center.x(),
                        center.y() + kSymbolHeight * s / 2 - clockSize * 1.15 / 2 + 10 * s);
    const double reach = std::max(0.92 * clockSize + 1.1 * s, clockSize * 1.15 / 2) + s;
    return QRectF(clock.x() - reach, clock.y() - reach, 2 * reach, 2 * reach);
}

void CatFigure::setSkin(const CatSkin& skin) {
    if (skin == m_skin)
        return;
    m_skin = skin;
    updateCycling();
    if (onChanged)
        onChanged();
}

void CatFigure::setState(TimerState state) {
    if (state == m_state)
        return;
    const bool wasDone = m_state == TimerState::done;
    m_state = state;
    const bool running = state == TimerState::running;
    const bool done = state == TimerState::done;
    const auto picture = AnimatedValue::Motion::spring(0.35);
    const auto container = AnimatedValue::Motion::spring(0.3);
    m_saturation.animateTo(running ? 1.0 : kMutedSaturation, picture);
    m_pictureScale.animateTo(done ? 1.06 : 1.0, picture);
    m_groupScale.animateTo(running ? 1.0 : 0.98, container);
    m_badge.animateTo(state == TimerState::paused || done ? 1.0 : 0.0, container);
    if (done != wasDone) {
        // A short hop each time the finished look comes or goes.
        m_bounce.animateTo(0.0, AnimatedValue::Motion::jump());
        m_bounce.animateTo(1.0, AnimatedValue::Motion::easeInOut(0.45));
    }
    updateCycling();
    if (onChanged)
        onChanged();
}

void CatFigure::finishAnimations() {
    for (AnimatedValue* value :
         {&m_saturation, &m_pictureScale, &m_groupScale, &m_badge, &m_bounce})
        value->finish();
}

void CatFigure::updateCycling() {
    const bool symbolForm = !m_skin.isCustom && !m_skin.imageFile;
    const bool cycling =
        symbolForm && !m_held && (m_state == TimerState::running || m_state == TimerState::done);
    if (cycling && !m_cycle.isActive()) {
        m_cyclePhase = 0;
        m_cycle.start();
    } else if (!cycling) {
        m_cycle.stop();
    }
}

bool CatFigure::isStill() const {
    if (m_cycle.isActive())
        return false;
    for (const AnimatedValue* value :
         {&m_saturation, &m_pictureScale, &m_groupScale, &m_badge, &m_bounce})
        if (value->isAnimating())
            return false;
    return true;
}

void CatFigure::setHeld(bool held) {
    m_held = held;
    updateCycling();
}

void CatFigure::paint(QPainter& painter, QPointF center, double s) {
    if (m_skin.isCustom) {
        m_library.migrateIfNeeded();
        std::optional<QImage> photo;
        if (const std::optional<QString> name = m_settings.customCatFileName())
            photo = m_library.image(*name);
        if (photo)
            paintPicture(painter, center, s, photo->size(),
                         QStringLiteral("photo:") + QString::number(photo->cacheKey()),
                         [&](QSize) { return photo; });
        else
            paintPhotoPlaceholder(painter, center, s, QStringLiteral("사진을 골라주세요"), 0.8);
        if (m_state == TimerState::paused || m_state == TimerState::done)
            paintBadge(
                painter,
                QPointF(center.x() + kPictureSide * s / 2, center.y() - kPictureSide * s / 2), s,
                0.45);
    } else if (m_skin.imageFile) {
        const QString file = *m_skin.imageFile;
        const QSize natural = m_catalogue.imageSize(file);
        const bool drawn =
            !natural.isEmpty() &&
            paintPicture(painter, center, s, natural, QStringLiteral("bundled:") + file,
                         [&](QSize pixels) { return m_catalogue.imageAt(file, pixels); });
        if (!drawn)
            SymbolIcon::draw(painter, QStringLiteral("photo"), symbolBox(center, 34 * s),
                             QColor(255, 255, 255, 204));
        if (m_state == TimerState::paused || m_state == TimerState::done)
            paintBadge(
                painter,
                QPointF(center.x() + kPictureSide * s / 2, center.y() - kPictureSide * s / 2), s,
                0.45);
    } else {
        paintSymbol(painter, center, s);
    }
}

bool CatFigure::paintPicture(QPainter& painter, QPointF center, double s, QSize natural,
                             const QString& key,
                             const std::function<std::optional<QImage>(QSize)>& load) {
    const double side = kPictureSide * s;
    const QSizeF fitted = QSizeF(natural).scaled(side, side, Qt::KeepAspectRatio);
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QSize pixels = (fitted * ratio).toSize().expandedTo(QSize(1, 1));
    if (m_picture.key != key || m_picture.pixels != pixels) {
        const std::optional<QImage> source = load(pixels);
        if (!source || source->isNull())
            return false;
        QImage scaled = source->size() == pixels ? *source
                                                 : source->scaled(pixels, Qt::IgnoreAspectRatio,
                                                                  Qt::SmoothTransformation);
        scaled.convertTo(QImage::Format_ARGB32_Premultiplied);
        scaled.setDevicePixelRatio(1.0);
        m_picture = {key, pixels, scaled, desaturated(scaled, kMutedSaturation)};
    }
    const double grow = m_pictureScale.value();
    const QSizeF drawn = fitted * grow;
    const QRectF target(center.x() - drawn.width() / 2, center.y() - drawn.height() / 2,
                        drawn.width(), drawn.height());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Saturation s between 0.92 and 1 is the muted image blended with the colour one.
    const double colourShare = (m_saturation.value() - kMutedSaturation) / (1.0 - kMutedSaturation);
    if (colourShare < 1.0)
        LayerDrawing::draw(painter, target, m_picture.muted);
    if (colourShare > 0.0) {
        painter.setOpacity(painter.opacity() * std::clamp(colourShare, 0.0, 1.0));
        LayerDrawing::draw(painter, target, m_picture.colour);
    }
    painter.restore();
    return true;
}

void CatFigure::paintPhotoPlaceholder(QPainter& painter, QPointF center, double s,
                                      const QString& text, double opacity) {
    const QColor white(255, 255, 255, int(std::lround(255 * opacity)));
    QFont font = painter.font();
    font.setPixelSize(std::max(1, int(std::lround(11 * s))));
    const QFontMetricsF metrics(font);
    const double symbol = 34 * s * 1.15;
    const double top = center.y() - (symbol + 4 * s + metrics.height()) / 2;
    SymbolIcon::draw(painter, QStringLiteral("photo.badge.plus"),
                     QRectF(center.x() - symbol / 2, top, symbol, symbol), white);
    painter.save();
    painter.setFont(font);
    painter.setPen(white);
    const double width = metrics.horizontalAdvance(text) + 4;
    painter.drawText(QRectF(center.x() - width / 2, top + symbol + 4 * s, width, metrics.height()),
                     Qt::AlignCenter, text);
    painter.restore();
}

void CatFigure::paintBadge(QPainter& painter, QPointF topRight, double s, double circleOpacity) {
    if (m_state != TimerState::paused && m_state != TimerState::done && m_badge.value() <= 0.001)
        return;
    if (m_state == TimerState::paused || m_state == TimerState::done)
        m_badgePaused = m_state == TimerState::paused;
    const double diameter = 13 * s + 8 * s;
    const QPointF centre(topRight.x() - diameter / 2, topRight.y() + diameter / 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, int(255 * circleOpacity)));
    painter.drawEllipse(centre, diameter / 2, diameter / 2);
    const bool paused = m_badgePaused;
    if (paused) {
        SymbolIcon::draw(painter, QStringLiteral("pause.fill"), symbolBox(centre, 13 * s * 0.9),
                         kYellow);
    } else {
        // Two marks side by side, as the doubled exclamation reads.
        const double gap = 3.2 * s;
        for (double dx : {-gap, gap})
            SymbolIcon::draw(painter, QStringLiteral("exclamationmark.2"),
                             symbolBox(centre + QPointF(dx, 0), 13 * s), kRed);
    }
    painter.restore();
}

const QImage& CatFigure::catLayer(double s, qreal ratio) {
    if (m_catLayer.image.isNull() || m_catLayer.skin != m_skin || m_catLayer.scale != s ||
        m_catLayer.ratio != ratio) {
        // The cat, its patches masked by its silhouette, and the group's shadow, drawn once.
        const double margin = 6 * s;
        const QRectF catBox = symbolBox(QPointF(0, 0), 62 * s)
                                  .translated(margin + 62 * s * 0.575, margin + 62 * s * 0.575);
        const QSizeF canvas(catBox.width() + 2 * margin, catBox.height() + 2 * margin);
        QImage layer((canvas * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        layer.setDevicePixelRatio(ratio);
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        SymbolIcon::draw(p, QStringLiteral("cat.fill"), catBox, m_skin.bodyColor);
        if (m_skin.patch) {
            p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
            p.setPen(Qt::NoPen);
            const QPointF c = catBox.center();
            struct Ellipse {
                QColor colour;
                double w, h, x, y;
            };
            const Ellipse patches[] = {{m_skin.accent, 26, 22, -13, -16},
                                       {*m_skin.patch, 22, 18, 14, -12},
                                       {m_skin.accent, 20, 16, 10, 10},
                                       {*m_skin.patch, 16, 14, -12, 8}};
            for (const Ellipse& e : patches) {
                p.setBrush(e.colour);
                p.drawEllipse(QPointF(c.x() + e.x * s, c.y() + e.y * s), e.w * s / 2, e.h * s / 2);
            }
        }
        p.end();
        m_catLayer = {m_skin, s, ratio,
                      SoftShadow::withShadow(layer, 2 * s, QPointF(0, s), QColor(0, 0, 0, 89))};
    }
    return m_catLayer.image;
}

void CatFigure::paintSymbol(QPainter& painter, QPointF center, double s) {
    // The form is 70·s high, its content aligned to the bottom centre.
    const double bottom = center.y() + kSymbolHeight * s / 2;
    // The hop of the bounce: up and back, settling.
    const double b = m_bounce.value();
    const double hop = b >= 1.0 ? 0.0 : -7 * s * std::sin(std::numbers::pi * b) * (1.0 - 0.5 * b);

    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage& layer = catLayer(s, painter.device()->devicePixelRatioF());
    const QSizeF layerSize = QSizeF(layer.size()) / layer.devicePixelRatio();
    const double catHeight = 62 * s * 1.15;
    const QPointF catCenter(center.x(), bottom - catHeight / 2 + hop);
    const double g = m_groupScale.value();
    painter.translate(catCenter);
    painter.scale(g, g);
    LayerDrawing::draw(painter, QPointF(-layerSize.width() / 2, -layerSize.height() / 2), layer);
    painter.restore();

    // The alarm clock, hanging 10·s below the bottom edge.
    const bool done = m_state == TimerState::done;
    const double clockSize = kClockSize * s;
    const QPointF clockCenter(center.x(), bottom - clockSize * 1.15 / 2 + 10 * s + hop);
    // While running the clock's colour steps between white and the accent.
    QColor clockColour = Qt::white;
    if (m_state == TimerState::running && m_cyclePhase > 0) {
        const double share = m_cyclePhase == 1 ? 0.5 : 0.25;
        const QColor accent =
            m_skin.accent == QColor(Qt::white) ? QColor(0xC8, 0xC8, 0xCC) : m_skin.accent;
        clockColour = QColor::fromRgbF(float(1.0 + share * (accent.redF() - 1.0)),
                                       float(1.0 + share * (accent.greenF() - 1.0)),
                                       float(1.0 + share * (accent.blueF() - 1.0)));
    }
    SymbolIcon::draw(painter,
                     done ? QStringLiteral("alarm.waves.left.and.right.fill")
                          : QStringLiteral("alarmclock.fill"),
                     symbolBox(clockCenter, clockSize), clockColour);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (done) {
        // Two wave layers beside the ringing clock, lit one after the other.
        for (int i = 0; i < 2; ++i) {
            QColor colour = m_skin.accent;
            colour.setAlphaF(m_cyclePhase == i ? 1.0f : 0.35f);
            painter.setPen(QPen(colour, 2.2 * s, Qt::SolidLine, Qt::RoundCap));
            const double radius = clockSize * (0.68 + 0.24 * i);
            const QRectF arc(clockCenter.x() - radius, clockCenter.y() - radius, 2 * radius,
                             2 * radius);
            painter.drawArc(arc, 150 * 16, 60 * 16);
            painter.drawArc(arc, -30 * 16, 60 * 16);
        }
    }
    painter.restore();

    // The badge grows in from nothing and fades in.
    const double appear = m_badge.value();
    if (appear > 0.001) {
        const double diameter = 21 * s;
        const QPointF badgeCenter(center.x() + 30 * s, bottom - 34 * s - diameter / 2);
        painter.save();
        painter.setOpacity(painter.opacity() * appear);
        painter.translate(badgeCenter);
        painter.scale(appear, appear);
        paintBadge(painter, QPointF(diameter / 2, -diameter / 2), s, 0.35);
        painter.restore();
    }
}
