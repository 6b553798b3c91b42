// The cat tab over a library of 100 phone photos (12 megapixels, JPEG): how long the tab takes
// to appear with its placeholders, how long until every thumbnail is drawn, and how much memory
// that adds:
//   cat_tab_library [COUNT]   (on the X session: tests/e2e/x11-session --
//   build/bin/cat_tab_library)
#include "app/app_delegate.h"
#include "resident_memory.h"
#include "settings_window/cat_tab.h"
#include "settings_window/photo_cell.h"
#include "settings_window/photo_thumbnails.h"
#include "settings_window/skin_preview.h"
#include "settings_world.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTest>

#include <cstdio>

namespace {

// A 4000 × 3000 JPEG with enough texture to weigh what a phone photo weighs (3 to 4 MB).
QByteArray phonePhoto() {
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient light(0, 0, 4000, 3000);
    light.setColorAt(0, QColor(200, 170, 120));
    light.setColorAt(1, QColor(60, 80, 40));
    painter.fillRect(image.rect(), light);
    painter.end();
    QRandomGenerator noise(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int d = int(noise.bounded(28)) - 14;
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + d, 255), qBound(0, qGreen(p) + d, 255),
                           qBound(0, qBlue(p) + d, 255));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

// Notes when each watched widget is first painted.
class FirstPaint : public QObject {
public:
    FirstPaint(const QList<QWidget*>& watched, const QElapsedTimer& clock)
        : m_clock(clock)
        , m_left(int(watched.size())) {
        for (QWidget* widget : watched)
            widget->installEventFilter(this);
    }
    bool done() const { return m_left == 0; }
    double lastMs() const { return m_last; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            --m_left;
            m_last = double(m_clock.nsecsElapsed()) / 1e6;
        }
        return false;
    }

private:
    const QElapsedTimer& m_clock;
    int m_left;
    double m_last = 0;
};

// Selects the cat tab; milliseconds until its last built-in cat and its first photo cell (or
// the empty library's note) have been painted.
double showCatTab(SettingsView* view) {
    QElapsedTimer clock;
    clock.start();
    view->tabs()->setCurrentIndex(4);
    CatTab* tab = view->catTab();
    QList<QWidget*> watched{tab->findChildren<SkinPreview*>().last()};
    if (!tab->cells().isEmpty())
        watched.append(tab->cells().front());
    FirstPaint painted(watched, clock);
    while (!painted.done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return painted.lastMs();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100;
    SettingsWorld world(true);

    const QByteArray photo = phonePhoto();
    const QString library = world.photos.libraryFolder();
    QDir().mkpath(library);
    for (int i = 0; i < count; ++i) {
        QFile file(
            QDir(library).filePath(QStringLiteral("cat-%1.jpg").arg(i, 3, 10, QLatin1Char('0'))));
        file.open(QIODevice::WriteOnly);
        file.write(photo);
    }
    std::printf("%d photos of %.1f MB each\n", count, photo.size() / 1e6);

    AppDelegate delegate(world.settings, world.layout, world.engine);
    delegate.setSettingsPageFactory([&world](std::function<void()> onClose) {
        return new SettingsView(world.models(), std::move(onClose));
    });
    delegate.openSettings();
    QWidget* window = delegate.settingsWindow();
    if (!QTest::qWaitForWindowExposed(window))
        std::fputs("the window was not shown\n", stderr);
    QApplication::processEvents();
    auto* view = window->findChild<SettingsView*>();

    const double before = residentMB();
    QElapsedTimer timer;
    timer.start();
    const double shown = showCatTab(view);
    CatTab* tab = view->catTab();
    // Every cell is asked to draw (the page shows only a few rows; scrolling shows the rest).
    for (PhotoCell* cell : tab->cells())
        cell->grab();
    if (!QTest::qWaitFor([&] { return tab->thumbnails().pending() == 0; }, 60000))
        std::fputs("thumbnails still loading after 60 s\n", stderr);
    const double allThumbnails = double(timer.nsecsElapsed()) / 1e6;
    QApplication::processEvents();
    const double after = residentMB();

    view->tabs()->setCurrentIndex(0);
    QApplication::processEvents();
    const double again = showCatTab(view);

    std::printf("tab shown with placeholders: %.0f ms\nall %d thumbnails: %.0f ms\n", shown,
                int(tab->cells().size()), allThumbnails);
    std::printf("tab shown again (thumbnails cached): %.0f ms\n", again);
    std::printf("resident memory: %.1f MB before, %.1f MB after (+%.1f MB)\n", before, after,
                after - before);
    return 0;
}
