#include "app/app_delegate.h"

#include "app/desktop_screens.h"
#include "app/panel_geometry.h"
#include "app/status_menu_text.h"
#include "app/tray_icon_image.h"
#include "settings/layout_store.h"
#include "settings/settings.h"
#include "timing/timer_engine.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPointer>
#include <QScreen>
#include <QShortcut>

AppDelegate::AppDelegate(Settings& store, LayoutStore& layout, TimerEngine& timer, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_layout(layout)
    , m_timer(timer) {}

AppDelegate::~AppDelegate() {
    // The model objects outlive the delegate; their hooks must not reach a dead one.
    m_layout.onScaleChange = nullptr;
    m_timer.onFinished = nullptr;
}

void AppDelegate::applicationDidFinishLaunching() {
    // The update controller is created first, here, once it exists.
    setupPanel();
    setupMenuBar();
    if (m_store.autoStartOnLaunch()) {
        m_store.setWidgetVisible(true);
        m_panel->orderFrontRegardless();
        m_timer.start();
        rebuildMenu();
    }
}

void AppDelegate::setupPanel() {
    m_panel = std::make_unique<FloatingPanel>(m_store.displayMode());
    m_panel->setContent(m_viewFactory ? m_viewFactory() : new QWidget);
    // A saved origin is the bottom-left corner of the panel at its size then, so the panel
    // takes that size before it is placed; placing a 180 × 180 panel and growing it downwards
    // afterwards would move the widget down by the difference on every launch.
    const std::optional<QPointF> saved = m_store.widgetOrigin();
    if (saved && PanelGeometry::isVisibleOnAnyScreen(*saved, DesktopScreens::current()))
        m_panel->resize(PanelGeometry::contentSize(m_layout.scale()).toSize());
    m_panel->restoreFrame(saved);
    m_panel->applyScale(m_layout.scale());

    QPointer<AppDelegate> self(this);
    m_panel->onMoved = [self](QPointF origin) {
        if (self)
            self->m_store.setWidgetOrigin(origin);
    };
    m_layout.onScaleChange = [self](double scale) {
        if (!self)
            return;
        self->m_panel->applyScale(scale);
        self->m_store.setWidgetOrigin(self->m_panel->frameOrigin());
    };
    m_timer.onFinished = [self] {
        if (!self)
            return;
        self->m_store.setWidgetVisible(true);
        self->m_panel->orderFrontRegardless();
        self->rebuildMenu();
    };
    // Without a tray host the menu is still one right click away, on the widget.
    m_panel->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_panel.get(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { popUpMenu(m_panel->mapToGlobal(position)); });

    if (m_store.isWidgetVisible())
        m_panel->orderFrontRegardless();
}

void AppDelegate::setupMenuBar() {
    m_statusItem = std::make_unique<QSystemTrayIcon>(TrayIconImage::icon());
    m_statusItem->setToolTip(QStringLiteral("Purrtick"));
    m_statusItem->setContextMenu(&m_menu);
    connect(&m_menu, &QMenu::aboutToShow, this, &AppDelegate::rebuildMenu);
    // A left click opens the same menu as a right click. Two clicks in quick succession
    // arrive as a double click (the second one after a menu closed, say): that opens it too.
    connect(m_statusItem.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
                    return;
                const QRect icon = m_statusItem->geometry();
                popUpMenu(icon.isValid() ? icon.bottomLeft() + QPoint(0, 1) : QCursor::pos());
            });
    rebuildMenu();
    // Shown even when no tray host runs yet: the icon embeds itself once one starts.
    m_statusItem->show();
}

void AppDelegate::popUpMenu(const QPoint& globalPosition) {
    if (m_menu.isVisible())
        return;
    m_menu.popup(globalPosition);
}

QAction* AppDelegate::addCommand(const QString& title, void (AppDelegate::*command)()) {
    QAction* action = m_menu.addAction(title);
    // Queued: a command may rebuild the menu, which deletes the action being triggered.
    connect(action, &QAction::triggered, this, command, Qt::QueuedConnection);
    return action;
}

