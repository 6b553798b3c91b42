#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A path inside `dir` below a plain file, so nothing can ever be created there: unlike
// permission bits, this holds for root too.
inline QString pathBelowAPlainFile(const QTemporaryDir& dir, const QString& blocker,
                                   const QString& rest) {
    QFile plain(dir.filePath(blocker));
    if (plain.open(QIODevice::WriteOnly))
        plain.close();
    return dir.filePath(blocker + QLatin1Char('/') + rest);
}
