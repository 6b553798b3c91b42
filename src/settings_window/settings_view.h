#pragma once

#include "settings_window/colour_well.h"

#include <QWidget>

#include <functional>

class Clock;
class LaunchTab;
class LayoutStore;
class LoginItem;
class ModeTab;
class QTabWidget;
class Settings;
class TimerEngine;

// The settings window's content: five tabs over a row with "닫기". Each time it is shown it
// reloads the pending goal from the engine and the login registration from the desktop.
class SettingsView : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize kSize{420, 520};

    struct Models {
        Settings& settings;
        LayoutStore& layout;
        TimerEngine& engine;
        LoginItem& loginItem;
        const Clock& clock;
    };

    // `onClose` closes the window; `colourPicker` answers the colour wells (the system's
    // colour dialog when not given).
    SettingsView(Models models, std::function<void()> onClose, ColourWell::Picker colourPicker = {},
                 QWidget* parent = nullptr);

    QTabWidget* tabs() const { return m_tabs; }
    ModeTab* modeTab() const { return m_mode; }
    LaunchTab* launchTab() const { return m_launch; }

protected:
    void showEvent(QShowEvent* event) override;
    // The tabs' symbols follow the palette (a switch to a dark theme).
    void changeEvent(QEvent* event) override;

private:
    void drawTabSymbols();

    QTabWidget* m_tabs;
    ModeTab* m_mode;
    LaunchTab* m_launch;
};
