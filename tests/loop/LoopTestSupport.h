// Shared helpers of the loop page tests: a headless fixture, shown numbers,
// the refusals every page makes, and the plotted loop read back.
#pragma once

#include "loop/LoopPage.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "tests/common/HeadlessPages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

    // For each input, blank or not a number: the framework's message and the
    // page's own; the results of that button stay blank.
    void incompleteInput(ui::Dialog& p, int button, const std::vector<int>& inputs, const std::string& message,
                         const std::vector<int>& results) {
        for (int id : inputs) {
            const std::string keep = p.text(id);
            for (const char* bad : {"", "abc", "1e"}) {
                p.setText(id, bad);
                clear();
                press(p, button);
                EXPECT_EQ(texts(), (std::vector<std::string>{"请输入一个数字。", message})) << p.title() << " " << id;
                EXPECT_EQ(boxes(), 0);
                for (int r : results) EXPECT_EQ(p.text(r), "") << p.title() << " " << r;
            }
            p.setText(id, keep);
        }
    }
};

} // namespace kv::test
