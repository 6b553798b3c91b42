#include "settings_window/image_editor_view.h"

#include "cats/image_decoding.h"
#include "cats/image_editing.h"
#include "cats/segmentation_model_file.h"
#include "platform/symbol_icon.h"
#include "settings_window/image_area.h"
#include "settings_window/model_offer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QThreadPool>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The slider works in thousandths of the zoom factor.
constexpr int kSliderScale = 1000;

QLabel* secondaryText(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    label->setPalette(palette);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label->setFont(font);
    return label;
}

} // namespace

ImageEditorView::ImageEditorView(const QImage& original, std::function<void()> onCancel,
                                 std::function<void(const QByteArray&)> onApply, AlertSound& sound,
                                 QWidget* parent)
    : QDialog(parent)
    , m_original(original)
    , m_working(original)
    , m_onCancel(std::move(onCancel))
    , m_onApply(std::move(onApply))
    , m_sound(sound) {
    setWindowTitle(QStringLiteral("사진 편집"));
    setFixedSize(440, 500);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(12);
    column->addStretch();

    auto* title = new QLabel(QStringLiteral("사진 편집"), this);
    QFont headline = title->font();
    headline.setPointSizeF(headline.pointSizeF() * 1.25);
    headline.setWeight(QFont::DemiBold);
    title->setFont(headline);
    title->setAlignment(Qt::AlignHCenter);
    column->addWidget(title);

    m_area = new ImageArea(this);
    m_area->setFixedHeight(340);
    m_area->setPicture(m_working);
    m_area->onCropChanged = [this](const QRectF& crop) {
        m_crop = crop;
        refresh();
    };
    column->addWidget(m_area);

    m_bars = new QStackedWidget(this);
    m_bars->addWidget(makeNormalBar());
    m_bars->addWidget(makeCropBar());
    m_bars->addWidget(makeZoomBar());
    column->addWidget(m_bars);
    // While the learned model is missing, background removal uses the built-in method and
    // the model is offered here.
    if (!SegmentationModelFile::find()) {
        m_modelOffer = new ModelOffer(ModelOffer::upstreamDownload(), this);
        m_modelOffer->setObjectName(QStringLiteral("modelOffer"));
        column->addWidget(m_modelOffer);
    }
    column->addStretch();
    refresh();
}

ImageEditorView::~ImageEditorView() {
    if (m_cancelRemoval)
        m_cancelRemoval->store(true);
}

QPushButton* ImageEditorView::button(const QString& text, const char* name,
                                     const QString& iconName) {
    auto* b = new QPushButton(text);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    // As wide as the label needs, so the flexible space between the editing buttons and
    // cancel/apply shows.
    b->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    int width = b->fontMetrics().horizontalAdvance(text) + 16;
    if (!iconName.isEmpty()) {
        b->setIcon(SymbolIcon::icon(iconName, palette().color(QPalette::ButtonText)));
        // The dialog's width is fixed: a small symbol keeps all six buttons on one row.
        b->setIconSize(QSize(14, 14));
        width += 10;
    }
    b->setMinimumWidth(width);
    return b;
}

QWidget* ImageEditorView::makeNormalBar() {
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    m_removeButton = button(QStringLiteral("배경 제거"), "removeBackground",
                            QStringLiteral("person.and.background.dotted"));
    m_cropButton = button(QStringLiteral("자르기"), "crop", QStringLiteral("crop"));
    m_zoomButton = button(QStringLiteral("크기 조절"), "zoom",
                          QStringLiteral("arrow.up.left.and.down.right.magnifyingglass"));
    m_revertButton =
        button(QStringLiteral("되돌리기"), "revert", QStringLiteral("arrow.uturn.backward"));
    m_cancelButton = button(QStringLiteral("취소"), "cancel");
    m_applyButton = button(QStringLiteral("적용"), "apply");
    for (QPushButton* b : {m_removeButton, m_cropButton, m_zoomButton, m_revertButton})
        row->addWidget(b);
    row->addStretch();
    row->addWidget(m_cancelButton);
    row->addWidget(m_applyButton);
    connect(m_removeButton, &QPushButton::clicked, this, &ImageEditorView::removeBackground);
    connect(m_cropButton, &QPushButton::clicked, this, &ImageEditorView::startCropping);
    connect(m_zoomButton, &QPushButton::clicked, this, &ImageEditorView::startZooming);
    connect(m_revertButton, &QPushButton::clicked, this, &ImageEditorView::revert);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] {
        if (m_onCancel)
            m_onCancel();
    });
    connect(m_applyButton, &QPushButton::clicked, this, &ImageEditorView::apply);
    return bar;
}

QWidget* ImageEditorView::makeCropBar() {
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(secondaryText(QStringLiteral("자를 영역을 드래그하세요"), bar));
    row->addStretch();
    m_cropCancelButton = button(QStringLiteral("취소"), "cropCancel");
    m_cropApplyButton = button(QStringLiteral("이 영역으로 자르기"), "cropApply");
    row->addWidget(m_cropCancelButton);
    row->addWidget(m_cropApplyButton);
    connect(m_cropCancelButton, &QPushButton::clicked, this, [this] {
        m_isCropping = false;
        refresh();
    });
    connect(m_cropApplyButton, &QPushButton::clicked, this, &ImageEditorView::applyCrop);
    return bar;
}

