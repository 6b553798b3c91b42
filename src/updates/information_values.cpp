#include "updates/information_dictionary.h"

QString installedVersion(const QVariantMap& information) {
    const QVariant value = information.value(QStringLiteral("CFBundleShortVersionString"));
    if (value.typeId() != QMetaType::QString)
        return QStringLiteral("?");
    return value.toString();
}

std::optional<QUrl> feedURL(const QVariantMap& information) {
    const QVariant value = information.value(QStringLiteral("SUFeedURL"));
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const QUrl url(value.toString(), QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.isRelative() || url.host().isEmpty() ||
        (scheme != u"https" && scheme != u"http"))
        return std::nullopt;
    return url;
}
