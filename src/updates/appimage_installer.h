#pragma once

#include "platform/bounded_download.h"
#include "platform/file_replacement.h"
#include "updates/appcast.h"

#include <QObject>

#include <functional>

// Replaces the running AppImage with a newer one: streams the feed item's file into a file
// beside it (stopping as soon as it passes the length the feed declares, or a gigabyte when the
// feed declares none), checks its length and its Ed25519 signature against the key the program
// was built with, and only then renames it into place, keeping the old file's mode. Anything
// that does not check out leaves the AppImage untouched, removes the partial file and says why.
class AppImageInstaller : public QObject {
    Q_OBJECT

public:
    // An AppImage larger than this is not downloaded.
    static constexpr qint64 kMaxBytes = 1024LL * 1024 * 1024;

    // `publicKey` is the base64 Ed25519 public key of the build ("SUPublicEDKey").
    AppImageInstaller(QNetworkAccessManager& network, QString appImage, QString publicKey,
                      int timeoutMs = 10000, QObject* parent = nullptr);

    // `done` gets an empty text when the new AppImage is in place, the reason otherwise.
    void install(const Appcast::Item& item, std::function<void(const QString& problem)> done);
    void cancel();
    bool isRunning() const { return m_download.isRunning(); }

    std::function<void(qint64 received, qint64 total)> onProgress;

private:
    void downloaded(const Appcast::Item& item, const BoundedDownload::Result& result);

    BoundedDownload m_download;
    QString m_appImage;
    FileReplacement m_replacement;
    QByteArray m_publicKey;
    std::function<void(const QString&)> m_done;
};
