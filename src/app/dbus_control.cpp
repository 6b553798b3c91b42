#include "app/dbus_control.h"

#include "platform/log.h"
#include "settings/enums.h"
#include "settings/settings.h"
#include "timing/clock_engine.h"
#include "timing/time_format.h"
#include "timing/timer_engine.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace {

const QString kApplicationInterface = QStringLiteral("org.freedesktop.Application");

// What launchers call: Activate shows the widget, ActivateAction carries out a named command.
class ApplicationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit ApplicationAdaptor(DBusControl* control)
        : QDBusAbstractAdaptor(control)
        , m_control(control) {}

public slots:
    void Activate(const QVariantMap& platformData) {
        Q_UNUSED(platformData)
        m_control->perform(CommandLine::Command::show);
    }
    void Open(const QStringList& uris, const QVariantMap& platformData) {
        Q_UNUSED(uris)
        Q_UNUSED(platformData)
        m_control->perform(CommandLine::Command::show);
    }
    // The commands take no parameter.
    void ActivateAction(const QString& name, const QVariantList& parameter,
                        const QVariantMap& platformData) {
        Q_UNUSED(parameter)
        Q_UNUSED(platformData)
        m_control->activateAction(name);
    }

private:
    DBusControl* m_control;
};

// The program's own interface: the commands as methods, the timer as properties.
class PurrtickAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.purrtick.Purrtick1")
    Q_PROPERTY(QString State READ state)
    Q_PROPERTY(QString Mode READ mode)
    Q_PROPERTY(qlonglong Remaining READ remaining)
    Q_PROPERTY(QString DisplayText READ displayText)
    Q_PROPERTY(bool IsAlerting READ isAlerting)

public:
    explicit PurrtickAdaptor(DBusControl* control)
        : QDBusAbstractAdaptor(control)
        , m_control(control) {
        connect(control, &DBusControl::finished, this, &PurrtickAdaptor::Finished);
    }
    // Read only through the bus: a reader is there to hear of the seconds.
    QString state() const { return m_control->read()->state(); }
    QString mode() const { return m_control->read()->mode(); }
    qlonglong remaining() const { return m_control->read()->remaining(); }
    QString displayText() const { return m_control->read()->displayText(); }
    bool isAlerting() const { return m_control->read()->isAlerting(); }

public slots:
    void Toggle() { m_control->perform(CommandLine::Command::toggle); }
    void Start() { m_control->perform(CommandLine::Command::start); }
    void Pause() { m_control->perform(CommandLine::Command::pause); }
    void Reset() { m_control->perform(CommandLine::Command::reset); }
    void StopAlert() { m_control->perform(CommandLine::Command::stopAlert); }
    void Show() { m_control->perform(CommandLine::Command::show); }
    void Hide() { m_control->perform(CommandLine::Command::hide); }
    void Settings() { m_control->perform(CommandLine::Command::settings); }
    void Quit() { m_control->perform(CommandLine::Command::quit); }

signals:
    void Finished();

private:
    DBusControl* m_control;
};

QString stateName(TimerState state) {
    switch (state) {
    case TimerState::idle:
        return QStringLiteral("idle");
    case TimerState::running:
        return QStringLiteral("running");
    case TimerState::paused:
        return QStringLiteral("paused");
    case TimerState::done:
        return QStringLiteral("done");
    }
    return QStringLiteral("idle");
}

} // namespace

QString DBusControl::serviceName() {
    return QStringLiteral("io.github.purrtick.Purrtick");
}
QString DBusControl::objectPath() {
    return QStringLiteral("/io/github/purrtick/Purrtick");
}
QString DBusControl::interfaceName() {
    return QStringLiteral("io.github.purrtick.Purrtick1");
}

DBusControl::DBusControl(TimerEngine& timer, ClockEngine& clock, Settings& settings,
                         Perform perform, QObject* parent)
    : QObject(parent)
    , m_timer(timer)
    , m_clock(clock)
    , m_settings(settings)
    , m_perform(std::move(perform)) {
    new ApplicationAdaptor(this);
    new PurrtickAdaptor(this);
    m_announced = properties();
    m_wasDone = timer.state() == TimerState::done;

    connect(&timer, &TimerEngine::stateChanged, this, [this] {
        const bool done = m_timer.state() == TimerState::done;
        announceChanges();
        if (done && !m_wasDone)
            emit finished();
        m_wasDone = done;
    });
    for (auto signal : {&TimerEngine::remainingChanged, &TimerEngine::isAlertingChanged,
                        &TimerEngine::displayTextChanged})
        connect(&timer, signal, this, &DBusControl::announceChanges);
    connect(&clock, &ClockEngine::displayTextChanged, this, &DBusControl::announceChanges);
    connect(&settings, &Settings::widgetModeChanged, this, &DBusControl::announceChanges);
}

