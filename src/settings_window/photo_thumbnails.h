#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// Small pictures of library photos for the photo grid, decoded off the main thread straight at
// the size they are drawn (a JPEG decoder then reads an eighth of a phone photo), and kept by
// file name, pixel size and the file's size and modification time, so a photo written again
// is decoded again.
class PhotoThumbnails : public QObject {
    Q_OBJECT

public:
    // The most thumbnails kept; more than a library shows in one window's worth of scrolling.
    static constexpr int kCapacity = 400;

    explicit PhotoThumbnails(QObject* parent = nullptr);
    ~PhotoThumbnails() override;

    enum class Status { ready, loading, unreadable };
    struct Result {
        Status status;
        QImage image; // when ready
    };

    // The photo at `path` fitted into a square of `side` device pixels. Until it is decoded
    // this reports loading and starts the decode; `ready` follows on the main thread.
    Result thumbnail(const QString& path, int side);

    int pending() const { return int(m_loading.size()); }

signals:
    void ready(const QString& path);

private:
    struct Key {
        QString path;
        int side;
        qint64 size;
        QDateTime modified;
        friend bool operator==(const Key&, const Key&) = default;
    };
    friend size_t qHash(const Key& key, size_t seed) {
        return qHashMulti(seed, key.path, key.side, key.size, key.modified);
    }
    static Key keyOf(const QString& path, int side);
    void keep(const Key& key, const std::optional<QImage>& image);

    QHash<Key, std::optional<QImage>> m_done; // nothing: the file could not be read
    QList<Key> m_order;                       // oldest first, for dropping
    QSet<QString> m_loading;                  // path and side of decodes under way
    std::shared_ptr<PhotoThumbnails*> m_alive = std::make_shared<PhotoThumbnails*>(this);
};
