#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

#include <optional>

// On a Wayland session no client may place or stack its own windows, so the widget runs
// through XWayland there. Returns the platform to ask for ("xcb"), or nothing when the user
// chose a platform (QT_QPA_PLATFORM or -platform), the session is not Wayland, or XWayland is
// not available.
std::optional<QByteArray> preferredPlatform(const QProcessEnvironment& environment,
                                            const QStringList& arguments);
