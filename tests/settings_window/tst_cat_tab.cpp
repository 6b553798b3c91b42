// The cat tab, used through the settings window: skins, rotation, and the photo library with
// its two roles. Photos live in a temporary data folder; the file question and the editor are
// injected, the clicks go where the controls are drawn.
#include "settings_window/cat_tab.h"
#include "settings_window/image_editor_view.h"
#include "settings_window/photo_cell.h"
#include "settings_window/photo_library_model.h"
#include "settings_window/photo_thumbnails.h"
#include "settings_window/selectable_card.h"
#include "settings_window_fixture.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>

namespace {

RecordingSound editorSound;

CatTab::EditorFactory realEditor() {
    return [](const QImage& original, std::function<void()> onCancel,
              std::function<void(const QByteArray&)> onApply, QWidget* parent) -> QDialog* {
        return new ImageEditorView(original, std::move(onCancel), std::move(onApply), editorSound,
                                   parent);
    };
}

// Image files of distinct colours in a folder of their own.
QStringList writePhotos(const QTemporaryDir& dir, int count, const char* format = "PNG") {
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        QImage image(120, 90, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 70 % 360, 200, 220));
        const QString path = dir.filePath(
            QStringLiteral("photo%1.%2").arg(i).arg(QString::fromLatin1(format).toLower()));
        image.save(path, format);
        paths.append(path);
    }
    return paths;
}

} // namespace

class TestCatTab : public QObject {
    Q_OBJECT

    std::unique_ptr<SettingsWindowFixture> f;
    QTemporaryDir sources;

    CatTab* tab() { return f->view()->catTab(); }
    PhotoLibraryModel& model() { return f->view()->photoLibrary(); }

    void openCatTab() {
        f->open();
        f->showTab(4);
        QVERIFY(tab());
    }

    PhotoCell* cell(int index) {
        QApplication::processEvents();
        const QList<PhotoCell*> cells = tab()->cells();
        return index < cells.size() ? cells[index] : nullptr;
    }

    // Opens a cell's menu with its menu button and gives the open menu.
    QMenu* openMenu(PhotoCell* target) {
        f->click(target->menuButton());
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }

    static QStringList entries(QMenu* menu) {
        QStringList texts;
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                texts.append(action->text());
        return texts;
    }

    // Chooses the entry where the menu draws it.
    static void choose(QMenu* menu, const QString& text) {
        QVERIFY(menu);
        for (QAction* action : menu->actions())
            if (action->text() == text) {
                QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, {},
                                  menu->actionGeometry(action).center());
                QApplication::processEvents();
                return;
            }
        QFAIL(qPrintable(QStringLiteral("no entry ") + text));
    }

    void addThroughButton(const QStringList& paths) {
        f->pickedPhotos = paths;
        f->click(QStringLiteral("addPhoto"));
    }

    QString storedText(const QString& key) { return f->stored(key).toString(); }

