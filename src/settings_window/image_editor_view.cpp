#include "settings_window/image_editor_view.h"

#include "cats/image_decoding.h"
#include "cats/image_editing.h"
#include "cats/segmentation_model_file.h"
#include "platform/log.h"
#include "platform/symbol_icon.h"
#include "settings_window/image_area.h"
#include "settings_window/mask_brush.h"
#include "settings_window/model_offer.h"

#include <QButtonGroup>
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
// The brush's diameter in points.
constexpr int kMinBrush = 4, kMaxBrush = 80, kDefaultBrush = 24;

const QString kNoSubject =
    QStringLiteral("고양이를 찾지 못했어요. 고양이 둘레로 자른 뒤 다시 해 보세요.");
const QString kRemovalFailed =
    QStringLiteral("배경을 지우지 못했어요. 사진을 자르거나 줄인 뒤 다시 해 보세요.");
const QString kCropHint =
    QStringLiteral("큰 사진은 먼저 고양이 둘레로 자르면 배경이 더 깔끔하게 지워져요.");

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

// What a background removal on the worker thread gave back.
struct ImageEditorView::Removal {
    QImage input;
    ForegroundSegmentation::Result result;
    QString unusableModel;
};

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
    // Wide enough for the five editing buttons, cancel and apply on one row at their labels'
    // width.
    setFixedSize(520, 500);

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
    m_area->onStrokePressed = [this](QPointF at, double radius) {
        if (m_brush)
            m_brush->press(m_erasing ? MaskBrush::Mode::erase : MaskBrush::Mode::restore, at,
                           radius);
    };
    m_area->onStrokeMoved = [this](QPointF at) {
        if (m_brush)
            m_brush->moveTo(at);
    };
    m_area->onStrokeReleased = [this] {
        if (!m_brush)
            return;
        m_brush->release();
        brushStepped();
    };
    column->addWidget(m_area);

    m_bars = new QStackedWidget(this);
    m_bars->addWidget(makeNormalBar());
    m_bars->addWidget(makeCropBar());
    m_bars->addWidget(makeZoomBar());
    m_bars->addWidget(makeBrushBar());
    column->addWidget(m_bars);
    m_notice = secondaryText(QString(), this);
    m_notice->setObjectName(QStringLiteral("editorNotice"));
    m_notice->setAlignment(Qt::AlignHCenter);
    m_notice->setWordWrap(true);
    column->addWidget(m_notice);
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
    m_brushButton = button(QStringLiteral("다듬기"), "brush", QStringLiteral("paintbrush"));
    m_revertButton =
        button(QStringLiteral("되돌리기"), "revert", QStringLiteral("arrow.uturn.backward"));
    m_cancelButton = button(QStringLiteral("취소"), "cancel");
    m_applyButton = button(QStringLiteral("적용"), "apply");
    for (QPushButton* b :
         {m_removeButton, m_cropButton, m_zoomButton, m_brushButton, m_revertButton})
        row->addWidget(b);
    row->addStretch();
    row->addWidget(m_cancelButton);
    row->addWidget(m_applyButton);
    connect(m_removeButton, &QPushButton::clicked, this, &ImageEditorView::removeBackground);
    connect(m_cropButton, &QPushButton::clicked, this, &ImageEditorView::startCropping);
    connect(m_zoomButton, &QPushButton::clicked, this, &ImageEditorView::startZooming);
    connect(m_brushButton, &QPushButton::clicked, this, &ImageEditorView::startBrushing);
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

