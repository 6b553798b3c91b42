#include "settings_window/mode_tab.h"

#include "platform/clock.h"
#include "settings/settings.h"
#include "settings_window/bindings.h"
#include "settings_window/number_field.h"
#include "settings_window/segmented_picker.h"
#include "settings_window/stepper.h"
#include "settings_window/tab_page.h"
#include "timing/clock_region.h"
#include "timing/timer_engine.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStandardItemModel>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

constexpr int kRegionWidth = 240;

QString id(const char* name) {
    return QString::fromLatin1(name);
}

// The device's own zone is stored as no identifier; in the menu it carries an empty text.
QVariant regionData(const std::optional<QString>& zone) {
    return zone ? QVariant(*zone) : QVariant(QString());
}

std::optional<QString> regionFromData(const QVariant& data) {
    const QString zone = data.toString();
    if (zone.isEmpty())
        return std::nullopt;
    return zone;
}

} // namespace

ModeTab::ModeTab(Settings& settings, TimerEngine& engine, const Clock& clock,
                 std::function<void()> onClose, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_engine(engine)
    , m_clock(clock)
    , m_onClose(std::move(onClose))
    , m_draft(clock.now()) {
    auto* layout = TabPage::column(this, 14);
    auto* widgetMode =
        new SegmentedPicker({QStringLiteral("타이머"), QStringLiteral("시계")}, this);
    widgetMode->setObjectName(id("widgetMode"));
    widgetMode->setAccessibleName(QStringLiteral("위젯 모드"));
    layout->addWidget(widgetMode);
    m_timerBody = buildTimerBody();
    m_clockSection = buildClockSection();
    layout->addWidget(m_timerBody);
    layout->addWidget(m_clockSection);

    Bind::segments(widgetMode, allCases<WidgetMode>(), m_settings, &Settings::widgetMode,
                   &Settings::setWidgetMode, &Settings::widgetModeChanged);
    const auto showMode = [this] {
        const bool clockMode = m_settings.widgetMode() == WidgetMode::clock;
        m_timerBody->setVisible(!clockMode);
        m_clockSection->setVisible(clockMode);
    };
    showMode();
    connect(&m_settings, &Settings::widgetModeChanged, this, showMode);
    // The goal and the regions' offsets are filled in each time the window is shown.
    showDraft();
}

QWidget* ModeTab::buildTimerBody() {
    auto* body = new QWidget(this);
    auto* layout = TabPage::column(body, 14);
    m_category = new SegmentedPicker({QStringLiteral("집중용"), QStringLiteral("출퇴근용")}, body);
    m_category->setObjectName(id("category"));
    m_category->setAccessibleName(QStringLiteral("목표 종류"));
    connect(m_category, &SegmentedPicker::currentIndexChanged, this, [this](int index) {
        m_draft.category = index == 0 ? GoalDraft::Category::focus : GoalDraft::Category::commute;
        showDraft();
    });
    layout->addWidget(m_category);
    m_focusSection = buildFocusSection();
    m_commuteSection = buildCommuteSection();
    layout->addWidget(m_focusSection);
    layout->addWidget(m_commuteSection);

    auto* applyRow = new QHBoxLayout;
    applyRow->setContentsMargins(0, 4, 0, 0);
    applyRow->addStretch(1);
    m_apply = new QPushButton(QStringLiteral("적용 후 시작"), body);
    m_apply->setObjectName(id("applyAndStart"));
    m_apply->setDefault(true);
    connect(m_apply, &QPushButton::clicked, this, &ModeTab::applyAndStart);
    // Return (and Enter on the keypad) apply from anywhere in the window while the button is
    // on screen.
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), m_apply);
        connect(shortcut, &QShortcut::activated, this, [this] {
            if (m_apply->isVisible() && m_apply->isEnabled())
                applyAndStart();
        });
    }
    applyRow->addWidget(m_apply);
    layout->addLayout(applyRow);
    return body;
}

QWidget* ModeTab::buildFocusSection() {
    auto* section = new QWidget(this);
    auto* layout = TabPage::column(section, 8);
    QHBoxLayout* row = TabPage::labelledRow(QStringLiteral("집중 시간"), section);
    m_minutes = new NumberField(1, 600, 56, section);
    m_minutes->setObjectName(id("focusMinutes"));
    m_minutes->setAccessibleName(QStringLiteral("집중 시간 (분)"));
    connect(m_minutes, &NumberField::valueEdited, this,
            [this](std::int64_t value) { m_draft.minutes = value; });
    row->addWidget(m_minutes);
    row->addWidget(new QLabel(QStringLiteral("분"), section));
    row->addWidget(new Stepper(m_minutes, QStringLiteral("분"), section));
    layout->addLayout(row);

    auto* presets = new QHBoxLayout;
    presets->setSpacing(8);
    for (const int minutes : {5, 15, 25, 45, 60}) {
        auto* preset = new QPushButton(QString::number(minutes), section);
        preset->setObjectName(QStringLiteral("preset%1").arg(minutes));
        preset->setAccessibleName(QStringLiteral("%1분").arg(minutes));
        // Styles give text buttons a wide minimum; five bare numbers share one row here.
        preset->setMinimumWidth(48);
        preset->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(preset, &QPushButton::clicked, this, [this, minutes] {
            m_draft.minutes = minutes;
            m_minutes->setValue(minutes);
        });
        presets->addWidget(preset);
    }
    layout->addLayout(presets);
    return section;
}

