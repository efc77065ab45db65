// The graphical flyback: a recalculation plus a full repaint of the annotated
// picture (offscreen), the same on a picked core with the transformer's
// losses and rise, and the recalculation alone.
#include "bench/common/QtBenchMain.h"
#include "graphic_flyback/GraphicFlybackDialog.h"
#include "services/Settings.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void BM_Recalculate(benchmark::State& state) {
    kv::graphic::FlybackDesign d;
    for (auto _ : state) {
        kv::graphic::recalculate(d, kv::graphic::Derive::FromVor);
        benchmark::DoNotOptimize(d.Np);
    }
}
BENCHMARK(BM_Recalculate)->Unit(benchmark::kMicrosecond);

void BM_RecalculateAndRepaint(benchmark::State& state) {
    kv::ui::QtBackend backend;
    kv::ui::setBackend(&backend);
    kv::services::writeSlot(kv::services::kPictureSlot, '#');
    kv::graphic::GraphicFlybackDialog w(nullptr);
    QWidget* win = backend.createWindow(w);
    QImage img(win->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        w.recalculate(kv::graphic::Derive::FromVor);
        QPainter p(&img);
        win->render(&p);
    }
    kv::ui::setBackend(nullptr);
}
BENCHMARK(BM_RecalculateAndRepaint)->Unit(benchmark::kMillisecond);

// On EFD20/N87 the losses are worked out (core, windings, the rise settled).
void BM_RecalculateWithLossesAndRepaint(benchmark::State& state) {
    kv::ui::QtBackend backend;
    kv::ui::setBackend(&backend);
    kv::services::writeSlot(kv::services::kPictureSlot, '#');
    kv::graphic::GraphicFlybackDialog w(nullptr);
    QWidget* win = backend.createWindow(w);
    w.design.Ae = 31, w.design.Le = 47;
    w.design.Core = kv::magnetics::tableCore("EFD20", "N87", 31, 43.2, 1200, 47, 1460);
    QImage img(win->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        w.recalculate(kv::graphic::Derive::FromVor);
        QPainter p(&img);
        win->render(&p);
    }
    if (!w.loss.shown()) state.SkipWithError("the losses were not worked out");
    kv::ui::setBackend(nullptr);
}
BENCHMARK(BM_RecalculateWithLossesAndRepaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return kv::bench::runQtBenchmarks(argc, argv, [] {
        const auto dir = std::filesystem::temp_directory_path() / "kv-graphic-bench";
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
    });
}
