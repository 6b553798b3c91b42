// Saves pictures of the photo editor in each of its modes, for looking at:
//   editor_screenshots OUTPUT_DIR      (QT_SCALE_FACTOR=2 for a 2x display)
#include "settings_window/image_area.h"
#include "settings_window/image_editor_view.h"
#include "synthetic_cats.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {
class Silent final : public AlertSound {
public:
    void play() override {}
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);
    const QString suffix = QStringLiteral("@%1x.png").arg(app.devicePixelRatio());
    Silent sound;
    ImageEditorView editor(
        makeSyntheticCat(5, QSize(900, 640)).picture, [] {}, [](const QByteArray&) {}, sound);
    editor.show();
    QApplication::processEvents();
    auto save = [&](const char* name) {
        QApplication::processEvents();
        editor.grab().save(dir + u'/' + QString::fromLatin1(name) + suffix);
    };
    save("editor-normal");
    editor.findChild<QPushButton*>(QStringLiteral("crop"))->click();
    editor.imageArea()->onCropChanged(QRectF(0.3, 0.15, 0.45, 0.7));
    save("editor-crop");
    editor.findChild<QPushButton*>(QStringLiteral("cropCancel"))->click();
    editor.findChild<QPushButton*>(QStringLiteral("zoom"))->click();
    editor.setZoom(1.236);
    save("editor-zoom");
    editor.findChild<QPushButton*>(QStringLiteral("zoomCancel"))->click();
    editor.findChild<QPushButton*>(QStringLiteral("removeBackground"))->click();
    save("editor-processing");
    editor.waitForProcessing();
    save("editor-cut-out");

    // The brush after the cut: a restoring stroke under way, then released.
    editor.findChild<QPushButton*>(QStringLiteral("brush"))->click();
    editor.findChild<QPushButton*>(QStringLiteral("brushRestore"))->click();
    ImageArea* area = editor.imageArea();
    const QPoint from = area->fitRect().topLeft().toPoint() + QPoint(40, 60);
    QTest::mousePress(area, Qt::LeftButton, {}, from);
    for (int i = 1; i <= 6; ++i)
        QTest::mouseMove(area, from + QPoint(12 * i, 4 * i));
    save("editor-brush-stroke");
    QTest::mouseRelease(area, Qt::LeftButton, {}, from + QPoint(72, 24));
    QTest::mouseMove(area, from + QPoint(120, 80));
    save("editor-brush");
    editor.findChild<QPushButton*>(QStringLiteral("brushDone"))->click();

    // A large photo uncropped: the hint; a picture without a cat: what the removal says.
    QImage wall(2400, 1600, QImage::Format_RGB32);
    wall.fill(QColor(190, 180, 160));
    ImageEditorView plain(
        wall, [] {}, [](const QByteArray&) {}, sound);
    plain.show();
    QApplication::processEvents();
    plain.grab().save(dir + QStringLiteral("/editor-crop-hint") + suffix);
    plain.findChild<QPushButton*>(QStringLiteral("removeBackground"))->click();
    plain.waitForProcessing();
    QApplication::processEvents();
    plain.grab().save(dir + QStringLiteral("/editor-no-subject") + suffix);

    // The model's offer line while it downloads and after a failure (no network here, or the
    // download is refused); only when no model is installed.
    if (auto* get = editor.findChild<QPushButton*>(QStringLiteral("getModel"))) {
        get->click();
        save("editor-model-downloading");
        auto* failure = editor.findChild<QLabel*>(QStringLiteral("modelFailure"));
        if (QTest::qWaitFor([failure] { return failure->isVisible(); }, 20000))
            save("editor-model-failed");
    }
    return 0;
}
