#include "cats/image_decoding.h"
#include "recording_sound.h"
#include "settings_window/image_area.h"
#include "settings_window/image_editor_view.h"
#include "synthetic_cats.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QThreadPool>

using CropGeometry::Corner;

namespace {

QImage picture(int w = 400, int h = 300) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(200, 120, 40));
    return image;
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

    void removalWithNothingFoundBeeps() {
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
