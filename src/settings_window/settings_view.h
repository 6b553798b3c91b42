#pragma once

#include "settings_window/cat_tab.h"
#include "settings_window/colour_well.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class CatTab;
class Clock;
class CustomCat;
class LaunchTab;
class LayoutStore;
class LoginItem;
class ModeTab;
class QTabWidget;
class PhotoLibraryModel;
class Settings;
class SkinStore;
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
        SkinStore& skins;
        CustomCat& photos;
    };

    // The questions the window asks through other windows; each has the system's dialog when
    // not given, except the photo editor, which is then not offered.
    struct Pickers {
        ColourWell::Picker colour;
        CatTab::PhotoPicker photos;
        CatTab::EditorFactory editor;
    };

    // `onClose` closes the window.
    SettingsView(Models models, std::function<void()> onClose, Pickers pickers = {},
                 QWidget* parent = nullptr);
    ~SettingsView() override;

    QTabWidget* tabs() const { return m_tabs; }
    ModeTab* modeTab() const { return m_mode; }
    LaunchTab* launchTab() const { return m_launch; }
    // Built when its page is first shown.
    CatTab* catTab() const { return m_cat; }
    PhotoLibraryModel& photoLibrary() const { return *m_photos; }

protected:
    void showEvent(QShowEvent* event) override;
    // The tabs' symbols follow the palette (a switch to a dark theme).
    void changeEvent(QEvent* event) override;

private:
    void drawTabSymbols();

    QTabWidget* m_tabs;
    ModeTab* m_mode;
    LaunchTab* m_launch;
    PhotoLibraryModel* m_photos;
    QPointer<CatTab> m_cat;
};
