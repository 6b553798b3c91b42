#pragma once

#include <QColor>
#include <QString>

#include <optional>

// One look of the widget's cat: a built-in picture, the drawn symbol cat, or the user's photo.
struct CatSkin {
    QString id;
    QString name;
    QColor bodyColor;
    QColor accent;
    std::optional<QColor> patch;
    bool isCustom = false;
    std::optional<QString> imageFile;

    friend bool operator==(const CatSkin&, const CatSkin&) = default;

    static constexpr QStringView kCustomID = u"custom";
    static constexpr QStringView kFallbackID = u"cheese";
    static constexpr QStringView kBundledPrefix = u"bundled:";

    // The drawn orange cat shown when no built-in picture exists.
    static const CatSkin& fallback();
    // Stands for the user's photo.
    static const CatSkin& custom();
    // A built-in picture under its display name.
    static CatSkin bundled(const QString& displayName, const QString& fileName);
};
