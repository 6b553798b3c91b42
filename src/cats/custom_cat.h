#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class Settings;

// The user's cat photos: one file per photo in the library folder, oldest first, each named
// "cat-" + UUID + extension. Two settings name the photos shown normally and when done.
class CustomCat {
public:
    enum class Slot { normal, done };

    // A file's size and modification time, which change when it is written again.
    struct FileStamp {
        qint64 size;
        QDateTime modified;
        static FileStamp of(const QString& path);
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };

    // The default budget of decoded photos kept in memory.
    static constexpr qint64 kDefaultCacheBytes = 192LL * 1024 * 1024;
    // The longest side a photo is decoded at for showing: the widget's 190-point side at the
    // largest scale (3) on a screen of up to 3 device pixels per point. A 48-megapixel photo
    // then takes 9 MB instead of 192.
    static constexpr int kDisplaySide = 190 * 3 * 3;

    // `root` is the program's data folder ($XDG_DATA_HOME/Purrtick); the library is its
    // "library" folder. Older versions kept photos named "customCat…" in the root itself.
    CustomCat(const QString& root, Settings& settings, qint64 cacheBytes = kDefaultCacheBytes);
    ~CustomCat();
    CustomCat(const CustomCat&) = delete;
    CustomCat& operator=(const CustomCat&) = delete;

    static CustomCat& shared();

    QString libraryFolder() const { return m_library; }

    // Moves legacy photos into the library, once per run.
    void migrateIfNeeded();

    QStringList libraryFiles();
    // Copies a user's file into the library unchanged; its new name, or nothing (logged).
    std::optional<QString> add(const QString& sourcePath);
    // Writes PNG bytes as a new photo, atomically; its new name, or nothing (logged).
    std::optional<QString> addPNG(const QByteArray& png);
    // Deletes the photo and clears every role naming it. Names that are not plain file
    // names are refused, since they come from a user-editable settings file.
    void remove(const QString& name);
    // The photo decoded for showing (its longest side at most kDisplaySide), or nothing. A
    // photo that cannot be read is logged once and not read again until its file changes, a
    // role is assigned to another photo, or forgetFailure() is called for it.
    std::optional<QImage> image(const QString& name);
    void forgetFailure(const QString& name) { m_failures.remove(name); }

    // The same photo if it is decoded already. Otherwise decoding starts off the main thread
    // and this gives nothing; onImageReady runs on the main thread once the photo is decoded
    // or has failed. The widget draws through this, so a large photo never holds up a paint;
    // it is the one listener.
    std::optional<QImage> imageWhenReady(const QString& name);
    bool isLoading() const { return !m_loading.isEmpty(); }
    std::function<void(const QString& name)> onImageReady;
    // What the widget shows, through imageWhenReady(): once the countdown is done the photo
    // for that role where there is one and it can be read, else the chosen photo.
    std::optional<QImage> shownImageWhenReady(bool done);
    // Every role that named `from` names `to`.
    void transferRoles(const QString& from, const QString& to);

    // Whether a stored name may be used as a file name in the library.
    static bool isPlainFileName(const QString& name);

    qint64 cachedBytes() const { return m_cachedBytes; }

private:
    QString newName(const QString& extension) const;
    // Gives a photo just added a modification time later than every other added in this run.
    void stampAsNewest(const QString& name);
    // The photo's file as it is now, and whether an earlier failure still stands for it.
    QString pathOf(const QString& name) const;
    bool failedBefore(const QString& name, const FileStamp& stamp) const;
    void keepResult(const QString& name, const FileStamp& stamp,
                    const std::optional<QImage>& decoded, const QString& error);
    void cacheInsert(const QString& name, const QImage& image);
    void cacheDrop(const QString& name);

    QString m_root;
    QString m_library;
    Settings& m_settings;
    bool m_migrated = false;
    QDateTime m_lastAdded;

    // Decoded photos, least recently used first, within a byte budget.
    qint64 m_cacheBudget;
    qint64 m_cachedBytes = 0;
    QHash<QString, QImage> m_cache;
    QStringList m_recency;

    // Photos that could not be read, with their files' stamps as they were then.
    QHash<QString, FileStamp> m_failures;
    QList<QMetaObject::Connection> m_roleWatch;
    // Photos being decoded off the main thread.
    QSet<QString> m_loading;
    // Expires with this object, so a decode that finishes later finds nobody to tell.
    std::shared_ptr<CustomCat*> m_alive = std::make_shared<CustomCat*>(this);
};
