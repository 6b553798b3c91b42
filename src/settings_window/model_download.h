#pragma once

#include <QObject>
#include <QUrl>

#include <memory>

class BoundedDownload;
class QNetworkAccessManager;

// Fetches the background-removal model on the user's word: over HTTPS only (plain HTTP to this
// machine aside, for a local mirror), redirects kept to HTTPS, a silent server given up after a
// minute, a body no larger than the model may be, and a file whose MD5 differs from the pinned
// one discarded. The model is written in one piece (never a partial file) where the program
// looks for it.
class ModelDownload : public QObject {
    Q_OBJECT

public:
    struct Source {
        QUrl url;
        QByteArray md5; // hexadecimal
        qint64 maxBytes;
    };
    // The upstream release, pinned.
    static Source upstream();

    ModelDownload(QNetworkAccessManager& network, Source source, QString destination,
                  int stallTimeoutMs = 60000, QObject* parent = nullptr);
    ~ModelDownload() override;

    void start();
    // Stops a running download; nothing is written and `finished` is not emitted.
    void cancel();
    bool isRunning() const;

    // Why the address is not fetched: anything but HTTPS, or plain HTTP to this machine.
    static std::optional<QString> refusedAddress(const QUrl& url);

signals:
    void progress(qint64 received, qint64 total);
    // `error` is empty on success, a one-line reason otherwise.
    void finished(const QString& error);

private:
    void finish(const QString& error);

    Source m_source;
    QString m_destination;
    std::unique_ptr<BoundedDownload> m_download;
};
