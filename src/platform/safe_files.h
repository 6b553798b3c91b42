#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;

// Every file the program writes goes through here, so that a full disk, a read-only folder or
// a killed process never leaves a damaged or empty file where a good one was; and files the
// program reads on a user's word are read within a bound.
namespace SafeFiles {

// Makes `bytes` the whole content of the file at `path`. A regular file (or a new one) is
// written beside its final name, synced and renamed into place, keeping the old file's mode;
// on any failure the old file is untouched and nothing is left beside it. A path naming a
// device or a pipe is written directly. Every step is checked; false with the reason in
// `error` when any fails.
bool write(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Opens `file` for reading when it is a regular file of at most `maxBytes`; false, with the
// reason, for anything else: a device, a pipe, a folder, a missing, unreadable or larger file.
bool openRegular(QFile& file, qint64 maxBytes, QString* error = nullptr);

// The whole content of a regular file of at most `maxBytes`; nothing (with the reason) for
// anything else: a device, a pipe, a folder, a missing, unreadable or larger file.
std::optional<QByteArray> readRegular(const QString& path, qint64 maxBytes,
                                      QString* error = nullptr);

} // namespace SafeFiles
