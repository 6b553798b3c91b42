#include "settings_window/alert_tab.h"

#include "settings/settings.h"
#include "settings_window/bindings.h"
#include "settings_window/tab_page.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

AlertTab::AlertTab(Settings& settings, QWidget* parent)
    : QWidget(parent) {
    auto* column = TabPage::column(this, 6);
    auto* sound = new QCheckBox(QStringLiteral("완료 시 소리 알림"), this);
    sound->setObjectName(QStringLiteral("soundOnFinish"));
    Bind::toggle(sound, settings, &Settings::soundOnFinish, &Settings::setSoundOnFinish,
                 &Settings::soundOnFinishChanged);
    column->addWidget(sound);
    column->addWidget(TabPage::note(QStringLiteral("끄면 시각 알림(위젯 깜빡임)만 유지돼요. 4초 "
                                                   "간격 반복 소리도 같이 꺼집니다."),
                                    this));
    auto* notify = new QCheckBox(QStringLiteral("완료 시 데스크톱 알림"), this);
    notify->setObjectName(QStringLiteral("notifyOnFinish"));
    Bind::toggle(notify, settings, &Settings::notifyOnFinish, &Settings::setNotifyOnFinish,
                 &Settings::notifyOnFinishChanged);
    column->addWidget(notify);
}
