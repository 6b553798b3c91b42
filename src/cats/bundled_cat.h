#pragma once

#include "cats/cat_skin.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The built-in cats: the pictures in the "Cats" folder of the resource bundle, named by its
// names.json, sorted as a file browser would, loaded on demand and kept once loaded.
class BundledCat {
public:
    // The catalogue of one bundle directory (which need not exist).
    explicit BundledCat(const QString& bundleDirectory);

    // The application's catalogue, over the first bundle found (see bundleCandidates).
    static BundledCat& shared();

    // Where Purrtick_Purrtick.bundle is looked for, in order: installed resources
    // (<prefix>/share/purrtick), then the directory of the executable (the build tree).
    static QStringList bundleCandidates();
    // The first candidate holding the bundle, or the executable's directory when none does.
    static QString findBundle();

    static const QStringList& imageExtensions();

    // Whether the name is made of precomposed Hangul syllables alone.
    static bool isHangulOnly(const QString& name);

    // Sorted on first use: the sort loads the locale's collation (ICU, several megabytes), which
    // a start with a chosen skin does without.
    const QList<CatSkin>& skins() const;
    // The skin with that id, without sorting; nothing when there is none.
    std::optional<CatSkin> skin(const QString& id) const;
    const QHash<QString, QString>& displayNames() const { return m_displayNames; }

    // The picture of that file name, or nothing; a failed load is tried again next time.
    std::optional<QImage> image(const QString& fileName);
    // The picture's size in pixels, read from its header; empty when it cannot be read.
    QSize imageSize(const QString& fileName);
    // The picture decoded straight at `pixels` (its aspect is the caller's business) and not
    // kept: the pictures are rasterised large enough for the largest widget, far larger than
    // what a small one shows. A smaller raster of it is used when one is large enough.
    std::optional<QImage> imageAt(const QString& fileName, QSize pixels);

private:
    void readNames(const QString& catsFolder);
    void build(const QString& catsFolder);

    QString m_catsFolder;
    QHash<QString, QString> m_displayNames;
    // In listing order until skins() sorts them.
    mutable QList<CatSkin> m_skins;
    mutable bool m_sorted = false;
    QHash<QString, QString> m_paths;
    QHash<QString, QImage> m_cache;
    QHash<QString, QSize> m_sizes;
};
