#include "widget/widget_view.h"

#include "cats/custom_cat.h"
#include "cats/skin_store.h"
#include "platform/symbol_icon.h"
#include "settings/layout_store.h"
#include "settings/settings.h"
#include "timing/clock_engine.h"
#include "timing/timer_engine.h"
#include "widget/layer_drawing.h"
#include "widget/pointer_catchers.h"
#include "widget/soft_shadow.h"
#include "widget/widget_accessibility.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <cmath>
#include <numbers>

namespace {

const QColor kYellow(0xFF, 0xCC, 0x00);
const QColor kRed(0xFF, 0x3B, 0x30);
constexpr double kFade = 0.15;
// How far a press may travel and still count as a click.
constexpr double kClickSlop = 3.0;

AnimatedValue::Motion fade() {
    return AnimatedValue::Motion::easeInOut(kFade);
}

QRectF centred(QPointF centre, double side) {
    return QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side);
}

} // namespace

HitArea::HitArea(QWidget* parent)
    : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_NoSystemBackground);
}

void HitArea::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void HitArea::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        onClicked)
        onClicked();
}

WidgetView::WidgetView(TimerEngine& engine, ClockEngine& clock, SkinStore& skins,
                       LayoutStore& layout, Settings& settings, CustomCat& library, QWidget* parent)
    : QWidget(parent)
    , m_engine(engine)
    , m_clock(clock)
    , m_skins(skins)
    , m_layout(layout)
    , m_settings(settings)
    , m_library(library)
    , m_figure(skins.catalogue(), library, settings) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_Hover);
    setMouseTracking(false);
    // The window never takes the focus from the user's work by a click; where the keyboard
    // does reach it, Space and Escape work the button.
    setFocusPolicy(Qt::TabFocus);

    // Created back to front, as they are drawn: the text's drag area and its size handle, the
    // controls column above the text (the button takes the clicks where the two overlap), and
    // the grips above everything.
    m_textDrag = new DragCatcher(this);
    m_sizeHandle = new DragCatcher(this);
    m_control = new HitArea(this);
    m_control->onClicked = [this] { pressControl(); };
    m_rotate = new RotateCatcher(this);
    m_resize = new ResizeHandle(layout, this);
    WidgetAccessibility::install();
    m_textDrag->setAccessibleName(QStringLiteral("글자 이동"));
    m_sizeHandle->setAccessibleName(QStringLiteral("글자 크기"));
    m_rotate->setAccessibleName(QStringLiteral("회전"));
    m_resize->setAccessibleName(QStringLiteral("크기 조절"));

    m_textDrag->onChanged = [this](QSizeF d) {
        if (!m_dragStartTimerPos)
            m_dragStartTimerPos = m_layout.timerPos();
        const QPointF start = *m_dragStartTimerPos;
        const double x = start.x() + d.width() / (s() * kWidth);
        const double y = start.y() - d.height() / (s() * kHeight);
        m_layout.setTimerPos(QPointF(std::clamp(x, 0.0, 1.0), std::clamp(y, 0.0, 1.0)));
    };
    m_textDrag->onEnded = [this] { m_dragStartTimerPos.reset(); };
    m_sizeHandle->onChanged = [this](QSizeF d) {
        if (!m_dragStartFont)
            m_dragStartFont = m_layout.timerFontSize();
        m_layout.setTimerFontSize(*m_dragStartFont + (d.width() + d.height()) / (s() * 4.0));
    };
    m_sizeHandle->onEnded = [this] { m_dragStartFont.reset(); };
    m_rotate->onChanged = [this](double angle) {
        if (!m_dragStartRotation)
            m_dragStartRotation = m_settings.catRotation();
        double r = std::fmod(*m_dragStartRotation - angle, 360.0);
        if (r < 0)
            r += 360.0;
        m_settings.setCatRotation(r);
    };
    m_rotate->onEnded = [this] { m_dragStartRotation.reset(); };

    for (AnimatedValue* value : {&m_countOpacity, &m_controlsOpacity, &m_photoScale})
        value->onChanged = [this] { update(); };
    // The pulse only fades the time text, drawn from its cached image: only the text's area is
    // drawn again, at each level the pulse steps to.
    m_pulse.onChanged = [this] {
        m_pulseRect = textUpdateRect().intersected(rect());
        update(m_pulseRect);
    };
    m_rotation.onChanged = [this] { update(); };
    m_figure.onChanged = [this] { update(); };
    // The symbol cat's alarm changes colour every 0.4 s: only its box is drawn again.
    m_figure.onAlarmChanged = [this] {
        const double scale = s();
        const QRectF box = CatFigure::alarmBounds(QPointF(kWidth * scale / 2, kHeight * scale / 2),
                                                  scale * kFigureScale);
        const double side = CatFigure::kPictureSide * kFigureScale * scale;
        update(
            catTransform(QSizeF(side, side)).mapRect(box).toAlignedRect().adjusted(-1, -1, 1, 1));
    };

    auto full = [this] {
        refreshState();
        update();
    };
    connect(&engine, &TimerEngine::stateChanged, this, full);
    connect(&engine, &TimerEngine::isAlertingChanged, this, full);
    connect(&engine, &TimerEngine::displayTextChanged, this, &WidgetView::refreshText);
    connect(&clock, &ClockEngine::displayTextChanged, this, [this] {
        if (isClock())
            refreshText();
    });
    connect(&skins, &SkinStore::selectedIDChanged, this, full);
    connect(&layout, &LayoutStore::scaleChanged, this, full);
    connect(&layout, &LayoutStore::timerPosChanged, this, full);
    connect(&layout, &LayoutStore::timerFontSizeChanged, this, full);
    connect(&layout, &LayoutStore::hideCountUnlessHoverChanged, this, full);
    for (auto signal :
         {&Settings::widgetModeChanged, &Settings::timerFillColorChanged,
          &Settings::timerStrokeColorChanged, &Settings::timerFontStyleChanged,
          &Settings::timerShowOutlineChanged, &Settings::customCatFileNameChanged,
          &Settings::customCatDoneFileNameChanged, &Settings::timerDisplayFormatChanged})
        connect(&settings, signal, this, full);
    connect(&settings, &Settings::catRotationChanged, this, [this] {
        m_rotation.animateTo(m_settings.catRotation(), m_dragStartRotation
                                                           ? AnimatedValue::Motion::jump()
                                                           : AnimatedValue::Motion::spring(0.3));
    });

    // Photos are decoded off the main thread; each one that arrives is drawn, and may move the
    // text with the picture's frame.
    m_library.onImageReady = [this](const QString&) {
        layoutChildren();
        update();
    };

    // The clock ticks only while it is shown.
    auto tickClockWhenShown = [this] {
        if (isClock() && !m_clock.isTicking())
            m_clock.start();
        else if (!isClock())
            m_clock.stop();
    };
    connect(&settings, &Settings::widgetModeChanged, this, tickClockWhenShown);
    tickClockWhenShown();

    m_rotation.animateTo(settings.catRotation(), AnimatedValue::Motion::jump());
    refreshState();
    finishAnimations();
}

