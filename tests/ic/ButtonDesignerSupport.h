// Helpers of the controller-designer tests: a headless program in a fresh
// folder, the designer windows opened as the launcher opens them, and core
// picks scripted on the core database.
#pragma once

#include "app/App.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "services/Templates.h"
#include "services/CorePick.h"
#include "tests/common/HeadlessPages.h"
#include "tests/common/TempDir.h"
#include "toolbox/CoreDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kv::test {

struct IcWindow : HeadlessPages {
    IcWindow() { app::registerAll(); }
    // Opened as the launcher opens it: by its template.
    template <class W>
    W& open() {
        auto w = app::createDialog(W::kTemplate, nullptr);
        return dynamic_cast<W&>(hb.openModeless(std::move(w), nullptr));
    }
    void shipWorkbook() {
        std::filesystem::copy_file(std::string(KV_SOURCE_DIR) + "/data/CoreList.xls", "CoreList.xls");
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
    void type(ui::Dialog& w, int id, const std::string& text) {
        w.setText(id, text);
        w.dispatch(id, ui::Notify::Changed);
    }
};

} // namespace kv::test
