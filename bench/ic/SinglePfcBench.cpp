// The single-stage PFC designer: one keystroke (recomputation, results written,
// the window repainted with the coarse pass) and the fine scan (2 × 30 000
// segments computed and painted), both on a real window offscreen.
#include "app/App.h"
#include "bench/common/QtBenchMain.h"
#include "ic_designers/SinglePfcDesigner.h"
#include "ic_designers/SinglePfcPlot.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

using kv::ic::SinglePfcDesigner;

struct Window {
    kv::ui::QtBackend backend;
    SinglePfcDesigner designer;
    QWidget* win = nullptr;
    QImage img;
    Window() {
        kv::ui::setBackend(&backend);
        win = backend.createWindow(designer);
        img = QImage(win->size(), QImage::Format_ARGB32_Premultiplied);
    }
    ~Window() { kv::ui::setBackend(nullptr); }
    void repaint() {
        QPainter p(&img);
        win->render(&p);
    }
};

void BM_KeystrokeRecomputeAndRepaint(benchmark::State& state) {
    Window w;
    const char* values[] = {"0.8", "0.9"};
    int k = 0;
    for (auto _ : state) {
        w.designer.setText(SinglePfcDesigner::kIo, values[k ^= 1]);
        w.designer.dispatch(SinglePfcDesigner::kIo, kv::ui::Notify::Changed);
        w.repaint();
    }
}
BENCHMARK(BM_KeystrokeRecomputeAndRepaint)->Unit(benchmark::kMillisecond);

void BM_FineScanComputeAndPaint(benchmark::State& state) {
    Window w;
    for (auto _ : state) {
        w.designer.onTimer(SinglePfcDesigner::kFineTimer);
        w.repaint();
    }
}
BENCHMARK(BM_FineScanComputeAndPaint)->Unit(benchmark::kMillisecond);

void BM_FineScanCompute(benchmark::State& state) {
    SinglePfcDesigner d;
    const auto r = kv::ic::singlepfc::design(d.in);
    for (auto _ : state) benchmark::DoNotOptimize(kv::ic::singlepfc::frequencyPlot(d.in, r, true));
}
BENCHMARK(BM_FineScanCompute)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return kv::bench::runQtBenchmarks(argc, argv, [] { kv::app::registerAll(); });
}
