#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

// Typed, fault-tolerant access to the per-user INI store. Reads never fail: a value that is
// missing or cannot be understood gives nothing (or the registered default), so a damaged file
// reads as defaults. Writes go to QSettings at once and reach the file within the same turn of
// the event loop; a file that cannot be written is reported once in the log.
class KeyValueStore : public QObject {
    Q_OBJECT
public:
    // The user's store: $XDG_CONFIG_HOME/Purrtick/Purrtick.conf.
    KeyValueStore();
    // A store kept in the INI file at `path`.
    explicit KeyValueStore(const QString& path);
    ~KeyValueStore() override;

    QString fileName() const;

    // Values used by boolean reads when a key holds nothing.
    void registerDefaults(const QHash<QString, bool>& defaults);

    bool readBool(const QString& key) const;
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

    static KeyValueStore& shared();

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
    bool m_flushScheduled = false;
    bool m_reportedFailure = false;
    bool m_reopenBeforeSync = false;
};
