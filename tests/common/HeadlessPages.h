// A headless fixture for tests that drive dialogs by their controls, in a
// fresh current folder: open a page, press, choose, and read what the message
// boxes said.
#pragma once

#include "platform/ui/headless/HeadlessBackend.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace kv::test {

// A shown number against its expected value, within rel.
inline ::testing::AssertionResult showsWithin(const ui::Dialog& p, int id, double expected, double rel) {
    const std::string t = p.text(id);
    double v = 0;
    if (!ui::parseNumber(t, v)) return ::testing::AssertionFailure() << id << " shows \"" << t << "\"";
    if (std::fabs(v - expected) > std::fabs(expected) * rel + 1e-12)
        return ::testing::AssertionFailure() << id << " shows " << t << ", expected " << expected;
    return ::testing::AssertionSuccess();
}

struct HeadlessPages : ::testing::Test {
    TempDir dir; // outlives the windows, which may write as they close
    ui::HeadlessBackend hb;
    HeadlessPages() { ui::setBackend(&hb); }

    template <class P>
    P& open() {
        return static_cast<P&>(hb.openModeless(std::make_unique<P>(), nullptr));
    }
    static void press(ui::Dialog& p, int id) { p.dispatch(id, ui::Notify::Clicked); }
    static void choose(ui::Dialog& p, int combo, int row) {
        p.select(combo, row);
        p.dispatch(combo, ui::Notify::SelChange);
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& m : hb.messages) t.push_back(m.text);
        return t;
    }
    // One message for a field that holds no number: the window's own words
    // `lead` (may be empty), then the field named by `label` with what it holds.
    ::testing::AssertionResult namesTheField(const std::string& lead, const std::string& label) const {
        const std::vector<std::string> t = texts();
        if (t.size() != 1) return ::testing::AssertionFailure() << t.size() << " messages";
        const std::string named = "输入有误：“" + label + "”";
        const std::string start = lead.empty() ? named : lead + "\n" + named;
        if (t[0].rfind(start, 0) != 0) return ::testing::AssertionFailure() << "said \"" << t[0] << "\"";
        if (t[0].find("请输入一个数字") != std::string::npos) return ::testing::AssertionFailure() << t[0];
        return ::testing::AssertionSuccess();
    }
    // How often the dialog `id` was opened since the last clear().
    int openedCount(int id) const { return int(std::count(hb.opened.begin(), hb.opened.end(), id)); }
    void clear() {
        hb.messages.clear();
        hb.opened.clear();
    }
};

} // namespace kv::test
