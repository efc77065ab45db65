// The loss model's hot paths: one design's losses and temperature rise, and
// the core loss of every row of the core table at one operating point.
#include "magnetics/MagneticLoss.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace kv::magnetics;

struct Row {
    std::string material;
    double ae, ve; // m², m³
};

std::vector<Row> coreRows() {
    std::ifstream in(std::string(KV_SOURCE_DIR) + "/data/cores.csv");
    std::string line;
    std::getline(in, line);
    std::vector<Row> rows;
    while (std::getline(in, line)) {
        std::vector<std::string> c;
        std::stringstream ss(line);
        for (std::string cell; std::getline(ss, cell, ',');)
            c.push_back(cell);
        rows.push_back({c[2], std::stod(c[5]) * 1e-6, std::stod(c[9]) * 1e-9});
    }
    return rows;
}

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
    const auto rows = coreRows();
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

} // namespace

BENCHMARK_MAIN();
