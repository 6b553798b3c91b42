// The photo editor as the program gets it: from the module it loads on first use.
#include "recording_sound.h"
#include "settings_window/image_editor_module.h"
#include "unreachable_path.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QTest>

class TestImageEditorModule : public QObject {
    Q_OBJECT

private slots:
    void opensTheEditorFromTheBuiltModule() {
        RecordingSound sound;
        const CatTab::EditorFactory open =
            ImageEditorModule::factory(QStringLiteral(PURRTICK_EDITOR_MODULE), sound);
        QVERIFY(open);
        QImage photo(200, 150, QImage::Format_ARGB32_Premultiplied);
        photo.fill(Qt::darkYellow);
        int cancelled = 0;
        QByteArray applied;
        std::unique_ptr<QDialog> editor(open(
            photo, [&] { ++cancelled; }, [&](const QByteArray& png) { applied = png; }, nullptr));
        QVERIFY(editor);
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        auto* apply = editor->findChild<QPushButton*>(QStringLiteral("apply"));
        QVERIFY(apply);
        QTest::mouseClick(editor->windowHandle(), Qt::LeftButton, {},
                          apply->mapTo(editor.get(), apply->rect().center()));
        const QImage back = QImage::fromData(applied, "PNG");
        QCOMPARE(back.size(), photo.size());
        QCOMPARE(cancelled, 0);
    }

    void noModuleMeansNoEditor() {
        RecordingSound sound;
        QVERIFY(!ImageEditorModule::factory(QStringLiteral("/nonexistent/editor.so"), sound));
    }

    void aFileThatIsNoModuleOpensNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("purrtick-image-editor.so"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a library");
        file.close();
        RecordingSound sound;
        const CatTab::EditorFactory open = ImageEditorModule::factory(path, sound);
        QVERIFY(open);
        QTest::ignoreMessage(
            QtWarningMsg, QRegularExpression(QStringLiteral("사진 편집기를 불러오지 못했습니다")));
        QVERIFY(!open(QImage(4, 4, QImage::Format_ARGB32), {}, {}, nullptr));
        // The failure is reported once, not on every try.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("사진 편집기")));
        QVERIFY(!open(QImage(4, 4, QImage::Format_ARGB32), {}, {}, nullptr));
    }
};

QTEST_MAIN(TestImageEditorModule)
#include "tst_image_editor_module.moc"
