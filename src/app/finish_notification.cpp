#include "app/finish_notification.h"

#include "platform/desktop_notifications.h"
#include "settings/settings.h"
#include "timing/timer_engine.h"

FinishNotification::FinishNotification(TimerEngine& engine, Settings& settings,
                                       DesktopNotifications& notifications,
                                       std::function<void()> showWidget, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_settings(settings)
    , m_notifications(notifications)
    , m_showWidget(std::move(showWidget)) {
    connect(&m_engine, &TimerEngine::isAlertingChanged, this, &FinishNotification::alertingChanged);
    m_notifications.onAction = [this](const QString& key) {
        if (key == u"stop-alert")
            m_engine.stopAlert();
        else if (key == u"default" && m_showWidget)
            m_showWidget();
    };
}

FinishNotification::~FinishNotification() {
    m_notifications.onAction = nullptr;
}

void FinishNotification::alertingChanged() {
    if (!m_engine.isAlerting()) {
        m_notifications.withdraw();
        return;
    }
    if (!m_settings.notifyOnFinish())
        return;
    DesktopNotifications::Emphasis emphasis;
    emphasis.critical = true;
    emphasis.silent = m_settings.soundOnFinish();
    m_notifications.show(QStringLiteral("Purrtick"), m_engine.subtitle(),
                         {{QStringLiteral("default"), QStringLiteral("위젯 보기")},
                          {QStringLiteral("stop-alert"), QStringLiteral("알림 끄기")}},
                         emphasis);
}