void AppDelegate::rebuildMenu() {
    m_menu.clear();
    // "..." rather than "…": the Korean fonts fontconfig offers first draw "…" centred, like
    // CJK punctuation, after Hangul.
    addCommand(QStringLiteral("Purrtick 정보..."), &AppDelegate::openAbout);
    m_menu.addSeparator();
    QAction* stateLine = m_menu.addAction(
        StatusMenuText::stateLine(m_timer.state(), m_timer.displayText(), m_timer.subtitle()));
    stateLine->setEnabled(false);
    m_menu.addSeparator();
    if (m_timer.isAlerting())
        addCommand(QStringLiteral("🔕 알림 끄기"), &AppDelegate::ackAlert);
    addCommand(StatusMenuText::toggleTitle(m_timer.state()), &AppDelegate::toggleTimer);
    addCommand(QStringLiteral("리셋"), &AppDelegate::resetTimer);
    m_menu.addSeparator();
    addCommand(QStringLiteral("타이머 설정..."), &AppDelegate::openSettings)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_menu.addSeparator();
    addCommand(StatusMenuText::widgetToggleTitle(m_store.isWidgetVisible()),
               &AppDelegate::toggleWidget);
    m_menu.addSeparator();
    m_menu.addAction(QStringLiteral("표시 모드"))->setEnabled(false);
    // One of the modes is always chosen: an exclusive group marks only the chosen one.
    auto* modes = new QActionGroup(m_menu.actions().constLast());
    modes->setExclusive(true);
    for (DisplayMode mode : allCases<DisplayMode>()) {
        QAction* item = m_menu.addAction(StatusMenuText::displayModeTitle(mode));
        modes->addAction(item);
        item->setData(rawValue(mode));
        item->setCheckable(true);
        item->setChecked(rawValue(mode) == rawValue(m_store.displayMode()));
        connect(
            item, &QAction::triggered, this,
            [this, raw = rawValue(mode)] { selectDisplayMode(raw); }, Qt::QueuedConnection);
    }
    m_menu.addSeparator();
    addCommand(QStringLiteral("Purrtick 종료"), &AppDelegate::quit)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void AppDelegate::toggleTimer() {
    m_timer.toggle();
    rebuildMenu();
}

void AppDelegate::resetTimer() {
    m_timer.reset();
    rebuildMenu();
}

void AppDelegate::ackAlert() {
    m_timer.stopAlert();
    rebuildMenu();
}

void AppDelegate::toggleWidget() {
    m_store.setWidgetVisible(!m_store.isWidgetVisible());
    if (m_store.isWidgetVisible())
        m_panel->orderFrontRegardless();
    else
        m_panel->orderOut();
    rebuildMenu();
}

void AppDelegate::selectDisplayMode(const QString& raw) {
    const std::optional<DisplayMode> mode = fromRawValue<DisplayMode>(raw);
    if (!mode)
        return;
    m_store.setDisplayMode(*mode);
    m_panel->setDisplayMode(*mode);
    rebuildMenu();
}

void AppDelegate::showWidget() {
    m_store.setWidgetVisible(true);
    m_panel->orderFrontRegardless();
    rebuildMenu();
}

void AppDelegate::perform(CommandLine::Command command) {
    using C = CommandLine::Command;
    const TimerState state = m_timer.state();
    switch (command) {
    case C::show:
        showWidget();
        return;
    case C::toggle:
        toggleTimer();
        return;
    case C::start:
        // Like the menu's toggle, but only ever towards running.
        if (state != TimerState::running)
            toggleTimer();
        return;
    case C::pause:
        if (state == TimerState::running)
            toggleTimer();
        return;
    case C::reset:
        resetTimer();
        return;
    case C::stopAlert:
        ackAlert();
        return;
    case C::hide:
        if (m_store.isWidgetVisible())
            toggleWidget();
        return;
    case C::settings:
        openSettings();
        return;
    case C::quit:
        quit();
        return;
    }
}

void AppDelegate::openWindow(std::unique_ptr<SecondaryWindow>& window, const QString& title,
                             const QString& role, const PageFactory& page) {
    if (!window) {
        // The window is a member of the delegate, so the delegate's life covers it.
        QPointer<AppDelegate> self(this);
        auto onClose = [self, &window] {
            if (self && window)
                window->close();
        };
        window = std::make_unique<SecondaryWindow>(title, page ? page(onClose)
                                                               : makePlaceholderPage(onClose));
        // A window role, so window-manager rules (and tests) can tell the windows apart.
        window->setWindowRole(role);
        // The menu's key for the settings, in every window the program shows with a keyboard.
        connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), window.get()),
                &QShortcut::activated, this, &AppDelegate::openSettings, Qt::QueuedConnection);
    }
    window->open();
    rebuildMenu();
}

void AppDelegate::openSettings() {
    openWindow(m_settingsWindow, QStringLiteral("Purrtick"), QStringLiteral("purrtick-settings"),
               m_settingsPage);
}

void AppDelegate::openAbout() {
    openWindow(m_aboutWindow, QStringLiteral("Purrtick 정보"), QStringLiteral("purrtick-about"),
               m_aboutPage);
}

void AppDelegate::checkForUpdates() {
    if (m_aboutWindow && m_aboutWindow->isVisible()) {
        m_aboutWindow->raise();
        m_aboutWindow->activateWindow();
    }
    if (onCheckForUpdates)
        onCheckForUpdates();
}

// Ends the event loop at once: quit() would first ask every window to close, and the photo
// editor declines (only its own buttons close it), so "종료" would do nothing while it is open.
void AppDelegate::quit() {
    QCoreApplication::exit(0);
}
