#include "cats/custom_cat.h"

#include "cats/image_decoding.h"
#include "platform/log.h"
#include "platform/safe_files.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThreadPool>
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
    , m_cacheBudget(cacheBytes) {
    // A new role assignment is a reason to try a photo that failed again.
    for (auto signal :
         {&Settings::customCatFileNameChanged, &Settings::customCatDoneFileNameChanged})
        m_roleWatch.append(QObject::connect(&settings, signal, [this] { m_failures.clear(); }));
}

CustomCat::~CustomCat() {
    for (const QMetaObject::Connection& connection : std::as_const(m_roleWatch))
        QObject::disconnect(connection);
}

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
    // Oldest first; a file whose birth time is unknown counts as the most distant past. Linux
    // file systems stamp files with a clock that advances every few milliseconds, so photos
    // added in one go share a birth time: their modification times, which adding makes
    // distinct and increasing, keep them in the order they were added.
    auto order = [](const QFileInfo& info) {
        const QDateTime birth = info.birthTime();
        return std::pair(birth.isValid() ? birth.toMSecsSinceEpoch()
                                         : std::numeric_limits<qint64>::min(),
                         info.lastModified().toMSecsSinceEpoch());
    };
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const QFileInfo& a, const QFileInfo& b) { return order(a) < order(b); });
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
    QString error;
    const std::optional<QByteArray> bytes =
        SafeFiles::readRegular(sourcePath, ImageDecoding::kMaxFileBytes, &error);
    if (!bytes)
        return fail(sourcePath + QStringLiteral(": ") + error);
    QString extension = QFileInfo(sourcePath).suffix();
    if (extension.isEmpty())
        extension = QStringLiteral("png");
    const QString name = newName(extension);
    if (!SafeFiles::write(QDir(m_library).filePath(name), *bytes, &error))
        return fail(error);
    stampAsNewest(name);
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
    QString error;
    if (!SafeFiles::write(QDir(m_library).filePath(name), png, &error))
        return fail(error);
    stampAsNewest(name);
    return name;
}

void CustomCat::stampAsNewest(const QString& name) {
    QDateTime now = QDateTime::currentDateTimeUtc();
    if (m_lastAdded.isValid() && now <= m_lastAdded)
        now = m_lastAdded.addMSecs(1);
    m_lastAdded = now;
    QFile file(QDir(m_library).filePath(name));
    if (file.open(QIODevice::ReadWrite))
        file.setFileTime(now, QFileDevice::FileModificationTime);
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

CustomCat::FileStamp CustomCat::FileStamp::of(const QString& path) {
    const QFileInfo info(path);
    return FileStamp{info.size(), info.lastModified()};
}

QString CustomCat::pathOf(const QString& name) const {
    return QDir(m_library).filePath(name);
}

bool CustomCat::failedBefore(const QString& name, const FileStamp& stamp) const {
    const auto failed = m_failures.constFind(name);
    return failed != m_failures.constEnd() && *failed == stamp;
}

void CustomCat::keepResult(const QString& name, const FileStamp& stamp,
                           const std::optional<QImage>& decoded, const QString& error) {
    if (!decoded) {
        m_failures.insert(name, stamp);
        qCWarning(lcPurrtick, "CustomCat 사진을 읽지 못했습니다: %s: %s", qPrintable(name),
                  qPrintable(error));
        return;
    }
    m_failures.remove(name);
    cacheDrop(name);
    cacheInsert(name, *decoded);
}

std::optional<QImage> CustomCat::image(const QString& name) {
    if (const auto cached = m_cache.constFind(name); cached != m_cache.constEnd()) {
        m_recency.removeOne(name);
        m_recency.append(name);
        return *cached;
    }
    if (!isPlainFileName(name))
        return std::nullopt;
    const FileStamp stamp = FileStamp::of(pathOf(name));
    if (failedBefore(name, stamp))
        return std::nullopt;
    QString error;
    const std::optional<QImage> decoded =
        ImageDecoding::decodeFile(pathOf(name), QSize(kDisplaySide, kDisplaySide), &error);
    keepResult(name, stamp, decoded, error);
    return decoded;
}

std::optional<QImage> CustomCat::shownImageWhenReady(bool done) {
    migrateIfNeeded();
    if (done)
        if (const auto doneName = m_settings.customCatDoneFileName())
            if (auto image = imageWhenReady(*doneName))
                return image;
    if (const auto normal = m_settings.customCatFileName())
        return imageWhenReady(*normal);
    return std::nullopt;
}

std::optional<QImage> CustomCat::imageWhenReady(const QString& name) {
    if (const auto cached = m_cache.constFind(name); cached != m_cache.constEnd()) {
        m_recency.removeOne(name);
        m_recency.append(name);
        return *cached;
    }
    if (!isPlainFileName(name) || m_loading.contains(name))
        return std::nullopt;
    const QString path = pathOf(name);
    const FileStamp stamp = FileStamp::of(path);
    if (failedBefore(name, stamp))
        return std::nullopt;
    m_loading.insert(name);
    std::weak_ptr<CustomCat*> alive = m_alive;
    QThreadPool::globalInstance()->start([path, name, stamp, alive] {
        QString error;
        std::optional<QImage> decoded =
            ImageDecoding::decodeFile(path, QSize(kDisplaySide, kDisplaySide), &error);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [name, stamp, alive, decoded = std::move(decoded), error] {
                const std::shared_ptr<CustomCat*> self = alive.lock();
                if (!self)
                    return;
                CustomCat& library = **self;
                library.m_loading.remove(name);
                library.keepResult(name, stamp, decoded, error);
                if (library.onImageReady)
                    library.onImageReady(name);
            },
            Qt::QueuedConnection);
    });
    return std::nullopt;
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
