#include "settings_window/model_offer.h"

#include "cats/segmentation_model_file.h"
#include "settings_window/model_download.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>

namespace {

QFont smaller(const QFont& body) {
    QFont font = body;
    font.setPointSizeF(body.pointSizeF() * 0.9);
    return font;
}

} // namespace

ModelOffer::DownloadFactory ModelOffer::upstreamDownload() {
    return [] {
        // One network access for the run, made on the first press.
        static QNetworkAccessManager* network = new QNetworkAccessManager;
        return std::make_unique<ModelDownload>(*network, ModelDownload::upstream(),
                                               SegmentationModelFile::downloadPath());
    };
}

ModelOffer::ModelOffer(DownloadFactory makeDownload, QWidget* parent)
    : QWidget(parent)
    , m_makeDownload(std::move(makeDownload))
    , m_pages(new QStackedWidget(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);

    auto* offerPage = new QWidget;
    auto* offerRow = new QHBoxLayout(offerPage);
    offerRow->setContentsMargins(0, 0, 0, 0);
    offerRow->setSpacing(6);
    m_failure = new QLabel(offerPage);
    m_failure->setObjectName(QStringLiteral("modelFailure"));
    m_failure->setFont(smaller(m_failure->font()));
    m_failure->setForegroundRole(QPalette::PlaceholderText);
    m_failure->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_failure->hide();
    m_offer = new QPushButton(QStringLiteral("더 정확한 배경 제거 모델 받기 (4.4 MB)"), offerPage);
    m_offer->setObjectName(QStringLiteral("getModel"));
    m_offer->setFlat(true);
    m_offer->setAutoDefault(false);
    m_offer->setCursor(Qt::PointingHandCursor);
    m_offer->setFont(smaller(m_offer->font()));
    QPalette link = m_offer->palette();
    link.setColor(QPalette::ButtonText, link.color(QPalette::Link));
    m_offer->setPalette(link);
    m_offer->setToolTip(QStringLiteral(
        "U²-Net 모델(Apache-2.0)을 github.com에서 받아 사진 속 고양이를 더 정확히 오려 내요."));
    // The offer alone sits in the middle; a failure's reason takes the room to its left.
    offerRow->addStretch(1);
    offerRow->addWidget(m_failure, 1);
    offerRow->addWidget(m_offer);
    offerRow->addStretch(1);
    m_offerRow = offerRow;
    m_pages->addWidget(offerPage);

    auto* progressPage = new QWidget;
    auto* progressRow = new QHBoxLayout(progressPage);
    progressRow->setContentsMargins(0, 0, 0, 0);
    progressRow->setSpacing(8);
    auto* what = new QLabel(QStringLiteral("모델 받는 중"), progressPage);
    what->setFont(smaller(what->font()));
    m_progress = new QProgressBar(progressPage);
    m_progress->setObjectName(QStringLiteral("modelProgress"));
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(10);
    auto* cancel = new QPushButton(QStringLiteral("취소"), progressPage);
    cancel->setObjectName(QStringLiteral("cancelModel"));
    cancel->setAutoDefault(false);
    progressRow->addWidget(what);
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(cancel);
    m_pages->addWidget(progressPage);

    connect(m_offer, &QPushButton::clicked, this, &ModelOffer::startDownload);
    connect(cancel, &QPushButton::clicked, this, [this] {
        if (m_download)
            m_download->cancel();
        m_download.reset();
        m_pages->setCurrentIndex(0);
    });
}

ModelOffer::~ModelOffer() = default;

bool ModelOffer::isDownloading() const {
    return m_download && m_download->isRunning();
}

void ModelOffer::startDownload() {
    m_download = m_makeDownload();
    connect(m_download.get(), &ModelDownload::progress, this, [this](qint64 got, qint64 total) {
        // Kilobytes keep the range within an int.
        m_progress->setRange(0, total > 0 ? int(total / 1024) : 0);
        m_progress->setValue(int(got / 1024));
    });
    connect(m_download.get(), &ModelDownload::finished, this, [this](const QString& error) {
        m_download.release()->deleteLater();
        if (error.isEmpty()) {
            hide();
            emit modelReady();
            return;
        }
        showFailure(error);
    });
    m_failure->hide();
    m_progress->setRange(0, 0);
    m_pages->setCurrentIndex(1);
    m_download->start();
}

void ModelOffer::showUnusable() {
    showLine(QStringLiteral("배경 제거 모델 파일을 쓸 수 없어 기본 방법으로 했어요."));
}

void ModelOffer::showFailure(const QString& error) {
    showLine(QStringLiteral("받지 못했어요: ") + error);
}

void ModelOffer::showLine(const QString& line) {
    m_pages->setCurrentIndex(0);
    m_failure->setToolTip(line);
    m_offer->setText(QStringLiteral("다시 받기"));
    m_offerRow->setStretch(0, 0);
    m_offerRow->setStretch(3, 0);
    const int room =
        std::max(width(), parentWidget() ? parentWidget()->contentsRect().width() - 32 : 0) -
        m_offer->sizeHint().width() - 2 * m_offerRow->spacing();
    m_failure->setText(m_failure->fontMetrics().elidedText(line, Qt::ElideRight, room));
    m_failure->show();
}