DBusControl::~DBusControl() {
    if (m_connection.isConnected()) {
        m_connection.unregisterObject(objectPath());
        m_connection.unregisterService(serviceName());
    }
}

bool DBusControl::publish(QDBusConnection connection) {
    if (!connection.isConnected()) {
        qCInfo(lcPurrtick, "세션 버스가 없어 D-Bus로 명령을 받지 않음");
        return false;
    }
    if (!connection.registerObject(objectPath(), this, QDBusConnection::ExportAdaptors)) {
        qCWarning(lcPurrtick, "D-Bus 객체를 등록할 수 없음: %s",
                  qPrintable(connection.lastError().message()));
        return false;
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        connection.interface()->registerService(serviceName(),
                                                QDBusConnectionInterface::DontQueueService,
                                                QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        qCWarning(lcPurrtick, "D-Bus 이름 %s을(를) 가질 수 없음: %s", qPrintable(serviceName()),
                  qPrintable(reply.error().message()));
        connection.unregisterObject(objectPath());
        return false;
    }
    m_connection = connection;
    return true;
}

QString DBusControl::state() const {
    return stateName(m_timer.state());
}

QString DBusControl::mode() const {
    return rawValue(m_settings.widgetMode());
}

qint64 DBusControl::remaining() const {
    // Whole seconds, as the countdown shows them.
    return roundedSeconds(m_timer.remaining());
}

QString DBusControl::displayText() const {
    return m_settings.widgetMode() == WidgetMode::clock ? m_clock.displayText()
                                                        : m_timer.displayText();
}

bool DBusControl::isAlerting() const {
    return m_timer.isAlerting();
}

void DBusControl::perform(CommandLine::Command command) {
    QMetaObject::invokeMethod(
        this, [this, command] { m_perform(command); }, Qt::QueuedConnection);
}

void DBusControl::activateAction(const QString& name) {
    if (const auto command = CommandLine::commandFromActionName(name))
        perform(*command);
    else if (calledFromDBus()) // the call's context is kept on the object, not its adaptors
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no action named ") + name);
}

QVariantMap DBusControl::properties() const {
    return {{QStringLiteral("State"), state()},
            {QStringLiteral("Mode"), mode()},
            {QStringLiteral("Remaining"), QVariant::fromValue(qlonglong(remaining()))},
            {QStringLiteral("DisplayText"), displayText()},
            {QStringLiteral("IsAlerting"), isAlerting()}};
}

const DBusControl* DBusControl::read() {
    m_read = true;
    return this;
}

void DBusControl::announceChanges() {
    const QVariantMap now = properties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (m_announced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    // Every second of a countdown is news only to a program that follows it, and one that does
    // reads the properties first; until then a change of the seconds alone is not sent (a
    // message a second wakes the program for nobody).
    bool secondsOnly = true;
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        secondsOnly = secondsOnly && (it.key() == QStringLiteral("Remaining") ||
                                      it.key() == QStringLiteral("DisplayText"));
    if (changed.isEmpty() || (secondsOnly && !m_read))
        return;
    m_announced = now;
    if (!m_connection.isConnected())
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(objectPath(), QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << interfaceName() << changed << QStringList();
    m_connection.send(signal);
}

bool DBusControl::askRunningInstance(QDBusConnection connection, CommandLine::Command command) {
    if (!connection.isConnected())
        return false;
    QDBusConnectionInterface* bus = connection.interface();
    if (!bus || !bus->isServiceRegistered(serviceName()).value())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        serviceName(), objectPath(), kApplicationInterface, QStringLiteral("ActivateAction"));
    call << CommandLine::actionName(command) << QVariantList() << QVariantMap();
    // Only the instance that runs: starting one is the caller's business.
    call.setAutoStartService(false);
    const QDBusMessage reply = connection.call(call, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        qCWarning(lcPurrtick, "실행 중인 Purrtick이 D-Bus로 답하지 않음: %s",
                  qPrintable(reply.errorMessage()));
        return false;
    }
    return true;
}

#include "dbus_control.moc"