QWidget* ImageEditorView::makeBrushBar() {
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    m_eraseButton = button(QStringLiteral("지우기"), "brushErase", QStringLiteral("eraser"));
    m_restoreButton =
        button(QStringLiteral("되살리기"), "brushRestore", QStringLiteral("paintbrush"));
    auto* modes = new QButtonGroup(bar);
    for (QPushButton* b : {m_eraseButton, m_restoreButton}) {
        b->setCheckable(true);
        modes->addButton(b);
    }
    m_eraseButton->setChecked(true);
    m_brushSize = new QSlider(Qt::Horizontal, bar);
    m_brushSize->setObjectName(QStringLiteral("brushSize"));
    m_brushSize->setRange(kMinBrush, kMaxBrush);
    m_brushSize->setValue(kDefaultBrush);
    m_brushSize->setToolTip(QStringLiteral("브러시 크기"));
    m_brushSize->setAccessibleName(QStringLiteral("브러시 크기"));
    m_brushSize->setMinimumWidth(90);
    auto iconButton = [this](const char* name, const QString& symbol, const QString& tip) {
        QPushButton* b = button(QString(), name, symbol);
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->setMinimumWidth(28);
        return b;
    };
    m_undoButton = iconButton("brushUndo", QStringLiteral("arrow.uturn.backward"),
                              QStringLiteral("실행 취소 (Ctrl+Z)"));
    m_redoButton = iconButton("brushRedo", QStringLiteral("arrow.uturn.forward"),
                              QStringLiteral("다시 실행 (Ctrl+Shift+Z)"));
    m_brushCancelButton = button(QStringLiteral("취소"), "brushCancel");
    m_brushDoneButton = button(QStringLiteral("완료"), "brushDone");
    row->addWidget(m_eraseButton);
    row->addWidget(m_restoreButton);
    row->addWidget(m_brushSize, 1);
    row->addWidget(m_undoButton);
    row->addWidget(m_redoButton);
    row->addWidget(m_brushCancelButton);
    row->addWidget(m_brushDoneButton);
    connect(m_eraseButton, &QPushButton::toggled, this, [this](bool on) {
        m_erasing = on;
        refresh();
    });
    connect(m_brushSize, &QSlider::valueChanged, this, [this] { refresh(); });
    connect(m_undoButton, &QPushButton::clicked, this, [this] {
        if (m_brush) {
            m_brush->undo();
            brushStepped();
        }
    });
    connect(m_redoButton, &QPushButton::clicked, this, [this] {
        if (m_brush) {
            m_brush->redo();
            brushStepped();
        }
    });
    connect(m_brushCancelButton, &QPushButton::clicked, this, &ImageEditorView::cancelBrushing);
    connect(m_brushDoneButton, &QPushButton::clicked, this, &ImageEditorView::finishBrushing);
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
    m_bars->setCurrentIndex(m_isCropping ? 1 : m_isZooming ? 2 : m_isBrushing ? 3 : 0);
    m_area->setPicture(m_isBrushing && m_brush ? m_brush->composed() : m_working);
    m_area->setCropping(m_isCropping);
    m_area->setCrop(m_crop);
    m_area->setBrushing(m_isBrushing);
    m_area->setBrush(m_brushSize->value(), m_erasing);
    m_area->setProcessing(m_processing);
    for (QPushButton* b : {m_removeButton, m_cropButton, m_zoomButton, m_applyButton})
        b->setEnabled(!m_processing);
    // The brush touches up transparency: a cut-out, or a picture that has some.
    m_brushButton->setEnabled(!m_processing && m_working.hasAlphaChannel());
    // Revert has nothing to do while the working picture is the photo as opened.
    m_revertButton->setEnabled(!m_processing && m_working.cacheKey() != m_original.cacheKey());
    m_cropApplyButton->setEnabled(!(m_crop.width() > 0.99 && m_crop.height() > 0.99));
    m_zoomApplyButton->setEnabled(std::abs(m_zoom - 1.0) >= 0.01 - 1e-12);
    m_zoomLabel->setText(zoomLabel());
    m_undoButton->setEnabled(m_brush && m_brush->canUndo());
    m_redoButton->setEnabled(m_brush && m_brush->canRedo());
    m_notice->setText(notice());
    m_notice->setVisible(!m_notice->text().isEmpty());
}

QString ImageEditorView::notice() const {
    if (!m_said.isEmpty())
        return m_said;
    // Large and uncropped: the cat is likely a small part of what the model would see.
    const bool uncropped = m_working.cacheKey() == m_original.cacheKey();
    if (uncropped && !m_isCropping && !m_isBrushing &&
        qint64(m_working.width()) * m_working.height() >= kCropHintPixels)
        return kCropHint;
    return {};
}

void ImageEditorView::say(const QString& text) {
    m_said = text;
    refresh();
}

void ImageEditorView::startCropping() {
    m_crop = QRectF(0, 0, 1, 1);
    m_isCropping = true;
    refresh();
}

void ImageEditorView::applyCrop() {
    if (const std::optional<QImage> cropped = ImageEditing::crop(m_working, m_crop)) {
        m_working = *cropped;
        m_cropped = true;
    }
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
    m_cropped = false;
    m_cutSource = QImage();
    m_cutResult = QImage();
    m_said.clear();
    refresh();
}

