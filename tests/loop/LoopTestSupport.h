// Shared helpers of the loop page tests: a headless fixture, shown numbers,
// the refusals every page makes, and the plotted loop read back.
#pragma once

#include "loop/LoopPage.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "tests/common/HeadlessPages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kv::test {

inline constexpr int kCalculating = 217;
inline constexpr double kPi = 3.14159265358979323846;

// A shown number against its expected value (six significant digits shown).
inline ::testing::AssertionResult shows(const ui::Dialog& p, int id, double expected, double rel = 2e-5) {
    return showsWithin(p, id, expected, rel);
}

inline double shown(const ui::Dialog& p, int id) {
    double v = NAN;
    ui::parseNumber(p.text(id), v);
    return v;
}

// What the plots show: the loop's crossover and phase margin from the markers.
struct Plotted {
    bool crossed = false;
    double crossover = 0; // Hz
    double margin = 0;    // °
    std::size_t points = 0;
};

inline Plotted plotted(ui::Dialog& p) {
    Plotted r;
    const plot::Plot* gain = p.plot(loop::LoopPage::kGainPlot);
    const plot::Plot* phase = p.plot(loop::LoopPage::kPhasePlot);
    if (!gain || !phase || gain->series().empty()) return r;
    r.points = gain->series().front().x.size();
    if (gain->markers().empty() || phase->markers().empty()) return r;
    r.crossed = true;
    r.crossover = gain->markers().front().x;
    r.margin = 180 + phase->markers().front().y;
    return r;
}

// A loop written out in the test with complex numbers, read the way an
// engineer reads a Bode plot: on a fine log grid from fLo to fHi (Hz), the
// phase unwrapped from sample to sample, the first fall through 0 dB, its
// margin, and a later rise through 0 dB.
using Cx = std::complex<double>;
using LoopFn = std::function<Cx(double f)>;

struct Reading {
    bool crossed = false;
    double crossover = 0; // Hz
    double margin = 0;    // °
    double regain = 0;    // Hz, 0 when the gain stays below 0 dB
};

inline Reading readLoop(const LoopFn& loop, double fLo, double fHi, int n = 40000) {
    Reading r;
    const double step = std::log(fHi / fLo) / (n - 1);
    double phase = std::arg(loop(fLo)), prevF = fLo;
    bool above = std::abs(loop(fLo)) > 1;
    for (int i = 1; i < n; ++i) {
        const double f = fLo * std::exp(step * i);
        const Cx v = loop(f);
        const auto unwrap = [&](Cx w) {
            double d = std::arg(w) - std::fmod(phase, 2 * kPi);
            while (d > kPi) d -= 2 * kPi;
            while (d < -kPi) d += 2 * kPi;
            return phase + d;
        };
        const bool nowAbove = std::abs(v) > 1;
        if (!r.crossed && above && !nowAbove) {
            double lo = prevF, hi = f;
            for (int k = 0; k < 80; ++k) {
                const double mid = std::sqrt(lo * hi);
                (std::abs(loop(mid)) > 1 ? lo : hi) = mid;
            }
            r.crossed = true;
            r.crossover = std::sqrt(lo * hi);
            r.margin = 180 + unwrap(loop(r.crossover)) * 180 / kPi;
        } else if (r.crossed && r.regain == 0 && !above && nowAbove) {
            r.regain = f;
        }
        phase = unwrap(v);
        above = nowAbove;
        prevF = f;
    }
    return r;
}

// The type II network as the parts build it, over R1: R2 in series with C1,
// across C2 (Ω, F).
inline Cx typeTwo(double f, double R1, double R2, double C1, double C2) {
    const Cx s(0, 2 * kPi * f);
    const Cx a = R2 + 1.0 / (s * C1), b = 1.0 / (s * C2);
    return a * b / (a + b) / R1;
}

// The plot agrees with the loop read here.
inline void expectPlotReads(ui::Dialog& p, const Reading& r, double rel = 1e-4, double deg = 0.02) {
    const Plotted plot = plotted(p);
    ASSERT_EQ(plot.crossed, r.crossed);
    if (!r.crossed) return;
    EXPECT_NEAR(plot.crossover, r.crossover, r.crossover * rel);
    EXPECT_NEAR(plot.margin, r.margin, deg);
}

struct LoopPages : HeadlessPages {
    int boxes() const { return openedCount(kCalculating); }

    // No field shows inf or nan.
    static void finiteEverywhere(const ui::Dialog& p) {
        for (const auto& c : p.controls()) {
            EXPECT_EQ(c.text.find("inf"), std::string::npos) << p.title() << " " << c.tpl.id;
            EXPECT_EQ(c.text.find("nan"), std::string::npos) << p.title() << " " << c.tpl.id;
        }
    }

    // Pressing `button` with `set` typed in refuses with `message`: one
    // warning, no calculating box, the named results blank, the plot empty.
    void refuses(ui::Dialog& p, int button, const std::vector<std::pair<int, std::string>>& set,
                 const std::string& message, const std::vector<int>& results) {
        for (const auto& [id, text] : set) p.setText(id, text);
        clear();
        press(p, button);
        ASSERT_EQ(hb.messages.size(), 1u) << p.title() << ": " << (texts().empty() ? "" : texts().back());
        EXPECT_EQ(hb.messages.back().text, message);
        EXPECT_EQ(hb.messages.back().icon, ui::Icon::Warning);
        EXPECT_EQ(boxes(), 0);
        for (int r : results) EXPECT_EQ(p.text(r), "") << p.title() << " " << r;
        EXPECT_FALSE(plotted(p).crossed);
        finiteEverywhere(p);
    }

    // For each input, blank or not a number: one message, the page's own
    // words naming the field; the results of that button stay blank.
    void incompleteInput(ui::Dialog& p, int button, const std::vector<int>& inputs, const std::string& message,
                         const std::vector<int>& results) {
        for (int id : inputs) {
            const std::string keep = p.text(id);
            for (const char* bad : {"", "abc", "1e"}) {
                p.setText(id, bad);
                clear();
                press(p, button);
                EXPECT_TRUE(namesTheField(message, p.labelBefore(id))) << p.title() << " " << id;
                EXPECT_EQ(boxes(), 0);
                for (int r : results) EXPECT_EQ(p.text(r), "") << p.title() << " " << r;
            }
            p.setText(id, keep);
        }
    }
};

} // namespace kv::test
