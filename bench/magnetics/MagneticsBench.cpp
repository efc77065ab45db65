// The loss model's hot paths: one design's losses and temperature rise, the
// core loss of every row of the core table at one operating point, the core
// adviser over the whole table, and a classic designer's verify with the
// losses of its transformer.
#include "designers/FlybackCalc.h"
#include "magnetics/CoreAdviser.h"
#include "magnetics/MagneticLoss.h"
#include "tests/magnetics/CoreTable.h"
#include "tests/magnetics/FlybackPoints.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace kv::magnetics;

MagneticDesign flyback() {
    MagneticDesign d;
    d.material = "N87";
    d.shape = "ETD 34/17/11";
    d.ve = 7630e-9;
    d.flux = trapezoid(0.2, 10e-6, 4e-6, 0, 4.5e-6);
    d.windings = {{40, 0.5e-3, 0.55e-3, 1, {{0, 0}, {4e-6, 2}, {4e-6, 0}, {10e-6, 0}}},
                  {8, 0.6e-3, 0.65e-3, 3, {{0, 0}, {4e-6, 0}, {4e-6, 10}, {8.5e-6, 0}, {10e-6, 0}}}};
    return d;
}

void MagneticLossOneDesign(benchmark::State& state) {
    const MagneticDesign d = flyback();
    for (auto _ : state)
        benchmark::DoNotOptimize(magneticLoss(d));
}
BENCHMARK(MagneticLossOneDesign)->Unit(benchmark::kMicrosecond);

// 100 kHz flyback flux with the same volt-seconds per turn on
// every core (20 µV·s over 30 turns), so smaller cores swing further.
void CoreLossAllRows(benchmark::State& state) {
    const auto rows = test::coreTable();
    for (auto _ : state) {
        double sum = 0;
        for (const auto& r : rows) {
            const double swing = 20e-6 / (30 * r.ae);
            const CoreLoss c = coreLossDensity(r.material, trapezoid(swing, 10e-6, 4e-6, 0, 4.5e-6), 80);
            sum += c.reason == Reason::None ? c.pv * r.ve : c.outsideValue * r.ve;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["rows"] = double(rows.size());
}
BENCHMARK(CoreLossAllRows)->Unit(benchmark::kMillisecond);

// A 65 W DCM flyback at 100 kHz (Lp 400 µH, 2.7 A peak, n = 6) over every
// row of the core table: turns, gap, fit, losses, rise and the ranking.
void AdviseAllRows(benchmark::State& state) {
    const auto rows = test::coreTable();
    const FlybackPoint op = test::dcmFlyback65W();
    int fitting = 0;
    for (auto _ : state) {
        const auto advice = adviseCores(op, rows);
        fitting = 0;
        for (const auto& a : advice)
            fitting += a.verdict == Verdict::Fits;
        benchmark::DoNotOptimize(fitting);
    }
    state.counters["rows"] = double(rows.size());
    state.counters["fitting"] = fitting;
}
BENCHMARK(AdviseAllRows)->Unit(benchmark::kMillisecond);

// The classic flyback's verify of a 36 W, 12 V design at 65 kHz in CCM on
// ETD34/N87, then the transformer its results define and its losses.
void ClassicFlybackVerifyWithLosses(benchmark::State& state) {
    namespace fb = kv::designers::flyback;
    fb::Design conditions;
    conditions.Po = 36, conditions.Vo = 12, conditions.Eff = 82, conditions.VacMin = 85, conditions.VacMax = 265;
    conditions.Vswm = 650, conditions.Vswr = 100, conditions.f = 65, conditions.Vdf = 0.7f, conditions.r = 0.4f;
    conditions.Ptd = 20, conditions.Cmil = 500, conditions.Vopp = 120, conditions.Ae = 97.1f, conditions.Le = 78.6f;
    conditions.Bpk = 2200, conditions.Bsat = 3000, conditions.Per = 5;
    const TableCore core = tableCore("ETD34", "N87", 97.1, 171, 2600, 78.6, 7630);
    bool shown = false;
    for (auto _ : state) {
        fb::Design d = conditions;
        fb::verify(d, fb::kCcm);
        const auto p = fb::printed(d, fb::kCcm);
        const WindowLoss w = p ? lossOn(&core, flybackMagnetic(*p, d.Ta)) : noResults();
        shown = w.shown();
        benchmark::DoNotOptimize(w.loss.rise);
    }
    if (!shown) state.SkipWithError("the losses were not worked out");
}
BENCHMARK(ClassicFlybackVerifyWithLosses)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
