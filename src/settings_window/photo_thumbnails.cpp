#include "settings_window/photo_thumbnails.h"

#include "cats/image_decoding.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThreadPool>

namespace {

QString loadingKey(const QString& path, int side) {
    return path + QLatin1Char('@') + QString::number(side);
}

} // namespace

PhotoThumbnails::PhotoThumbnails(QObject* parent)
    : QObject(parent) {}

PhotoThumbnails::~PhotoThumbnails() = default;

PhotoThumbnails::Key PhotoThumbnails::keyOf(const QString& path, int side) {
    const QFileInfo info(path);
    return Key{path, side, info.size(), info.lastModified()};
}

PhotoThumbnails::Result PhotoThumbnails::thumbnail(const QString& path, int side) {
    const Key key = keyOf(path, side);
    if (const auto found = m_done.constFind(key); found != m_done.constEnd())
        return *found ? Result{Status::ready, **found} : Result{Status::unreadable, {}};
    const QString loading = loadingKey(path, side);
    if (m_loading.contains(loading))
        return {Status::loading, {}};
    m_loading.insert(loading);
    std::weak_ptr<PhotoThumbnails*> alive = m_alive;
    QThreadPool::globalInstance()->start([key, loading, alive] {
        // A grid that went away before its turn came needs nothing decoded.
        if (alive.expired())
            return;
        std::optional<QImage> image =
            ImageDecoding::decodeFile(key.path, QSize(key.side, key.side));
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [key, loading, alive, image = std::move(image)] {
                const std::shared_ptr<PhotoThumbnails*> self = alive.lock();
                if (!self)
                    return;
                (*self)->m_loading.remove(loading);
                (*self)->keep(key, image);
                emit(*self)->ready(key.path);
            },
            Qt::QueuedConnection);
    });
    return {Status::loading, {}};
}

void PhotoThumbnails::keep(const Key& key, const std::optional<QImage>& image) {
    if (!m_done.contains(key))
        m_order.append(key);
    m_done.insert(key, image);
    while (m_order.size() > kCapacity)
        m_done.remove(m_order.takeFirst());
}