WidgetView::~WidgetView() {
    // The library outlives the view; a photo that arrives later must not call into it.
    m_library.onImageReady = nullptr;
}

double WidgetView::s() const {
    return m_layout.scale();
}
bool WidgetView::isClock() const {
    return m_settings.widgetMode() == WidgetMode::clock;
}

QString WidgetView::displayText() const {
    return isClock() ? m_clock.displayText() : m_engine.displayText();
}

QString WidgetView::accessibleSummary() const {
    if (isClock())
        return WidgetAccessibility::clockSummary(m_clock.displayText());
    return WidgetAccessibility::countdownSummary(m_engine.state(), m_engine.remaining(),
                                                 m_engine.isAlerting());
}

QColor WidgetView::timeColor(const QColor& base) const {
    if (isClock())
        return base;
    switch (m_engine.state()) {
    case TimerState::idle: {
        QColor faded = base;
        faded.setAlphaF(base.alphaF() * 0.7f);
        return faded;
    }
    case TimerState::running:
        return base;
    case TimerState::paused:
        return kYellow;
    case TimerState::done:
        return kRed;
    }
    return base;
}

bool WidgetView::showsCount() const {
    if (!isClock() && m_engine.isAlerting())
        return true;
    if (!m_layout.hideCountUnlessHover())
        return true;
    return m_hovering;
}

bool WidgetView::showsControls() const {
    if (!isClock() && m_engine.isAlerting())
        return true;
    if (!m_layout.hideCountUnlessHover())
        return m_hovering;
    return m_hovering && m_revealed;
}

