#include "settings_window/photo_library_model.h"

#include "cats/skin_store.h"
#include "settings/settings.h"

PhotoLibraryModel::PhotoLibraryModel(CustomCat& library, Settings& settings, SkinStore& skins,
                                     QObject* parent)
    : QObject(parent)
    , m_library(library)
    , m_settings(settings)
    , m_skins(skins) {}

bool PhotoLibraryModel::isNormal(const QString& file) const {
    return m_settings.customCatFileName() == file;
}

bool PhotoLibraryModel::isDone(const QString& file) const {
    return m_settings.customCatDoneFileName() == file;
}

void PhotoLibraryModel::bump() {
    ++m_tick;
    emit customTickChanged();
}

void PhotoLibraryModel::assign(const QString& file, CustomCat::Slot slot) {
    if (slot == CustomCat::Slot::normal) {
        m_settings.setCustomCatFileName(file);
        m_skins.setSelectedID(CatSkin::kCustomID.toString());
    } else {
        m_settings.setCustomCatDoneFileName(file);
    }
    bump();
}

void PhotoLibraryModel::clearDone() {
    m_settings.setCustomCatDoneFileName(std::nullopt);
    bump();
}

void PhotoLibraryModel::removePhoto(const QString& file) {
    m_library.remove(file);
    if (!m_settings.customCatFileName() && m_skins.selectedID() == CatSkin::kCustomID) {
        const QList<CatSkin>& builtIn = m_skins.catalogue().skins();
        m_skins.setSelectedID(builtIn.isEmpty() ? CatSkin::kFallbackID.toString()
                                                : builtIn.front().id);
    }
    bump();
}

PhotoLibraryModel::Added PhotoLibraryModel::addPhotos(const QStringList& paths) {
    std::optional<QString> first;
    Added added;
    for (const QString& path : paths) {
        const std::optional<QString> name = m_library.add(path);
        ++(name ? added.stored : added.failed);
        if (name && !first)
            first = name;
    }
    if (!m_settings.customCatFileName() && first) {
        m_settings.setCustomCatFileName(*first);
        m_skins.setSelectedID(CatSkin::kCustomID.toString());
    }
    bump();
    return added;
}

bool PhotoLibraryModel::saveEdited(const QByteArray& png, const QString& replacing) {
    const std::optional<QString> name = m_library.addPNG(png);
    if (!name)
        return false;
    m_library.transferRoles(replacing, *name);
    bump();
    return true;
}
