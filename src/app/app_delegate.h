#pragma once

#include "app/command_line.h"
#include "app/floating_panel.h"
#include "app/secondary_window.h"
#include "settings/enums.h"

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

class LayoutStore;
class Settings;
class TimerEngine;

// The program's spine: runs the launch sequence, owns the widget window, the tray icon with its
// menu and the secondary windows, and carries out the menu's commands.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    // Builds the view the widget window hosts; an empty view when not set.
    using ViewFactory = std::function<QWidget*()>;

    AppDelegate(Settings& store, LayoutStore& layout, TimerEngine& timer,
                QObject* parent = nullptr);
    ~AppDelegate() override;

    // Sets up the widget window, then the tray icon, then starts the countdown if the user
    // asked for that at launch.
    void applicationDidFinishLaunching();

    void setWidgetViewFactory(ViewFactory factory) { m_viewFactory = std::move(factory); }

    // Builds the content of a secondary window around the action that closes it; a page with
    // only a close button when not set.
    using PageFactory = std::function<QWidget*(std::function<void()> onClose)>;
    void setSettingsPageFactory(PageFactory factory) { m_settingsPage = std::move(factory); }
    void setAboutPageFactory(PageFactory factory) { m_aboutPage = std::move(factory); }
    // What a user-initiated update check does (the updater's check).
    std::function<void()> onCheckForUpdates;

    // Removes every item of the menu and adds them again from the current state.
    void rebuildMenu();

    // The menu's commands; each rebuilds the menu.
    void openAbout();
    void toggleTimer();
    void resetTimer();
    void ackAlert();
    void openSettings();
    void toggleWidget();
    // The about window's "지금 업데이트": brings the program to the front and asks the updater.
    void checkForUpdates();
    // Takes a display mode's stored text; an unknown text changes nothing.
    void selectDisplayMode(const QString& rawValue);
    void quit();

    // A later launch of the program asked this one to show itself.
    void showWidget();
    // A command from a launch's command line, with the effect of the menu's.
    void perform(CommandLine::Command command);

    QSystemTrayIcon* statusItem() const { return m_statusItem.get(); }
    FloatingPanel* panel() const { return m_panel.get(); }
    SecondaryWindow* settingsWindow() const { return m_settingsWindow.get(); }
    SecondaryWindow* aboutWindow() const { return m_aboutWindow.get(); }
    QMenu& menu() { return m_menu; }

private:
    void setupPanel();
    void setupMenuBar();
    void popUpMenu(const QPoint& globalPosition);
    void openWindow(std::unique_ptr<SecondaryWindow>& window, const QString& title,
                    const QString& role, const PageFactory& page);
    QAction* addCommand(const QString& title, void (AppDelegate::*command)());

    std::unique_ptr<QSystemTrayIcon> m_statusItem;
    std::unique_ptr<FloatingPanel> m_panel;
    std::unique_ptr<SecondaryWindow> m_settingsWindow;
    std::unique_ptr<SecondaryWindow> m_aboutWindow;
    QMenu m_menu;
    Settings& m_store;
    LayoutStore& m_layout;
    TimerEngine& m_timer;
    ViewFactory m_viewFactory;
    PageFactory m_settingsPage;
    PageFactory m_aboutPage;
};
