#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class PhotoCell;
class PhotoLibraryModel;
class PhotoThumbnails;
class QGridLayout;
class QLabel;
class QSlider;
class QVBoxLayout;
class Settings;
class SkinStore;

// The "고양이" tab: the built-in cat to show, the rotation of the cat picture, and the user's
// photo library with its two roles, where photos are added, assigned, edited and removed.
class CatTab : public QWidget {
    Q_OBJECT

public:
    // Asks the user for image files; nothing when the question is cancelled.
    using PhotoPicker = std::function<std::optional<QStringList>(QWidget* parent)>;
    // Opens the photo editor over `parent` for a picture; the editor calls one of the two
    // callbacks when the user is done. Nothing when no editor can be opened.
    using EditorFactory =
        std::function<QDialog*(const QImage& original, std::function<void()> onCancel,
                               std::function<void(const QByteArray&)> onApply, QWidget* parent)>;

    CatTab(Settings& settings, SkinStore& skins, PhotoLibraryModel& photos, PhotoPicker picker,
           EditorFactory editor, QWidget* parent = nullptr);
    ~CatTab() override;

    // The system's file dialog, window-modal over `parent`.
    static PhotoPicker dialogPicker();

    QDialog* editor() const { return m_editor; }
    PhotoThumbnails& thumbnails() const { return *m_thumbnails; }
    QList<PhotoCell*> cells() const { return m_cells; }

    // Runs the picker and adds what it gives.
    void addPhoto();
    // Adds dropped or chosen files, and says under the grid how many could not be added.
    void addPhotos(const QStringList& paths);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildSkinGrid();
    QWidget* buildRotationControl();
    QWidget* buildPhotoSection();
    void rebuildPhotoGrid();
    void showPhotoMenu(PhotoCell* cell, QPoint at);
    void edit(const QString& file);

    Settings& m_settings;
    SkinStore& m_skins;
    PhotoLibraryModel& m_photos;
    PhotoPicker m_picker;
    EditorFactory m_editorFactory;
    PhotoThumbnails* m_thumbnails;

    QWidget* m_photoArea = nullptr;
    QLabel* m_notAdded = nullptr;
    QVBoxLayout* m_photoAreaLayout = nullptr;
    QWidget* m_photoGrid = nullptr;
    QList<PhotoCell*> m_cells;
    // Built while hidden: the coming show needs no other.
    bool m_gridIsCurrent = false;
    QPointer<QDialog> m_editor;
};
