// The LLC designer's gain family: the tank computed and the whole plot painted
// (grid, labels, 15 + 2 curves, marker, text lines) onto an offscreen window-
// sized image, for the defaults and for a design whose sweep hits the step cap;
// and the curves alone, without painting.
#include "bench/common/QtBenchMain.h"
#include "ic_designers/LlcCalc.h"
#include "ic_designers/LlcPlot.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

using kv::ic::LlcDesign;

// fr 300 kHz with a maximum input that puts Fmax near 280 000 kHz.
LlcDesign cappedDesign() {
    LlcDesign d;
    d.fr = 300, d.vinMax = 488.8888f, d.coss = 1, d.cstray = 0, d.deadTime = 1000;
    return d;
}

void computeAndPaint(benchmark::State& state, const LlcDesign& start) {
    QImage img(1365, 776, QImage::Format_ARGB32_Premultiplied);
    long polylines = 0;
    for (auto _ : state) {
        LlcDesign d = start;
        kv::ic::llcTank(d);
        kv::ic::llcController(d);
        img.fill(Qt::white);
        QPainter p(&img);
        kv::ui::QtCanvas c(p);
        kv::ic::paintLlcPlot(c, d, {true, true, 0.54});
        benchmark::DoNotOptimize(img.bits());
    }
    LlcDesign d = start;
    kv::ic::llcTank(d);
    for (double times : kv::ic::kLlcFamily) polylines += long(kv::ic::llcCurve(d, d.q * times).size());
    polylines += long(kv::ic::llcCurve(d, d.qMax).size());
    polylines += long(kv::ic::llcCurve(d, 0.54).size());
    state.counters["polylines"] = double(polylines);
}

void BM_LlcDefaultsComputeAndPaint(benchmark::State& state) { computeAndPaint(state, LlcDesign{}); }
BENCHMARK(BM_LlcDefaultsComputeAndPaint)->Unit(benchmark::kMillisecond);

void BM_LlcCappedComputeAndPaint(benchmark::State& state) { computeAndPaint(state, cappedDesign()); }
BENCHMARK(BM_LlcCappedComputeAndPaint)->Unit(benchmark::kMillisecond);

void BM_LlcCurvesOnly(benchmark::State& state) {
    LlcDesign d = state.range(0) ? cappedDesign() : LlcDesign{};
    kv::ic::llcTank(d);
    for (auto _ : state)
        for (double times : kv::ic::kLlcFamily) benchmark::DoNotOptimize(kv::ic::llcCurve(d, d.q * times));
}
BENCHMARK(BM_LlcCurvesOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return kv::bench::runQtBenchmarks(argc, argv); }