std::optional<QImage> WidgetView::customImage() const {
    if (!m_skins.skin().isCustom)
        return std::nullopt;
    if (!isClock() && m_engine.state() == TimerState::done) {
        m_library.migrateIfNeeded();
        if (const auto done = m_settings.customCatDoneFileName())
            if (auto image = m_library.imageWhenReady(*done))
                return image;
    }
    m_library.migrateIfNeeded();
    if (const auto normal = m_settings.customCatFileName())
        return m_library.imageWhenReady(*normal);
    return std::nullopt;
}

QRectF WidgetView::contentRect() const {
    const std::optional<QImage> image = customImage();
    if (image) {
        const QSizeF size = image->deviceIndependentSize();
        if (size.width() > 0 && size.height() > 0) {
            const double k = std::min(kWidth / size.width(), kHeight / size.height());
            const QSizeF drawn = size * k;
            return QRectF((kWidth - drawn.width()) / 2, (kHeight - drawn.height()) / 2,
                          drawn.width(), drawn.height());
        }
    }
    return QRectF(0, 0, kWidth, kHeight);
}

QPointF WidgetView::clampedTimerCenter(const QRectF& r) const {
    const double f = m_layout.timerFontSize();
    const double m = double(displayText().size());
    const double a = f * m * 0.31;
    const double b = f * 0.62;
    auto clampOrMid = [](double value, double low, double high, double mid) {
        return low > high ? mid : std::clamp(value, low, high);
    };
    const QPointF pos = m_layout.timerPos();
    return QPointF(clampOrMid(pos.x() * kWidth, r.left() + a, r.right() - a, r.center().x()),
                   clampOrMid(pos.y() * kHeight, r.top() + b, r.bottom() - b, r.center().y()));
}

double WidgetView::catFitScale(QSizeF content) const {
    const double theta = m_settings.catRotation() * std::numbers::pi / 180.0;
    const double c = std::abs(std::cos(theta));
    const double n = std::abs(std::sin(theta));
    const double w = c * content.width() + n * content.height();
    const double h = n * content.width() + c * content.height();
    if (w <= 0 || h <= 0)
        return 1.0;
    return std::min({kWidth * s() / w, kHeight * s() / h, 1.0});
}

TimerTextStyle WidgetView::textStyle() const {
    return TimerTextStyle{timeColor(m_settings.timerFillColor()), m_settings.timerStrokeColor(),
                          std::max(0.09 * fontSize(), 2.0), m_settings.timerFontStyle(),
                          m_settings.timerShowOutline()};
}

double WidgetView::fontSize() const {
    return measuredText().size;
}

QSizeF WidgetView::textSize() const {
    return measuredText().measured;
}

const WidgetView::TextMeasure& WidgetView::measuredText() const {
    QString text = displayText();
    const double chosen = m_layout.timerFontSize() * s();
    const TimerFontStyle font = m_settings.timerFontStyle();
    if (text != m_textMeasure.text || chosen != m_textMeasure.chosen ||
        font != m_textMeasure.font) {
        // The chosen size, made smaller where the text with its outline and shadow would run
        // past the window's sides (the 12-hour clock with seconds at a large size).
        double size = chosen;
        QSizeF measured = OutlinedText::measure(text, size, font);
        const double room = kWidth * s() - 2 * kTextSideMargin;
        const double drawn = measured.width() + 2 * (0.09 * size + kTextSideMargin);
        if (drawn > room && measured.width() > 0) {
            size *= room / drawn;
            measured = OutlinedText::measure(text, size, font);
        }
        m_textMeasure = {std::move(text), chosen, font, size, measured};
    }
    return m_textMeasure;
}

QRectF WidgetView::textRect() const {
    const QPointF centre = clampedTimerCenter(contentRect()) * s();
    const QSizeF size = textSize();
    return QRectF(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(),
                  size.height());
}

QRectF WidgetView::controlRect() const {
    const double scale = s();
    const double bottom = kHeight * scale - 6 * scale;
    if (!isClock() && m_engine.isAlerting()) {
        const QSizeF size(64 * scale, 26 * scale);
        return QRectF(kWidth * scale / 2 - size.width() / 2, bottom - size.height(), size.width(),
                      size.height());
    }
    const double side = 26 * scale;
    return QRectF(kWidth * scale / 2 - side / 2, bottom - side, side, side);
}

