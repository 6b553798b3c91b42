#include "settings_window/model_download.h"

#include "cats/segmentation_model_file.h"
#include "platform/bounded_download.h"
#include "platform/safe_files.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHostAddress>

ModelDownload::Source ModelDownload::upstream() {
    return {QUrl(QString::fromLatin1(SegmentationModelFile::kDownloadUrl)),
            QByteArray(SegmentationModelFile::kMd5), SegmentationModelFile::kMaxBytes};
}

ModelDownload::ModelDownload(QNetworkAccessManager& network, Source source, QString destination,
                             int stallTimeoutMs, QObject* parent)
    : QObject(parent)
    , m_source(std::move(source))
    , m_destination(std::move(destination))
    , m_download(std::make_unique<BoundedDownload>(network, stallTimeoutMs, m_source.maxBytes)) {
    m_download->refusedAddress = &ModelDownload::refusedAddress;
    m_download->onProgress = [this](qint64 received, qint64 total) {
        emit progress(received, total);
    };
}

ModelDownload::~ModelDownload() = default;

std::optional<QString> ModelDownload::refusedAddress(const QUrl& url) {
    if (url.scheme() == u"https")
        return std::nullopt;
    const QHostAddress host(url.host());
    if (url.scheme() == u"http" && (host.isLoopback() || url.host() == QStringLiteral("localhost")))
        return std::nullopt;
    return QStringLiteral("https가 아닌 주소에서는 받지 않습니다: ") + url.host();
}

bool ModelDownload::isRunning() const {
    return m_download->isRunning();
}

void ModelDownload::cancel() {
    m_download->cancel();
}

void ModelDownload::start() {
    m_download->start(m_source.url, [this](const BoundedDownload::Result& result) {
        if (!result.error.isEmpty()) {
            finish(result.error);
            return;
        }
        const QByteArray md5 =
            QCryptographicHash::hash(result.body, QCryptographicHash::Md5).toHex();
        if (md5 != m_source.md5.toLower()) {
            finish(QStringLiteral("받은 파일이 모델과 다릅니다 (%1바이트, 체크섬 불일치)")
                       .arg(result.body.size()));
            return;
        }
        QString error;
        if (!QDir().mkpath(QFileInfo(m_destination).path()) ||
            !SafeFiles::write(m_destination, result.body, &error)) {
            finish(QStringLiteral("모델을 저장하지 못했습니다: ") +
                   (error.isEmpty() ? QFileInfo(m_destination).path() : error));
            return;
        }
        finish({});
    });
}

void ModelDownload::finish(const QString& error) {
    emit finished(error);
}
