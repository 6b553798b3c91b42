#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

// The update feed (an RSS "appcast"): its versions and how they compare.
namespace Appcast {

enum class Order { ascending, same, descending };

// Compares dotted versions piece by piece as integers: "1.10" is newer than "1.9", "1.2" is the
// same as "1.2.0"; a piece that is not an integer counts as 0 ("2.0b1" is "2.0"), empty pieces
// are dropped ("1..2" is "1.2").
Order compare(const QString& a, const QString& b);

struct VersionRead {
    std::optional<QString> version; // the first element's text, trimmed; may be empty
    QString problem;                // why the document could not be read, when it could not
};

// The text of the first "sparkle:shortVersionString" element (matched by its name as written,
// prefix included; attributes do not count). A document that declares a DTD or entities is not
// read at all: expanding them is how hostile feeds exhaust memory.
VersionRead firstShortVersion(const QByteArray& document);

// The newest release as the feed's first item describes it.
struct Item {
    QString version; // sparkle:shortVersionString (or sparkle:version)
    QString title;
    QUrl link;         // the release's page
    QUrl enclosureURL; // the file to download
    qint64 enclosureLength = 0;
    QString edSignature;   // sparkle:edSignature of the file, base64
    QString description;   // release notes as HTML
    QUrl releaseNotesLink; // sparkle:releaseNotesLink
};

struct ItemRead {
    std::optional<Item> item;
    QString problem; // why nothing was read, when nothing was
};

// The first <item> of the feed that names a version. Refuses DTDs and entities as above.
ItemRead firstItem(const QByteArray& document);

} // namespace Appcast
