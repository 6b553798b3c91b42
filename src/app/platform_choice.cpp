#include "app/platform_choice.h"

std::optional<QByteArray> preferredPlatform(const QProcessEnvironment& environment,
                                            const QStringList& arguments) {
    if (!environment.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty())
        return std::nullopt;
    if (arguments.contains(QStringLiteral("-platform")) ||
        arguments.contains(QStringLiteral("--platform")))
        return std::nullopt;
    const bool wayland =
        !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
        environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QStringLiteral("wayland");
    if (!wayland || environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return std::nullopt;
    return QByteArrayLiteral("xcb");
}
