#include "shell/Launcher.h"
#include "app/App.h"
#include "script/DesignerFiles.h"
#include "services/Windows.h"

#include "platform/ui/Canvas.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "shell/Popups.h"
#include "services/Settings.h"
#include "tests/common/HeadlessPages.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace kv;
using kv::test::readFile;
using kv::test::writeFile;

namespace {
struct Launcher : test::HeadlessPages {
    // Starts a launcher window as the program does, without running its loop.
    shell::LauncherDialog& start() {
        return static_cast<shell::LauncherDialog&>(
            hb.openModeless(std::make_unique<shell::LauncherDialog>(), nullptr));
    }
    int count(int templateId) const { return int(std::count(hb.opened.begin(), hb.opened.end(), templateId)); }
};

struct FakeDesigner : ui::Dialog {
    explicit FakeDesigner(ui::Dialog* parent) : Dialog(165, parent) {}
};
} // namespace

TEST_F(Launcher, StartCreatesTheFilesAndKeepsExistingOnes) {
    app::registerAll(); // the classic designers' files, as at start-up
    writeFile("RCC cfg.txt", "x = 1;#");
    writeFile("Flyback Interface.txt", ""); // an empty file is the user's too
    writeFile("System.cfg", "1");
    start();
    const auto files = script::allScriptFiles();
    EXPECT_EQ(files.size(), 20u);
    // New files keep the built-in formulas and labels.
    for (std::string_view f : files)
        if (f != "RCC cfg.txt" && f != "Flyback Interface.txt") EXPECT_EQ(readFile(std::string(f)), "#") << f;
    EXPECT_EQ(readFile("RCC cfg.txt"), "x = 1;#");
    EXPECT_EQ(readFile("Flyback Interface.txt"), "");
    EXPECT_EQ(readFile("System.cfg").substr(1), ""); // the countdown wrote its '0' and nothing else
}

TEST_F(Launcher, ANewFolderGetsTheFirstSchematicAndNoWelcome) {
    start();
    EXPECT_EQ(readFile("System.cfg"), services::kNewSettings);
    EXPECT_EQ(services::readSlot(services::kPictureSlot), '#');
    EXPECT_EQ(count(218), 0);
    EXPECT_TRUE(hb.messages.empty());
}

TEST_F(Launcher, SplashRunsFiftyTicksAndNoWelcomeWithoutTheFlag) {
    shell::LauncherDialog& l = start();
    EXPECT_EQ(hb.opened, (std::vector<int>{102, 216}));
    EXPECT_EQ(hb.ticks, 50);
    EXPECT_EQ(hb.now(), 50 * 15);
    EXPECT_EQ(l.frameColor, (ui::Color{255, 128, 0}));
    ASSERT_EQ(l.sysMenu().size(), 2u);
    EXPECT_EQ(l.sysMenu()[1].id, 16);
    EXPECT_EQ(l.sysMenu()[1].text, "关于Korvane(&A)...");
}

TEST_F(Launcher, WelcomeCountsDownOnceAndWritesZero) {
    writeFile("System.cfg", "1#&&&#*");
    start();
    EXPECT_EQ(count(218), 1);
    // 50 splash ticks of 15 ms, then 9 welcome ticks of a second
    EXPECT_EQ(hb.now(), 750 + 9000);
    EXPECT_EQ(readFile("System.cfg"), "0#&&&#*");
    ui::HeadlessBackend again;
    ui::setBackend(&again);
    again.openModeless(std::make_unique<shell::LauncherDialog>(), nullptr);
    EXPECT_EQ(std::count(again.opened.begin(), again.opened.end(), 218), 0);
}

