#include "script/FormulaCli.h"
#include "tests/script/ScriptTestSupport.h"

namespace kv::script::test {
namespace {

using Presets = std::vector<std::pair<std::string, std::string>>;

class FormulaCli : public ScriptFolder {};

float value(const FormulaCliResult& r, const std::string& name) {
    for (const auto& [n, v] : r.fields)
        if (n == name) return v;
    ADD_FAILURE() << "no field " << name;
    return -1.0f;
}

TEST_F(FormulaCli, PresetsFeedTheRunAndAllFieldsComeBackInOrder) {
    std::string p = write("CCM Buck cfg.txt", "Duty = Vo / VinMax;\r\nL = Vo * 2;\r\n#");
    FormulaCliResult r = runFormulaFile(p, {{"Vo", "5"}, {"VinMax", " 12.5 "}});
    EXPECT_TRUE(r.returned);
    EXPECT_TRUE(r.error.empty());
    ASSERT_EQ(r.fields.size(), 27u);
    EXPECT_EQ(r.fields.front().first, "VinMin");
    EXPECT_EQ(r.fields.back().first, "Vc");
    EXPECT_EQ(r.fields[2].first, "Vo");
    EXPECT_FLOAT_EQ(value(r, "Duty"), 0.4f);
    EXPECT_EQ(value(r, "L"), 10.0f);
    EXPECT_EQ(value(r, "VinMin"), 0.0f);
    EXPECT_TRUE(r.reports.empty());
    EXPECT_TRUE(hb.messages.empty());
}

TEST_F(FormulaCli, FailedChecksAndEvaluationErrors) {
    std::string bad = write("RCC cfg.txt", "Np = (1;#");
    FormulaCliResult r = runFormulaFile(bad, {});
    EXPECT_FALSE(r.returned);
    EXPECT_EQ(r.fields.size(), 25u);
    ASSERT_EQ(r.reports.size(), 1u);
    EXPECT_EQ(r.reports[0].caption, "公式解析错误");
    EXPECT_EQ(r.reports[0].icon, ui::Icon::Error);
    EXPECT_TRUE(hb.messages.empty()); // printed by the checker, never shown in a box

    std::string div = write("RCC cfg.txt", "Np = 3; Ns = Np / Vo;#");
    r = runFormulaFile(div, {});
    EXPECT_TRUE(r.returned);
    EXPECT_EQ(value(r, "Np"), 3.0f);
    ASSERT_FALSE(r.reports.empty());
    EXPECT_EQ(r.reports.back().caption, "计算出错");
}

TEST_F(FormulaCli, MalformedPresetsStopBeforeTheRun) {
    std::string p = write("正激变换器 cfg.txt", "Np = 1;\r\n");
    for (const Presets& presets : {Presets{{"VacMin", "1"}}, Presets{{"Vo", "abc"}},
                                   Presets{{"Vo", ""}}, Presets{{"Vo", "1e40"}},
                                   Presets{{"Vo", "2x"}}, Presets{{"vo", "2"}}}) {
        FormulaCliResult r = runFormulaFile(p, presets);
        EXPECT_FALSE(r.error.empty()) << presets[0].first << "=" << presets[0].second;
        EXPECT_FALSE(r.returned);
    }
    EXPECT_EQ(read(p), "Np = 1;\r\n"); // never run: no end mark appended
    EXPECT_TRUE(hb.messages.empty());

    std::string other = write("notes.txt", "Np = 1;#");
    FormulaCliResult r = runFormulaFile(other, {{"Np", "1"}});
    EXPECT_FALSE(r.error.empty());
    r = runFormulaFile(other, {});
    EXPECT_TRUE(r.returned); // runs: every name unknown
    EXPECT_TRUE(r.fields.empty());
    ASSERT_FALSE(r.reports.empty());
    EXPECT_EQ(r.reports.back().caption, "计算出错");
}

} // namespace
} // namespace kv::script::test
