// The tables of every classic designer in this build agree with its dialog
// template, with the formula names of its binding table and with the label
// list its interface file numbers.
#include "app/App.h"
#include "designers/DesignerFrame.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "script/Bindings.h"
#include "script/DesignerFiles.h"
#include "shell/Launcher.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace kv;

namespace {
const ui::ControlTemplate* templateControl(const ui::DialogTemplate& t, int id) {
    for (const auto& c : t.controls)
        if (c.id == id) return &c;
    return nullptr;
}
} // namespace

TEST(DesignerTables, AgreeWithTemplatesBindingsAndLabelLists) {
    test::TempDir dir;
    ui::HeadlessBackend hb;
    ui::setBackend(&hb);
    app::registerAll();
    int checked = 0;
    for (const script::DesignerFiles& files : script::designerFiles()) {
        std::unique_ptr<ui::Dialog> w = app::createDialog(files.templateId, nullptr);
        auto* d = dynamic_cast<designers::DesignerFrame*>(w.get());
        if (!d) continue; // not in this build
        ++checked;
        const int tpl = files.templateId;
        const ui::DialogTemplate& t = d->dialogTemplate();
        const script::BindingTable* bindings = script::bindingTableForTemplate(tpl);
        ASSERT_NE(bindings, nullptr) << tpl;
        const auto labels = script::labelList(tpl);
        const std::set<int> listed(labels.begin(), labels.end());

        std::set<std::string> names;
        std::vector<int> ownLabels;
        for (const form::Field& f : d->fields()) {
            SCOPED_TRACE(std::to_string(tpl) + " " + (f.name ? f.name : std::to_string(f.control)));
            const ui::ControlTemplate* edit = templateControl(t, f.control);
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->kind, ui::Kind::Edit);
            if (!f.name) {
                // The window's own input (the ambient of the losses): no formula
                // name, no numbered label, and no formula name shows its edit.
                EXPECT_EQ(f.label, 0);
                for (const script::Binding& b : bindings->rows) EXPECT_NE(b.control, f.control);
                continue;
            }
            EXPECT_TRUE(names.insert(f.name).second);
            const script::Binding* b = bindings->lookup(f.name);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->control, f.control);
            if (f.label == 0) continue;
            ownLabels.push_back(f.label);
            const ui::ControlTemplate* label = templateControl(t, f.label);
            ASSERT_NE(label, nullptr);
            EXPECT_TRUE(label->kind == ui::Kind::Static || label->kind == ui::Kind::Group);
        }
        // Every formula name belongs to a field, and the interface file numbers the labels in field order.
        EXPECT_EQ(names.size(), bindings->rows.size()) << tpl;
        EXPECT_EQ(std::vector<int>(labels.begin(), labels.end()), ownLabels) << tpl;
        EXPECT_EQ(listed.size(), labels.size()) << tpl << ": a label numbered twice";
        // The formula files and the interface file are the designer's.
        EXPECT_FALSE(files.interfaceFile.empty());
        EXPECT_FALSE(files.formulas.empty());
        for (const auto& f : files.formulas) EXPECT_EQ(script::bindingTableForFile(f.file), bindings);
    }
    EXPECT_GE(checked, 1);
    ui::setBackend(nullptr);
}

TEST(DesignerTables, LauncherButtonsOpenTheClassicDesigners) {
    test::TempDir dir;
    ui::HeadlessBackend hb;
    ui::setBackend(&hb);
    app::registerAll();
    ui::Dialog& launcher = hb.openModeless(std::make_unique<shell::LauncherDialog>(), nullptr);
    const std::pair<int, int> buttons[] = {{1006, 130}, {1008, 135}, {1014, 136}, {1002, 137}, {1017, 134}, {1016, 165}};
    for (auto [button, tpl] : buttons) {
        hb.opened.clear();
        launcher.dispatch(button, ui::Notify::Clicked);
        ASSERT_FALSE(hb.opened.empty()) << button;
        EXPECT_EQ(hb.opened.back(), tpl);
    }
    EXPECT_EQ(hb.modeless().size(), 7u); // the launcher and six designers
    for (const auto& m : hb.messages) EXPECT_NE(m.text, shell::kNotInBuild);
    ui::setBackend(nullptr);
}
