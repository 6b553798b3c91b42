#pragma once

#include <QUrl>
#include <QVariantMap>

#include <optional>

// What the build tells the program about itself: "CFBundleShortVersionString" (the project
// version) and, when the build was given one, "SUFeedURL" (the update feed's address).
QVariantMap informationDictionary();

// The installed version: the dictionary's text, "?" when it has none.
QString installedVersion(const QVariantMap& information);

// The update feed's address: the dictionary's text when it is an absolute http or https URL
// with a host; nothing otherwise (no file:, ftp: or relative address ever reaches the network).
std::optional<QUrl> feedURL(const QVariantMap& information);
