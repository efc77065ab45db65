// The toolbox sheet, the formula/interface editor page and the core
// database through korvane-cli.
#include "app/App.h"
#include "script/DesignerFiles.h"
#include "toolbox/CEditPage.h"
#include "toolbox/ToolSheet.h"

#include "platform/io/Files.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "shell/Launcher.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

using kv::test::readFile;
using kv::test::writeFile;
namespace fs = std::filesystem;
namespace tb = kv::toolbox;
namespace ui = kv::ui;
namespace io = kv::io;

namespace {

struct Headless : ::testing::Test {
    kv::test::TempDir dir;
    ui::HeadlessBackend hb;
    // The windows and the classic designers' files, registered as at start-up.
    Headless() {
        ui::setBackend(&hb);
        kv::app::registerAll();
    }
};

// The tab order of the sheet, by template.
const std::vector<int> kTabOrder = {257, 224, 231, 233, 234, 228, 229, 222, 261, 235, 220};

} // namespace

TEST_F(Headless, ToolSheetHasOnlyItsPagesInTabOrder) {
    tb::CTool sheet;
    EXPECT_EQ(sheet.title(), "Korvanes");
    EXPECT_TRUE(sheet.hideApply);
    EXPECT_TRUE(sheet.hideHelp);
    EXPECT_TRUE(sheet.hideButtons);
    const std::vector<int> pages = sheet.pageTemplates();
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(pages.back(), 220);
    // the calculator pages of this build are all there
    for (int id : {257, 224, 231, 233, 234, 228, 229, 222, 261, 235})
        EXPECT_NE(std::find(pages.begin(), pages.end(), id), pages.end()) << id;
    // the pages in the build keep the order of the full row of tabs
    size_t at = 0;
    for (int id : pages) {
        auto it = std::find(kTabOrder.begin() + long(at), kTabOrder.end(), id);
        ASSERT_NE(it, kTabOrder.end()) << "page " << id << " out of order";
        at = size_t(it - kTabOrder.begin()) + 1;
    }
    ASSERT_EQ(sheet.pages().size(), pages.size());
    for (ui::Dialog* p : sheet.pages()) {
        EXPECT_EQ(p->parent(), &sheet);
        EXPECT_FALSE(p->title().empty()) << p->templateId(); // the tab text
        EXPECT_TRUE(p->dialogTemplate().style & ui::StyleChild) << p->templateId();
    }
}

TEST_F(Headless, KitButtonRunsTheSheetAndClosesIt) {
    kv::app::registerAll();
    kv::shell::LauncherDialog launcher;
    bool pageRan = false;
    hb.queueScript(220, [&](ui::Dialog& page) { pageRan = page.itemCount(tb::CEditPage::kFormulaList) == 13; });
    launcher.dispatch(kv::shell::LauncherDialog::kKit, ui::Notify::Clicked);
    EXPECT_TRUE(pageRan);
    EXPECT_NE(std::find(hb.opened.begin(), hb.opened.end(), 220), hb.opened.end());
    for (const auto& m : hb.messages) EXPECT_NE(m.text, kv::shell::kNotInBuild);
}

TEST_F(Headless, EditPageListsTheFilesOnce) {
    using P = tb::CEditPage;
    P page;
    page.initialize();
    EXPECT_EQ(page.title(), "公式界面自定义");
    ASSERT_EQ(page.itemCount(P::kFormulaList), 13);
    ASSERT_EQ(page.itemCount(P::kInterfaceList), 7);
    EXPECT_EQ(page.itemText(P::kFormulaList, 0), "CCM Buck");
    EXPECT_EQ(page.itemText(P::kFormulaList, 6), "CCM 反激");
    EXPECT_EQ(page.itemText(P::kFormulaList, 8), "RCC 变换器");
    EXPECT_EQ(page.itemText(P::kFormulaList, 12), "全桥变换器");
    EXPECT_EQ(page.itemText(P::kInterfaceList, 0), "DC-DC变换器");
    EXPECT_EQ(page.itemText(P::kInterfaceList, 4), "推挽变换器");
    EXPECT_EQ(page.selected(P::kFormulaList), 0);
    EXPECT_EQ(page.selected(P::kInterfaceList), 0);
    EXPECT_EQ(page.text(P::kOpenFormula), "打开(&O)");
    EXPECT_EQ(page.text(P::kOpenInterface), "打开(&E)");
    EXPECT_EQ(page.control(P::kFormulaGroup)->textColor, (ui::Color{0, 0, 255}));
    EXPECT_EQ(page.control(P::kTitle)->textColor, (ui::Color{200, 0, 200}));
    EXPECT_EQ(page.control(P::kHelpNote)->textColor, (ui::Color{200, 0, 0}));
    // the lists in the designers' order, every picture shipped
    EXPECT_EQ(page.itemCount(P::kFormulaList), 13);
    EXPECT_EQ(page.itemText(P::kFormulaList, 0), "CCM Buck");
    EXPECT_EQ(page.itemText(P::kFormulaList, 6), "CCM 反激");
    EXPECT_EQ(page.itemText(P::kFormulaList, 12), "全桥变换器");
    EXPECT_EQ(page.itemCount(P::kInterfaceList), 7);
    EXPECT_EQ(page.itemText(P::kInterfaceList, 1), "反激变换器");
    for (const auto& d : kv::script::designerFiles())
        EXPECT_TRUE(fs::exists(fs::path(KV_SOURCE_DIR) / "data" / "Code" / d.picture)) << d.picture;
}

