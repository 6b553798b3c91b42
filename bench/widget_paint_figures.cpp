// What the widget paints per second while it counts down or shows the clock with seconds: how
// many paints, how many pixels they cover, and how long they take, at scales 1 and 3. The widget
// is shown as the program shows it and runs on the real clock.
//   widget_paint_figures [SECONDS [ONLY]]   (QT_QPA_PLATFORM=offscreen, or on the X session)
// ONLY picks one case by the start of its label, for profiling: "countdown, scale 3".
#include "cats/bundled_cat.h"
#include "cats/custom_cat.h"
#include "cats/skin_store.h"
#include "platform/alert_sound.h"
#include "platform/clock.h"
#include "settings/key_value_store.h"
#include "settings/layout_store.h"
#include "settings/settings.h"
#include "timing/clock_engine.h"
#include "timing/timer_engine.h"
#include "widget/widget_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

class SilentSound final : public AlertSound {
public:
    void play() override {}
};

// Times every paint of the widget and adds up the area it covers, in device pixels.
class PaintMeter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint)
            return false;
        const auto* paint = static_cast<QPaintEvent*>(event);
        const qreal ratio = static_cast<QWidget*>(watched)->devicePixelRatioF();
        for (const QRect& rect : paint->region())
            pixels += qint64(rect.width() * ratio) * qint64(rect.height() * ratio);
        ++paints;
        // Delivered here, so its time can be taken; the normal delivery is then skipped.
        QElapsedTimer timer;
        timer.start();
        watched->removeEventFilter(this);
        QCoreApplication::sendEvent(watched, event);
        watched->installEventFilter(this);
        nanoseconds += timer.nsecsElapsed();
        return true;
    }
    qint64 paints = 0, pixels = 0, nanoseconds = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QTemporaryDir home;
    KeyValueStore store(home.filePath(QStringLiteral("Purrtick.conf")));
    Settings settings(store);
    LayoutStore layout(settings);
    SilentSound sound;
    TimerEngine engine(settings, SystemClock::shared(), sound);
    ClockEngine clock(settings, SystemClock::shared());
    BundledCat pictures(BundledCat::findBundle());
    SkinStore skins(settings, pictures);
    CustomCat library(home.filePath(QStringLiteral("Purrtick")), settings);

    std::printf("%-28s %8s %14s %12s\n", "per second", "paints", "pixels", "paint ms");
    for (const bool clockMode : {false, true}) {
        for (const double scale : {1.0, 3.0}) {
            const QString label = QStringLiteral("%1, scale %2")
                                      .arg(clockMode ? QStringLiteral("clock with seconds")
                                                     : QStringLiteral("countdown"))
                                      .arg(scale);
            if (!label.startsWith(only))
                continue;
            settings.setWidgetMode(clockMode ? WidgetMode::clock : WidgetMode::timer);
            settings.setClockShowSeconds(true);
            layout.setScale(scale);
            engine.reset();
            if (!clockMode)
                engine.start();
            WidgetView view(engine, clock, skins, layout, settings, library);
            view.resize(int(180 * scale), int(190 * scale));
            view.show();
            if (!QTest::qWaitForWindowExposed(&view))
                std::fputs("the widget was not shown\n", stderr);
            view.finishAnimations();
            QTest::qWait(500); // first paints and settling
            PaintMeter meter;
            view.installEventFilter(&meter);
            QTest::qWait(seconds * 1000);
            view.removeEventFilter(&meter);
            std::printf("%-28s %8.1f %14.0f %12.2f\n", qPrintable(label),
                        double(meter.paints) / seconds, double(meter.pixels) / seconds,
                        double(meter.nanoseconds) / 1e6 / seconds);
        }
    }
    engine.reset();
    return 0;
}
