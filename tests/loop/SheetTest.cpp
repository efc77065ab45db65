// The loop sheet from the launcher, and the loop pages through korvane-cli
// with their plots in its JSON.
#include "app/App.h"
#include "loop/LoopSheet.h"
#include "shell/Launcher.h"
#include "tools/Cli.h"

#include "tests/common/CliRun.h"
#include "tests/common/TempDir.h"
#include "tests/loop/LoopTestSupport.h"

#include <algorithm>

using namespace kv;
using kv::test::LoopPages;

TEST_F(LoopPages, LoopSheetHasItsThreePages) {
    loop::CLoop sheet;
    EXPECT_EQ(sheet.title(), "环路补偿 Feedback Loop   <内置算法>");
    EXPECT_TRUE(sheet.hideApply);
    EXPECT_TRUE(sheet.hideHelp);
    EXPECT_TRUE(sheet.hideButtons);
    EXPECT_EQ(sheet.pageTemplates(), (std::vector<int>{106, 107, 205}));
    for (ui::Dialog* p : sheet.pages()) {
        EXPECT_EQ(p->parent(), &sheet);
        EXPECT_TRUE(p->dialogTemplate().style & ui::StyleChild);
        ASSERT_NE(p->plot(loop::LoopPage::kGainPlot), nullptr) << p->templateId();
        ASSERT_NE(p->plot(loop::LoopPage::kPhasePlot), nullptr) << p->templateId();
        EXPECT_TRUE(p->plot(loop::LoopPage::kGainPlot)->x.log);
    }
}

TEST_F(LoopPages, LoopButtonRunsTheSheet) {
    test::TempDir dir;
    app::registerAll();
    shell::LauncherDialog launcher;
    bool computed = false;
    hb.queueScript(107, [&](ui::Dialog& page) {
        page.dispatch(1000, ui::Notify::Clicked);
        page.dispatch(1001, ui::Notify::Clicked);
        computed = !page.text(1224).empty();
    });
    launcher.dispatch(shell::LauncherDialog::kLoop, ui::Notify::Clicked);
    EXPECT_TRUE(computed);
    EXPECT_NE(std::find(hb.opened.begin(), hb.opened.end(), 107), hb.opened.end());
    for (const auto& m : hb.messages) EXPECT_NE(m.text, shell::kNotInBuild);
}

namespace {
using LoopCli = test::CliRun;
} // namespace

TEST_F(LoopCli, PagesReportTheirPlots) {
    ASSERT_EQ(run({"106", "--set", "1040=20", "--press", "1000"}), 0) << err;
    EXPECT_TRUE(has("\"opened\": [106, 217],\n \"plots\": {")) << out;
    EXPECT_TRUE(has("\"1301\": {\"title\": \"环路增益  穿越频率 46.37 kHz\""));
    EXPECT_TRUE(has("{\"name\": \"环路\", \"points\": 401, \"first\": [10, 65.6281], \"last\": [1e+06, -57.3396]"));
    EXPECT_TRUE(has("\"markers\": [{\"id\": 1, \"label\": \"穿越频率\", \"x\": 46367.4, \"y\": 0, \"visible\": true}]"));
    EXPECT_TRUE(has("\"label\": \"相位裕量\""));
    EXPECT_TRUE(has("\"1302\": {\"title\": \"环路相位  相位裕量 -136.2°（不稳定）\""));
    EXPECT_TRUE(has("环路不稳定！\", \"icon\": \"warning\""));
    EXPECT_TRUE(has("\"1053\": {\"text\": \"13262.9\""));
    EXPECT_TRUE(has("\"1046\": {\"text\": \"472.496\""));

    // before a computation the plots are empty; a window without plots has no "plots"
    ASSERT_EQ(run({"205"}), 0) << err;
    EXPECT_TRUE(has("\"1302\": {\"title\": \"环路相位\",\n   \"series\": [],\n   \"markers\": []}")) << out;
    ASSERT_EQ(run({"224"}), 0) << err;
    EXPECT_FALSE(has("\"plots\""));

    ASSERT_EQ(run({"107", "--press", "1000", "--press", "1001"}), 0) << err;
    EXPECT_TRUE(has("\"1224\": {\"text\": \"44.8162\""));
    EXPECT_TRUE(has("\"opened\": [107, 217, 217]"));
    ASSERT_EQ(run({"107", "--press", "1000", "--set", "1219=85", "--press", "1001"}), 0) << err;
    EXPECT_TRUE(has("最多只能提供约83.8°的相位裕量"));
    EXPECT_TRUE(has("\"markers\": []"));
}
