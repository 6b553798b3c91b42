#pragma once

#include <QString>

// Where the program keeps its files, following the XDG base directories.
namespace Paths {

// $XDG_CONFIG_HOME/Purrtick/Purrtick.conf: the settings store.
QString settingsFile();

// $XDG_RUNTIME_DIR (Qt's private fallback when it is unset): per-session sockets and locks.
QString runtimeDirectory();

} // namespace Paths
