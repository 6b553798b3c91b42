#pragma once

// The models the settings window edits, over a settings file in a temporary folder, a silent
// alert and a login registration kept in memory: what the bench tools open the window on.
#include "cats/bundled_cat.h"
#include "cats/custom_cat.h"
#include "cats/skin_store.h"
#include "platform/alert_sound.h"
#include "platform/clock.h"
#include "platform/login_item.h"
#include "platform/xdg_autostart.h"
#include "settings/layout_store.h"
#include "settings/settings.h"
#include "settings_window/settings_view.h"
#include "timing/timer_engine.h"

#include <QTemporaryDir>

class SettingsWorld {
public:
    // `installedCopy`: whether this copy may register at login (a development run may not).
    explicit SettingsWorld(bool installedCopy)
        : loginItem(autostart, installedCopy) {}

    SettingsView::Models models() {
        return {settings, layout, engine, loginItem, SystemClock::shared(), skins, photos};
    }

    QTemporaryDir temp;
    KeyValueStore store{temp.filePath(QStringLiteral("Purrtick.conf"))};
    Settings settings{store};
    LayoutStore layout{settings};

    class Silent final : public AlertSound {
    public:
        void play() override {}
    } sound;
    TimerEngine engine{settings, SystemClock::shared(), sound};

    BundledCat catalogue{BundledCat::findBundle()};
    SkinStore skins{settings, catalogue};
    CustomCat photos{temp.filePath(QStringLiteral("data")), settings};

    class InMemoryAutostart final : public Autostart {
    public:
        bool isEnabled() const override { return enabled; }
        std::optional<QString> set(bool wanted) override {
            enabled = wanted;
            return std::nullopt;
        }
        bool enabled = false;
    } autostart;
    LoginItem loginItem;
};
