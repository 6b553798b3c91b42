#include "settings_window/display_tab.h"

#include "settings/layout_store.h"
#include "settings/settings.h"
#include "settings_window/bindings.h"
#include "settings_window/font_sample.h"
#include "settings_window/selectable_card.h"
#include "settings_window/tab_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QString formatEntry(TimerDisplayFormat format) {
    switch (format) {
    case TimerDisplayFormat::automatic:
        return QStringLiteral("자동 (1:10:10)");
    case TimerDisplayFormat::noSeconds:
        return QStringLiteral("초 없음 (1:10)");
    case TimerDisplayFormat::minutesWithUnit:
        return QStringLiteral("분 단위 (345m)");
    case TimerDisplayFormat::secondsWithUnit:
        return QStringLiteral("초 단위 (34890s)");
    case TimerDisplayFormat::korean:
        return QStringLiteral("한글 (1시간 25분 30초)");
    }
    return {};
}

} // namespace

QString fontStyleName(TimerFontStyle style) {
    switch (style) {
    case TimerFontStyle::rounded:
        return QStringLiteral("둥글둥글");
    case TimerFontStyle::monospaced:
        return QStringLiteral("디지털");
    case TimerFontStyle::standard:
        return QStringLiteral("시스템");
    case TimerFontStyle::serif:
        return QStringLiteral("세리프");
    case TimerFontStyle::typewriter:
        return QStringLiteral("타자기");
    case TimerFontStyle::chalkboard:
        return QStringLiteral("칠판");
    case TimerFontStyle::marker:
        return QStringLiteral("마커");
    case TimerFontStyle::handwriting:
        return QStringLiteral("필기체");
    }
    return {};
}

DisplayTab::DisplayTab(Settings& settings, LayoutStore& layout, ColourWell::Picker picker,
                       QWidget* parent)
    : QWidget(parent)
    , m_settings(settings) {
    auto* column = TabPage::column(this, 8);

    auto* hideCount = new QCheckBox(QStringLiteral("카운트는 마우스 올렸을 때만 표시"), this);
    hideCount->setObjectName(QStringLiteral("hideCountUnlessHover"));
    Bind::toggle(hideCount, layout, &LayoutStore::hideCountUnlessHover,
                 &LayoutStore::setHideCountUnlessHover, &LayoutStore::hideCountUnlessHoverChanged);
    column->addWidget(hideCount);
    column->addWidget(TabPage::note(
        QStringLiteral(
            "위젯에 마우스를 올리지 않으면 시간 숫자가 숨겨져요. 알람 중에는 항상 보입니다."),
        this));

    QHBoxLayout* formatRow = TabPage::labelledRow(QStringLiteral("시간 표시 형식"), this);
    auto* format = new QComboBox(this);
    format->setObjectName(QStringLiteral("timerDisplayFormat"));
    format->setAccessibleName(QStringLiteral("시간 표시 형식"));
    format->setMaximumWidth(220);
    for (TimerDisplayFormat f : allCases<TimerDisplayFormat>())
        format->addItem(formatEntry(f), rawValue(f));
    Bind::menu(
        format, m_settings, &Settings::timerDisplayFormat, &Settings::setTimerDisplayFormat,
        &Settings::timerDisplayFormatChanged, [](TimerDisplayFormat f) { return rawValue(f); },
        [](const QVariant& data) {
            return fromRawValueOrFirst<TimerDisplayFormat>(data.toString());
        });
    formatRow->addWidget(format);
    column->addLayout(formatRow);

    auto* fonts = new QWidget(this);
    auto* fontColumn = TabPage::column(fonts, 6);
    fontColumn->addWidget(TabPage::title(QStringLiteral("타이머 글씨체"), fonts));
    fontColumn->addWidget(buildFontGrid());
    column->addWidget(fonts);
    column->addWidget(buildColours(std::move(picker)));
}

QWidget* DisplayTab::buildFontGrid() {
    auto* grid = new QWidget(this);
    grid->setObjectName(QStringLiteral("fontStyleGrid"));
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setVerticalSpacing(8);
    layout->setHorizontalSpacing(8);
    const std::vector<TimerFontStyle> styles = allCases<TimerFontStyle>();
    for (std::size_t i = 0; i < styles.size(); ++i) {
        const TimerFontStyle style = styles[i];
        auto* card = new SelectableCard(8, grid);
        card->setObjectName(QStringLiteral("font-") + rawValue(style));
        card->setAccessibleName(fontStyleName(style));
        auto* content = new QWidget;
        auto* stack = new QVBoxLayout(content);
        stack->setContentsMargins(4, 8, 4, 8);
        stack->setSpacing(2);
        stack->addWidget(new FontSample(style, QStringLiteral("12:34"), content));
        QLabel* name = TabPage::note(fontStyleName(style), content);
        name->setAlignment(Qt::AlignCenter);
        stack->addWidget(name);
        card->setContent(content);
        connect(card, &SelectableCard::clicked, this,
                [this, style] { m_settings.setTimerFontStyle(style); });
        Bind::follow(card, m_settings, &Settings::timerFontStyle, &Settings::timerFontStyleChanged,
                     [card, style](TimerFontStyle chosen) { card->setSelected(chosen == style); });
        layout->addWidget(card, int(i / 2), int(i % 2));
    }
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    return grid;
}

QWidget* DisplayTab::buildColours(ColourWell::Picker picker) {
    auto* section = new QWidget(this);
    auto* layout = TabPage::column(section, 8);
    layout->addWidget(TabPage::title(QStringLiteral("타이머 색상"), section));

    QHBoxLayout* fillRow = TabPage::labelledRow(QStringLiteral("글씨 색"), section);
    auto* fill = new ColourWell(picker, section);
    fill->setObjectName(QStringLiteral("timerFillColor"));
    fill->setAccessibleName(QStringLiteral("글씨 색"));
    Bind::colour(fill, m_settings, &Settings::timerFillColor, &Settings::setTimerFillColor,
                 &Settings::timerFillColorChanged);
    fillRow->addWidget(fill);
    layout->addLayout(fillRow);

    QHBoxLayout* strokeRow = TabPage::labelledRow(QStringLiteral("외곽선 색"), section);
    auto* stroke = new ColourWell(picker, section);
    stroke->setObjectName(QStringLiteral("timerStrokeColor"));
    stroke->setAccessibleName(QStringLiteral("외곽선 색"));
    Bind::colour(stroke, m_settings, &Settings::timerStrokeColor, &Settings::setTimerStrokeColor,
                 &Settings::timerStrokeColorChanged);
    Bind::follow(stroke, m_settings, &Settings::timerShowOutline,
                 &Settings::timerShowOutlineChanged, [stroke](bool on) { stroke->setEnabled(on); });
    strokeRow->addWidget(stroke);
    layout->addLayout(strokeRow);

    auto* outline = new QCheckBox(QStringLiteral("외곽선 표시"), section);
    outline->setObjectName(QStringLiteral("timerShowOutline"));
    Bind::toggle(outline, m_settings, &Settings::timerShowOutline, &Settings::setTimerShowOutline,
                 &Settings::timerShowOutlineChanged);
    layout->addWidget(outline);
    layout->addWidget(TabPage::note(
        QStringLiteral("일시정지(노랑) / 종료(빨강) 색상은 상태 강조용으로 고정이에요."), section));
    return section;
}
