// One computation of each loop page (read, checks, formulas, the Bode sweep
// into the plot models) and the repaint of its two Bode plots in Qt Charts
// (offscreen), as the window shows them after the calculating box.
#include "bench/common/QtBenchMain.h"
#include "loop/CICtrl.h"
#include "loop/CType3.h"
#include "loop/CVCtrl.h"
#include "platform/plot/qt/PlotWidget.h"
#include "platform/ui/headless/HeadlessBackend.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

using namespace kv;

// The page's two plots in a window of their own, sized as on the page.
struct Plots {
    QWidget window;
    plot::PlotWidget* views[2];
    explicit Plots(ui::Dialog& page) {
        const int ids[] = {loop::LoopPage::kGainPlot, loop::LoopPage::kPhasePlot};
        int y = 0;
        for (int i = 0; i < 2; ++i) {
            const ui::ControlState* c = page.control(ids[i]);
            views[i] = new plot::PlotWidget(&window);
            views[i]->setGeometry(0, y, ui::dluToPxX(c->tpl.w), ui::dluToPxY(c->tpl.h));
            y += ui::dluToPxY(c->tpl.h);
            views[i]->show(c->plot);
        }
        window.resize(views[0]->width(), y);
        window.show();
        QCoreApplication::processEvents();
    }
    // The charts rebuild on the next pass of the event loop, then paint; the
    // charts they replace go as the event loop would take them.
    void repaint(ui::Dialog& page) {
        views[0]->show(page.control(loop::LoopPage::kGainPlot)->plot);
        views[1]->show(page.control(loop::LoopPage::kPhasePlot)->plot);
        QCoreApplication::processEvents();
        window.repaint();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

// Presses `buttons` with input `edit` alternating between two values, and
// repaints the plots unless `computeOnly`.
template <class Page>
void pageWithPlots(benchmark::State& st, std::vector<int> setUp, std::vector<int> buttons, int edit,
                   const char* a, const char* b, bool computeOnly = false) {
    ui::HeadlessBackend hb;
    ui::setBackend(&hb);
    Page page;
    page.initialize();
    for (int id : setUp) page.dispatch(id, ui::Notify::Clicked);
    std::unique_ptr<Plots> plots = computeOnly ? nullptr : std::make_unique<Plots>(page);
    bool flip = false;
    for (auto _ : st) {
        flip = !flip;
        page.setText(edit, flip ? a : b);
        for (int id : buttons) page.dispatch(id, ui::Notify::Clicked);
        if (plots) plots->repaint(page);
    }
    const auto& series = page.plot(loop::LoopPage::kGainPlot)->series();
    if (!hb.messages.empty() || series.empty() || page.plot(loop::LoopPage::kGainPlot)->markers().empty())
        st.SkipWithError("the page did not plot its loop");
    st.counters["points"] = double(series.empty() ? 0 : series.front().x.size());
    ui::setBackend(nullptr);
}

void BM_CurrentModePageWithBodePlot(benchmark::State& st) {
    // crossovers below the defaults' fRHP/3 (4.4 kHz), so the page has nothing to warn of
    pageWithPlots<loop::CICtrl>(st, {}, {loop::CICtrl::kCalc}, loop::CICtrl::kFc, "3", "3.2");
}
void BM_TypeTwoForwardPageWithBodePlot(benchmark::State& st) {
    using P = loop::CVCtrl;
    pageWithPlots<P>(st, {P::kStep2}, {P::kStep4}, P::kPmWant, "45", "50");
}
void BM_TypeThreePageWithBodePlot(benchmark::State& st) {
    pageWithPlots<loop::CType3>(st, {}, {loop::CType3::kCalc}, loop::CType3::kFc, "50", "55");
}

// The type II page's computation alone: the K search and the sweep, no repaint.
void BM_TypeTwoForwardComputation(benchmark::State& st) {
    using P = loop::CVCtrl;
    pageWithPlots<P>(st, {P::kStep2}, {P::kStep4}, P::kPmWant, "45", "50", true);
}

BENCHMARK(BM_CurrentModePageWithBodePlot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeTwoForwardPageWithBodePlot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeThreePageWithBodePlot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeTwoForwardComputation)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return kv::bench::runQtBenchmarks(argc, argv); }