TEST_F(Headless, EditPageOpensTheFileHereAndThePictureBesideTheProgram) {
    for (std::string_view f : kv::script::allScriptFiles()) writeFile(std::string(f), "");
    // the pictures the cases below open, beside the test program
    const fs::path code = fs::path(io::programDir()) / "Code";
    std::vector<fs::path> made;
    fs::create_directories(code);
    for (const char* pic : {"反激变换器.JPG", "正激变换器.JPG", "DC-DC变换器.JPG"})
        if (!fs::exists(code / pic)) {
            writeFile(code / pic, "jpg");
            made.push_back(code / pic);
        }
    struct Cleanup {
        std::vector<fs::path>& made;
        ~Cleanup() {
            std::error_code ec;
            for (const auto& p : made) fs::remove(p, ec);
        }
    } cleanup{made};

    using P = tb::CEditPage;
    P page;
    page.initialize();
    const fs::path here = fs::current_path();
    auto press = [&](int list, int index, int button) {
        hb.shellOpened.clear();
        page.select(list, index);
        page.dispatch(list, ui::Notify::SelChange);
        page.dispatch(button, ui::Notify::Clicked);
        return hb.shellOpened;
    };
    const std::string flybackPic = (code / "反激变换器.JPG").string();
    EXPECT_EQ(press(P::kFormulaList, 6, P::kOpenFormula),
              (std::vector<std::string>{(here / "CCM反激变换器 cfg.txt").string(), flybackPic}));
    EXPECT_EQ(press(P::kFormulaList, 7, P::kOpenFormula),
              (std::vector<std::string>{(here / "DCM反激变换器 cfg.txt").string(), flybackPic}));
    EXPECT_EQ(press(P::kInterfaceList, 3, P::kOpenInterface),
              (std::vector<std::string>{(here / "Forward Interface.txt").string(),
                                        (code / "正激变换器.JPG").string()}));
    EXPECT_EQ(press(P::kFormulaList, 0, P::kOpenFormula),
              (std::vector<std::string>{(here / "CCM Buck cfg.txt").string(), (code / "DC-DC变换器.JPG").string()}));
    EXPECT_TRUE(hb.messages.empty());
    // a file that cannot be opened is reported; the picture still opens
    fs::remove("DCM Buck cfg.txt");
    EXPECT_EQ(press(P::kFormulaList, 1, P::kOpenFormula),
              (std::vector<std::string>{(code / "DC-DC变换器.JPG").string()}));
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_NE(hb.messages[0].text.find((here / "DCM Buck cfg.txt").string()), std::string::npos);
}

namespace {
// Runs the built korvane-cli and returns its standard output.
std::string runCli(const std::string& args, int& status) {
    const std::string cmd = std::string(KV_BINARY_DIR) + "/tools/korvane-cli " + args + " 2>/dev/null";
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) {
        status = -1;
        return out;
    }
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    status = pclose(p);
    return out;
}
} // namespace

TEST(CoreDatabaseCli, PicksACoreThroughTheCommandLine) {
    kv::test::TempDir dir;
    fs::copy_file(fs::path(KV_SOURCE_DIR) / "data" / "CoreList.xls", "CoreList.xls");
    writeFile("System.cfg", "      *");
    int status = 0;
    const std::string dirArg = "--dir '" + dir.path().string() + "'";
    std::string out = runCli(dirArg + " 262 --select 1329=1 --select 1373=2 --press 1", status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("[\"EC52\", \"3C90\", \"52.2x24.2x13.4\", \"5.112\", \"180\", \"284\", \"3400\", \"105\", "
                       "\"18800\", \"111\"]"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\"selected\": 2"), std::string::npos);
    EXPECT_NE(out.find("\"messages\": []"), std::string::npos);
    EXPECT_EQ(readFile("temp.txt"), std::string("\0" "180\0  ", 7));
    EXPECT_EQ(readFile("System.cfg")[6], '*');
    // OK with nothing chosen, then a missing workbook
    out = runCli(dirArg + " 262 --press 1", status);
    EXPECT_NE(out.find("注意:你没有选中列表中的任何磁芯!"), std::string::npos) << out;
    EXPECT_EQ(readFile("System.cfg")[6], '#');
    fs::remove("CoreList.xls");
    out = runCli(dirArg + " 262 --select 1329=4", status);
    ASSERT_EQ(status, 0);
    EXPECT_NE(out.find("\"text\": \"错误:没有找到磁芯数据表!\""), std::string::npos) << out;
    // mode '1' from the graphical flyback's transformer dialog (opened by a click
    // on its "Transformer" label): the core's name, Ae and Le reach the window
    fs::copy_file(fs::path(KV_SOURCE_DIR) / "data" / "CoreList.xls", "CoreList.xls");
    out = runCli(dirArg + " 238 --on 246 --on 262 --select 1329=1 --select 1373=0 --press 1 --end --press 3 "
                          "--press 1 --end --click 700,25",
                 status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("\"opened\": [238, 246, 262]"), std::string::npos) << out;
    EXPECT_NE(out.find("\"text\": \"磁芯:EC35\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"text\": \"Ae:84.3mm2\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"text\": \"Le:77.4mm\""), std::string::npos) << out;
    EXPECT_EQ(readFile("System.cfg")[6], '*');
    EXPECT_EQ(readFile("temp.txt"), std::string("\0" "180\0  ", 7)); // untouched in mode '1'
    // the launcher's Kit button opens the sheet; a script on the editor page runs there
    out = runCli(dirArg + " 102 --on 220 --select 1314=6 --end --press 1186", status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("\"opened\": [102, 216, 220]"), std::string::npos) << out;
}
