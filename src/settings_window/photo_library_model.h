#pragma once

#include "cats/custom_cat.h"

#include <QObject>
#include <QStringList>

class Settings;
class SkinStore;

// What the cat tab does to the photo library and the two photo roles. Every change of the
// library or of a role made here raises `customTick`, which the photo grid follows.
class PhotoLibraryModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(int customTick READ customTick NOTIFY customTickChanged)

public:
    PhotoLibraryModel(CustomCat& library, Settings& settings, SkinStore& skins,
                      QObject* parent = nullptr);

    int customTick() const { return m_tick; }
    CustomCat& library() const { return m_library; }

    QStringList files() const { return m_library.libraryFiles(); }
    bool isNormal(const QString& file) const;
    bool isDone(const QString& file) const;

    // The photo becomes the normal picture (and the widget shows it) or the done picture.
    void assign(const QString& file, CustomCat::Slot slot);
    // No photo is shown when the countdown is done.
    void clearDone();
    // Deletes the photo; when it was shown and the photo look is selected, the first built-in
    // cat takes its place.
    void removePhoto(const QString& file);
    // Copies the files into the library in order, skipping (and logging) those that fail. The
    // first stored becomes the normal picture when none is set.
    struct Added {
        int stored = 0;
        int failed = 0; // not a picture, unreadable, or no room on the disk
    };
    Added addPhotos(const QStringList& paths);
    // Stores an edit as a new photo that takes over the edited photo's roles; the edited photo
    // stays as it was. Whether the edit was stored.
    bool saveEdited(const QByteArray& png, const QString& replacing);

signals:
    void customTickChanged();

private:
    void bump();

    CustomCat& m_library;
    Settings& m_settings;
    SkinStore& m_skins;
    int m_tick = 0;
};
