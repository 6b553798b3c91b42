#include "platform/paths.h"

#include <QStandardPaths>

namespace Paths {

QString settingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Purrtick/Purrtick.conf");
}

QString runtimeDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

} // namespace Paths
