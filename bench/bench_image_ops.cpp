// Crop and zoom of a 12-megapixel photo, as the photo editor applies them on the main thread.
#include "cats/image_editing.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

const QImage& photo() {
    static const QImage image = [] {
        QImage p(4000, 3000, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&p);
        QLinearGradient g(0, 0, 4000, 3000);
        g.setColorAt(0, QColor(200, 120, 40));
        g.setColorAt(1, QColor(30, 60, 140));
        painter.fillRect(p.rect(), g);
        return p;
    }();
    return image;
}

void BM_Crop12MP(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageEditing::crop(photo(), QRectF(0.1, 0.1, 0.8, 0.8)));
}
BENCHMARK(BM_Crop12MP)->Unit(benchmark::kMillisecond);

void BM_Zoom12MP(benchmark::State& state) {
    const double factor = double(state.range(0)) / 100.0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageEditing::scaled(photo(), factor));
}
BENCHMARK(BM_Zoom12MP)
    ->Arg(50)
    ->Arg(124)
    ->Arg(300)
    ->ArgName("percent")
    ->Unit(benchmark::kMillisecond);

void BM_Png12MP(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageEditing::pngData(photo()));
}
BENCHMARK(BM_Png12MP)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