void ImageEditorView::startBrushing() {
    if (m_processing || !m_working.hasAlphaChannel())
        return;
    QImage source = m_working;
    QImage mask(m_working.size(), QImage::Format_Grayscale8);
    mask.fill(255);
    // Right after a cut (or a touch-up), the brush works over the whole picture the cut was
    // made from, so what the cut left out can be brought back.
    if (!m_cutSource.isNull() && m_working.cacheKey() == m_cutResult.cacheKey()) {
        source = m_cutSource.convertToFormat(QImage::Format_ARGB32);
        mask = QImage(source.size(), QImage::Format_Grayscale8);
        mask.fill(0);
        const QImage shown = m_working.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < shown.height(); ++y) {
            const int sy = y + m_cutBounds.y();
            if (sy < 0 || sy >= source.height())
                continue;
            const auto* cut = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
            const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
            uchar* out = mask.scanLine(sy);
            for (int x = 0; x < shown.width(); ++x) {
                const int sx = x + m_cutBounds.x();
                if (sx < 0 || sx >= source.width())
                    continue;
                const int own = qAlpha(from[sx]);
                out[sx] = uchar(own == 0 ? 0 : std::min(255, qAlpha(cut[x]) * 255 / own));
            }
        }
    }
    m_brush = std::make_unique<MaskBrush>(source, mask);
    m_isBrushing = true;
    refresh();
}

void ImageEditorView::finishBrushing() {
    if (!m_brush)
        return;
    QRect bounds;
    m_working = m_brush->trimmed(&bounds);
    m_cutSource = m_brush->source();
    m_cutBounds = bounds;
    m_cutResult = m_working;
    m_brush.reset();
    m_isBrushing = false;
    refresh();
}

void ImageEditorView::cancelBrushing() {
    m_brush.reset();
    m_isBrushing = false;
    refresh();
}

void ImageEditorView::brushStepped() {
    m_area->setPicture(m_brush->composed());
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
    if (m_processing || m_working.isNull())
        return;
    m_processing = true;
    m_said.clear();
    refresh();
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    m_cancelRemoval = cancelled;
    const QPointer<ImageEditorView> editor(this);
    const auto framing = m_cropped ? ForegroundSegmentation::Framing::aroundSubject
                                   : ForegroundSegmentation::Framing::photo;
    QThreadPool::globalInstance()->start([editor, cancelled, picture = m_working, framing] {
        Removal removal;
        removal.input = picture;
        removal.result =
            ImageEditing::cutOut(picture, cancelled.get(), &removal.unusableModel, framing);
        if (cancelled->load())
            return;
        // Back on the main thread; the editor may be gone by then.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [editor, removal] {
                if (editor)
                    editor->finishRemoval(removal);
            },
            Qt::QueuedConnection);
    });
}

void ImageEditorView::finishRemoval(const Removal& removal) {
    const ForegroundSegmentation::Result& result = removal.result;
    if (result.cutout) {
        m_working = *result.cutout;
        m_cutSource = removal.input;
        m_cutBounds = result.bounds;
        m_cutResult = m_working;
        m_said.clear();
    } else {
        // The photo stays as it was; the line says why and what to try.
        m_sound.play();
        if (!result.error.isEmpty())
            qCWarning(lcPurrtick).noquote() << QStringLiteral("배경 제거 실패: ") + result.error;
        m_said = result.error.isEmpty() ? kNoSubject : kRemovalFailed;
    }
    // A model file is there but does not load: the built-in method answered; offer the model
    // again (the log has the technical reason).
    if (!removal.unusableModel.isEmpty()) {
        if (!m_modelOffer) {
            m_modelOffer = new ModelOffer(ModelOffer::upstreamDownload(), this);
            m_modelOffer->setObjectName(QStringLiteral("modelOffer"));
            qobject_cast<QVBoxLayout*>(layout())->insertWidget(layout()->count() - 1, m_modelOffer);
        }
        m_modelOffer->showUnusable();
        m_modelOffer->show();
    }
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
    if (m_isBrushing && m_brush && !m_brush->isStroking()) {
        if (event->matches(QKeySequence::Undo)) {
            m_undoButton->click();
            return;
        }
        if (event->matches(QKeySequence::Redo)) {
            m_redoButton->click();
            return;
        }
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        QPushButton* target = m_isCropping   ? m_cropApplyButton
                              : m_isZooming  ? m_zoomApplyButton
                              : m_isBrushing ? m_brushDoneButton
                                             : m_applyButton;
        if (target->isEnabled())
            target->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Escape is the cancel action of the normal toolbar only; the dialog never closes itself.
void ImageEditorView::reject() {
    if (!m_isCropping && !m_isZooming && !m_isBrushing && m_onCancel)
        m_onCancel();
}
