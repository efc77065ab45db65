// Helpers of the controller-designer tests: a headless program in a fresh
// folder, the designer windows opened as the launcher opens them, typing like
// a user, core picks scripted on the core database, numbers read back from
// fields, the check that no field shows a non-finite number, and the lines a
// paint drew.
#pragma once

#include "app/App.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "services/CorePick.h"
#include "services/Templates.h"
#include "tests/common/HeadlessPages.h"
#include "tests/common/TempDir.h"
#include "toolbox/CoreDatabase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace kv::test {

struct IcDesigners : HeadlessPages {
    IcDesigners() { app::registerAll(); }
    // Opened as the launcher opens it: by its template.
    template <class W>
    W& open() {
        auto w = app::createDialog(W::kTemplate, nullptr);
        return dynamic_cast<W&>(hb.openModeless(std::move(w), nullptr));
    }
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
    // The next core database picks row `row` of family `family` with OK.
    void queuePick(int family, int row) {
        hb.queueScript(tpl::kCoreDatabase, [=](ui::Dialog& d) {
            d.select(toolbox::CoreDatabaseDialog::kFamily, family);
            d.dispatch(toolbox::CoreDatabaseDialog::kFamily, ui::Notify::SelChange);
            d.select(toolbox::CoreDatabaseDialog::kList, row);
            d.dispatch(ui::IdOk, ui::Notify::Clicked);
        });
    }
    // The next core database is cancelled.
    void queueCancel() {
        hb.queueScript(tpl::kCoreDatabase, [](ui::Dialog& d) { d.dispatch(ui::IdCancel, ui::Notify::Clicked); });
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
