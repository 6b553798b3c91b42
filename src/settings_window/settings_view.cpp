#include "settings_window/settings_view.h"

#include "platform/close_row.h"
#include "platform/symbol_icon.h"
#include "settings_window/alert_tab.h"
#include "settings_window/display_tab.h"
#include "settings_window/launch_tab.h"
#include "settings_window/mode_tab.h"
#include "settings_window/photo_library_model.h"
#include "settings_window/tab_page.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

SettingsView::SettingsView(Models models, std::function<void()> onClose, Pickers pickers,
                           QWidget* parent)
    : QWidget(parent)
    , m_tabs(new QTabWidget(this))
    , m_photos(new PhotoLibraryModel(models.photos, models.settings, models.skins, this)) {
    ColourWell::Picker colourPicker =
        pickers.colour ? pickers.colour : ColourWell::dialogPicker(QStringLiteral("색 선택"));
    m_mode = new ModeTab(models.settings, models.engine, models.clock, onClose);
    m_launch = new LaunchTab(models.settings, models.loginItem);

    const auto add = [this](QScrollArea* frame, const QString& title) {
        m_tabs->addTab(frame, title);
    };
    m_mode->setObjectName(QStringLiteral("modeTab"));
    add(TabPage::frame(m_mode), QStringLiteral("모드"));
    add(TabPage::lazyFrame([models, colourPicker] {
            auto* display = new DisplayTab(models.settings, models.layout, colourPicker);
            display->setObjectName(QStringLiteral("displayTab"));
            return display;
        }),
        QStringLiteral("표시"));
    auto* alert = new AlertTab(models.settings);
    alert->setObjectName(QStringLiteral("alertTab"));
    add(TabPage::frame(alert), QStringLiteral("알림"));
    m_launch->setObjectName(QStringLiteral("launchTab"));
    add(TabPage::frame(m_launch), QStringLiteral("실행"));
    add(TabPage::lazyFrame([this, models, pickers] {
            m_cat = new CatTab(models.settings, models.skins, *m_photos, pickers.photos,
                               pickers.editor);
            m_cat->setObjectName(QStringLiteral("catTab"));
            return m_cat.data();
        }),
        QStringLiteral("고양이"));
    drawTabSymbols();
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setDocumentMode(true);
    m_tabs->setUsesScrollButtons(false);

    QHBoxLayout* bottom = closeRow(this, onClose);
    bottom->setContentsMargins(16, 16, 16, 16);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(bottom);
    setFixedSize(kSize);
}

SettingsView::~SettingsView() = default;

void SettingsView::drawTabSymbols() {
    static const char* const symbols[] = {"clock", "paintbrush", "bell", "power", "cat"};
    const QColor color = palette().color(QPalette::WindowText);
    for (int i = 0; i < m_tabs->count() && i < int(std::size(symbols)); ++i)
        m_tabs->setTabIcon(i, SymbolIcon::icon(QString::fromLatin1(symbols[i]), color));
}

void SettingsView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        drawTabSymbols();
}

void SettingsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_mode->loadFromEngine();
    m_launch->reloadLoginState();
}
