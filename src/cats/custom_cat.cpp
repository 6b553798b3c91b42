#include "cats/custom_cat.h"

#include "cats/image_decoding.h"
#include "platform/log.h"
#include "settings/settings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

namespace {

const QString kLegacyPrefix = QStringLiteral("customCat");

QString uuidText() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

} // namespace

CustomCat::CustomCat(const QString& root, Settings& settings, qint64 cacheBytes)
    : m_root(root)
    , m_library(QDir(root).filePath(QStringLiteral("library")))
    , m_settings(settings)
    , m_cacheBudget(cacheBytes) {}

CustomCat& CustomCat::shared() {
    static CustomCat library(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                 QStringLiteral("/Purrtick"),
                             Settings::shared());
    return library;
}

bool CustomCat::isPlainFileName(const QString& name) {
    return !name.isEmpty() && name != QStringLiteral(".") && name != QStringLiteral("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

void CustomCat::migrateIfNeeded() {
    if (m_migrated)
        return;
    m_migrated = true;
    QDir().mkpath(m_library);
    const QFileInfoList entries = QDir(m_root).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        if (!entry.fileName().startsWith(kLegacyPrefix) || entry.isDir())
            continue;
        const QString destination = QDir(m_library).filePath(entry.fileName());
        if (!QFileInfo::exists(destination) && !QFileInfo(destination).isSymLink())
            QFile::rename(entry.filePath(), destination);
    }
}

QStringList CustomCat::libraryFiles() {
    migrateIfNeeded();
    QFileInfoList entries = QDir(m_library).entryInfoList(QDir::Files, QDir::Unsorted);
    // Oldest first; a file whose birth time is unknown counts as the most distant past.
    auto created = [](const QFileInfo& info) {
        const QDateTime birth = info.birthTime();
        return birth.isValid() ? birth.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
    };
    std::stable_sort(entries.begin(), entries.end(), [&](const QFileInfo& a, const QFileInfo& b) {
        return created(a) < created(b);
    });
    QStringList names;
    for (const QFileInfo& entry : entries)
        names.append(entry.fileName());
    return names;
}

QString CustomCat::newName(const QString& extension) const {
    return QStringLiteral("cat-") + uuidText() + QLatin1Char('.') + extension;
}

std::optional<QString> CustomCat::add(const QString& sourcePath) {
    migrateIfNeeded();
    auto fail = [](const QString& why) -> std::optional<QString> {
        qCWarning(lcPurrtick, "CustomCat 추가 실패: %s", qPrintable(why));
        return std::nullopt;
    };
    if (!QDir().mkpath(m_library))
        return fail(QStringLiteral("사진 폴더를 만들 수 없습니다: ") + m_library);
    QString extension = QFileInfo(sourcePath).suffix();
    if (extension.isEmpty())
        extension = QStringLiteral("png");
    const QString name = newName(extension);
    QFile source(sourcePath);
    if (!source.copy(QDir(m_library).filePath(name)))
        return fail(source.errorString());
    return name;
}

std::optional<QString> CustomCat::addPNG(const QByteArray& png) {
    migrateIfNeeded();
    auto fail = [](const QString& why) -> std::optional<QString> {
        qCWarning(lcPurrtick, "CustomCat 저장 실패: %s", qPrintable(why));
        return std::nullopt;
    };
    if (!QDir().mkpath(m_library))
        return fail(QStringLiteral("사진 폴더를 만들 수 없습니다: ") + m_library);
    const QString name = newName(QStringLiteral("png"));
    // Written beside the final name and renamed into place, so a crash never leaves a
    // truncated photo in the library.
    QSaveFile file(QDir(m_library).filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(png) != png.size() || !file.commit())
        return fail(file.errorString());
    return name;
}

void CustomCat::remove(const QString& name) {
    if (!isPlainFileName(name))
        return;
    QFile::remove(QDir(m_library).filePath(name));
    cacheDrop(name);
    if (m_settings.customCatFileName() == name)
        m_settings.setCustomCatFileName(std::nullopt);
    if (m_settings.customCatDoneFileName() == name)
        m_settings.setCustomCatDoneFileName(std::nullopt);
}

std::optional<QImage> CustomCat::image(const QString& name) {
    if (const auto cached = m_cache.constFind(name); cached != m_cache.constEnd()) {
        m_recency.removeOne(name);
        m_recency.append(name);
        return *cached;
    }
    if (!isPlainFileName(name))
        return std::nullopt;
    QFile file(QDir(m_library).filePath(name));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<QImage> decoded = ImageDecoding::decode(file.readAll());
    if (decoded)
        cacheInsert(name, *decoded);
    return decoded;
}

void CustomCat::transferRoles(const QString& from, const QString& to) {
    if (m_settings.customCatFileName() == from)
        m_settings.setCustomCatFileName(to);
    if (m_settings.customCatDoneFileName() == from)
        m_settings.setCustomCatDoneFileName(to);
}

void CustomCat::cacheInsert(const QString& name, const QImage& image) {
    m_cache.insert(name, image);
    m_recency.append(name);
    m_cachedBytes += image.sizeInBytes();
    // The newest photo always stays, even alone over the budget.
    while (m_cachedBytes > m_cacheBudget && m_recency.size() > 1)
        cacheDrop(m_recency.front());
}

void CustomCat::cacheDrop(const QString& name) {
    const auto it = m_cache.find(name);
    if (it == m_cache.end())
        return;
    m_cachedBytes -= it->sizeInBytes();
    m_cache.erase(it);
    m_recency.removeOne(name);
}
