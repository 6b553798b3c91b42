// One paint of the whole widget into an image, as a redraw on a countdown tick costs, at
// scales 1 and 3, for a built-in picture and the drawn symbol cat, at device pixel ratios 1
// and 2.
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
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

class SilentSound final : public AlertSound {
public:
    void play() override {}
};

struct World {
    QTemporaryDir home;
    KeyValueStore store{home.filePath(QStringLiteral("Purrtick.conf"))};
    Settings settings{store};
    LayoutStore layout{settings};
    SystemClock clock;
    SilentSound sound;
    TimerEngine engine{settings, clock, sound};
    ClockEngine clockEngine{settings, clock};
    BundledCat pictures{BundledCat::findBundle()};
    BundledCat none{QStringLiteral("/nonexistent")};
    SkinStore pictureSkins{settings, pictures};
    SkinStore symbolSkins{settings, none};
    CustomCat library{home.filePath(QStringLiteral("Purrtick")), settings};
};

World& world() {
    static World w;
    return w;
}

void paintWidget(benchmark::State& state) {
    const double scale = double(state.range(0)) / 10.0;
    const bool symbol = state.range(1) != 0;
    const qreal ratio = qreal(state.range(2));
    World& w = world();
    w.layout.setScale(scale);
    WidgetView view(w.engine, w.clockEngine, symbol ? w.symbolSkins : w.pictureSkins, w.layout,
                    w.settings, w.library);
    const QSize size(int(180 * scale), int(190 * scale));
    view.resize(size);
    w.engine.reset();
    w.engine.start();
    QImage target(size * ratio, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(ratio);
    view.render(&target); // the first paint fills the caches
    for (auto _ : state) {
        w.engine.tick();
        target.fill(Qt::transparent);
        view.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetLabel(QStringLiteral("scale %1, %2, %3x")
                       .arg(scale)
                       .arg(symbol ? QStringLiteral("symbol cat") : QStringLiteral("picture"))
                       .arg(ratio)
                       .toStdString());
}

} // namespace

BENCHMARK(paintWidget)
    ->ArgsProduct({{10, 30}, {0, 1}, {1, 2}})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    world().engine.reset();
    return 0;
}
