// Shared helpers of the calculator page tests: a headless fixture, number
// checks, and the checks every page goes through.
#pragma once

#include "platform/ui/headless/HeadlessBackend.h"
#include "tests/common/CliRun.h"
#include "tests/common/HeadlessPages.h"
#include "tests/common/TempDir.h"
#include "tools/Cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kv::test {

inline constexpr int kPause = 236;

using PageMaker = std::function<std::unique_ptr<ui::Dialog>()>;

template <class P>
PageMaker maker() {
    return [] { return std::make_unique<P>(); };
}

// A page, its defaults and its message for an input that is blank or not a number.
struct PageCase {
    PageMaker make;
    const char* title;
    int calc;
    std::vector<std::pair<int, const char*>> inputs; // control and default text
    std::vector<int> results;
    const char* message;
};

// Inputs outside what the formulas take: one message naming the input by
// its label, blank results, no pause.
struct GuardedCase {
    PageMaker make;
    int calc;
    std::vector<std::pair<int, const char*>> set;
    const char* label;
};

// A shown number against its expected value: six significant digits for the
// single-precision fields.
inline ::testing::AssertionResult shows(const ui::Dialog& p, int id, double expected, double rel = 1e-5) {
    return showsWithin(p, id, expected, rel);
}

inline bool isNan(const std::string& t) { return t == "nan" || t == "-nan"; }

struct Pages : HeadlessPages {
    int pauses() const { return openedCount(kPause); }

    // The defaults; a first computation with one pause and no message; then
    // for each input left blank or not a number the framework's message, the
    // page's own, blank results and no pause.
    void checkDefaultsAndIncompleteInput(const PageCase& c) {
        clear();
        ui::Dialog& p = hb.openModeless(c.make(), nullptr);
        EXPECT_EQ(p.title(), c.title);
        for (auto [id, text] : c.inputs) EXPECT_EQ(p.text(id), text) << c.title << " " << id;
        for (int r : c.results) EXPECT_EQ(p.text(r), "") << c.title << " " << r;

        press(p, c.calc);
        EXPECT_TRUE(hb.messages.empty()) << c.title;
        EXPECT_EQ(pauses(), 1) << c.title;
        for (auto [id, text] : c.inputs) {
            for (const char* bad : {"", "abc", "8O", "1e", "."}) {
                press(p, c.calc);
                for (int r : c.results) ASSERT_NE(p.text(r), "") << c.title;
                clear();
                p.setText(id, bad);
                press(p, c.calc);
                EXPECT_TRUE(namesTheField(c.message, p.labelBefore(id))) << c.title << " " << id;
                // The earlier results are gone.
                for (int r : c.results) EXPECT_EQ(p.text(r), "") << c.title << " " << r;
                EXPECT_EQ(pauses(), 0) << c.title;
                p.setText(id, text);
            }
        }
        ASSERT_FALSE(hb.messages.empty());
        EXPECT_EQ(hb.messages.back().icon, ui::Icon::Warning);
        EXPECT_EQ(hb.messages.back().caption, ui::kAppName);
    }

    void checkGuarded(const GuardedCase& c) {
        clear();
        ui::Dialog& p = hb.openModeless(c.make(), nullptr);
        press(p, c.calc); // results of the defaults first
        for (auto [id, text] : c.set) p.setText(id, text);
        clear();
        press(p, c.calc);
        ASSERT_FALSE(hb.messages.empty()) << p.title();
        EXPECT_NE(hb.messages.back().text.find(std::string("“") + c.label + "”"), std::string::npos)
            << p.title() << ": " << hb.messages.back().text;
        EXPECT_EQ(pauses(), 0) << p.title();
        for (const auto& ctl : p.controls()) {
            EXPECT_EQ(ctl.text.find("inf"), std::string::npos) << p.title() << " " << ctl.tpl.id;
            EXPECT_FALSE(isNan(ctl.text)) << p.title() << " " << ctl.tpl.id;
            if (ctl.tpl.kind == ui::Kind::Edit && (ctl.tpl.style & ui::StyleReadOnly)) {
                EXPECT_EQ(ctl.text, "") << p.title() << " " << ctl.tpl.id;
            }
        }
    }
};

// korvane-cli runs.
struct PagesCli : CliRun {
    // The JSON of an edit control.
    static std::string edit(int id, const std::string& text, bool enabled = true) {
        return "\"" + std::to_string(id) + "\": {\"text\": \"" + text + "\", \"enabled\": " +
               (enabled ? "true" : "false") + ", \"visible\": true}";
    }
    // Runs the page with `args`, expecting one pause, no message and `expect` in the output.
    void computes(const std::vector<std::string>& args, const std::vector<std::string>& expect) {
        ASSERT_EQ(run(args), 0) << args[0] << ": " << err;
        EXPECT_TRUE(has("\"template\": " + args[0])) << out;
        EXPECT_TRUE(has("\"opened\": [" + args[0] + ", 236]")) << out;
        EXPECT_TRUE(has("\"messages\": []")) << out;
        for (const std::string& e : expect) EXPECT_TRUE(has(e)) << args[0] << " lacks " << e << "\n" << out;
    }
};

} // namespace kv::test