QWidget* ModeTab::buildCommuteSection() {
    auto* section = new QWidget(this);
    auto* layout = TabPage::column(section, 10);
    m_offKind =
        new SegmentedPicker({QStringLiteral("목표 시각"), QStringLiteral("근무 시간")}, section);
    m_offKind->setObjectName(id("offKind"));
    m_offKind->setAccessibleName(QStringLiteral("퇴근 기준"));
    connect(m_offKind, &SegmentedPicker::currentIndexChanged, this, [this](int index) {
        m_draft.offKind = index == 0 ? GoalDraft::OffKind::clock : GoalDraft::OffKind::duration;
        showDraft();
    });
    layout->addWidget(m_offKind);

    m_offClock = new QWidget(section);
    auto* clockColumn = TabPage::column(m_offClock, 10);
    QHBoxLayout* clockRow = TabPage::labelledRow(QStringLiteral("퇴근 시각"), m_offClock);
    m_offTime = new QTimeEdit(m_offClock);
    m_offTime->setObjectName(id("offTime"));
    m_offTime->setAccessibleName(QStringLiteral("퇴근 시각"));
    m_offTime->setDisplayFormat(QStringLiteral("HH:mm"));
    m_offTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(m_offTime, &QTimeEdit::timeChanged, this, [this](QTime time) {
        if (const auto today = GoalDraft::todayAt(time.hour(), time.minute(), m_clock.now()))
            m_draft.offTime = *today;
    });
    clockRow->addWidget(m_offTime);
    clockColumn->addLayout(clockRow);
    clockColumn->addWidget(
        TabPage::note(QStringLiteral("이미 지난 시각이면 다음 날 기준으로 계산해요."), m_offClock));
    layout->addWidget(m_offClock);

    m_offDuration = new QWidget(section);
    auto* durationColumn = TabPage::column(m_offDuration, 10);
    QHBoxLayout* durationRow = TabPage::labelledRow(QStringLiteral("근무 시간"), m_offDuration);
    m_workHours = new NumberField(0, 23, 44, m_offDuration);
    m_workHours->setObjectName(id("workHours"));
    m_workHours->setAccessibleName(QStringLiteral("근무 시간 (시간)"));
    m_workMinutes = new NumberField(0, 59, 44, m_offDuration);
    m_workMinutes->setObjectName(id("workMinutes"));
    m_workMinutes->setAccessibleName(QStringLiteral("근무 시간 (분)"));
    connect(m_workHours, &NumberField::valueEdited, this,
            [this](std::int64_t value) { m_draft.workHours = value; });
    connect(m_workMinutes, &NumberField::valueEdited, this,
            [this](std::int64_t value) { m_draft.workMinutes = value; });
    durationRow->addWidget(m_workHours);
    durationRow->addWidget(new QLabel(QStringLiteral("시간"), m_offDuration));
    durationRow->addWidget(m_workMinutes);
    durationRow->addWidget(new QLabel(QStringLiteral("분"), m_offDuration));
    durationColumn->addLayout(durationRow);
    durationColumn->addWidget(TabPage::note(
        QStringLiteral("시작한 시점부터 이만큼 지나면 '퇴근!' 알림."), m_offDuration));
    layout->addWidget(m_offDuration);
    return section;
}

