#include "cats/image_decoding.h"
#include "recording_sound.h"
#include "settings_window/image_area.h"
#include "settings_window/image_editor_view.h"
#include "settings_window/mask_brush.h"
#include "synthetic_cats.h"
#include "tiny_onnx.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <cmath>

using CropGeometry::Corner;

namespace {

QImage picture(int w = 400, int h = 300) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(200, 120, 40));
    return image;
}

// A model file in a folder of its own, named by PURRTICK_MODEL_DIR while the object lives.
class ModelInPlace {
public:
    explicit ModelInPlace(const QByteArray& bytes) {
        QFile file(m_dir.filePath("u2netp.onnx"));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        qputenv("PURRTICK_MODEL_DIR", m_dir.path().toUtf8());
    }
    ~ModelInPlace() { qunsetenv("PURRTICK_MODEL_DIR"); }

private:
    QTemporaryDir m_dir;
};

double distanceToSegment(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double t =
        std::clamp(QPointF::dotProduct(p - a, ab) / QPointF::dotProduct(ab, ab), 0.0, 1.0);
    const QPointF d = p - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

struct Editor {
    explicit Editor(const QImage& original = picture())
        : view(
              original, [this] { ++cancels; }, [this](const QByteArray& png) { applied << png; },
              sound) {
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }
    QPushButton* button(const char* name) const {
        return view.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void click(const char* name) const {
        QPushButton* b = button(name);
        QVERIFY(b && b->isEnabled() && b->isVisible());
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // Presses at `from`, moves by `by` in steps, releases.
    void drag(QPointF from, QPointF by) const {
        ImageArea* area = view.imageArea();
        const QPoint start = from.toPoint();
        QTest::mousePress(area, Qt::LeftButton, {}, start);
        for (int i = 1; i <= 4; ++i)
            QTest::mouseMove(area, start + (by * i / 4).toPoint());
        QTest::mouseRelease(area, Qt::LeftButton, {}, start + by.toPoint());
    }

    RecordingSound sound;
    int cancels = 0;
    QList<QByteArray> applied;
    ImageEditorView view;
};

} // namespace

class ImageEditorTest : public QObject {
    Q_OBJECT
private slots:
    void moveDragIsClampedAtEveryEdge_data() {
        QTest::addColumn<QPointF>("by");
        QTest::addColumn<QRectF>("crop");
        QTest::newRow("left") << QPointF(-400, 0) << QRectF(0, 0.12, 0.88, 0.88);
        QTest::newRow("up") << QPointF(0, -400) << QRectF(0.12, 0, 0.88, 0.88);
        QTest::newRow("right down") << QPointF(400, 400) << QRectF(0.12, 0.12, 0.88, 0.88);
    }
    void moveDragIsClampedAtEveryEdge() {
        QFETCH(QPointF, by);
        QFETCH(QRectF, crop);
        Editor e;
        e.click("crop");
        QVERIFY(e.view.isCropping());
        // Shrink from the top-left first, so the selection can move.
        e.drag(e.view.imageArea()->handleCentre(Corner::tl), QPointF(2000, 2000));
        QCOMPARE(e.view.crop(), QRectF(0.88, 0.88, 0.12, 0.12));
        e.drag(e.view.imageArea()->handleCentre(Corner::tl), QPointF(-2000, -2000));
        QCOMPARE(e.view.crop(), QRectF(0, 0, 1, 1));
        e.drag(e.view.imageArea()->handleCentre(Corner::br), QPointF(-2000, -2000));
        e.drag(e.view.imageArea()->handleCentre(Corner::br), QPointF(2000, 2000));
        QCOMPARE(e.view.crop(), QRectF(0, 0, 1, 1));
        // Now a selection 0.88 on each side, in the middle.
        const QRectF fit = e.view.imageArea()->fitRect();
        e.drag(e.view.imageArea()->handleCentre(Corner::tl),
               QPointF(0.12 * fit.width(), 0.12 * fit.height()));
        const QRectF start = e.view.crop();
        QVERIFY2(std::abs(start.width() - 0.88) < 0.01, qPrintable(QStringLiteral("%1 %2 %3 %4")
                                                                       .arg(start.x())
                                                                       .arg(start.y())
                                                                       .arg(start.width())
                                                                       .arg(start.height())));
        const QPointF centre = fit.topLeft() + QPointF(0.56 * fit.width(), 0.56 * fit.height());
        e.drag(centre, by);
        const QRectF after = e.view.crop();
        QCOMPARE(after.size(), start.size());
        QVERIFY(after.left() >= 0 && after.top() >= 0 && after.right() <= 1 + 1e-9 &&
                after.bottom() <= 1 + 1e-9);
        QVERIFY(std::abs(after.x() - (crop.x() == 0.12 ? start.x() : crop.x())) < 0.01);
        QVERIFY(std::abs(after.y() - (crop.y() == 0.12 ? start.y() : crop.y())) < 0.01);
    }

    void shortDragsDoNotStartAGesture() {
        Editor e;
        e.click("crop");
        e.drag(e.view.imageArea()->handleCentre(Corner::br), QPointF(-6, -6));
        QCOMPARE(e.view.crop(), QRectF(0, 0, 1, 1));
    }

    void cropButtonNeedsASmallerSelection_data() {
        QTest::addColumn<QRectF>("crop");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("whole") << QRectF(0, 0, 1, 1) << false;
        QTest::newRow("0.995 wide") << QRectF(0, 0, 0.995, 1) << false;
        QTest::newRow("0.99 wide") << QRectF(0, 0, 0.99, 1) << true;
        QTest::newRow("0.99 high") << QRectF(0, 0, 1, 0.99) << true;
    }
    void cropButtonNeedsASmallerSelection() {
        QFETCH(QRectF, crop);
        QFETCH(bool, enabled);
        Editor e;
        e.click("crop");
        e.view.imageArea()->onCropChanged(crop);
        QCOMPARE(e.button("cropApply")->isEnabled(), enabled);
    }

    void cropping() {
        Editor e(picture(400, 300));
        e.click("crop");
        e.view.imageArea()->onCropChanged(QRectF(0.25, 0.5, 0.5, 0.5));
        e.click("cropApply");
        QVERIFY(!e.view.isCropping());
        QCOMPARE(e.view.working().size(), QSize(200, 150));
        QCOMPARE(e.view.crop(), QRectF(0, 0, 1, 1));
        QVERIFY(e.button("revert")->isEnabled());
        e.click("revert");
        QCOMPARE(e.view.working().size(), QSize(400, 300));
        QVERIFY(!e.button("revert")->isEnabled());
    }

    void zoomApplyRule_data() {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("label");
        QTest::newRow("1") << 1.0 << false << "100%";
        QTest::newRow("0.995") << 0.995 << false << "100%";
        QTest::newRow("1.0099") << 1.0099 << false << "101%";
        QTest::newRow("0.99") << 0.99 << true << "99%";
        QTest::newRow("1.01") << 1.01 << true << "101%";
        QTest::newRow("min") << 0.3 << true << "30%";
        QTest::newRow("max") << 3.0 << true << "300%";
        QTest::newRow("1.236") << 1.236 << true << "124%";
    }
    void zoomApplyRule() {
        QFETCH(double, zoom);
        QFETCH(bool, enabled);
        QFETCH(QString, label);
        Editor e;
        e.click("zoom");
        QVERIFY(e.view.isZooming());
        e.view.setZoom(zoom);
        QCOMPARE(e.button("zoomApply")->isEnabled(), enabled);
        QCOMPARE(e.view.zoomLabel(), label);
    }

    void zoomApplyKeepsTheCanvas() {
        Editor e(picture(400, 300));
        e.click("zoom");
        e.view.setZoom(0.5);
        e.click("zoomApply");
        QVERIFY(!e.view.isZooming());
        QCOMPARE(e.view.zoom(), 1.0);
        QCOMPARE(e.view.working().size(), QSize(400, 300));
        QCOMPARE(qAlpha(e.view.working().pixel(5, 5)), 0);
    }

    void applyHandsOverThePictureAsPng() {
        Editor e(picture(120, 80));
        e.click("crop");
        e.view.imageArea()->onCropChanged(QRectF(0, 0, 0.5, 0.5));
        QTest::keyClick(&e.view, Qt::Key_Return); // the crop mode's default action
        QTest::keyClick(&e.view, Qt::Key_Return); // apply
        QCOMPARE(e.applied.size(), 1);
        const std::optional<QImage> back = ImageDecoding::decode(e.applied.first());
        QVERIFY(back);
        QCOMPARE(*back, e.view.working());
        QTest::keyClick(&e.view, Qt::Key_Escape);
        QCOMPARE(e.cancels, 1);
        QVERIFY(e.view.isVisible()); // the caller decides when to close
    }

    QString noticeShown(const Editor& e) const {
        auto* notice = e.view.findChild<QLabel*>("editorNotice");
        return notice && notice->isVisible() ? notice->text() : QString();
    }

    void removalWithNothingFoundSaysSo() {
        Editor e(picture());
        const qint64 before = e.view.working().cacheKey();
        e.click("removeBackground");
        QVERIFY(e.view.isProcessing());
        QVERIFY(!e.button("apply")->isEnabled());
        QVERIFY(!e.button("crop")->isEnabled());
        e.view.waitForProcessing();
        QVERIFY(!e.view.isProcessing());
        QCOMPARE(e.sound.plays, 1);
        QCOMPARE(e.view.working().cacheKey(), before);
        QCOMPARE(noticeShown(e),
                 QStringLiteral("고양이를 찾지 못했어요. 고양이 둘레로 자른 뒤 다시 해 보세요."));
        // The next try starts with a clean line.
        e.click("crop");
        e.view.imageArea()->onCropChanged(QRectF(0.1, 0.1, 0.5, 0.5));
        e.click("cropApply");
        e.click("removeBackground");
        QVERIFY(noticeShown(e).isEmpty());
        e.view.waitForProcessing();
    }

    // With a model in place its answer is the answer: where it sees no subject, the built-in
    // method (which would cut this drawn cat out) gets no turn.
    void theModelsNoSubjectIsNotHandedOn() {
        TinyOnnx::Options unsure;
        unsure.weight = 0;
        const ModelInPlace model(TinyOnnx::model({1, 3, 64, 64}, unsure));
        const SyntheticCat cat = makeSyntheticCat(0, QSize(480, 360));
        Editor e(cat.picture);
        const qint64 before = e.view.working().cacheKey();
        e.click("removeBackground");
        e.view.waitForProcessing();
        QCOMPARE(e.view.working().cacheKey(), before);
        QVERIFY(noticeShown(e).startsWith(QStringLiteral("고양이를 찾지 못했어요")));
        QVERIFY(!e.view.findChild<QWidget*>("modelOffer"));
    }

    // A model file that does not load is said, with the offer to fetch it again; the built-in
    // method does the cut meanwhile.
    void aModelThatDoesNotLoadIsOfferedAgain() {
        const ModelInPlace model(QByteArray("this is no model"));
        const SyntheticCat cat = makeSyntheticCat(0, QSize(480, 360));
        Editor e(cat.picture);
        e.click("removeBackground");
        e.view.waitForProcessing();
        QVERIFY(e.view.working().width() < cat.picture.width());
        auto* offer = e.view.findChild<QWidget*>("modelOffer");
        QVERIFY(offer && offer->isVisible());
        auto* line = offer->findChild<QLabel*>("modelFailure");
        QVERIFY(line && line->isVisible());
        QVERIFY(line->toolTip().contains(QStringLiteral("쓸 수 없어")));
        QCOMPARE(offer->findChild<QPushButton*>("getModel")->text(), QStringLiteral("다시 받기"));
    }

    void largeUncroppedPicturesHintAtCroppingFirst() {
        Editor large(picture(2000, 1500));
        QVERIFY(noticeShown(large).contains(QStringLiteral("자르면")));
        large.click("crop");
        large.view.imageArea()->onCropChanged(QRectF(0.2, 0.2, 0.5, 0.5));
        large.click("cropApply");
        QVERIFY(noticeShown(large).isEmpty());
        Editor small(picture(400, 300));
        QVERIFY(noticeShown(small).isEmpty());
    }

    // A drag through the window erases exactly the pixels under the stroke, at the picture's
    // full resolution; undo and redo put the mask back byte for byte.
    void theBrushErasesUnderTheStrokeAndUndoes() {
        // A picture with transparency: its left quarter is clear.
        QImage base = picture(1200, 900);
        for (int y = 0; y < base.height(); ++y)
            for (int x = 0; x < 300; ++x)
                base.setPixel(x, y, 0);
        Editor e(base);
        e.click("brush");
        QVERIFY(e.view.isBrushing());
        const MaskBrush* brush = e.view.brush();
        QVERIFY(brush);
        const QImage before = brush->mask().copy();
        ImageArea* area = e.view.imageArea();
        const QRectF fit = area->fitRect();
        const QPointF from = fit.center() - QPointF(60, 20), by(120, 40);
        e.drag(from, by);
        const QImage after = brush->mask().copy();
        QVERIFY(after != before);

        const double radius =
            e.view.findChild<QSlider*>("brushSize")->value() / 2.0 * area->pixelsPerPoint();
        const QPointF a = area->toPicture(from), b = area->toPicture(from + by);
        int changed = 0;
        for (int y = 0; y < after.height(); ++y) {
            for (int x = 0; x < after.width(); ++x) {
                const double d = distanceToSegment(QPointF(x + 0.5, y + 0.5), a, b);
                const uchar now = after.constScanLine(y)[x];
                if (d >= radius)
                    QVERIFY2(now == before.constScanLine(y)[x],
                             qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                else if (d <= radius * MaskBrush::kHardness)
                    QCOMPARE(int(now), 0);
                changed += now != before.constScanLine(y)[x];
            }
        }
        QVERIFY(changed > 1000);
        // What shows follows the mask.
        const QPoint middle = ((a + b) / 2).toPoint();
        QCOMPARE(qAlpha(brush->composed().pixel(middle)), 0);

        QTest::keyClick(&e.view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(brush->mask(), before);
        QTest::keyClick(&e.view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(brush->mask(), after);
        e.click("brushUndo");
        QCOMPARE(brush->mask(), before);
        e.click("brushRedo");
        QCOMPARE(brush->mask(), after);

        e.click("brushDone");
        QVERIFY(!e.view.isBrushing());
        QCOMPARE(qAlpha(e.view.working().pixel(middle - QPoint(300, 0))), 0);
        QTest::keyClick(&e.view, Qt::Key_Return); // apply
        QCOMPARE(e.applied.size(), 1);
    }

    // After a cut, restoring brings back the photo's own pixels, also beyond the cut's box.
    void theBrushRestoresWhatTheCutLeftOut() {
        const SyntheticCat cat = makeSyntheticCat(0, QSize(480, 360));
        Editor e(cat.picture);
        e.click("removeBackground");
        e.view.waitForProcessing();
        QVERIFY(e.view.working().width() < cat.picture.width());
        e.click("brush");
        QCOMPARE(e.view.brush()->composed().size(), cat.picture.size());
        e.click("brushRestore");
        ImageArea* area = e.view.imageArea();
        const QRectF fit = area->fitRect();
        // The top-left corner of the photo is background.
        const QPointF corner = fit.topLeft() + QPointF(14, 14);
        e.drag(corner, QPointF(30, 0));
        const QPoint at = area->toPicture(corner + QPointF(15, 0)).toPoint();
        const QRgb shown = e.view.brush()->composed().pixel(at);
        QCOMPARE(qAlpha(shown), 255);
        QCOMPARE(shown, cat.picture.pixel(at));

        // Cancelling leaves the working picture as the cut made it.
        const qint64 cut = e.view.working().cacheKey();
        e.click("brushCancel");
        QCOMPARE(e.view.working().cacheKey(), cut);
        // Done, the picture grows to take in what came back.
        const int cutWidth = e.view.working().width();
        e.click("brush");
        e.click("brushRestore");
        e.drag(corner, QPointF(30, 0));
        e.click("brushDone");
        QVERIFY(e.view.working().width() > cutWidth);
    }

    void cancelDuringProcessingLetsTheResultLandLater() {
        const SyntheticCat cat = makeSyntheticCat(0, QSize(480, 360));
        Editor e(cat.picture);
        e.click("removeBackground");
        QVERIFY(e.button("cancel")->isEnabled());
        e.click("cancel");
        QCOMPARE(e.cancels, 1);
        QVERIFY(e.view.isProcessing());
        e.view.waitForProcessing();
        QCOMPARE(e.sound.plays, 0);
        QVERIFY(e.view.working().width() < cat.picture.width());
        QVERIFY(e.button("revert")->isEnabled());
    }

    void closingWhileProcessingIsHarmless() {
        const SyntheticCat cat = makeSyntheticCat(1, QSize(480, 360));
        {
            Editor e(cat.picture);
            e.click("removeBackground");
        }
        QTest::qWait(50);
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }
};

QTEST_MAIN(ImageEditorTest)
#include "tst_image_editor.moc"