QRectF WidgetView::resizeArea() const {
    const double scale = s();
    return QRectF(kWidth * scale - 34 * scale, kHeight * scale - 34 * scale, 30 * scale,
                  30 * scale);
}

QRectF WidgetView::rotateArea() const {
    const double scale = s();
    return QRectF(4 * scale, 4 * scale, 30 * scale, 30 * scale);
}

QRectF WidgetView::sizeHandleRect() const {
    // Centred on the text's bottom-trailing corner. Where that would put part of it outside
    // the window it is pushed back in, and where a grip (stacked above it) would cover it, it
    // moves beside the grip, so it can be grabbed at every text size and position.
    QRectF handle = centred(textRect().bottomRight(), 18 * s());
    const QRectF bounds(0, 0, kWidth * s(), kHeight * s());
    handle.translate(std::min(0.0, bounds.right() - handle.right()) +
                         std::max(0.0, bounds.left() - handle.left()),
                     std::min(0.0, bounds.bottom() - handle.bottom()) +
                         std::max(0.0, bounds.top() - handle.top()));
    if (handle.intersects(resizeArea()))
        handle.moveRight(resizeArea().left());
    if (handle.intersects(rotateArea()))
        handle.moveLeft(rotateArea().right());
    // Nor over the button ("끄기" during the alert is wide): beside it where there is room,
    // else above it.
    const QRectF button = controlRect();
    if (!isClock() && handle.intersects(button)) {
        QRectF beside = handle;
        beside.moveLeft(button.right() + 2 * s());
        if (bounds.contains(beside) && !beside.intersects(resizeArea()))
            handle = beside;
        else
            handle.moveBottom(button.top() - 2 * s());
    }
    return handle;
}

void WidgetView::refreshState() {
    const bool alerting = !isClock() && m_engine.isAlerting();
    const bool pulsing = alerting && m_screenShown;
    if (alerting != m_wasAlerting || pulsing != m_pulse.isAnimating()) {
        m_wasAlerting = alerting;
        if (pulsing)
            m_pulse.oscillateTo(0.45, 0.5, kPulseSteps);
        else if (alerting) // held at full while nobody sees it
            m_pulse.animateTo(1.0, AnimatedValue::Motion::jump());
        else
            m_pulse.animateTo(1.0, AnimatedValue::Motion::easeInOut(0.35));
    }
    const TimerState state = isClock() ? TimerState::idle : m_engine.state();
    m_figure.setSkin(m_skins.skin());
    m_figure.setState(state);
    m_photoScale.animateTo(state == TimerState::done ? 1.04 : 1.0,
                           AnimatedValue::Motion::spring(0.35));
    // The button's name says what pressing it does now.
    m_control->setAccessibleName(alerting                       ? QStringLiteral("끄기")
                                 : state == TimerState::running ? QStringLiteral("일시정지")
                                 : state == TimerState::paused  ? QStringLiteral("계속")
                                                                : QStringLiteral("시작"));
    refreshVisibility();
    layoutChildren();
    // The name is read when asked; only a change of state (not of the seconds) is told.
    const QString announced = isClock() ? QStringLiteral("clock")
                                        : QString::number(int(state)) + QString::number(alerting);
    if (announced != m_announcedState) {
        m_announcedState = announced;
        WidgetAccessibility::announceNameChange(this);
    }
}

void WidgetView::refreshVisibility() {
    m_countOpacity.animateTo(showsCount() ? 1.0 : 0.0, fade());
    m_controlsOpacity.animateTo(showsControls() ? 1.0 : 0.0, fade());
    const bool controls = showsControls();
    m_control->setVisible(!isClock() && (controls || m_engine.isAlerting()));
    m_control->setEnabled(!isClock());
    m_textDrag->setVisible(controls);
    m_sizeHandle->setVisible(controls);
    m_rotate->setVisible(controls);
    // The resize area works whether or not its symbol shows.
    m_resize->setVisible(true);
}

QRect WidgetView::textUpdateRect() const {
    // The text where it was last drawn and where it goes now, with its outline and shadow, and
    // sideways as far as a script face's strokes may reach past their cells.
    const double reach = std::max(0.09 * fontSize(), 2.0) + 8.0;
    const double sideways = reach + OutlinedText::kOverhang * fontSize();
    return m_paintedTextRect.united(textRect())
        .adjusted(-sideways, -reach, sideways, reach)
        .toAlignedRect();
}

