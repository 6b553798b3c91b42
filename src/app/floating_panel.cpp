#include "app/floating_panel.h"

#include "app/desktop_screens.h"
#include "app/panel_geometry.h"
#include "platform/x11_window_hints.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace {

const QByteArray kWindowRole = QByteArrayLiteral("purrtick-widget");

} // namespace

FloatingPanel::FloatingPanel(DisplayMode displayMode)
    : QWidget(nullptr)
    , m_displayMode(displayMode) {
    setWindowFlags(flagsFor(displayMode));
    setWindowTitle(QStringLiteral("Purrtick"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    resize(int(PanelGeometry::kNominalSide), int(PanelGeometry::kNominalSide));
    move(0, 0);

    // A screen coming, going or changing size must never leave the widget out of reach.
    auto watch = [this](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, &FloatingPanel::keepReachable);
        connect(screen, &QScreen::availableGeometryChanged, this, &FloatingPanel::keepReachable);
    };
    for (QScreen* screen : QGuiApplication::screens())
        watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen* screen) {
        watch(screen);
        keepReachable();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &FloatingPanel::keepReachable);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &FloatingPanel::keepReachable);
}

Qt::WindowFlags FloatingPanel::flagsFor(DisplayMode mode) const {
    // A tool window without decorations or shadow that never takes the keyboard focus.
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint |
                            Qt::WindowDoesNotAcceptFocus;
    flags |=
        mode == DisplayMode::alwaysOnTop ? Qt::WindowStaysOnTopHint : Qt::WindowStaysOnBottomHint;
    return flags;
}

void FloatingPanel::setDisplayMode(DisplayMode mode) {
    m_displayMode = mode;
    const Qt::WindowFlags flags = flagsFor(mode);
    // Changing a widget's flags recreates its native window, which would hide it and lose its
    // hints; the native window takes the new stacking in place instead.
    overrideWindowFlags(flags);
    if (QWindow* window = windowHandle())
        window->setFlags(flags);
}

QRectF FloatingPanel::frame() const {
    return DesktopScreens::toPanelCoordinates(geometry(), DesktopScreens::mainFrame());
}

void FloatingPanel::setFrame(const QRectF& frame) {
    const QRect target = DesktopScreens::toQtCoordinates(frame, DesktopScreens::mainFrame());
    if (target.size() != size())
        resize(target.size());
    if (target.topLeft() != pos())
        move(target.topLeft());
}

void FloatingPanel::setFrameOrigin(QPointF origin) {
    const QRectF wanted(origin, frame().size());
    setFrame(PanelGeometry::clampedToScreen(wanted, DesktopScreens::current()));
}

void FloatingPanel::restoreFrame(const std::optional<QPointF>& savedOrigin) {
    setFrame(PanelGeometry::restoredFrame(savedOrigin, frame(), DesktopScreens::current()));
}

void FloatingPanel::applyScale(double scale) {
    setFrame(PanelGeometry::resizedFrame(frame(), scale, DesktopScreens::current()));
    update();
}

void FloatingPanel::keepReachable() {
    restoreFrame(frameOrigin());
}

void FloatingPanel::orderFrontRegardless() {
    if (isVisible()) {
        raise();
        return;
    }
    // The native window exists from here on; the hints go on before it is mapped, so the
    // window manager sees them when it takes the window on. Qt may still replace the X window
    // inside show() (after the display mode changed), so the mapped window is told again.
    winId();
    X11WindowHints::prepareFloatingWindow(windowHandle(), kWindowRole);
    windowHandle()->installEventFilter(this);
    m_announceWhenMapped = true;
    show();
}

bool FloatingPanel::eventFilter(QObject* watched, QEvent* event) {
    if (m_announceWhenMapped && watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed()) {
        m_announceWhenMapped = false;
        X11WindowHints::announceFloatingWindow(windowHandle(), kWindowRole);
    }
    return QWidget::eventFilter(watched, event);
}

void FloatingPanel::orderOut() {
    hide();
}

void FloatingPanel::setContent(QWidget* content) {
    delete m_content;
    m_content = content;
    if (!content)
        return;
    content->setParent(this);
    content->setGeometry(rect());
    content->show();
}

void FloatingPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_content)
        m_content->setGeometry(rect());
}

void FloatingPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_dragOffset = event->globalPosition().toPoint() - pos();
    QWidget::mousePressEvent(event);
}

void FloatingPanel::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragOffset && (event->buttons() & Qt::LeftButton)) {
        const QRect wanted(event->globalPosition().toPoint() - *m_dragOffset, size());
        const QRectF panelRect =
            DesktopScreens::toPanelCoordinates(wanted, DesktopScreens::mainFrame());
        setFrameOrigin(panelRect.topLeft());
    }
    QWidget::mouseMoveEvent(event);
}

void FloatingPanel::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        m_dragOffset.reset();
    if (onMoved)
        onMoved(frameOrigin());
}
