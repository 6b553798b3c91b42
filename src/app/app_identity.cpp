#include "app/app_identity.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace AppIdentity {

QString applicationId() {
    return QStringLiteral(PURRTICK_APP_ID);
}

namespace {

// The icon from the PNG sizes under a folder laid out as the hicolor theme is; null when none.
QIcon iconFromFolder(const QString& hicolor) {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString file =
            QStringLiteral("%1/%2x%2/apps/%3.png").arg(hicolor).arg(size).arg(applicationId());
        if (QFileInfo::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

QIcon& fullIcon() {
    static QIcon icon;
    return icon;
}

} // namespace

QIcon icon() {
    return fullIcon();
}

void install(QApplication& application) {
    QApplication::setDesktopFileName(applicationId());
    // An installed copy finds its icon in <prefix>/share/icons, which the desktop's data
    // folders usually hold already; a build tree keeps its icons in build/icons.
    const QDir binary(QCoreApplication::applicationDirPath());
    // Without an icon theme (a bare window manager) the icon is read from those folders.
    QStringList paths = QIcon::themeSearchPaths();
    QIcon own;
    for (const QString& folder : {binary.absoluteFilePath(QStringLiteral("../share/icons")),
                                  binary.absoluteFilePath(QStringLiteral("../icons"))}) {
        const QString clean = QDir::cleanPath(folder);
        if (!QDir(clean).exists())
            continue;
        if (!paths.contains(clean))
            paths.append(clean);
        if (own.isNull())
            own = iconFromFolder(clean + QStringLiteral("/hicolor"));
    }
    QIcon::setThemeSearchPaths(paths);
    // The icon beside the program is taken as it is: asking the icon theme would read every
    // theme's index at start, for the same picture.
    fullIcon() = own.isNull() ? QIcon::fromTheme(applicationId()) : own;
    // Window icons go to the window manager as pixels (_NET_WM_ICON) on every window, the
    // widget's included: the sizes a title bar or a switcher shows are enough. The 256 and 512
    // pixel pictures alone would add over a megabyte to every window.
    QIcon windowIcon;
    for (const QSize& size : fullIcon().availableSizes())
        if (size.width() <= kLargestWindowIcon)
            windowIcon.addPixmap(fullIcon().pixmap(size));
    application.setWindowIcon(windowIcon.isNull() ? fullIcon() : windowIcon);
}

} // namespace AppIdentity
