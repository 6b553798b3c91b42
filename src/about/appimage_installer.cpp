#include "about/appimage_installer.h"

#include "about/ed25519.h"
#include "platform/safe_files.h"

AppImageInstaller::AppImageInstaller(QNetworkAccessManager& network, QString appImage,
                                     QString publicKey, int timeoutMs, QObject* parent)
    : QObject(parent)
    , m_download(network, timeoutMs, kMaxBytes)
    , m_appImage(std::move(appImage))
    , m_publicKey(QByteArray::fromBase64(publicKey.trimmed().toLatin1(),
                                         QByteArray::AbortOnBase64DecodingErrors)) {
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
    m_download.start(item.enclosureURL, [this, item](const BoundedDownload::Result& result) {
        downloaded(item, result);
    });
}

void AppImageInstaller::cancel() {
    m_download.cancel();
    m_done = nullptr;
}

void AppImageInstaller::downloaded(const Appcast::Item& item,
                                   const BoundedDownload::Result& result) {
    QString problem = result.error;
    if (problem.isEmpty() && item.enclosureLength > 0 && result.body.size() != item.enclosureLength)
        problem = QStringLiteral("받은 파일의 크기가 피드와 다릅니다 (%1 / %2 바이트)")
                      .arg(result.body.size())
                      .arg(item.enclosureLength);
    if (problem.isEmpty() &&
        !verifyEd25519(result.body, QByteArray::fromBase64(item.edSignature.toLatin1()),
                       m_publicKey))
        problem = QStringLiteral("서명이 맞지 않아 설치하지 않았습니다");
    if (problem.isEmpty()) {
        QString error;
        // Written beside the AppImage and renamed over it: the old one runs on undisturbed,
        // and a failure leaves it in place.
        if (!SafeFiles::write(m_appImage, result.body, &error))
            problem = QStringLiteral("새 AppImage를 쓰지 못했습니다: ") + error;
    }
    if (auto done = std::exchange(m_done, nullptr))
        done(problem);
}