void WidgetView::refreshText() {
    // Where the text stays in place (a countdown's next second), only the glyphs that differ
    // from the ones drawn; else the text's whole area, where it was and where it goes.
    const QRectF rect = textRect();
    std::optional<QRectF> changed;
    if (rect == m_paintedTextRect)
        changed = OutlinedText::changedArea(m_paintedText, displayText(), fontSize(), textStyle(),
                                            devicePixelRatioF());
    if (!changed)
        update(textUpdateRect());
    else if (!changed->isEmpty()) // a pixel more for where the image lands on whole pixels
        update(changed->translated(rect.topLeft()).toAlignedRect().adjusted(-1, -1, 1, 1));
    layoutChildren();
}

void WidgetView::layoutChildren() {
    m_control->setGeometry(controlRect().toAlignedRect());
    m_textDrag->setGeometry(textRect().toAlignedRect());
    m_sizeHandle->setGeometry(sizeHandleRect().toAlignedRect());
    m_rotate->setGeometry(rotateArea().toAlignedRect());
    m_resize->setGeometry(resizeArea().toAlignedRect());
}

void WidgetView::finishAnimations() {
    for (AnimatedValue* value : {&m_countOpacity, &m_controlsOpacity, &m_rotation, &m_photoScale})
        value->finish();
    m_figure.finishAnimations();
    update();
}

void WidgetView::setScreenShown(bool shown) {
    if (shown == m_screenShown)
        return;
    m_screenShown = shown;
    m_figure.setHeld(!shown);
    refreshState();
}

void WidgetView::pressControl() {
    if (isClock())
        return;
    if (m_engine.isAlerting()) {
        m_engine.stopAlert();
        return;
    }
    switch (m_engine.state()) {
    case TimerState::idle:
    case TimerState::done:
        m_engine.start();
        break;
    case TimerState::running:
        m_engine.pause();
        break;
    case TimerState::paused:
        m_engine.resume();
        break;
    }
}

void WidgetView::keyPressEvent(QKeyEvent* event) {
    const bool alerting = !isClock() && m_engine.isAlerting();
    if (event->key() == Qt::Key_Space && !isClock())
        pressControl();
    else if (event->key() == Qt::Key_Escape && alerting)
        m_engine.stopAlert();
    else
        QWidget::keyPressEvent(event);
}

void WidgetView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void WidgetView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    m_hovering = true;
    refreshVisibility();
}

void WidgetView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    m_hovering = false;
    m_revealed = false;
    refreshVisibility();
}

// Presses and drags on the background belong to the window, which moves by them: the view
// only watches for a click and passes every event on.
void WidgetView::mousePressEvent(QMouseEvent* event) {
    m_pressPosition = event->globalPosition();
    event->ignore();
}

void WidgetView::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressPosition &&
        (event->globalPosition() - *m_pressPosition).manhattanLength() > kClickSlop)
        m_pressPosition.reset();
    event->ignore();
}

void WidgetView::mouseReleaseEvent(QMouseEvent* event) {
    if (m_pressPosition && event->button() == Qt::LeftButton && m_layout.hideCountUnlessHover()) {
        m_revealed = true;
        refreshVisibility();
    }
    m_pressPosition.reset();
    event->ignore();
}

void WidgetView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!paintsPulseFrameFromBackdrop(painter, event->region()))
        paintBackdrop(painter);
    paintText(painter);
    paintControls(painter, event->region().boundingRect());
}

void WidgetView::paintBackdrop(QPainter& painter) {
    // Nearly invisible, so the pointer registers over the whole widget.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), QColor(255, 255, 255, 1));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    paintCat(painter);
}

