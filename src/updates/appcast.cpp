#include "updates/appcast.h"

#include <QStringList>
#include <QXmlStreamReader>

namespace Appcast {

namespace {

std::vector<qlonglong> pieces(const QString& version) {
    std::vector<qlonglong> numbers;
    for (const QString& piece : version.split(QLatin1Char('.'), Qt::SkipEmptyParts)) {
        bool ok = false;
        const qlonglong number = piece.toLongLong(&ok);
        numbers.push_back(ok ? number : 0);
    }
    return numbers;
}

const QString kVersionElement = QStringLiteral("sparkle:shortVersionString");

// Why a document is read no further at this token, or nothing: a DTD or an entity is how a
// hostile feed exhausts memory (entities expanding into entities), and no feed needs one.
QString refusal(QXmlStreamReader::TokenType token) {
    if (token == QXmlStreamReader::DTD)
        return QStringLiteral("문서 형식 선언(DTD)이 있는 피드는 읽지 않습니다");
    if (token == QXmlStreamReader::EntityReference)
        return QStringLiteral("엔티티를 쓰는 피드는 읽지 않습니다");
    return {};
}

} // namespace

Order compare(const QString& a, const QString& b) {
    const std::vector<qlonglong> x = pieces(a);
    const std::vector<qlonglong> y = pieces(b);
    const std::size_t n = std::max(x.size(), y.size());
    for (std::size_t i = 0; i < n; ++i) {
        const qlonglong left = i < x.size() ? x[i] : 0;
        const qlonglong right = i < y.size() ? y[i] : 0;
        if (left < right)
            return Order::ascending;
        if (left > right)
            return Order::descending;
    }
    return Order::same;
}

VersionRead firstShortVersion(const QByteArray& document) {
    QXmlStreamReader reader(document);
    // Names as written: the prefix is part of the name, as the feed's readers expect.
    reader.setNamespaceProcessing(false);
    bool capturing = false;
    QString buffer;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (const QString why = refusal(token); !why.isEmpty())
            return {std::nullopt, why};
        switch (token) {
        case QXmlStreamReader::StartElement:
            if (reader.qualifiedName() == kVersionElement) {
                capturing = true;
                buffer.clear();
            }
            break;
        case QXmlStreamReader::Characters:
            if (capturing)
                buffer += reader.text();
            break;
        case QXmlStreamReader::EndElement:
            if (capturing && reader.qualifiedName() == kVersionElement)
                return {buffer.trimmed(), QString()};
            break;
        default:
            break;
        }
    }
    // A malformed document still gives what was read before the fault: nothing.
    return {std::nullopt, QString()};
}

namespace {

// An http or https address only: a feed must not send the program to files or other schemes.
QUrl webAddress(const QString& text) {
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != u"https" && url.scheme() != u"http"))
        return QUrl();
    return url;
}

} // namespace

ItemRead firstItem(const QByteArray& document) {
    QXmlStreamReader reader(document);
    reader.setNamespaceProcessing(false);
    std::optional<Item> item;
    QString text;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (const QString why = refusal(token); !why.isEmpty())
            return {std::nullopt, why};
        switch (token) {
        case QXmlStreamReader::StartElement: {
            const QStringView name = reader.qualifiedName();
            if (name == u"item") {
                item = Item();
            } else if (item && name == u"enclosure") {
                const QXmlStreamAttributes attributes = reader.attributes();
                item->enclosureURL = webAddress(attributes.value(QStringLiteral("url")).toString());
                item->enclosureLength = attributes.value(QStringLiteral("length")).toLongLong();
                item->edSignature =
                    attributes.value(QStringLiteral("sparkle:edSignature")).toString();
                if (item->version.isEmpty())
                    item->version = attributes.value(QStringLiteral("sparkle:shortVersionString"))
                                        .toString()
                                        .trimmed();
            }
            text.clear();
            break;
        }
        case QXmlStreamReader::Characters:
            text += reader.text();
            break;
        case QXmlStreamReader::EndElement: {
            const QStringView name = reader.qualifiedName();
            if (!item)
                break;
            if (name == u"item") {
                if (!item->version.isEmpty())
                    return {item, QString()};
                item.reset();
            } else if (name == u"sparkle:shortVersionString") {
                item->version = text.trimmed();
            } else if (name == u"sparkle:version" && item->version.isEmpty()) {
                item->version = text.trimmed();
            } else if (name == u"title") {
                item->title = text.trimmed();
            } else if (name == u"link") {
                item->link = webAddress(text);
            } else if (name == u"description") {
                item->description = text.trimmed();
            } else if (name == u"sparkle:releaseNotesLink") {
                item->releaseNotesLink = webAddress(text);
            }
            text.clear();
            break;
        }
        default:
            break;
        }
    }
    return {std::nullopt, QString()};
}

} // namespace Appcast