QWidget* ModeTab::buildClockSection() {
    auto* section = new QWidget(this);
    auto* layout = TabPage::column(section, 10);
    QHBoxLayout* row = TabPage::labelledRow(QStringLiteral("지역"), section);
    m_region = new QComboBox(section);
    m_region->setObjectName(id("clockRegion"));
    m_region->setAccessibleName(QStringLiteral("지역"));
    // The room the row has: wide enough for "디바이스 기본 (Etc/UTC, UTC+0)" and most zones; the
    // open list grows to its longest entry.
    m_region->setFixedWidth(kRegionWidth);
    m_region->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    row->addWidget(m_region);
    layout->addLayout(row);
    Bind::menu(m_region, m_settings, &Settings::clockTimeZoneID, &Settings::setClockTimeZoneID,
               &Settings::clockTimeZoneIDChanged, regionData, regionFromData);

    auto* use24Hour = new QCheckBox(QStringLiteral("24시간제"), section);
    use24Hour->setObjectName(id("clockUse24Hour"));
    auto* showAMPM = new QCheckBox(QStringLiteral("AM/PM 표시"), section);
    showAMPM->setObjectName(id("clockShowAMPM"));
    auto* showSeconds = new QCheckBox(QStringLiteral("초 표시"), section);
    showSeconds->setObjectName(id("clockShowSeconds"));
    Bind::toggle(use24Hour, m_settings, &Settings::clockUse24Hour, &Settings::setClockUse24Hour,
                 &Settings::clockUse24HourChanged);
    Bind::toggle(showAMPM, m_settings, &Settings::clockShowAMPM, &Settings::setClockShowAMPM,
                 &Settings::clockShowAMPMChanged);
    Bind::toggle(showSeconds, m_settings, &Settings::clockShowSeconds,
                 &Settings::setClockShowSeconds, &Settings::clockShowSecondsChanged);
    // AM/PM means nothing on a 24-hour clock; the choice is kept for when it does again.
    Bind::follow(showAMPM, m_settings, &Settings::clockUse24Hour, &Settings::clockUse24HourChanged,
                 [showAMPM](bool use24) { showAMPM->setEnabled(!use24); });
    layout->addWidget(use24Hour);
    layout->addWidget(showAMPM);
    layout->addWidget(showSeconds);
    layout->addWidget(TabPage::note(
        QStringLiteral("현재 시각을 표시하는 모드예요. 시작/정지 같은 타이머 컨트롤은 숨겨집니다."),
        section));
    return section;
}

void ModeTab::fillRegions(QComboBox* combo, const QDateTime& now) {
    const QSignalBlocker block(combo);
    const QVariant chosen = combo->currentData();
    auto* model = new QStandardItemModel(combo);
    const QTimeZone device = QTimeZone::systemTimeZone();
    auto* deviceEntry = new QStandardItem(QStringLiteral("디바이스 기본 (") +
                                          QString::fromUtf8(device.id()) + QStringLiteral(", ") +
                                          ClockRegion::offsetLabel(device, now) + QLatin1Char(')'));
    deviceEntry->setData(QString(), Qt::UserRole);
    model->appendRow(deviceEntry);
    for (const QString& group : ClockRegion::groups()) {
        auto* header = new QStandardItem(group);
        QFont bold = combo->font();
        bold.setBold(true);
        header->setFont(bold);
        header->setFlags(Qt::NoItemFlags);
        model->appendRow(header);
        for (const ClockRegion& region : ClockRegion::all()) {
            if (region.group != group)
                continue;
            QTimeZone zone(region.id.toUtf8());
            if (!zone.isValid())
                zone = device;
            auto* entry = new QStandardItem(region.name + QStringLiteral("  (") +
                                            ClockRegion::offsetLabel(zone, now) + QLatin1Char(')'));
            entry->setData(region.id, Qt::UserRole);
            model->appendRow(entry);
        }
    }
    // The combo box deletes the model it had made or been given before.
    combo->setModel(model);
    // The field is narrow; the list opens wide enough for the longest entry.
    combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) + 24);
    combo->setCurrentIndex(chosen.isValid() ? combo->findData(chosen) : 0);
}

void ModeTab::loadFromEngine() {
    m_draft.loadFromEngine(m_engine, m_clock.now());
    fillRegions(m_region, m_clock.now());
    m_region->setCurrentIndex(m_region->findData(regionData(m_settings.clockTimeZoneID())));
    showDraft();
}

void ModeTab::showDraft() {
    const bool focus = m_draft.category == GoalDraft::Category::focus;
    const bool byClock = m_draft.offKind == GoalDraft::OffKind::clock;
    m_category->setCurrentIndex(focus ? 0 : 1);
    m_focusSection->setVisible(focus);
    m_commuteSection->setVisible(!focus);
    m_offKind->setCurrentIndex(byClock ? 0 : 1);
    m_offClock->setVisible(byClock);
    m_offDuration->setVisible(!byClock);
    m_minutes->setValue(m_draft.minutes);
    {
        const QSignalBlocker block(m_offTime);
        m_offTime->setTime(m_draft.offTime.toLocalTime().time());
    }
    m_workHours->setValue(m_draft.workHours);
    m_workMinutes->setValue(m_draft.workMinutes);
}

void ModeTab::applyAndStart() {
    // What is being typed counts, as if the field had been left first.
    for (NumberField* field : {m_minutes, m_workHours, m_workMinutes})
        field->commit();
    m_draft.apply(m_engine);
    m_engine.reset();
    m_engine.start();
    if (m_onClose)
        m_onClose();
}
