#include "platform/login_item.h"

#include "platform/log.h"
#include "platform/xdg_autostart.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kAppImage = QStringLiteral("APPIMAGE");

} // namespace

bool LoginItem::mayRegister(const QString& executable, const QProcessEnvironment& environment,
                            const std::function<bool(const QString&)>& exists) {
    const QString appImage = environment.value(kAppImage);
    if (!appImage.isEmpty())
        return QDir::isAbsolutePath(appImage) && exists(appImage);
    const QFileInfo binary(executable);
    if (!binary.isAbsolute() || binary.fileName() != QStringLiteral("purrtick"))
        return false;
    // A transient mount (an AppImage's, started without its runtime telling where the image
    // is) or a temporary folder is gone after the session.
    const QString temporary = environment.value(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));
    if (executable.startsWith(QDir::cleanPath(temporary) + QLatin1Char('/')) ||
        executable.startsWith(QStringLiteral("/tmp/")) ||
        executable.contains(QStringLiteral("/.mount_")))
        return false;
    const QString bin = binary.path();
    if (QFileInfo(bin).fileName() != QStringLiteral("bin"))
        return false;
    const QString prefix = QFileInfo(bin).path();
    return exists(prefix + QStringLiteral("/share/purrtick/Purrtick_Purrtick.bundle"));
}

QString LoginItem::launcherPath(const QString& executable, const QProcessEnvironment& environment) {
    const QString appImage = environment.value(kAppImage);
    return appImage.isEmpty() ? executable : appImage;
}

LoginItem::LoginItem(Autostart& autostart, bool mayRegister)
    : m_autostart(autostart)
    , m_mayRegister(mayRegister) {}

bool LoginItem::isEnabled() const {
    return m_mayRegister && m_autostart.isEnabled();
}

bool LoginItem::set(bool enabled) {
    if (!m_mayRegister) {
        qCWarning(lcPurrtick, "LoginItem: 설치된 실행 파일이 아니라 등록 불가 (개발 실행)");
        m_lastError = QStringLiteral("설치된 Purrtick 에서만 동작합니다.");
        return false;
    }
    if (const std::optional<QString> error = m_autostart.set(enabled)) {
        qCWarning(lcPurrtick, "LoginItem 변경 실패: %s", qPrintable(*error));
        m_lastError = *error;
        return false;
    }
    m_lastError.clear();
    return true;
}
