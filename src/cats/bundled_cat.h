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

    const QList<CatSkin>& skins() const { return m_skins; }
    const QHash<QString, QString>& displayNames() const { return m_displayNames; }

    // The picture of that file name, or nothing; a failed load is tried again next time.
    std::optional<QImage> image(const QString& fileName);

private:
    void readNames(const QString& catsFolder);
    void build(const QString& catsFolder);

    QHash<QString, QString> m_displayNames;
    QList<CatSkin> m_skins;
    QHash<QString, QString> m_paths;
    QHash<QString, QImage> m_cache;
};
