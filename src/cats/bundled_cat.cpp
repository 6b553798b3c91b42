#include "cats/bundled_cat.h"

#include "cats/image_decoding.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

const QString kBundleName = QStringLiteral("Purrtick_Purrtick.bundle");
const QString kCatsFolder = QStringLiteral("Cats");
// Smaller rasters of the same pictures, in folders of the Cats folder named by their side in
// pixels, smallest first. A picture drawn small decodes the smallest that is large enough: a
// 256-pixel PNG decodes sixteen times faster than the full 1024 pixels.
constexpr int kSmallerSides[] = {256, 512};

} // namespace

bool BundledCat::isHangulOnly(const QString& name) {
    return !name.isEmpty() && std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3;
    });
}

BundledCat::BundledCat(const QString& bundleDirectory)
    : m_catsFolder(QDir(bundleDirectory).filePath(kCatsFolder)) {
    readNames(m_catsFolder);
    build(m_catsFolder);
}

BundledCat& BundledCat::shared() {
    static BundledCat catalogue(findBundle());
    return catalogue;
}

QStringList BundledCat::bundleCandidates() {
    const QString executableDir = QCoreApplication::applicationDirPath();
    return {QDir::cleanPath(executableDir + QStringLiteral("/../share/purrtick")), executableDir};
}

QString BundledCat::findBundle() {
    for (const QString& candidate : bundleCandidates()) {
        const QString bundle = QDir(candidate).filePath(kBundleName);
        if (QFileInfo(bundle).isDir())
            return bundle;
    }
    return QCoreApplication::applicationDirPath();
}

const QStringList& BundledCat::imageExtensions() {
    static const QStringList extensions{QStringLiteral("png"),  QStringLiteral("jpg"),
                                        QStringLiteral("jpeg"), QStringLiteral("tiff"),
                                        QStringLiteral("tif"),  QStringLiteral("heic"),
                                        QStringLiteral("gif"),  QStringLiteral("webp")};
    return extensions;
}

void BundledCat::readNames(const QString& catsFolder) {
    QFile file(QDir(catsFolder).filePath(QStringLiteral("names.json")));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return;
    QHash<QString, QString> names;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        // All entries must be texts, or the index is ignored as a whole.
        if (!it.value().isString())
            return;
        names.insert(it.key(), it.value().toString());
    }
    m_displayNames = std::move(names);
}

void BundledCat::build(const QString& catsFolder) {
    const QFileInfoList entries =
        QDir(catsFolder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (!imageExtensions().contains(entry.suffix().toLower()))
            continue;
        m_paths.insert(entry.fileName(), entry.filePath());
        const QString base = entry.completeBaseName();
        m_skins.append(CatSkin::bundled(m_displayNames.value(base, base), entry.fileName()));
    }
}

const QList<CatSkin>& BundledCat::skins() const {
    if (m_sorted)
        return m_skins;
    m_sorted = true;
    // Names made of Hangul syllables alone sort by their code points: the syllables are
    // encoded in the order every collation puts them in (leading consonant, vowel, trailing
    // consonant), with no case and no digits. The collator, and the ICU data behind it
    // (several megabytes), is then not loaded at all.
    if (std::all_of(m_skins.cbegin(), m_skins.cend(),
                    [](const CatSkin& skin) { return isHangulOnly(skin.name); })) {
        std::stable_sort(m_skins.begin(), m_skins.end(),
                         [](const CatSkin& a, const CatSkin& b) { return a.name < b.name; });
        return m_skins;
    }
    // As a file browser sorts: case-insensitive, digit runs by value, by the user's locale.
    // Qt's collator compares plain code points in the C locale (no numeric mode), so a C or
    // POSIX session sorts by the root collation instead.
    const QLocale system = QLocale::system();
    QCollator collator(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(m_skins.begin(), m_skins.end(), [&](const CatSkin& a, const CatSkin& b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return m_skins;
}

std::optional<CatSkin> BundledCat::skin(const QString& id) const {
    for (const CatSkin& skin : m_skins)
        if (skin.id == id)
            return skin;
    return std::nullopt;
}

std::optional<QImage> BundledCat::image(const QString& fileName) {
    if (const auto cached = m_cache.constFind(fileName); cached != m_cache.constEnd())
        return *cached;
    const auto path = m_paths.constFind(fileName);
    if (path == m_paths.constEnd())
        return std::nullopt;
    std::optional<QImage> decoded = ImageDecoding::decodeFile(*path);
    if (decoded)
        m_cache.insert(fileName, *decoded);
    return decoded;
}

QSize BundledCat::imageSize(const QString& fileName) {
    if (const auto known = m_sizes.constFind(fileName); known != m_sizes.constEnd())
        return *known;
    const auto path = m_paths.constFind(fileName);
    if (path == m_paths.constEnd())
        return {};
    // Read as what its name says: working the format out would load every image plugin.
    QImageReader reader(*path, QFileInfo(*path).suffix().toLower().toLatin1());
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    if (size.isEmpty())
        return {};
    m_sizes.insert(fileName, size);
    return size;
}

std::optional<QImage> BundledCat::imageAt(const QString& fileName, QSize pixels) {
    const auto path = m_paths.constFind(fileName);
    if (path == m_paths.constEnd())
        return std::nullopt;
    const int wanted = std::max(pixels.width(), pixels.height());
    for (const int side : kSmallerSides) {
        if (side < wanted)
            continue;
        const QString smaller =
            QDir(m_catsFolder).filePath(QString::number(side) + QLatin1Char('/') + fileName);
        if (!QFileInfo::exists(smaller))
            continue;
        if (std::optional<QImage> decoded = ImageDecoding::decodeFile(smaller, pixels))
            return decoded;
    }
    return ImageDecoding::decodeFile(*path, pixels);
}
