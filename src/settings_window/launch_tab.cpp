#include "settings_window/launch_tab.h"

#include "platform/login_item.h"
#include "settings/settings.h"
#include "settings_window/bindings.h"
#include "settings_window/tab_page.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

LaunchTab::LaunchTab(Settings& settings, LoginItem& loginItem, QWidget* parent)
    : QWidget(parent)
    , m_loginItem(loginItem) {
    auto* column = TabPage::column(this, 6);
    m_launchAtLogin = new QCheckBox(QStringLiteral("로그인 시 Purrtick 자동 실행"), this);
    m_launchAtLogin->setObjectName(QStringLiteral("launchAtLogin"));
    reloadLoginState();
    connect(m_launchAtLogin, &QCheckBox::toggled, this, &LaunchTab::loginSwitched);
    column->addWidget(m_launchAtLogin);

    auto* autoStart = new QCheckBox(QStringLiteral("실행되면 자동으로 타이머 시작"), this);
    autoStart->setObjectName(QStringLiteral("autoStartOnLaunch"));
    Bind::toggle(autoStart, settings, &Settings::autoStartOnLaunch, &Settings::setAutoStartOnLaunch,
                 &Settings::autoStartOnLaunchChanged);
    column->addWidget(autoStart);
    column->addWidget(TabPage::note(
        QStringLiteral(
            "둘 다 켜면: 로그인 → Purrtick 자동 실행 → 위 타이머 자동 시작 (출퇴근용에 딱)."),
        this));

    m_warning = new QLabel(this);
    m_warning->setObjectName(QStringLiteral("loginWarning"));
    m_warning->setWordWrap(true);
    m_warning->setFont(TabPage::caption(m_warning->font()));
    QPalette orange = m_warning->palette();
    orange.setColor(QPalette::WindowText, QColor(0xFF, 0x95, 0x00));
    m_warning->setPalette(orange);
    m_warning->setVisible(false);
    column->addWidget(m_warning);

    QLabel* development = TabPage::note(
        QStringLiteral("개발 빌드로 실행 중이라 로그인 시 자동 실행은 적용되지 않아요."), this);
    development->setObjectName(QStringLiteral("developmentRunNote"));
    development->setVisible(!m_loginItem.isInstalledCopy());
    column->addWidget(development);
}

void LaunchTab::reloadLoginState() {
    const QSignalBlocker block(m_launchAtLogin);
    m_launchAtLogin->setChecked(m_loginItem.isEnabled());
}

void LaunchTab::loginSwitched(bool wanted) {
    setLoginError(!m_loginItem.set(wanted));
    // The switch goes back to the registration as it is, without trying another change: that
    // one would succeed (there is nothing to remove) and take the reason off the screen.
    if (m_loginError) {
        const QSignalBlocker block(m_launchAtLogin);
        m_launchAtLogin->setChecked(m_loginItem.isEnabled());
    }
}

void LaunchTab::setLoginError(bool error) {
    m_loginError = error;
    // The real reason: a development run, or what kept the entry from being written.
    if (error)
        m_warning->setText(QStringLiteral("⚠︎ 로그인 항목 등록 실패 — ") +
                           m_loginItem.lastError());
    m_warning->setVisible(error);
}
