#include "cats/segmentation_model_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace SegmentationModelFile {

QString downloadPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Purrtick/models/") + QLatin1String(kFileName);
}

namespace {

QString environmentFolder(const QProcessEnvironment& environment) {
    return environment.value(QStringLiteral("PURRTICK_MODEL_DIR"));
}

} // namespace

QStringList candidates(const QProcessEnvironment& environment) {
    QStringList paths;
    const QString own = environmentFolder(environment);
    if (!own.isEmpty())
        paths.append(QDir(own).filePath(QLatin1String(kFileName)));
    paths.append(downloadPath());
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                              QStringLiteral("/../share/purrtick/models"));
    paths.append(QDir(installed).filePath(QLatin1String(kFileName)));
    return paths;
}

std::optional<QString> find(const QProcessEnvironment& environment) {
    const QString own = environmentFolder(environment);
    for (const QString& path : candidates(environment)) {
        if (QFileInfo(path).isFile())
            return path;
        if (!own.isEmpty() && QFileInfo(path).path() == QDir(own).path()) {
            const QStringList converted = QDir(own).entryList(
                {QStringLiteral("u2netp_*.onnx")}, QDir::Files | QDir::Readable, QDir::Name);
            if (!converted.isEmpty())
                return QDir(own).filePath(converted.front());
        }
    }
    return std::nullopt;
}

} // namespace SegmentationModelFile
