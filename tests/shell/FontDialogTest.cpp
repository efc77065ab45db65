// The font dialog: the size and face it stores in the settings file, and
// what it shows of any content there.
#include "shell/FontDialog.h"

#include "services/Settings.h"
#include "services/Templates.h"
#include "tests/common/HeadlessPages.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <random>

using namespace kv;
using kv::test::readFile;
using kv::test::writeFile;

namespace {
struct FontDialog : test::HeadlessPages {
    // Opens the font dialog over an owner, types `size`, chooses `face` and presses OK.
    void setFont(const std::string& size, int face = -1) {
        ui::Dialog owner(tpl::kLauncher, nullptr);
        shell::FontDialog d(&owner);
        hb.queueScript(tpl::kFont, [&](ui::Dialog& dlg) {
            dlg.setText(shell::FontDialog::kSize, size);
            if (face >= 0) dlg.select(shell::FontDialog::kFace, face);
            dlg.dispatch(ui::IdOk, ui::Notify::Clicked);
        });
        result = owner.runModal(d);
    }
    int result = 0;
};
} // namespace

// Up to the largest size at which the graphical flyback's texts still clear each other (10 pt).
TEST_F(FontDialog, LimitsAreElevenToTheLargestThatFits) {
    EXPECT_EQ(services::kLargestDisplayFont, 100);
    for (const char* bad : {"10", "101", "200", "201", "0", "-5"}) {
        setFont(bad);
        EXPECT_EQ(result, ui::IdCancel) << bad; // stayed open until the script ran out
        ASSERT_FALSE(hb.messages.empty());
        EXPECT_EQ(hb.messages.back().text, "错误：字体大小超出范围!") << bad;
    }
    EXPECT_EQ(readFile("System.cfg"), services::kNewSettings); // nothing written
    setFont("11");
    EXPECT_EQ(result, ui::IdOk);
    EXPECT_EQ(services::readFontSize(), 11);
    setFont("100");
    EXPECT_EQ(result, ui::IdOk);
    EXPECT_EQ(services::readFontSize(), 100);
}

TEST_F(FontDialog, RefusesANonInteger) {
    setFont("12.5");
    EXPECT_EQ(result, ui::IdCancel);
    ASSERT_EQ(hb.messages.size(), 2u);
    EXPECT_EQ(hb.messages[0].text, "请键入一个整数。");
    EXPECT_EQ(hb.messages[1].text, "请输入正确的字体大小!");
    EXPECT_EQ(hb.messages[1].owner, tpl::kFont);
}

TEST_F(FontDialog, StoresTheShownPositionOfTheFace) {
    setFont("100", 1); // shown order: 黑体, 华文行楷, 楷体, 宋体
    EXPECT_EQ(readFile("System.cfg").substr(0, 5), "01100");
    EXPECT_EQ(services::displayFontFace(), "华文行楷");
    // Reopening shows what was stored.
    hb.openModeless(std::unique_ptr<ui::Dialog>(new shell::FontDialog(nullptr)), nullptr);
    ui::Dialog* open = hb.modeless().back();
    EXPECT_EQ(open->text(shell::FontDialog::kFace), "华文行楷");
    EXPECT_EQ(open->text(shell::FontDialog::kSize), "100");
}

TEST_F(FontDialog, OnAnUnknownFaceDigitShowsTheFirst) {
    writeFile("System.cfg", "#9" "7&&");
    hb.openModeless(std::make_unique<shell::FontDialog>(nullptr), nullptr);
    ui::Dialog* open = hb.modeless().back();
    EXPECT_EQ(open->selected(shell::FontDialog::kFace), 0);
    EXPECT_EQ(open->text(shell::FontDialog::kSize), "7");
}

TEST_F(FontDialog, AnyContentOfAnyLengthIsSafe) {
    std::mt19937 rng(7);
    for (size_t len : {0ul, 1ul, 2ul, 3ul, 6ul, 7ul, 100ul, 3000000ul}) {
        std::string junk(len, '\0');
        for (char& c : junk) c = char(rng());
        writeFile("System.cfg", junk);
        writeFile("temp.txt", junk);
        const int size = services::readFontSize();
        EXPECT_GE(size, 0);
        EXPECT_LE(size, 999);
        const int face = services::fontFacePosition();
        EXPECT_TRUE(face >= 0 && face <= 3);
        (void)services::readTempNumber();
        hb.openModeless(std::make_unique<shell::FontDialog>(nullptr), nullptr);
    }
    EXPECT_TRUE(hb.messages.empty());
}
