#include "widget/widget_view.h"

#include "cats/custom_cat.h"
#include "cats/skin_store.h"
#include "settings/layout_store.h"
#include "settings/settings.h"
#include "timing/clock_engine.h"
#include "timing/timer_engine.h"
#include "widget/widget_accessibility.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// How far a press may travel and still count as a click.
constexpr double kClickSlop = 3.0;
// How long the text and the controls take to fade in or out.
constexpr double kFade = 0.15;

} // namespace

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
    // The window never takes the focus from the user's work by a click; where the keyboard
    // does reach it, Space and Escape work the button.
    setFocusPolicy(Qt::TabFocus);

    m_grips.onButton = [this] { pressControl(); };
    WidgetAccessibility::install();

    for (AnimatedValue* value : {&m_countOpacity, &m_controlsOpacity, &m_photoScale, &m_rotation})
        value->onChanged = [this] { update(); };
    // The pulse only fades the time text, drawn from its cached image: only the text's area is
    // drawn again, at each level the pulse steps to.
    m_pulse.onChanged = [this] {
        m_pulseRect = geometry().textUpdateRect(m_paintedTextRect).intersected(rect());
        update(m_pulseRect);
    };
    m_figure.onChanged = [this] { update(); };
    // The symbol cat's alarm changes colour every 0.4 s: only its box is drawn again.
    m_figure.onAlarmChanged = [this] { update(geometry().alarmRect(m_rotation.value())); };

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
    for (auto signal :
         {&LayoutStore::scaleChanged, &LayoutStore::timerPosChanged,
          &LayoutStore::timerFontSizeChanged, &LayoutStore::hideCountUnlessHoverChanged})
        connect(&layout, signal, this, full);
    for (auto signal :
         {&Settings::widgetModeChanged, &Settings::timerFillColorChanged,
          &Settings::timerStrokeColorChanged, &Settings::timerFontStyleChanged,
          &Settings::timerShowOutlineChanged, &Settings::customCatFileNameChanged,
          &Settings::customCatDoneFileNameChanged, &Settings::timerDisplayFormatChanged})
        connect(&settings, signal, this, full);
    connect(&settings, &Settings::catRotationChanged, this, [this] {
        m_rotation.animateTo(m_settings.catRotation(), m_grips.isRotating()
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

bool WidgetView::isClock() const {
    return m_settings.widgetMode() == WidgetMode::clock;
}
bool WidgetView::isAlerting() const {
    return !isClock() && m_engine.isAlerting();
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
    return WidgetPainter::timeColor(base, isClock() ? TimerState::running : m_engine.state());
}

bool WidgetView::showsCount() const {
    return isAlerting() || !m_layout.hideCountUnlessHover() || m_hovering;
}

bool WidgetView::showsControls() const {
    if (isAlerting())
        return true;
    if (!m_layout.hideCountUnlessHover())
        return m_hovering;
    return m_hovering && m_revealed;
}

std::optional<QImage> WidgetView::customImage() const {
    if (!m_skins.skin().isCustom)
        return std::nullopt;
    return m_library.shownImageWhenReady(!isClock() && m_engine.state() == TimerState::done);
}

const WidgetGeometry& WidgetView::geometry() const {
    return geometryWith(customImage());
}

const WidgetGeometry& WidgetView::geometryWith(const std::optional<QImage>& photo) const {
    m_geometry.setInput(
        {m_layout.scale(), photo ? std::optional(photo->deviceIndependentSize()) : std::nullopt,
         m_layout.timerPos(), m_layout.timerFontSize(), displayText(), m_settings.timerFontStyle(),
         isClock(), isAlerting(), m_settings.catRotation()});
    return m_geometry;
}

TimerTextStyle WidgetView::textStyle(const WidgetGeometry& geometry) const {
    return TimerTextStyle{timeColor(m_settings.timerFillColor()), m_settings.timerStrokeColor(),
                          geometry.outlineWidth(), m_settings.timerFontStyle(),
                          m_settings.timerShowOutline()};
}

WidgetScene WidgetView::scene() {
    // The photo is looked up once a paint: the geometry and the drawing both follow it.
    std::optional<QImage> photo = customImage();
    const WidgetGeometry& now = geometryWith(photo);
    return WidgetScene{
        .geometry = now,
        .bounds = rect(),
        .figure = m_figure,
        .skin = m_skins.skin(),
        .photo = std::move(photo),
        .photoLoading = m_library.isLoading(),
        .rotation = m_rotation.value(),
        .photoScale = m_photoScale.value(),
        .text = now.input().text,
        .textStyle = textStyle(now),
        .textOpacity = m_countOpacity.value() * (m_wasAlerting ? m_pulse.value() : 1.0),
        .clock = isClock(),
        .alerting = isAlerting(),
        .state = m_engine.state(),
        .controlsOpacity = m_controlsOpacity.value(),
        .font = font(),
    };
}

void WidgetView::refreshState() {
    const bool alerting = isAlerting();
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
    m_grips.nameButton(alerting, state);
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
    m_countOpacity.animateTo(showsCount() ? 1.0 : 0.0, AnimatedValue::Motion::easeInOut(kFade));
    const bool controls = showsControls();
    m_controlsOpacity.animateTo(controls ? 1.0 : 0.0, AnimatedValue::Motion::easeInOut(kFade));
    m_grips.show(controls, !isClock() && (controls || m_engine.isAlerting()), !isClock());
}

void WidgetView::refreshText() {
    // Where the text stays in place (a countdown's next second), only the glyphs that differ
    // from the ones drawn; else the text's whole area, where it was and where it goes.
    const WidgetGeometry& now = geometry();
    const QRectF rect = now.textRect();
    std::optional<QRectF> changed;
    if (rect == m_paintedTextRect)
        changed = OutlinedText::changedArea(m_paintedText, now.input().text, now.fontSize(),
                                            textStyle(now), devicePixelRatioF());
    if (!changed)
        update(now.textUpdateRect(m_paintedTextRect));
    else if (!changed->isEmpty()) // a pixel more for where the image lands on whole pixels
        update(changed->translated(rect.topLeft()).toAlignedRect().adjusted(-1, -1, 1, 1));
    m_grips.place(now);
}

void WidgetView::layoutChildren() {
    m_grips.place(geometry());
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
    if (m_engine.isAlerting())
        m_engine.stopAlert();
    else
        m_engine.toggle();
}

void WidgetView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !isClock())
        pressControl();
    else if (event->key() == Qt::Key_Escape && isAlerting())
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

bool WidgetView::isPulseFrame(const QRegion& region) const {
    return m_pulse.isAnimating() && !m_pulseRect.isEmpty() && region == QRegion(m_pulseRect) &&
           m_figure.isStill() && !m_photoScale.isAnimating() && !m_rotation.isAnimating() &&
           !m_countOpacity.isAnimating() && !m_controlsOpacity.isAnimating() &&
           !m_library.isLoading();
}

void WidgetView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const WidgetScene now = scene();
    // A frame of the pulse alone copies what lies under the text; every other paint (a
    // countdown's second among them) asks nothing more.
    if (isPulseFrame(event->region())) {
        m_painter.paintBackdropFromLayer(painter, now, m_pulseRect);
    } else {
        m_painter.dropBackdropLayer();
        m_painter.paintBackdrop(painter, now);
    }
    m_paintedTextRect = now.geometry.textRect();
    m_paintedText = now.text;
    m_painter.paintText(painter, now);
    m_painter.paintControls(painter, now, event->region().boundingRect());
}