TEST_F(Launcher, StartInAFolderThatCannotBeWrittenStopsWithOneClearError) {
    app::registerAll(); // the classic designers' files, as at start-up
    std::filesystem::create_directory("doomed");
    std::filesystem::current_path("doomed");
    std::filesystem::remove(std::filesystem::current_path());
    shell::LauncherDialog& l = start();
    EXPECT_TRUE(l.startFailed);
    EXPECT_TRUE(l.ended());
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].icon, ui::Icon::Error);
    EXPECT_NE(hb.messages[0].text.find("doomed"), std::string::npos);
    EXPECT_EQ(count(216), 0); // no splash
}

TEST_F(Launcher, LinkAreasAreStrict) {
    shell::LauncherDialog& l = start();
    const size_t before = hb.opened.size();
    // Edges of both areas do nothing.
    for (auto [x, y] : std::vector<std::pair<int, int>>{{10, 128}, {106, 128}, {50, 121}, {50, 135},
                                                        {10, 150}, {106, 150}, {50, 141}, {50, 157}})
        l.onLButtonUp(x, y);
    EXPECT_EQ(hb.opened.size(), before);
    EXPECT_TRUE(hb.shellOpened.empty());
    l.onLButtonUp(11, 122);
    l.onLButtonUp(105, 134);
    EXPECT_EQ(count(100), 2);
    // A missing help page opens nothing and says nothing.
    l.onLButtonUp(50, 150);
    EXPECT_TRUE(hb.shellOpened.empty());
    EXPECT_TRUE(hb.messages.empty());
    writeFile(shell::kHelpPage, "<html></html>");
    l.onLButtonUp(11, 142);
    EXPECT_EQ(hb.shellOpened, std::vector<std::string>{shell::kHelpPage});
}

TEST_F(Launcher, AltAAndAltHFollowTheLinks) {
    shell::LauncherDialog& l = start();
    EXPECT_TRUE(l.onAltKey('A'));
    EXPECT_EQ(count(100), 1);
    // Alt+H with no help page: nothing opens, nothing is said (as the link).
    EXPECT_TRUE(l.onAltKey('H'));
    EXPECT_TRUE(hb.shellOpened.empty());
    EXPECT_TRUE(hb.messages.empty());
    writeFile(shell::kHelpPage, "<html></html>");
    EXPECT_TRUE(l.onAltKey('H'));
    EXPECT_EQ(hb.shellOpened, std::vector<std::string>{shell::kHelpPage});
    // Other letters are not the launcher's.
    const size_t opened = hb.opened.size();
    EXPECT_FALSE(l.onAltKey('Q'));
    EXPECT_FALSE(l.onAltKey('Z'));
    EXPECT_EQ(hb.opened.size(), opened);
}

TEST_F(Launcher, HelpThatNothingCanShowIsSaid) {
    shell::LauncherDialog& l = start();
    writeFile(shell::kHelpPage, "<html></html>");
    hb.viewers = false;
    l.onLButtonUp(11, 142);
    EXPECT_TRUE(hb.shellOpened.empty());
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].text, std::string(shell::kNoHelpViewer) + "\n" + shell::kHelpPage);
    EXPECT_EQ(hb.messages[0].icon, ui::Icon::Warning);
}

TEST_F(Launcher, AboutFromTheWindowMenu) {
    shell::LauncherDialog& l = start();
    l.onSysCommand(16);
    l.onSysCommand(16 | 0x7); // low bits are masked off
    l.onSysCommand(0xF060);   // close and the other system commands are not ours
    EXPECT_EQ(count(100), 2);
}

TEST_F(Launcher, FlybackChooserDefaultsToOb2269AndCancelOpensNothing) {
    shell::LauncherDialog& l = start();
    hb.queueScript(253, [](ui::Dialog& d) {
        EXPECT_TRUE(d.checked(1357));
        EXPECT_FALSE(d.checked(1355));
        d.dispatch(ui::IdOk, ui::Notify::Clicked);
    });
    l.dispatch(shell::LauncherDialog::kFlyback, ui::Notify::Clicked);
    EXPECT_EQ(l.flybackMode, 3);
    // The OB2269 designer is not in this build: the launcher says so.
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].text, shell::kNotInBuild);

    l.dispatch(shell::LauncherDialog::kFlyback, ui::Notify::Clicked); // no script: cancelled
    EXPECT_EQ(l.flybackMode, -1);
    EXPECT_EQ(hb.messages.size(), 1u);
}