QWidget* ImageEditorView::makeZoomBar() {
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    auto* smaller = new QLabel(bar);
    smaller->setPixmap(SymbolIcon::icon(QStringLiteral("minus.magnifyingglass"),
                                        palette().color(QPalette::PlaceholderText))
                           .pixmap(16, 16));
    auto* larger = new QLabel(bar);
    larger->setPixmap(SymbolIcon::icon(QStringLiteral("plus.magnifyingglass"),
                                       palette().color(QPalette::PlaceholderText))
                          .pixmap(16, 16));
    m_zoomSlider = new QSlider(Qt::Horizontal, bar);
    m_zoomSlider->setObjectName(QStringLiteral("zoomSlider"));
    m_zoomSlider->setRange(int(kMinZoom * kSliderScale), int(kMaxZoom * kSliderScale));
    m_zoomSlider->setValue(kSliderScale);
    m_zoomLabel = secondaryText(QString(), bar);
    m_zoomLabel->setFixedWidth(44);
    m_zoomLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Digits of equal width, so the label does not jitter while the slider moves.
    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    digits.setPointSizeF(m_zoomLabel->font().pointSizeF());
    m_zoomLabel->setFont(digits);
    m_zoomCancelButton = button(QStringLiteral("취소"), "zoomCancel");
    m_zoomApplyButton = button(QStringLiteral("적용"), "zoomApply");
    row->addWidget(smaller);
    row->addWidget(m_zoomSlider, 1);
    row->addWidget(larger);
    row->addWidget(m_zoomLabel);
    row->addWidget(m_zoomCancelButton);
    row->addWidget(m_zoomApplyButton);
    connect(m_zoomSlider, &QSlider::valueChanged, this,
            [this](int value) { setZoom(double(value) / kSliderScale); });
    connect(m_zoomCancelButton, &QPushButton::clicked, this, [this] {
        setZoom(1.0);
        m_isZooming = false;
        refresh();
    });
    connect(m_zoomApplyButton, &QPushButton::clicked, this, &ImageEditorView::applyZoom);
    return bar;
}

void ImageEditorView::setZoom(double zoom) {
    m_zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    const QSignalBlocker block(m_zoomSlider);
    m_zoomSlider->setValue(int(std::lround(m_zoom * kSliderScale)));
    m_area->setZoom(m_zoom);
    refresh();
}

QString ImageEditorView::zoomLabel() const {
    return QString::number(std::lround(m_zoom * 100)) + u'%';
}

void ImageEditorView::refresh() {
    m_bars->setCurrentIndex(m_isCropping ? 1 : m_isZooming ? 2 : 0);
    m_area->setPicture(m_working);
    m_area->setCropping(m_isCropping);
    m_area->setCrop(m_crop);
    m_area->setProcessing(m_processing);
    for (QPushButton* b : {m_removeButton, m_cropButton, m_zoomButton, m_applyButton})
        b->setEnabled(!m_processing);
    // Revert has nothing to do while the working picture is the photo as opened.
    m_revertButton->setEnabled(!m_processing && m_working.cacheKey() != m_original.cacheKey());
    m_cropApplyButton->setEnabled(!(m_crop.width() > 0.99 && m_crop.height() > 0.99));
    m_zoomApplyButton->setEnabled(std::abs(m_zoom - 1.0) >= 0.01 - 1e-12);
    m_zoomLabel->setText(zoomLabel());
}

void ImageEditorView::startCropping() {
    m_crop = QRectF(0, 0, 1, 1);
    m_isCropping = true;
    refresh();
}

void ImageEditorView::applyCrop() {
    if (const std::optional<QImage> cropped = ImageEditing::crop(m_working, m_crop))
        m_working = *cropped;
    m_crop = QRectF(0, 0, 1, 1);
    m_isCropping = false;
    refresh();
}

void ImageEditorView::startZooming() {
    m_isZooming = true;
    setZoom(1.0);
}

void ImageEditorView::applyZoom() {
    if (const std::optional<QImage> zoomed = ImageEditing::scaled(m_working, m_zoom))
        m_working = *zoomed;
    m_isZooming = false;
    setZoom(1.0);
}

void ImageEditorView::revert() {
    m_working = m_original;
    refresh();
}

void ImageEditorView::apply() {
    if (m_processing || m_working.isNull())
        return;
    if (const std::optional<QByteArray> png = ImageEditing::pngData(m_working))
        if (m_onApply)
            m_onApply(*png);
}

void ImageEditorView::removeBackground() {
    if (m_processing)
        return;
    const std::optional<QByteArray> png = ImageEditing::pngData(m_working);
    if (!png)
        return;
    m_processing = true;
    refresh();
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    m_cancelRemoval = cancelled;
    const QPointer<ImageEditorView> editor(this);
    QThreadPool::globalInstance()->start([editor, cancelled, bytes = *png] {
        const std::optional<QByteArray> result =
            ImageEditing::removeBackgroundPNG(bytes, cancelled.get());
        if (cancelled->load())
            return;
        // Back on the main thread; the editor may be gone by then.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [editor, result] {
                if (editor)
                    editor->finishRemoval(result);
            },
            Qt::QueuedConnection);
    });
}

void ImageEditorView::finishRemoval(const std::optional<QByteArray>& result) {
    std::optional<QImage> cut;
    if (result)
        cut = ImageDecoding::decode(*result);
    if (cut)
        m_working = *cut;
    else
        m_sound.play();
    m_processing = false;
    m_cancelRemoval.reset();
    refresh();
    emit processingFinished();
}

void ImageEditorView::waitForProcessing() {
    if (!m_processing)
        return;
    QEventLoop loop;
    connect(this, &ImageEditorView::processingFinished, &loop, &QEventLoop::quit);
    loop.exec();
}

void ImageEditorView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        QPushButton* target = m_isCropping  ? m_cropApplyButton
                              : m_isZooming ? m_zoomApplyButton
                                            : m_applyButton;
        if (target->isEnabled())
            target->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Escape is the cancel action of the normal toolbar only; the dialog never closes itself.
void ImageEditorView::reject() {
    if (!m_isCropping && !m_isZooming && m_onCancel)
        m_onCancel();
}
