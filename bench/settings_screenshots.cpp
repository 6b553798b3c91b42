// Saves pictures of every tab of the settings window, in a light and a dark palette, for
// looking at:
//   settings_screenshots OUTPUT_DIR      (QT_SCALE_FACTOR=2 for a 2x display)

#include "settings_window/cat_tab.h"
#include "settings_window/photo_library_model.h"
#include "settings_window/photo_thumbnails.h"
#include "settings_world.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTest>

namespace {

QPalette darkPalette() {
    QPalette p;
    const QColor window(0x2B, 0x2B, 0x2E), base(0x1E, 0x1E, 0x20), text(0xEE, 0xEE, 0xEE);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3E));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor(0x3D, 0x8B, 0xF5));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(0xEE, 0xEE, 0xEE, 0x99));
    p.setColor(QPalette::Light, QColor(0x50, 0x50, 0x55));
    p.setColor(QPalette::Midlight, QColor(0x45, 0x45, 0x4A));
    p.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x33));
    p.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x22));
    p.setColor(QPalette::Shadow, Qt::black);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0xEE, 0xEE, 0xEE, 0x66));
    return p;
}

// Photos of plain shapes on gradients, in both orientations, written as JPEG files.
QStringList samplePhotos(int count, const QString& folder) {
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QSize size = i % 3 == 2 ? QSize(600, 800) : QSize(800, 600);
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient sky(0, 0, 0, size.height());
        sky.setColorAt(0, QColor::fromHsv((i * 47) % 360, 90, 240));
        sky.setColorAt(1, QColor::fromHsv((i * 47 + 60) % 360, 140, 120));
        painter.fillRect(image.rect(), sky);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor::fromHsv((i * 83) % 360, 160, 200));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRectF(size.width() * 0.25, size.height() * 0.3, size.width() * 0.5,
                                   size.height() * 0.55));
        painter.end();
        const QString path = folder + QStringLiteral("/photo-%1.jpg").arg(i);
        image.save(path, "JPEG", 85);
        paths.append(path);
    }
    return paths;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);
    const QString suffix = QStringLiteral("@%1x.png").arg(app.devicePixelRatio());

    // A development run: the login switch is refused, showing the warning.
    SettingsWorld world(false);
    Settings& settings = world.settings;
    TimerEngine& engine = world.engine;

    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        settings.setWidgetMode(WidgetMode::timer);
        engine.setMode(TimerMode::task(25));
        SettingsView::Pickers pickers;
        pickers.colour = [](const QColor& c, QWidget*) { return std::optional<QColor>(c); };
        SettingsView view(
            world.models(), [] {}, pickers);
        view.show();
        const QString look = dark ? QStringLiteral("-dark") : QStringLiteral("-light");
        auto save = [&](const QString& name) {
            QTest::qWait(200);
            view.grab().save(dir + u'/' + name + look + suffix);
        };
        const QStringList names = {QStringLiteral("mode"), QStringLiteral("display"),
                                   QStringLiteral("alert"), QStringLiteral("launch"),
                                   QStringLiteral("cat")};
        for (int i = 0; i < view.tabs()->count(); ++i) {
            view.tabs()->setCurrentIndex(i);
            save(names[i]);
        }
        view.tabs()->setCurrentIndex(0);
        engine.setMode(TimerMode::workOff(18, 30));
        view.hide();
        view.show();
        save(QStringLiteral("mode-commute-clock"));
        engine.setMode(TimerMode::workDuration(9, 0));
        view.hide();
        view.show();
        save(QStringLiteral("mode-commute-duration"));
        settings.setWidgetMode(WidgetMode::clock);
        save(QStringLiteral("mode-clock"));
        view.tabs()->setCurrentIndex(3);
        view.findChild<QAbstractButton*>(QStringLiteral("launchAtLogin"))->click();
        save(QStringLiteral("launch-refused"));

        // The cat tab with an empty library, three photos with both roles, and twenty.
        view.tabs()->setCurrentIndex(4);
        auto* page = qobject_cast<QScrollArea*>(view.tabs()->currentWidget());
        auto savePhotos = [&](const QString& name) {
            // The photo grid is at the bottom of the page.
            QTest::qWait(100);
            page->verticalScrollBar()->setValue(page->verticalScrollBar()->maximum());
            // The cells ask for their thumbnails when first drawn.
            QTest::qWait(50);
            if (!QTest::qWaitFor([&] { return view.catTab()->thumbnails().pending() == 0; }))
                qWarning("thumbnails still loading");
            save(name);
        };
        PhotoLibraryModel& photos = view.photoLibrary();
        for (const QString& file : photos.files())
            photos.removePhoto(file);
        save(QStringLiteral("cat-empty"));
        photos.addPhotos(samplePhotos(3, world.temp.filePath(QStringLiteral("samples"))));
        photos.assign(photos.files().at(1), CustomCat::Slot::done);
        savePhotos(QStringLiteral("cat-3-photos"));
        photos.assign(photos.files().at(1), CustomCat::Slot::normal);
        savePhotos(QStringLiteral("cat-3-photos-both-roles"));
        photos.addPhotos(samplePhotos(17, world.temp.filePath(QStringLiteral("more"))));
        savePhotos(QStringLiteral("cat-20-photos-scrolled"));
    }
    return 0;
}
