#include "cats/cat_skin.h"

namespace {

// The standard grey and white of the figure's drawings.
const QColor kSystemGray(0x8E, 0x8E, 0x93);
const QColor kWhite(Qt::white);

} // namespace

const CatSkin& CatSkin::fallback() {
    static const CatSkin skin{kFallbackID.toString(),
                              QStringLiteral("치즈냥"),
                              QColor::fromRgbF(0.95f, 0.66f, 0.3f, 1.0f),
                              kWhite,
                              std::nullopt,
                              false,
                              std::nullopt};
    return skin;
}

const CatSkin& CatSkin::custom() {
    static const CatSkin skin{
        kCustomID.toString(), QStringLiteral("내 사진"), kSystemGray, kWhite, std::nullopt, true,
        std::nullopt};
    return skin;
}

CatSkin CatSkin::bundled(const QString& displayName, const QString& fileName) {
    return CatSkin{kBundledPrefix.toString() + displayName,
                   displayName,
                   kSystemGray,
                   kWhite,
                   std::nullopt,
                   false,
                   fileName};
}
