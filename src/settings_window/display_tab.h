#pragma once

#include "settings/enums.h"
#include "settings_window/colour_well.h"

#include <QWidget>

class LayoutStore;

// The Korean name of a typeface style, as the font cards show it.
QString fontStyleName(TimerFontStyle style);

class Settings;

// The "표시" tab: when the time shows, how it is written, its typeface and its colours. Every
// control writes its store at once.
class DisplayTab : public QWidget {
    Q_OBJECT

public:
    DisplayTab(Settings& settings, LayoutStore& layout, ColourWell::Picker picker,
               QWidget* parent = nullptr);

private:
    QWidget* buildFontGrid();
    QWidget* buildColours(ColourWell::Picker picker);

    Settings& m_settings;
};
