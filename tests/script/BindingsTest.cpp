#include "script/Bindings.h"
#include "script/DesignerFiles.h"
#include "tests/script/ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kv::script {
namespace {

TEST(Bindings, FileNamesSelectTheirDesigner) {
    struct Case {
        const char* file;
        int templateId;
    } cases[] = {
        {"DCM Buck cfg.txt", 165},       {"CCM Buck cfg.txt", 165},
        {"DCM Boost cfg.txt", 165},      {"CCM Boost cfg.txt", 165},
        {"CCM Buck-Boost cfg.txt", 165}, {"DCM Buck-Boost cfg.txt", 165},
        {"CCM反激变换器 cfg.txt", 129},  {"DCM反激变换器 cfg.txt", 129},
        {"RCC cfg.txt", 134},            {"推挽变换器 cfg.txt", 137},
        {"半桥变换器 cfg.txt", 135},     {"全桥变换器 cfg.txt", 136},
        {"正激变换器 cfg.txt", 130},     {"/some/dir/RCC cfg.txt", 134},
    };
    for (const auto& c : cases) {
        const BindingTable* t = bindingTableForFile(c.file);
        ASSERT_NE(t, nullptr) << c.file;
        EXPECT_EQ(t->templateId, c.templateId) << c.file;
    }
    for (const char* other : {"rcc cfg.txt", "RCC cfg.txt ", "Flyback Interface.txt", "", "cfg.txt",
                              "RCC cfg.txt/x"})
        EXPECT_EQ(bindingTableForFile(other), nullptr) << other;
}

TEST(Bindings, SameNameMeansDifferentFieldsPerGroup) {
    auto control = [](const char* file, const char* name) {
        const Binding* b = bindingTableForFile(file)->lookup(name);
        return b ? b->control : -1;
    };
    EXPECT_EQ(control("CCM反激变换器 cfg.txt", "Vo"), 1017);
    EXPECT_EQ(control("正激变换器 cfg.txt", "Vo"), 1031);
    EXPECT_EQ(control("DCM Boost cfg.txt", "Vo"), 1047);
    EXPECT_EQ(control("推挽变换器 cfg.txt", "Lo"), 1136);
    EXPECT_EQ(control("半桥变换器 cfg.txt", "Lo"), 1160);
    EXPECT_EQ(control("全桥变换器 cfg.txt", "Lo"), 1183);
    EXPECT_EQ(control("RCC cfg.txt", "Lp"), 1091);
    EXPECT_EQ(control("正激变换器 cfg.txt", "Ap"), 1094);
    EXPECT_EQ(control("CCM反激变换器 cfg.txt", "Rlk"), 1057);
    EXPECT_EQ(control("CCM Buck cfg.txt", "Vc"), 1054);
    EXPECT_EQ(control("CCM反激变换器 cfg.txt", "VacMin"), 1020);
    EXPECT_EQ(control("RCC cfg.txt", "VacMin"), 1027);
    EXPECT_EQ(control("推挽变换器 cfg.txt", "VacMin"), -1);
    EXPECT_EQ(control("CCM反激变换器 cfg.txt", "vo"), -1);
    EXPECT_EQ(control("CCM反激变换器 cfg.txt", "Vo "), -1);
}

TEST(Bindings, TablesAreConsistent) {
    const std::pair<int, size_t> sizes[] = {{165, 27}, {129, 40}, {134, 25}, {137, 18},
                                            {135, 18}, {136, 18}, {130, 20}};
    ASSERT_EQ(bindingTables().size(), 7u);
    for (auto [tpl, rows] : sizes) {
        const BindingTable* t = bindingTableForTemplate(tpl);
        ASSERT_NE(t, nullptr) << tpl;
        EXPECT_EQ(t->rows.size(), rows) << tpl;
        std::set<std::string_view> names;
        std::set<int> controls;
        for (size_t i = 0; i < t->rows.size(); ++i) {
            const Binding& b = t->rows[i];
            EXPECT_TRUE(names.insert(b.name).second) << tpl << " " << b.name;
            EXPECT_TRUE(controls.insert(b.control).second) << tpl << " " << b.control;
            EXPECT_EQ(t->find(b.name), static_cast<int>(i)); // hashed lookup finds each row
        }
        for (const auto& f : designerFilesFor(tpl)->formulas) EXPECT_EQ(bindingTableForFile(f.file), t);
    }
    // the three bridge-type designers share their names in the same order
    auto pp = bindingTableForTemplate(137)->rows, hb = bindingTableForTemplate(135)->rows,
         fb = bindingTableForTemplate(136)->rows;
    for (size_t i = 0; i < pp.size(); ++i) {
        EXPECT_EQ(pp[i].name, hb[i].name);
        EXPECT_EQ(pp[i].name, fb[i].name);
    }
    EXPECT_EQ(bindingTableForTemplate(999), nullptr);
}

TEST(Bindings, LabelListsOfInterfaceFiles) {
    struct Case {
        int templateId;
        const char* file;
        size_t count;
        int first, last;
    } cases[] = {
        {129, "Flyback Interface.txt", 40, 1296, 1305},
        {165, "DC-DC Interface.txt", 27, 1265, 1285},
        {134, "RCC Interface.txt", 25, 1248, 1295},
        {130, "Forward Interface.txt", 19, 1248, 1258},
        {137, "Push-Pull Interface.txt", 18, 1248, 1264},
        {135, "Half Bridge Interface.txt", 18, 1248, 1264},
        {136, "Full Bridge Interface.txt", 18, 1248, 1264},
    };
    for (const auto& c : cases) {
        auto labels = labelList(c.templateId);
        ASSERT_EQ(labels.size(), c.count) << c.templateId;
        EXPECT_EQ(labels.front(), c.first);
        EXPECT_EQ(labels.back(), c.last);
        EXPECT_EQ(interfaceFileName(c.templateId), c.file);
        std::set<int> ids;
        for (int l : labels) {
            EXPECT_TRUE(ids.insert(l).second) << c.templateId << " " << l;
            EXPECT_FALSE(test::builtinLabel(c.templateId, l).empty()) << c.templateId << " " << l;
        }
    }
    // forward: the window-area factor eleventh, Ae last
    EXPECT_EQ(test::builtinLabel(130, labelList(130)[10]), "窗口面积利用系数");
    EXPECT_EQ(test::builtinLabel(130, labelList(130)[18]), "Ae(mm2)");
    EXPECT_EQ(labelList(129)[13], 1052);
    EXPECT_TRUE(labelList(1).empty());
    EXPECT_TRUE(interfaceFileName(1).empty());
}

} // namespace
} // namespace kv::script
