#include "e2e_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTemporaryFile>
#include <QThread>

#include <csignal>

namespace E2E {

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(5000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}

namespace {

int field(const QString& text, const QString& label) {
    const QRegularExpression pattern(QRegularExpression::escape(label) + R"(:\s*(-?\d+))");
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

} // namespace

QRect geometry(const QString& windowId) {
    const QString info = run("xwininfo", {"-id", windowId});
    if (info.isEmpty())
        return {};
    return QRect(field(info, "Absolute upper-left X"), field(info, "Absolute upper-left Y"),
                 field(info, "Width"), field(info, "Height"));
}

bool isViewable(const QString& windowId) {
    return run("xwininfo", {"-id", windowId}).contains("Map State: IsViewable");
}

QString windowProperty(const QString& windowId, const QString& name) {
    const QString line = run("xprop", {"-id", windowId, name}).trimmed();
    const int equals = line.indexOf(" = ");
    return equals >= 0 ? line.mid(equals + 3) : QString();
}

QStringList search(const QStringList& arguments) {
    QProcess process;
    process.start("xdotool", QStringList{"search"} + arguments);
    process.waitForFinished(5000);
    return QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

QString openMenu() {
    for (const QString& id : search({"--onlyvisible", "--classname", "purrtick"})) {
        const QString info = run("xwininfo", {"-id", id});
        if (info.contains("Override Redirect State: yes") && info.contains("IsViewable") &&
            geometry(id).height() > 150)
            return id;
    }
    return {};
}

bool chooseFromMenu(QPoint at, int button, int downs) {
    run("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y()), "click",
                    QString::number(button)});
    QString menu;
    if (!waitFor([&] { return !(menu = openMenu()).isEmpty(); }))
        return false;
    QStringList keys{"key"};
    for (int i = 0; i < downs; ++i)
        keys << "Down";
    run("xdotool", keys << "Return");
    return waitFor([&] { return !isViewable(menu); }, 3000);
}

QStringList windowsWithRole(const QString& role) {
    QStringList found;
    for (const QString& id : search({"--onlyvisible", "--classname", "purrtick"}))
        if (windowProperty(id, "WM_WINDOW_ROLE") == '"' + role + '"')
            found << id;
    return found;
}

QStringList widgetWindows() {
    return windowsWithRole("purrtick-widget");
}

void clickIn(const QString& windowId, QPoint at) {
    run("xdotool", {"mousemove", "--window", windowId, QString::number(at.x()),
                    QString::number(at.y()), "click", "1"});
}

std::optional<Embedded> embeddedTrayIcon() {
    // In the window tree the icon is a window of the program nested below the tray's panel.
    const QStringList lines = run("xwininfo", {"-root", "-tree"}).split('\n');
    int panelIndent = -1;
    for (const QString& line : lines) {
        const int indent = int(line.size() - line.trimmed().size());
        if (line.contains(R"("panel": ("panel" "trayer"))")) {
            panelIndent = indent;
            continue;
        }
        if (panelIndent < 0)
            continue;
        if (indent <= panelIndent)
            break;
        if (!line.contains(R"(("purrtick" "purrtick"))"))
            continue;
        const QRegularExpression pattern(
            R"((0x[0-9a-f]+) .*\s(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+))");
        const QRegularExpressionMatch m = pattern.match(line);
        if (!m.hasMatch())
            return std::nullopt;
        return Embedded{m.captured(1), QRect(m.captured(4).toInt(), m.captured(5).toInt(),
                                             m.captured(2).toInt(), m.captured(3).toInt())};
    }
    return std::nullopt;
}

QImage grab(const QRect& rect) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return screen->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height())
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

int countNear(const QImage& image, const QColor& colour, int tolerance) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (std::abs(p.red() - colour.red()) < tolerance &&
                std::abs(p.green() - colour.green()) < tolerance &&
                std::abs(p.blue() - colour.blue()) < tolerance)
                ++count;
        }
    return count;
}

