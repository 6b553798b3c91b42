#pragma once

#include "about/appcast.h"
#include "about/bounded_download.h"

#include <QObject>

#include <functional>

// Replaces the running AppImage with a newer one: downloads the feed item's file, checks its
// length and its Ed25519 signature against the key the program was built with, and only then
// swaps it in atomically, keeping the old file's mode. Anything that does not check out leaves
// the AppImage untouched and says why.
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
    QByteArray m_publicKey;
    std::function<void(const QString&)> m_done;
};
