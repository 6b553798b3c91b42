#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QTimer>
#include <QVariant>

#include <memory>
#include <optional>

// Typed, fault-tolerant access to the per-user INI store. Reads never fail: a value that is
// missing or cannot be understood gives nothing (or the registered default), so a damaged file
// reads as defaults. Writes go to QSettings at once; a file that cannot be written is reported
// once in the log.
//
// Writing the file costs about a millisecond (QSettings locks it, writes a copy and syncs it to
// disk), while a drag assigns a value on every pointer event. So the first change after a quiet
// spell reaches the file in the next turn of the event loop, and changes that follow within
// the write interval are written together at its end: at most two file writes a second, and no
// change waits longer than the interval.
class KeyValueStore : public QObject {
    Q_OBJECT
public:
    // The user's store: $XDG_CONFIG_HOME/Purrtick/Purrtick.conf.
    KeyValueStore();
    // A store kept in the INI file at `path`.
    static constexpr int kDefaultWriteIntervalMs = 500;

    explicit KeyValueStore(const QString& path, int writeIntervalMs = kDefaultWriteIntervalMs);
    ~KeyValueStore() override;

    QString fileName() const;

    // Values used by boolean reads when a key holds nothing.
    void registerDefaults(const QHash<QString, bool>& defaults);

    bool readBool(const QString& key) const;
    // The stored boolean, or `fallback` when the key holds none (registered defaults aside).
    bool readBool(const QString& key, bool fallback) const;
    // Absent, unreadable and non-finite values read as 0.
    double readDouble(const QString& key) const;
    std::optional<QString> readText(const QString& key) const;
    std::optional<QByteArray> readData(const QString& key) const;

    void writeBool(const QString& key, bool value);
    void writeDouble(const QString& key, double value);
    void writeText(const QString& key, const QString& value);
    void writeData(const QString& key, const QByteArray& value);
    void remove(const QString& key);

    // Writes pending changes to the file now. Returns false when the file cannot be written.
    bool flush();
    // How many times the file was written (or a write was tried).
    int fileWrites() const { return m_fileWrites; }

    static KeyValueStore& shared();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void write(const QString& key, const QVariant& value);
    void scheduleFlush();
    void reopen();
    std::optional<bool> storedBool(const QString& key) const;

    QString m_path;
    std::unique_ptr<QSettings> m_settings;
    // Writes not yet known to be in the file (an absent value is a removal). QSettings keeps
    // its first error for good, so after an error the store reopens the file before the next
    // write and applies these again.
    QHash<QString, std::optional<QVariant>> m_unsynced;
    QHash<QString, bool> m_registeredBools;
    QTimer m_flushTimer;
    QElapsedTimer m_sinceLastWrite;
    int m_writeIntervalMs;
    int m_fileWrites = 0;
    bool m_reportedFailure = false;
    bool m_reopenBeforeSync = false;
};
