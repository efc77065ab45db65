// Shared helpers of the controller-specific designer tests: a headless
// fixture in a fresh folder, numbers read back from fields, the check that no
// field shows a non-finite number, and the lines a paint drew.
#pragma once

#include "app/App.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "tests/common/HeadlessPages.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

namespace kv::test {

inline constexpr int kCalculatingBox = 217;
inline constexpr int kCoreDatabase = 262;

struct IcDesigners : HeadlessPages {
    IcDesigners() { app::registerAll(); }
    // Types `text` into edit `id` like a user: the control changes, then tells.
    static void type(ui::Dialog& d, int id, const std::string& text) {
        d.setText(id, text);
        d.dispatch(id, ui::Notify::Changed);
    }
    // Types `text` one keystroke at a time.
    static void typeKeys(ui::Dialog& d, int id, const std::string& text) {
        for (size_t n = 0; n <= text.size(); ++n) type(d, id, text.substr(0, n));
    }
    int count(int templateId) const { return openedCount(templateId); }
    void copyCoreList() {
        std::filesystem::copy_file(std::filesystem::path(KV_SOURCE_DIR) / "data" / "CoreList.xls", "CoreList.xls");
    }
};

inline double number(const ui::Dialog& d, int id) {
    double v = std::nan("");
    EXPECT_TRUE(ui::parseNumber(d.text(id), v)) << id << " shows \"" << d.text(id) << "\"";
    return v;
}

// No control shows "inf" or "nan".
inline ::testing::AssertionResult allFinite(const ui::Dialog& d) {
    for (const ui::ControlState& c : d.controls()) {
        std::string t = c.text;
        std::transform(t.begin(), t.end(), t.begin(), [](unsigned char ch) { return char(std::tolower(ch)); });
        if (t.find("inf") != std::string::npos || t.find("nan") != std::string::npos)
            return ::testing::AssertionFailure() << c.tpl.id << " shows \"" << c.text << "\"";
    }
    return ::testing::AssertionSuccess();
}

// Lines of one colour drawn by a paint.
inline std::vector<ui::RecordingCanvas::DrawnLine> linesIn(const ui::RecordingCanvas& c, ui::Color color) {
    std::vector<ui::RecordingCanvas::DrawnLine> out;
    for (const auto& l : c.lines())
        if (l.color == color) out.push_back(l);
    return out;
}

} // namespace kv::test
