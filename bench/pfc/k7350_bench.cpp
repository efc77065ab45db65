// K7350 in Qt windows (offscreen): start-up, and each recomputation with its repaint.
#include "bench/common/QtBenchMain.h"
#include "pfc_designer/Program.h"
#include "platform/panels/qt/QtHost.h"
#include "platform/ui/qt/QtBackend.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>

namespace {

using namespace kv::panels;
using namespace k7350;

// The project file every file popup chooses.
std::string g_file;

// Popups answer at once.
class BenchBackend : public kv::ui::QtBackend {
public:
    int messageBox(kv::ui::Dialog*, std::string_view, std::string_view, kv::ui::Icon, kv::ui::Buttons) override {
        return kv::ui::IdOk;
    }
    std::optional<std::string> fileDialog(kv::ui::Dialog*, const kv::ui::FileDialogRequest&) override {
        return g_file;
    }
};

// The event loop runs one pass and hands control to the benchmark.
class BenchHost : public QtHost {
public:
    BenchHost() : QtHost(std::make_unique<BenchBackend>()) {}
    std::function<void()> inLoop;
    void runLoop() override {
        QCoreApplication::processEvents();
        if (inLoop) inLoop();
    }
};

void prepare(BenchHost& host) {
    resetProgram();
    setHost(&host);
    setResourceDir(KV_SOURCE_DIR "/pfc_designer");
    registerCallbacks(callbackTable());
}

void finish() {
    resetProgram();
    setHost(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Redraws a panel's window now, as the screen would.
void repaint(BenchHost& host, int panelId) {
    // The graphs rebuild on the next pass of the event loop, then lay out.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    host.window(*panel(hp[panelId]))->repaint();
}

void press(int p, int c) { userCommit(hp[p], c); }
std::size_t graphPoints() {
    const auto& s = panel(hp[PANEL_FEED])->find(FEED_GAIN)->plot->series();
    return s.empty() ? 0 : s[0].x.size();
}
void set(int p, int c, double v) { userSet(hp[p], c, v); }

void chainTo(int step) {
    press(PANEL_MAIN, MAIN_CALCULATE);
    press(PANEL_CURR, CURR_CLOSE);
    press(PANEL_MAIN, MAIN_DESIGN);
    press(PANEL_MAIN, MAIN_STEP1);
    set(PANEL_SENSE, SENSE_SINGLE, 470);
    press(PANEL_SENSE, SENSE_CLOSE);
    press(PANEL_MAIN, MAIN_STEP2);
    set(PANEL_IND, IND_TRUEL, 0.5);
    if (step == 2) return;
    press(PANEL_IND, IND_CLOSE);
    press(PANEL_MAIN, MAIN_STEP3);
    set(PANEL_MOS, MOS_RON, 500);
    set(PANEL_MOS, MOS_TF, 50);
    set(PANEL_MOS, MOS_CD, 100);
}

// A whole design, as a project file.
std::string writeProject() {
    const std::string path = KV_BINARY_DIR "/bench-k7350.ini";
    std::ofstream out(path);
    const double v[] = {90, 264, 50, 400, 100, 95, 40, 0.99, 50, 1, 470, 0.5, 500, 50, 100, 0.9,
                        50, 1000, 100, 13.96, 1900, 0, 10, 15, 40, 1000, 6.29, 264, 100, 0, 1,
                        1, 100, 0.1, 1, 1, 1, 1, 1, 1, 1};
    for (double x : v) out << x << "\n";
    return path;
}

void BM_StartToMainPanelShown(benchmark::State& st) {
    for (auto _ : st) {
        BenchHost host;
        prepare(host);
        host.inLoop = [&] { host.window(*panel(hp[PANEL_MAIN]))->grab(); };
        benchmark::DoNotOptimize(run());
        finish();
    }
}
BENCHMARK(BM_StartToMainPanelShown)->Unit(benchmark::kMillisecond);

// After `step` steps of the chain, one value of `ctrl` toggled between a and b
// per iteration, each followed by the panel's repaint.
void toggleAndRepaint(benchmark::State& st, int step, int panelId, int ctrl, double a, double b) {
    BenchHost host;
    prepare(host);
    host.inLoop = [&] {
        chainTo(step);
        double v = a;
        for (auto _ : st) {
            v = v == a ? b : a;
            set(panelId, ctrl, v);
            repaint(host, panelId);
        }
    };
    run();
    finish();
}

void BM_FrequencyGraphWithRepaint(benchmark::State& st) {
    toggleAndRepaint(st, 2, PANEL_IND, IND_TRUEL, 0.4, 0.5); // sceL: min_freq and grafico_fpwm
}
BENCHMARK(BM_FrequencyGraphWithRepaint)->Unit(benchmark::kMillisecond);

void BM_MosfetLossSweepWithRepaint(benchmark::State& st) {
    toggleAndRepaint(st, 3, PANEL_MOS, MOS_RON, 400, 500); // chanR: calcoloPmos and grafico_losses
}
BENCHMARK(BM_MosfetLossSweepWithRepaint)->Unit(benchmark::kMillisecond);

void BM_LoopPlotWithRepaint(benchmark::State& st) {
    BenchHost host;
    prepare(host);
    const std::string path = writeProject();
    g_file = path;
    host.inLoop = [&] {
        press(PANEL_MAIN, MAIN_LOAD);
        press(PANEL_MAIN, MAIN_STEP9);
        set(PANEL_FEED, FEED_RHEFF, 1000);
        set(PANEL_FEED, FEED_RLEFF, 6.29);
        set(PANEL_FEED, FEED_C1, 1);
        set(PANEL_FEED, FEED_R1, 100);
        if (graphPoints() == 0) press(PANEL_FEED, FEED_START);
        if (graphPoints() != 1001) st.SkipWithError("the loop was not plotted");
        for (auto _ : st) {
            press(PANEL_FEED, FEED_START); // the operating point, both stages, the loop, two graphs
            repaint(host, PANEL_FEED);
        }
    };
    run();
    finish();
    std::remove(path.c_str());
}
BENCHMARK(BM_LoopPlotWithRepaint)->Unit(benchmark::kMillisecond);

void BM_LoadProjectWithRecomputation(benchmark::State& st) {
    const std::string path = writeProject();
    BenchHost host;
    prepare(host);
    g_file = path;
    host.inLoop = [&] {
        for (auto _ : st) {
            press(PANEL_MAIN, MAIN_LOAD); // load_file: every panel's values, conti, componenti
            repaint(host, PANEL_MAIN);
        }
    };
    run();
    finish();
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadProjectWithRecomputation)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return kv::bench::runQtBenchmarks(argc, argv); }
