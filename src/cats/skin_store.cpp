#include "cats/skin_store.h"

#include "settings/settings.h"

SkinStore::SkinStore(Settings& settings, BundledCat& catalogue, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_catalogue(catalogue) {
    // Not written back: the setting stays absent until the user chooses.
    if (const std::optional<QString> stored = settings.catSkinID())
        m_selectedID = *stored;
    else if (!catalogue.skins().isEmpty())
        m_selectedID = catalogue.skins().front().id;
    else
        m_selectedID = CatSkin::kFallbackID.toString();
}

SkinStore& SkinStore::shared() {
    static SkinStore* store = new SkinStore(Settings::shared(), BundledCat::shared());
    return *store;
}

void SkinStore::setSelectedID(const QString& id) {
    const bool differs = id != m_selectedID;
    m_selectedID = id;
    m_settings.setCatSkinID(id);
    if (differs)
        emit selectedIDChanged();
}

CatSkin SkinStore::skin() const {
    if (m_selectedID == CatSkin::kCustomID)
        return CatSkin::custom();
    if (const std::optional<CatSkin> chosen = m_catalogue.skin(m_selectedID))
        return *chosen;
    const QList<CatSkin>& skins = m_catalogue.skins();
    return skins.isEmpty() ? CatSkin::fallback() : skins.front();
}
