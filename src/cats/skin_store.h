#pragma once

#include "cats/bundled_cat.h"
#include "cats/cat_skin.h"

#include <QObject>

class Settings;

// Which cat look is selected. The selection is persisted as catSkinID on every assignment;
// an id that names no built-in skin stays selected but resolves to the first one.
class SkinStore : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString selectedID READ selectedID WRITE setSelectedID NOTIFY selectedIDChanged)

public:
    SkinStore(Settings& settings, BundledCat& catalogue, QObject* parent = nullptr);

    static SkinStore& shared();

    QString selectedID() const { return m_selectedID; }
    void setSelectedID(const QString& id);

    // The selected skin: the photo record, the built-in skin of that id, the first built-in
    // skin, or the drawn fallback cat.
    CatSkin skin() const;

    BundledCat& catalogue() const { return m_catalogue; }

signals:
    void selectedIDChanged();

private:
    Settings& m_settings;
    BundledCat& m_catalogue;
    QString m_selectedID;
};
