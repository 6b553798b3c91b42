#include "updates/appimage_installer.h"

#include "updates/ed25519.h"

AppImageInstaller::AppImageInstaller(QNetworkAccessManager& network, QString appImage,
                                     QString publicKey, int timeoutMs, QObject* parent)
    : QObject(parent)
    , m_download(network, timeoutMs, kMaxBytes)
    , m_appImage(std::move(appImage))
    , m_replacement(m_appImage)
    , m_publicKey(QByteArray::fromBase64(publicKey.trimmed().toLatin1(),
                                         QByteArray::AbortOnBase64DecodingErrors)) {
    m_download.onChunk = [this](const QByteArray& chunk, QString* error) {
        if (m_replacement.append(chunk, error))
            return true;
        *error = QStringLiteral("새 AppImage를 쓰지 못했습니다: ") + *error;
        return false;
    };
    m_download.onProgress = [this](qint64 received, qint64 total) {
        if (onProgress)
            onProgress(received, total);
    };
}

void AppImageInstaller::install(const Appcast::Item& item,
                                std::function<void(const QString&)> done) {
    m_done = std::move(done);
    const auto refuse = [this](const QString& why) {
        if (auto done = std::exchange(m_done, nullptr))
            done(why);
    };
    if (m_publicKey.size() != 32)
        return refuse(QStringLiteral("이 빌드에는 업데이트 서명 키가 없어 설치할 수 없습니다"));
    if (item.edSignature.isEmpty())
        return refuse(QStringLiteral("피드에 파일의 서명이 없어 설치할 수 없습니다"));
    if (!item.enclosureURL.isValid())
        return refuse(QStringLiteral("피드에 내려받을 파일이 없습니다"));
    if (item.enclosureLength > kMaxBytes)
        return refuse(QStringLiteral("파일이 너무 큽니다"));
    QString error;
    if (!m_replacement.open(&error))
        return refuse(QStringLiteral("새 AppImage를 쓰지 못했습니다: ") + error);
    m_download.setMaxBytes(item.enclosureLength > 0 ? item.enclosureLength : kMaxBytes);
    m_download.start(item.enclosureURL, [this, item](const BoundedDownload::Result& result) {
        downloaded(item, result);
    });
}

void AppImageInstaller::cancel() {
    m_download.cancel();
    m_replacement.discard();
    m_done = nullptr;
}

void AppImageInstaller::downloaded(const Appcast::Item& item,
                                   const BoundedDownload::Result& result) {
    const auto finish = [this](const QString& problem) {
        if (!problem.isEmpty())
            m_replacement.discard();
        if (auto done = std::exchange(m_done, nullptr))
            done(problem);
    };
    const auto wrongSize = [&](qint64 received) {
        return QStringLiteral("받은 파일의 크기가 피드와 다릅니다 (%1 / %2 바이트)")
            .arg(received)
            .arg(item.enclosureLength);
    };
    if (result.tooLarge && item.enclosureLength > 0)
        return finish(wrongSize(item.enclosureLength + 1) + QStringLiteral(" 이상"));
    if (!result.error.isEmpty())
        return finish(result.error);
    if (item.enclosureLength > 0 && m_replacement.size() != item.enclosureLength)
        return finish(wrongSize(m_replacement.size()));
    QString error;
    const std::optional<QByteArrayView> contents = m_replacement.contents(&error);
    if (!contents)
        return finish(QStringLiteral("받은 파일을 읽지 못했습니다: ") + error);
    if (!verifyEd25519(*contents, QByteArray::fromBase64(item.edSignature.toLatin1()), m_publicKey))
        return finish(QStringLiteral("서명이 맞지 않아 설치하지 않았습니다"));
    // Renamed over the AppImage: the old one runs on undisturbed.
    if (!m_replacement.commit(&error))
        return finish(QStringLiteral("새 AppImage를 쓰지 못했습니다: ") + error);
    finish(QString());
}