bool WidgetView::paintsPulseFrameFromBackdrop(QPainter& painter, const QRegion& region) {
    // Only a frame of the pulse alone, while everything under the text stands still; every
    // other paint (a countdown's second among them) asks nothing more.
    const bool pulseFrame =
        m_pulse.isAnimating() && !m_pulseRect.isEmpty() && region == QRegion(m_pulseRect) &&
        m_figure.isStill() && !m_photoScale.isAnimating() && !m_rotation.isAnimating() &&
        !m_countOpacity.isAnimating() && !m_controlsOpacity.isAnimating() && !m_library.isLoading();
    if (!pulseFrame) {
        if (!m_backdrop.image.isNull())
            m_backdrop = {};
        return false;
    }
    const qreal ratio = painter.device()->devicePixelRatioF();
    const std::optional<QImage> photo = customImage();
    const QString key =
        m_skins.selectedID() + QLatin1Char('/') + QString::number(int(m_engine.state())) +
        QLatin1Char('/') + QString::number(m_rotation.value()) + QLatin1Char('/') +
        QString::number(photo ? photo->cacheKey() : 0) + QLatin1Char('/') + QString::number(s());
    if (m_backdrop.rect != m_pulseRect || m_backdrop.ratio != ratio || m_backdrop.key != key) {
        QImage image((QSizeF(m_pulseRect.size()) * ratio).toSize(),
                     QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter offscreen(&image);
        offscreen.setRenderHints(painter.renderHints());
        offscreen.translate(-m_pulseRect.topLeft());
        paintBackdrop(offscreen);
        offscreen.end();
        m_backdrop = {m_pulseRect, ratio, key, std::move(image)};
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(m_pulseRect.topLeft(), m_backdrop.image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    return true;
}

void WidgetView::paintCat(QPainter& painter) {
    const double scale = s();
    const QPointF centre(kWidth * scale / 2, kHeight * scale / 2);
    const CatSkin skin = m_skins.skin();
    const std::optional<QImage> photo = skin.isCustom ? customImage() : std::nullopt;

    QSizeF content(kWidth * scale, kHeight * scale);
    if (photo)
        content = contentRect().size() * scale;
    else if (!skin.isCustom)
        content = QSizeF(CatFigure::kPictureSide * kFigureScale * scale,
                         CatFigure::kPictureSide * kFigureScale * scale);

    painter.save();
    painter.setTransform(catTransform(content), true);

    if (photo) {
        const double grow = m_photoScale.value();
        const QSizeF drawn = content * grow;
        const QRectF target =
            centred(centre, 1).adjusted(-drawn.width() / 2 + 0.5, -drawn.height() / 2 + 0.5,
                                        drawn.width() / 2 - 0.5, drawn.height() / 2 - 0.5);
        LayerDrawing::draw(
            painter, target,
            photoLayer(*photo, target.size(), painter.device()->devicePixelRatioF()));
    } else if (skin.isCustom && !m_library.isLoading()) {
        // (While a photo is still being decoded nothing is drawn in its place.)
        CatFigure::paintPhotoPlaceholder(painter, centre, scale,
                                         QStringLiteral("설정에서 사진을 골라주세요"), 0.85);
    } else if (!skin.isCustom) {
        m_figure.paint(painter, centre, scale * kFigureScale);
    }
    painter.restore();
}

QTransform WidgetView::catTransform(QSizeF content) const {
    // Turned by the rotation and fitted into the window, about the window's centre.
    const QPointF centre(kWidth * s() / 2, kHeight * s() / 2);
    const double fit = catFitScale(content);
    QTransform transform;
    transform.translate(centre.x(), centre.y());
    transform.rotate(m_rotation.value());
    transform.scale(fit, fit);
    transform.translate(-centre.x(), -centre.y());
    return transform;
}

const QImage& WidgetView::photoLayer(const QImage& photo, QSizeF size, qreal ratio) {
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

void WidgetView::paintText(QPainter& painter) {
    const double opacity = m_countOpacity.value() * (m_wasAlerting ? m_pulse.value() : 1.0);
    const QRectF rect = textRect();
    m_paintedTextRect = rect;
    m_paintedText = displayText();
    if (opacity <= 0.0)
        return;
    const OutlinedText::Rendering& text = OutlinedText::cached(
        m_paintedText, fontSize(), textStyle(), painter.device()->devicePixelRatioF());
    const QPointF at = rect.center() - text.center;
    m_pulseArea =
        QRectF(at, text.image.deviceIndependentSize()).toAlignedRect().adjusted(-1, -1, 1, 1);
    painter.save();
    painter.setOpacity(opacity);
    LayerDrawing::draw(painter, at, text.image);
    painter.restore();
}

void WidgetView::paintGrip(QPainter& painter, const QRectF& area, const QString& symbol,
                           double opacity) {
    if (opacity <= 0.0)
        return;
    const double scale = s();
    paintDisc(painter, area.center(), 11 * scale + 10 * scale, symbol, 11 * scale, 128, opacity);
}

const QImage& WidgetView::cachedLayer(const QString& key, QSizeF size, qreal ratio,
                                      const std::function<void(QPainter&)>& draw) {
    const QString fullKey = key + QLatin1Char('@') + QString::number(size.width()) +
                            QLatin1Char('x') + QString::number(size.height()) + QLatin1Char('@') +
                            QString::number(ratio);
    if (const auto found = m_layers.find(fullKey); found != m_layers.end())
        return found->second;
    // Each scale the resize grip passes through makes new sizes: only a few are kept.
    if (m_layers.size() >= 8)
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

void WidgetView::paintDisc(QPainter& painter, QPointF centre, double diameter,
                           const QString& symbol, double iconSide, int darkness, double opacity) {
    // An antialiased disc costs as much to draw as a whole frame of the pulse: drawn once.
    const double side = std::ceil(diameter * painter.device()->devicePixelRatioF()) /
                        painter.device()->devicePixelRatioF();
    const QImage& layer =
        cachedLayer(symbol + QLatin1Char('/') + QString::number(iconSide) + QLatin1Char('/') +
                        QString::number(darkness),
                    QSizeF(side, side), painter.device()->devicePixelRatioF(), [&](QPainter& p) {
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

const QImage& WidgetView::alertButtonLayer(QSizeF size, qreal ratio) {
    // Filled red, its label and symbol in white.
    return cachedLayer(QStringLiteral("alert button"), size, ratio, [&](QPainter& painter) {
        const QRectF button(QPointF(0, 0), size);
        const double scale = s();
        painter.setPen(Qt::NoPen);
        painter.setBrush(kRed);
        painter.drawRoundedRect(button, button.height() / 2, button.height() / 2);
        QFont font = this->font();
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

void WidgetView::paintControls(QPainter& painter, const QRectF& dirty) {
    const double scale = s();
    const double controls = m_controlsOpacity.value();
    if (!isClock() && dirty.intersects(controlRect())) {
        const QRectF button = controlRect();
        if (m_engine.isAlerting()) {
            // Drawn one to one from its layer, where the button sits on whole pixels.
            LayerDrawing::draw(
                painter, button.topLeft(),
                alertButtonLayer(button.size(), painter.device()->devicePixelRatioF()));
        } else if (controls > 0.0) {
            const QString symbol =
                m_engine.state() == TimerState::running ? QStringLiteral("pause.fill")
                : m_engine.state() == TimerState::done  ? QStringLiteral("arrow.clockwise")
                                                        : QStringLiteral("play.fill");
            const qreal ratio = painter.device()->devicePixelRatioF();
            // The symbol over a soft black shadow, as one layer, drawn again only when the
            // symbol, the scale or the pixel ratio changes.
            if (m_controlLayer.symbol != symbol || m_controlLayer.size != button.size() ||
                m_controlLayer.ratio != ratio) {
                QImage layer((button.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
                layer.fill(Qt::transparent);
                layer.setDevicePixelRatio(ratio);
                {
                    QPainter p(&layer);
                    SymbolIcon::draw(
                        p, symbol,
                        centred(QPointF(button.width() / 2, button.height() / 2), 14 * scale * 1.2),
                        Qt::white);
                }
                m_controlLayer = {
                    symbol, button.size(), ratio,
                    SoftShadow::withShadow(layer, 2 * scale, QPointF(0, 0), QColor(0, 0, 0, 179))};
            }
            painter.save();
            painter.setOpacity(controls);
            LayerDrawing::draw(painter, button.topLeft(), m_controlLayer.image);
            painter.restore();
        }
    }
    // The text's size handle sits on the text's bottom-trailing corner.
    const QRectF handle = sizeHandleRect();
    if (controls > 0.0 && dirty.intersects(handle))
        paintDisc(painter, handle.center(), handle.width(),
                  QStringLiteral("arrow.up.left.and.arrow.down.right"), 8 * scale, 140, controls);
    if (dirty.intersects(resizeArea()))
        paintGrip(painter, resizeArea(), QStringLiteral("arrow.up.left.and.arrow.down.right"),
                  0.9 * controls);
    if (dirty.intersects(rotateArea()))
        paintGrip(painter, rotateArea(), QStringLiteral("arrow.triangle.2.circlepath"), controls);
}
