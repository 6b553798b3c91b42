#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

// A new version of a file written in pieces (a download as it arrives), beside the file in the
// same folder, and put in its place only when it is complete and accepted; discarded otherwise,
// also when the object goes away first. The old file keeps running undisturbed until the
// rename, and its mode carries over (an AppImage stays executable).
class FileReplacement {
public:
    explicit FileReplacement(QString path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates the hidden file beside the target; false with the reason when it cannot.
    bool open(QString* error = nullptr);
    // Adds bytes at the end; false with the reason (a full disk) when they are not all written.
    bool append(const QByteArray& bytes, QString* error = nullptr);
    qint64 size() const { return m_size; }
    // Everything written so far, read-only and mapped rather than read into memory; valid until
    // commit() or discard(). Nothing, with the reason, when it cannot be mapped.
    std::optional<QByteArrayView> contents(QString* error = nullptr);
    // Synced, given the old file's mode and renamed over it.
    bool commit(QString* error = nullptr);
    void discard();

private:
    QString m_path;
    QFile m_part;
    QFile m_reader;
    qint64 m_size = 0;
};
