#include "app/app_identity.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

namespace AppIdentity {

QString applicationId() {
    return QStringLiteral(PURRTICK_APP_ID);
}

namespace {

// The PNG sizes of the icon under a folder laid out as the hicolor theme is, smallest first.
QList<QPair<int, QString>> iconFiles(const QString& hicolor) {
    QList<QPair<int, QString>> files;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString file =
            QStringLiteral("%1/%2x%2/apps/%3.png").arg(hicolor).arg(size).arg(applicationId());
        if (QFileInfo::exists(file))
            files.append({size, file});
    }
    return files;
}

// The folder of the icon beside the program, when there is one.
QString& ownIconFolder() {
    static QString folder;
    return folder;
}

// A PNG file read as PNG: letting Qt work the format out would load every image format
// plugin (TIFF, WebP, MNG and their libraries) to ask each whether it knows the file.
QPixmap readPng(const QString& file) {
    QImageReader reader(file, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImageReader(&reader);
}

} // namespace

QIcon icon() {
    // Made when first asked for (the about window): a start needs only the window icon.
    static const QIcon full = [] {
        QIcon icon;
        for (const auto& [size, file] : iconFiles(ownIconFolder()))
            icon.addPixmap(readPng(file));
        return icon.isNull() ? QIcon::fromTheme(applicationId()) : icon;
    }();
    return full;
}

void install(QApplication& application) {
    QApplication::setDesktopFileName(applicationId());
    // An installed copy finds its icon in <prefix>/share/icons, which the desktop's data
    // folders usually hold already; a build tree keeps its icons in build/icons.
    const QDir binary(QCoreApplication::applicationDirPath());
    // Without an icon theme (a bare window manager) the icon is read from those folders.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& folder : {binary.absoluteFilePath(QStringLiteral("../share/icons")),
                                  binary.absoluteFilePath(QStringLiteral("../icons"))}) {
        const QString clean = QDir::cleanPath(folder);
        if (!QDir(clean).exists())
            continue;
        if (!paths.contains(clean))
            paths.append(clean);
        if (ownIconFolder().isEmpty() && !iconFiles(clean + QStringLiteral("/hicolor")).isEmpty())
            ownIconFolder() = clean + QStringLiteral("/hicolor");
    }
    QIcon::setThemeSearchPaths(paths);
    // Window icons go to the window manager as pixels (_NET_WM_ICON) on every window, the
    // widget's included: the sizes a title bar or a switcher shows are enough. The 256 and 512
    // pixel pictures alone would add over a megabyte to every window. The icon beside the
    // program is taken as it is: asking the icon theme would read every theme's index at start,
    // for the same picture.
    QIcon windowIcon;
    for (const auto& [size, file] : iconFiles(ownIconFolder()))
        if (size <= kLargestWindowIcon)
            windowIcon.addPixmap(readPng(file));
    application.setWindowIcon(windowIcon.isNull() ? icon() : windowIcon);
}

} // namespace AppIdentity
