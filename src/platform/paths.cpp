#include "platform/paths.h"

#include <QStandardPaths>

namespace Paths {

QString settingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Purrtick/Purrtick.conf");
}

} // namespace Paths
