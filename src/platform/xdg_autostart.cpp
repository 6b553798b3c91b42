#include "platform/xdg_autostart.h"

#include "platform/safe_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcessEnvironment>

#include <utility>

namespace {

const QString kGroup = QStringLiteral("[Desktop Entry]");

// The keys of the entry's main group. Values keep their escapes; only what is compared here
// (booleans and the Exec line) is looked at.
QHash<QString, QString> mainGroup(const QString& path) {
    QHash<QString, QString> keys;
    const std::optional<QByteArray> bytes = SafeFiles::readRegular(path, 64 * 1024);
    if (!bytes)
        return keys;
    bool inMain = false;
    for (const QString& raw : QString::fromUtf8(*bytes).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inMain = line == kGroup;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inMain && equals > 0)
            keys.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return keys;
}

// The first argument of an Exec line, with its quoting and escapes undone.
QString firstArgument(const QString& exec) {
    // The desktop entry format escapes a backslash in any string value as "\\" first.
    QString value;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        if (exec[i] == QLatin1Char('\\') && i + 1 < exec.size() && exec[i + 1] == QLatin1Char('\\'))
            ++i;
        value += exec[i];
    }
    value.replace(QStringLiteral("%%"), QStringLiteral("%"));
    if (!value.startsWith(QLatin1Char('"')))
        return value.section(QLatin1Char(' '), 0, 0);
    QString argument;
    for (qsizetype i = 1; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            argument += value[++i];
            continue;
        }
        if (value[i] == QLatin1Char('"'))
            break;
        argument += value[i];
    }
    return argument;
}

} // namespace

XdgAutostart::XdgAutostart(QString userConfig, QStringList systemConfigs, QString entryName,
                           QString executable)
    : m_userConfig(std::move(userConfig))
    , m_systemConfigs(std::move(systemConfigs))
    , m_entryName(std::move(entryName))
    , m_executable(std::move(executable)) {}

XdgAutostart XdgAutostart::forThisSession(const QString& entryName, const QString& executable) {
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString user = env.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (user.isEmpty() || QDir::isRelativePath(user))
        user = QDir::homePath() + QStringLiteral("/.config");
    QStringList system;
    for (const QString& dir :
         env.value(QStringLiteral("XDG_CONFIG_DIRS"), QStringLiteral("/etc/xdg"))
             .split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (!QDir::isRelativePath(dir))
            system << dir;
    return XdgAutostart(user, system, entryName, executable);
}

QString XdgAutostart::entryPath() const {
    return m_userConfig + QStringLiteral("/autostart/") + m_entryName + QStringLiteral(".desktop");
}

QString XdgAutostart::execArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool needsQuotes =
        std::any_of(argument.begin(), argument.end(), [](QChar c) { return reserved.contains(c); });
    QString quoted;
    if (!needsQuotes) {
        quoted = argument;
    } else {
        quoted = QStringLiteral("\"");
        for (const QChar c : argument) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        quoted += QLatin1Char('"');
    }
    // As a string value of the entry, every backslash is escaped once more; a field code
    // character is doubled.
    return quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("%%"));
}

QString XdgAutostart::entryText(bool hidden) const {
    QString text = kGroup +
                   QStringLiteral("\nType=Application\nName=Purrtick\n"
                                  "Comment=화면 위의 고양이 타이머\n") +
                   QStringLiteral("Exec=") + execArgument(m_executable) +
                   QStringLiteral("\nIcon=") + m_entryName +
                   QStringLiteral("\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
    if (hidden)
        text += QStringLiteral("Hidden=true\n");
    return text;
}

bool XdgAutostart::isEnabled() const {
    const QHash<QString, QString> keys = mainGroup(entryPath());
    if (keys.isEmpty() || keys.value(QStringLiteral("Type")) != QStringLiteral("Application"))
        return false;
    if (keys.value(QStringLiteral("Hidden")) == QStringLiteral("true") ||
        keys.value(QStringLiteral("X-GNOME-Autostart-enabled")) == QStringLiteral("false"))
        return false;
    return firstArgument(keys.value(QStringLiteral("Exec"))) == m_executable;
}

std::optional<QString> XdgAutostart::set(bool enabled) {
    const QString path = entryPath();
    bool systemWide = false;
    for (const QString& dir : m_systemConfigs)
        systemWide = systemWide || QFileInfo::exists(dir + QStringLiteral("/autostart/") +
                                                     m_entryName + QStringLiteral(".desktop"));
    if (!enabled && !systemWide) {
        if (QFileInfo::exists(path) && !QFile::remove(path))
            return QStringLiteral("자동 실행 항목을 지울 수 없습니다: ") + path;
        return std::nullopt;
    }
    if (!QDir().mkpath(QFileInfo(path).path()))
        return QStringLiteral("자동 실행 폴더를 만들 수 없습니다: ") + QFileInfo(path).path();
    QString error;
    if (!SafeFiles::write(path, entryText(!enabled).toUtf8(), &error))
        return error;
    return std::nullopt;
}