QString screenshot(const QString& name) {
    const QString folder = QStringLiteral(PURRTICK_E2E_ARTIFACTS);
    QDir().mkpath(folder);
    const QString path = folder + '/' + name + ".png";
    if (QScreen* screen = QGuiApplication::primaryScreen())
        screen->grabWindow(0).save(path);
    return path;
}

Purrtick::Purrtick(QString binary)
    : m_binary(std::move(binary)) {
    for (const char* folder : {".config", ".local/share", "run"})
        QDir(m_home.path()).mkpath(folder);
    QFile::setPermissions(m_home.filePath("run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

Purrtick::~Purrtick() {
    if (isRunning())
        stop();
    for (auto& process : m_together) {
        if (process->state() == QProcess::NotRunning)
            continue;
        ::kill(pid_t(process->processId()), SIGTERM);
        if (!process->waitForFinished(10000))
            process->kill();
        process->waitForFinished();
    }
}

QProcessEnvironment Purrtick::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", m_home.path());
    env.insert("XDG_CONFIG_HOME", m_home.filePath(".config"));
    env.insert("XDG_DATA_HOME", m_home.filePath(".local/share"));
    env.insert("XDG_RUNTIME_DIR", m_home.filePath("run"));
    env.remove("QT_QPA_PLATFORM");
    env.remove("WAYLAND_DISPLAY");
    return env;
}

QString Purrtick::settingsPath() const {
    return m_home.filePath(".config/Purrtick/Purrtick.conf");
}

void Purrtick::seedSettings(const QVariantMap& values) {
    QSettings file(settingsPath(), QSettings::IniFormat);
    for (auto it = values.begin(); it != values.end(); ++it)
        file.setValue(it.key(), it.value());
    file.sync();
}

QVariant Purrtick::storedValue(const QString& key) const {
    // A copy under a new name: QSettings caches files by name within a process.
    QTemporaryFile copy;
    QFile original(settingsPath());
    if (!copy.open() || !original.open(QIODevice::ReadOnly))
        return {};
    copy.write(original.readAll());
    copy.flush();
    return QSettings(copy.fileName(), QSettings::IniFormat).value(key);
}

bool Purrtick::start(bool expectWidget) {
    m_process.setProcessEnvironment(environment());
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.start(m_binary, {});
    if (!m_process.waitForStarted())
        return false;
    if (!expectWidget)
        return waitFor([] { return embeddedTrayIcon().has_value(); });
    const QString pid = QString::number(m_process.processId());
    return waitFor([&] {
        m_widget.clear();
        for (const QString& id : search({"--all", "--pid", pid, "--name", "^Purrtick$"}))
            if (windowProperty(id, "WM_WINDOW_ROLE") == R"("purrtick-widget")")
                m_widget = id;
        return !m_widget.isEmpty() && isViewable(m_widget);
    });
}

int Purrtick::launchAgain(int* elapsedMs, const QStringList& arguments, QString* output) {
    QProcess second;
    second.setProcessEnvironment(environment());
    QElapsedTimer timer;
    timer.start();
    second.start(m_binary, arguments);
    if (!second.waitForFinished(10000)) {
        second.kill();
        second.waitForFinished();
        return -1;
    }
    if (elapsedMs)
        *elapsedMs = int(timer.elapsed());
    if (output)
        *output = QString::fromUtf8(second.readAllStandardOutput() + second.readAllStandardError());
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
}

int Purrtick::launchTogether(int count) {
    for (int i = 0; i < count; ++i) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        m_together.push_back(std::move(process));
    }
    for (auto& process : m_together)
        process->start(m_binary, {});
    auto running = [&] {
        return int(std::count_if(m_together.begin(), m_together.end(),
                                 [](const auto& p) { return p->state() != QProcess::NotRunning; }));
    };
    waitFor([&] { return running() <= 1; }, 10000);
    return running();
}

bool Purrtick::stop() {
    if (!isRunning())
        return false;
    ::kill(pid_t(m_process.processId()), SIGTERM);
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished();
        return false;
    }
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

} // namespace E2E
