#pragma once

#include <QString>

// Where the program keeps its files, following the XDG base directories.
namespace Paths {

// $XDG_CONFIG_HOME/Purrtick/Purrtick.conf: the settings store.
QString settingsFile();

} // namespace Paths
