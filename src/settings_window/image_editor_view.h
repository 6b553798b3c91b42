#pragma once

#include "platform/alert_sound.h"

#include <QDialog>
#include <QImage>
#include <QRectF>

#include <atomic>
#include <functional>
#include <memory>

class ImageArea;
class MaskBrush;
class ModelOffer;
class QLabel;
class QPushButton;
class QSlider;
class QStackedWidget;

// The photo editor: crop with a draggable selection, zoom about the centre on an unchanged
// canvas, cut the cat out of its background and touch the cut up with a brush, revert to the
// photo as opened. Edits apply to a working copy; the apply button hands it over as PNG. What
// went wrong (no cat found, a model that does not load) is said in a line under the buttons.
// The caller decides when to close.
class ImageEditorView : public QDialog {
    Q_OBJECT
public:
    static constexpr double kMinZoom = 0.3;
    static constexpr double kMaxZoom = 3.0;

    ImageEditorView(const QImage& original, std::function<void()> onCancel,
                    std::function<void(const QByteArray&)> onApply, AlertSound& sound,
                    QWidget* parent = nullptr);
    ~ImageEditorView() override;

    QImage working() const { return m_working; }
    bool isCropping() const { return m_isCropping; }
    bool isZooming() const { return m_isZooming; }
    bool isProcessing() const { return m_processing; }
    bool isBrushing() const { return m_isBrushing; }
    // The brush while brushing, else nothing.
    const MaskBrush* brush() const { return m_brush.get(); }
    // The line under the buttons: a hint, or what the last removal could not do.
    QString notice() const;

    // Pictures with at least this many pixels are worth cropping before a removal: the
    // model sees the whole picture at a few hundred pixels.
    static constexpr qint64 kCropHintPixels = 2'000'000;
    QRectF crop() const { return m_crop; }
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    QString zoomLabel() const;

    ImageArea* imageArea() const { return m_area; }

    // Finishes when a running background removal has delivered (for tests and for callers
    // that want to wait); returns at once when nothing runs.
    void waitForProcessing();

signals:
    void processingFinished();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    QWidget* makeNormalBar();
    QWidget* makeCropBar();
    QWidget* makeZoomBar();
    QWidget* makeBrushBar();
    QPushButton* button(const QString& text, const char* name, const QString& iconName = {});
    void refresh();

    void startCropping();
    void applyCrop();
    void startZooming();
    void applyZoom();
    void revert();
    void removeBackground();
    void apply();
    struct Removal;
    void finishRemoval(const Removal& removal);
    void startBrushing();
    void finishBrushing();
    void cancelBrushing();
    void brushStepped();
    void say(const QString& text);

    QImage m_original;
    QImage m_working;
    bool m_isCropping = false;
    QRectF m_crop{0, 0, 1, 1};
    bool m_processing = false;
    bool m_isZooming = false;
    double m_zoom = 1.0;
    bool m_isBrushing = false;
    // The user cropped the picture (to the cat, as the hint asks): the built-in removal then
    // looks for the subject in nearly all of it.
    bool m_cropped = false;
    bool m_erasing = true;
    std::unique_ptr<MaskBrush> m_brush;
    // The last cut: the picture it was made from, and where in it the working picture lies
    // while `m_cutResult` is still the working picture (the brush restores from it).
    QImage m_cutSource;
    QRect m_cutBounds;
    QImage m_cutResult;
    QString m_said;

    std::function<void()> m_onCancel;
    std::function<void(const QByteArray&)> m_onApply;
    AlertSound& m_sound;
    // Shared with a running removal: set when the editor goes away, so the work stops early.
    std::shared_ptr<std::atomic<bool>> m_cancelRemoval;

    ImageArea* m_area = nullptr;
    QStackedWidget* m_bars = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_cropButton = nullptr;
    QPushButton* m_zoomButton = nullptr;
    QPushButton* m_revertButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_applyButton = nullptr;
    QPushButton* m_cropCancelButton = nullptr;
    QPushButton* m_cropApplyButton = nullptr;
    QPushButton* m_zoomCancelButton = nullptr;
    QPushButton* m_zoomApplyButton = nullptr;
    QSlider* m_zoomSlider = nullptr;
    QPushButton* m_brushButton = nullptr;
    QPushButton* m_eraseButton = nullptr;
    QPushButton* m_restoreButton = nullptr;
    QPushButton* m_undoButton = nullptr;
    QPushButton* m_redoButton = nullptr;
    QPushButton* m_brushCancelButton = nullptr;
    QPushButton* m_brushDoneButton = nullptr;
    QSlider* m_brushSize = nullptr;
    QLabel* m_notice = nullptr;
    QLabel* m_zoomLabel = nullptr;
    ModelOffer* m_modelOffer = nullptr;
};