TEST_F(Launcher, FlybackChooserLastCheckedWins) {
    int mode = 0;
    shell::FlybackModeDialog d(mode, nullptr);
    hb.queueScript(253, [](ui::Dialog& c) {
        c.clickRadio(1355);
        EXPECT_FALSE(c.checked(1357));
        c.setCheck(1358, true); // two checked: the later one wins
        c.dispatch(ui::IdOk, ui::Notify::Clicked);
    });
    hb.runModal(d, nullptr);
    EXPECT_EQ(mode, 4);
}

TEST_F(Launcher, EachPressOpensAnIndependentDesigner) {
    services::registerWindow<FakeDesigner>(165);
    shell::LauncherDialog& l = start();
    l.dispatch(shell::LauncherDialog::kDcDc, ui::Notify::Clicked);
    l.dispatch(shell::LauncherDialog::kDcDc, ui::Notify::Clicked);
    auto open = hb.modeless();
    ASSERT_EQ(open.size(), 3u); // the launcher and two designers
    EXPECT_NE(open[1], open[2]);
    EXPECT_EQ(open[1]->parent(), &l);
    open[1]->setTitle("first");
    EXPECT_NE(open[2]->title(), "first");
    services::registerWindow(165, nullptr);
    // Buttons without a designer in this build explain themselves.
    l.dispatch(shell::LauncherDialog::kKit, ui::Notify::Clicked);
    l.dispatch(shell::LauncherDialog::kRcc, ui::Notify::Clicked);
    ASSERT_EQ(hb.messages.size(), 2u);
    EXPECT_EQ(hb.messages[1].icon, ui::Icon::Information);
}

TEST_F(Launcher, PaintsTextsFrameAndLinks) {
    shell::LauncherDialog& l = start();
    ui::RecordingCanvas c = ui::HeadlessBackend::paint(l);
    const auto texts = c.texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "(A)关于软件");
    EXPECT_EQ(texts[0].font, "楷体");
    EXPECT_EQ(texts[0].size, 10);
    EXPECT_EQ(texts[0].color, (ui::Color{0, 0, 255}));
    EXPECT_EQ(texts[1].y, 141);
    EXPECT_EQ(texts[2].text, "Topology");
    EXPECT_EQ(texts[2].font, "华文行楷");
    EXPECT_EQ(texts[2].size, 13);
    EXPECT_EQ(texts[2].color, (ui::Color{255, 0, 0}));
    const auto lines = c.lines();
    ASSERT_EQ(lines.size(), 7u);
    // The frame leaves a gap in its top edge for the caption, from x 21 to 95.
    EXPECT_EQ(lines[3].x1, 424);
    EXPECT_EQ(lines[3].x2, 95);
    EXPECT_EQ(lines[4].x2, 21);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(lines[i].width, 2);
        EXPECT_EQ(lines[i].color, (ui::Color{255, 128, 0}));
    }
    EXPECT_EQ(lines[5].width, 1);
    EXPECT_EQ(lines[6].y1, 154);
    // The background is stretched over the client area and a little beyond.
    const auto bmp = std::find_if(c.ops.begin(), c.ops.end(), [](const ui::DrawOp& o) { return o.kind == ui::DrawOp::Bitmap; });
    ASSERT_NE(bmp, c.ops.end());
    EXPECT_EQ(bmp->a, -5);
    EXPECT_EQ(bmp->c - bmp->a, l.clientWidth() + 10);
    EXPECT_EQ(bmp->src.right, 319 + 4);
    EXPECT_EQ(bmp->src.bottom, 160 + 9);
}