private slots:
    void init() {
        f = std::make_unique<SettingsWindowFixture>(true, realEditor());
        openCatTab();
    }
    void cleanup() { f.reset(); }

    void emptyLibraryShowsItsNote() {
        QVERIFY(f->find<QLabel>(QStringLiteral("emptyLibrary"))->isVisible());
        QVERIFY(tab()->cells().isEmpty());
    }

    void addingPhotos_data() {
        QTest::addColumn<bool>("normalSetBefore");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("no normal picture yet") << false << false;
        QTest::newRow("a normal picture already set") << true << false;
        QTest::newRow("question cancelled") << false << true;
    }
    void addingPhotos() {
        QFETCH(bool, normalSetBefore);
        QFETCH(bool, cancelled);
        const QString builtIn = f->skins.selectedID();
        if (normalSetBefore) {
            addThroughButton(writePhotos(sources, 1));
            f->skins.setSelectedID(builtIn);
        }
        const QStringList before = model().files();
        const std::optional<QString> normalBefore = f->settings.customCatFileName();

        f->pickedPhotos = cancelled ? std::nullopt : std::optional(writePhotos(sources, 3));
        f->click(QStringLiteral("addPhoto"));
        QCOMPARE(f->photoQuestions, normalSetBefore ? 2 : 1);
        QVERIFY(f->photoPickerParent && f->photoPickerParent->window() == f->window.get());

        const QStringList after = model().files();
        if (cancelled) {
            QCOMPARE(after, before);
            QVERIFY(!f->settings.customCatFileName());
            QCOMPARE(f->skins.selectedID(), builtIn);
            return;
        }
        QCOMPARE(after.size(), before.size() + 3);
        QCOMPARE(tab()->cells().size(), after.size());
        if (normalSetBefore) {
            QCOMPARE(f->settings.customCatFileName(), normalBefore);
            QCOMPARE(f->skins.selectedID(), builtIn);
        } else {
            // Only the first stored becomes the normal picture, and the photo look is chosen.
            const QString first = after.front();
            QCOMPARE(storedText(QStringLiteral("customCatFileName")), first);
            QCOMPARE(storedText(QStringLiteral("catSkinID")), QStringLiteral("custom"));
            QVERIFY(cell(0)->isNormal());
            QVERIFY(!cell(1)->isNormal() && !cell(2)->isNormal());
        }
        QVERIFY(!f->settings.customCatDoneFileName());
    }

    void aFileThatCannotBeAddedIsSkippedAndLogged() {
        QStringList paths = writePhotos(sources, 2);
        paths.insert(0, sources.filePath(QStringLiteral("gone.png")));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("CustomCat 추가 실패: .*gone.png")));
        addThroughButton(paths);
        QCOMPARE(model().files().size(), 2);
        // The first file that was stored is the normal picture.
        QCOMPARE(f->settings.customCatFileName(), model().files().front());
    }

    void tappingTheDonePhotoMakesItNormalToo() {
        addThroughButton(writePhotos(sources, 2));
        QMenu* menu = openMenu(cell(1));
        QVERIFY(menu);
        choose(menu, QStringLiteral("완료 사진으로"));
        const QString second = model().files().at(1);
        QCOMPARE(storedText(QStringLiteral("customCatDoneFileName")), second);

        f->click(cell(1));
        QCOMPARE(storedText(QStringLiteral("customCatFileName")), second);
        QCOMPARE(storedText(QStringLiteral("customCatDoneFileName")), second);
        QVERIFY(cell(1)->isNormal() && cell(1)->isDone());
        QVERIFY(!cell(0)->isNormal());
        // Both badges and the accent outline are drawn: red and accent pixels at the lower
        // left, the accent on the edge.
        const QImage drawn = cell(1)->grab().toImage();
        const QColor accent = cell(1)->palette().color(QPalette::Highlight);
        QCOMPARE(drawn.pixelColor(drawn.width() / 2, 0).rgb(), accent.rgb());
        bool red = false;
        for (int x = 0; x < drawn.width(); ++x) {
            const QColor c = drawn.pixelColor(x, drawn.height() - 8);
            red = red || (c.red() > 200 && c.green() < 90 && c.blue() < 90);
        }
        QVERIFY(red);
    }

    void clearingTheDoneRoleIsOfferedOnlyOnItsCell() {
        addThroughButton(writePhotos(sources, 2));
        choose(openMenu(cell(0)), QStringLiteral("완료 사진으로"));
        QMenu* doneMenu = openMenu(cell(0));
        const QStringList doneEntries = entries(doneMenu);
        QCOMPARE(doneEntries,
                 (QStringList{"평소 사진으로", "완료 사진 해제", "편집…", "보관함에서 삭제"}));
        doneMenu->close();
        QMenu* otherMenu = openMenu(cell(1));
        QCOMPARE(entries(otherMenu),
                 (QStringList{"평소 사진으로", "완료 사진으로", "편집…", "보관함에서 삭제"}));
        otherMenu->close();
        // A right click on the photo opens the same menu.
        QTest::mouseClick(f->window->windowHandle(), Qt::RightButton, {},
                          cell(0)->mapTo(f->window.get(), QPoint(20, 30)));
        QMenu* contextMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(contextMenu);
        QCOMPARE(entries(contextMenu), doneEntries);
        choose(contextMenu, QStringLiteral("완료 사진 해제"));
        QVERIFY(!f->stored(QStringLiteral("customCatDoneFileName")).isValid());
        QVERIFY(!cell(0)->isDone());
    }

    void removingPhotos_data() {
        QTest::addColumn<bool>("customSelected");
        QTest::addColumn<int>("removed");
        QTest::newRow("the normal photo, photo look chosen") << true << 0;
        QTest::newRow("the normal photo, a built-in cat chosen") << false << 0;
        QTest::newRow("another photo") << true << 1;
    }
    void removingPhotos() {
        QFETCH(bool, customSelected);
        QFETCH(int, removed);
        addThroughButton(writePhotos(sources, 2));
        const QStringList files = model().files();
        choose(openMenu(cell(0)), QStringLiteral("완료 사진으로"));
        const QString builtIn = f->catalogue.skins().front().id;
        if (!customSelected)
            f->skins.setSelectedID(f->catalogue.skins().back().id);
        const QString selectedBefore = f->skins.selectedID();

        choose(openMenu(cell(removed)), QStringLiteral("보관함에서 삭제"));
        QCOMPARE(model().files().size(), 1);
        QVERIFY(!model().files().contains(files[removed]));
        QVERIFY(!QFileInfo::exists(QDir(f->photos.libraryFolder()).filePath(files[removed])));
        QCOMPARE(tab()->cells().size(), 1);
        if (removed == 0) {
            // Every role that named it is cleared.
            QVERIFY(!f->stored(QStringLiteral("customCatFileName")).isValid());
            QVERIFY(!f->stored(QStringLiteral("customCatDoneFileName")).isValid());
            QCOMPARE(storedText(QStringLiteral("catSkinID")),
                     customSelected ? builtIn : selectedBefore);
        } else {
            QCOMPARE(storedText(QStringLiteral("customCatFileName")), files[0]);
            QCOMPARE(f->skins.selectedID(), QStringLiteral("custom"));
        }
    }

    void withoutBuiltInCatsRemovingTheShownPhotoFallsBackToTheDrawnCat() {
        QTemporaryDir empty;
        BundledCat none(empty.path());
        SkinStore skins(f->settings, none);
        PhotoLibraryModel photos(f->photos, f->settings, skins);
        QVERIFY(photos.addPhotos(writePhotos(sources, 1)).stored == 1);
        QCOMPARE(skins.selectedID(), QStringLiteral("custom"));
        photos.removePhoto(photos.files().front());
        QCOMPARE(storedText(QStringLiteral("catSkinID")), QStringLiteral("cheese"));
    }

    void anAppliedEditIsANewPhotoWithTheRoles() {
        addThroughButton(writePhotos(sources, 2));
        const QStringList before = model().files();
        choose(openMenu(cell(0)), QStringLiteral("완료 사진으로"));
        choose(openMenu(cell(0)), QStringLiteral("편집…"));
        auto* editor = qobject_cast<ImageEditorView*>(tab()->editor());
        QVERIFY(editor);
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        QCOMPARE(editor->windowModality(), Qt::WindowModal);
        QCOMPARE(editor->working().size(), QSize(120, 90));
        // The settings window takes no clicks while the editor is open over it, so no second
        // editor can be asked for.
        QVERIFY(!openMenu(cell(1)));
        QCOMPARE(tab()->editor(), editor);

        auto* apply = editor->findChild<QPushButton*>(QStringLiteral("apply"));
        QTest::mouseClick(editor->windowHandle(), Qt::LeftButton, {},
                          apply->mapTo(editor, apply->rect().center()));
        QTRY_VERIFY(!tab()->editor());
        const QStringList after = model().files();
        QCOMPARE(after.size(), 3);
        QCOMPARE(after.mid(0, 2), before);
        const QString edit = after.back();
        QVERIFY(edit.endsWith(QStringLiteral(".png")));
        QCOMPARE(storedText(QStringLiteral("customCatFileName")), edit);
        QCOMPARE(storedText(QStringLiteral("customCatDoneFileName")), edit);
        QVERIFY(!cell(0)->isNormal() && !cell(0)->isDone());
        QVERIFY(cell(2)->isNormal() && cell(2)->isDone());
    }

    void cancellingTheEditorChangesNothing() {
        addThroughButton(writePhotos(sources, 1));
        choose(openMenu(cell(0)), QStringLiteral("편집…"));
        QDialog* editor = tab()->editor();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_VERIFY(!tab()->editor());
        QCOMPARE(model().files().size(), 1);
    }

    void photosDroppedOnTheGridAreAdded() {
        const QStringList paths = writePhotos(sources, 2, "JPEG");
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        urls.append(QUrl(QStringLiteral("https://example.com/cat.png")));
        data.setUrls(urls);
        QWidget* area = f->find(QStringLiteral("photoLibraryGrid"));
        const QPoint at = area->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(area, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(area, &drop);
        QCOMPARE(model().files().size(), 2);
        QVERIFY(model().files().front().endsWith(QStringLiteral(".jpeg")));
        QCOMPARE(f->settings.customCatFileName(), model().files().front());
    }

    void skinCardsChooseTheBuiltInCat() {
        const QList<CatSkin>& skins = f->catalogue.skins();
        if (skins.size() < 2)
            QSKIP("the built-in artwork is not built (target purrtick_artwork)");
        const CatSkin& last = skins.back();
        auto* card = f->find<SelectableCard>(QStringLiteral("skin-") + last.name);
        f->click(card);
        QCOMPARE(storedText(QStringLiteral("catSkinID")), last.id);
        QVERIFY(card->isSelected());
        f->skins.setSelectedID(skins.front().id);
        QVERIFY(!card->isSelected());
    }

    void rotation_data() {
        QTest::addColumn<double>("fromElsewhere");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("sliderAt");
        QTest::newRow("a half rounds up") << 359.5 << "360°" << 360;
        QTest::newRow("just under a half") << 44.49 << "44°" << 44;
        QTest::newRow("zero") << 0.0 << "0°" << 0;
    }
    void rotation() {
        QFETCH(double, fromElsewhere);
        QFETCH(QString, label);
        QFETCH(int, sliderAt);
        // A turn made with the widget's grip shows in the open window.
        f->settings.setCatRotation(fromElsewhere);
        QCOMPARE(f->find<QLabel>(QStringLiteral("catRotationValue"))->text(), label);
        QCOMPARE(f->find<QSlider>(QStringLiteral("catRotation"))->value(), sliderAt);
        QCOMPARE(f->settings.catRotation(), fromElsewhere);
    }

    void rotationButtonsAndSlider() {
        f->click(QStringLiteral("rotate180"));
        QCOMPARE(f->stored(QStringLiteral("catRotation")).toDouble(), 180.0);
        f->click(QStringLiteral("rotate0"));
        QCOMPARE(f->stored(QStringLiteral("catRotation")).toDouble(), 0.0);
        auto* slider = f->find<QSlider>(QStringLiteral("catRotation"));
        f->click(slider);
        f->press(Qt::Key_End);
        QCOMPARE(f->stored(QStringLiteral("catRotation")).toDouble(), 360.0);
    }

    // Files that cannot be added (gone, not files, no room on the disk) are said under the
    // grid, once, with how many; the next try that adds everything takes the line away.
    void photosThatCannotBeAddedAreSaid() {
        // One that went away before it was read, one that is a folder.
        QStringList chosen = writePhotos(sources, 1);
        chosen << sources.filePath(QStringLiteral("gone.jpg"));
        QVERIFY(QDir(sources.path()).mkdir(QStringLiteral("album.png")));
        chosen << sources.filePath(QStringLiteral("album.png"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("."));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("."));
        addThroughButton(chosen);
        QCOMPARE(model().files().size(), 1);
        auto* line = f->find<QLabel>(QStringLiteral("photosNotAdded"));
        QVERIFY(line->isVisible());
        QVERIFY2(line->text().contains(QStringLiteral("사진 2장")), qPrintable(line->text()));
        addThroughButton(writePhotos(sources, 1));
        QVERIFY(!line->isVisible());
    }

    // The photo picker opens at a size that shows its columns, and again at the size the user
    // gave it.
    void thePhotoPickerOpensWideAndRemembersItsSize() {
        QWidget parent;
        parent.resize(420, 520);
        parent.show();
        QList<QSize> opened;
        const auto answerWith = [&opened](QSize resizeTo) {
            QTimer::singleShot(0, [&opened, resizeTo] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                opened << dialog->size();
                dialog->resize(resizeTo);
                dialog->reject();
            });
        };
        answerWith(QSize(700, 480));
        QVERIFY(!CatTab::dialogPicker()(&parent));
        answerWith(QSize(700, 480));
        QVERIFY(!CatTab::dialogPicker()(&parent));
        QCOMPARE(opened, (QList<QSize>{QSize(760, 520), QSize(700, 480)}));
    }
};

QTEST_MAIN(TestCatTab)
#include "tst_cat_tab.moc"
