#include "services/Settings.h"

#include "platform/ui/headless/HeadlessBackend.h"
#include "shell/FontDialog.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <random>

using namespace kv;
using kv::test::readFile;
using kv::test::writeFile;

namespace {
struct Settings : ::testing::Test {
    test::TempDir dir;
    ui::HeadlessBackend hb;
    Settings() { ui::setBackend(&hb); }

    // Opens the font dialog over an owner, types `size`, chooses `face` and presses OK.
    void setFont(const std::string& size, int face = -1) {
        ui::Dialog owner(102, nullptr);
        shell::FontDialog d(&owner);
        hb.queueScript(265, [&](ui::Dialog& dlg) {
            dlg.setText(shell::FontDialog::kSize, size);
            if (face >= 0) dlg.select(shell::FontDialog::kFace, face);
            dlg.dispatch(ui::IdOk, ui::Notify::Clicked);
        });
        result = owner.runModal(d);
    }
    int result = 0;
};
} // namespace

TEST_F(Settings, SlotsPastTheEndReadAsAbsent) {
    EXPECT_FALSE(services::readSlot(services::kWelcomeSlot).has_value());
    EXPECT_TRUE(std::filesystem::exists("System.cfg")); // created empty
    writeFile("System.cfg", "1");
    EXPECT_EQ(services::readSlot(0), '1');
    EXPECT_FALSE(services::readSlot(services::kHandshakeSlot).has_value());
    EXPECT_EQ(services::fontFacePosition(), 0);
    EXPECT_EQ(services::readFontSize(), 0);
    EXPECT_EQ(services::displayFontFace(), "");
}

TEST_F(Settings, WritingPastTheEndZeroFills) {
    writeFile("System.cfg", "1");
    EXPECT_TRUE(services::writeSlot(services::kHandshakeSlot, '*'));
    EXPECT_EQ(readFile("System.cfg"), std::string("1\0\0\0\0\0*", 7));
    EXPECT_EQ(services::readSlot(services::kPictureSlot), '\0');
}

TEST_F(Settings, FontSizeEncoding) {
    services::writeFont(2, 50);
    EXPECT_EQ(readFile("System.cfg").substr(1, 4), "250&");
    EXPECT_EQ(services::readFontSize(), 50);
    services::writeFont(1, 150);
    EXPECT_EQ(readFile("System.cfg").substr(1, 4), "1150");
    EXPECT_EQ(services::readFontSize(), 150);
    services::writeFont(0, 7);
    EXPECT_EQ(readFile("System.cfg").substr(1, 4), "07&&");
    EXPECT_EQ(services::readFontSize(), 7);
    // Each non-digit ends the number.
    writeFile("System.cfg", "xx1&5");
    EXPECT_EQ(services::readFontSize(), 1);
    writeFile("System.cfg", "xx&99");
    EXPECT_EQ(services::readFontSize(), 0);
}

TEST_F(Settings, FontDialogLimitsAreElevenToTwoHundred) {
    for (const char* bad : {"10", "201", "0", "-5"}) {
        setFont(bad);
        EXPECT_EQ(result, ui::IdCancel) << bad; // stayed open until the script ran out
        ASSERT_FALSE(hb.messages.empty());
        EXPECT_EQ(hb.messages.back().text, "错误：字体大小超出范围!") << bad;
    }
    EXPECT_EQ(readFile("System.cfg"), "");
    setFont("11");
    EXPECT_EQ(result, ui::IdOk);
    EXPECT_EQ(services::readFontSize(), 11);
    setFont("200");
    EXPECT_EQ(result, ui::IdOk);
    EXPECT_EQ(services::readFontSize(), 200);
}

TEST_F(Settings, FontDialogRefusesANonInteger) {
    setFont("12.5");
    EXPECT_EQ(result, ui::IdCancel);
    ASSERT_EQ(hb.messages.size(), 2u);
    EXPECT_EQ(hb.messages[0].text, "请键入一个整数。");
    EXPECT_EQ(hb.messages[1].text, "请输入正确的字体大小!");
    EXPECT_EQ(hb.messages[1].owner, 265);
}

TEST_F(Settings, FontDialogStoresTheShownPositionOfTheFace) {
    setFont("120", 1); // shown order: 黑体, 华文行楷, 楷体, 宋体
    EXPECT_EQ(readFile("System.cfg").substr(0, 5), std::string("\0" "1120", 5));
    EXPECT_EQ(services::displayFontFace(), "华文行楷");
    // Reopening shows what was stored.
    hb.openModeless(std::unique_ptr<ui::Dialog>(new shell::FontDialog(nullptr)), nullptr);
    ui::Dialog* open = hb.modeless().back();
    EXPECT_EQ(open->text(shell::FontDialog::kFace), "华文行楷");
    EXPECT_EQ(open->text(shell::FontDialog::kSize), "120");
}

TEST_F(Settings, FontDialogOnAnUnknownFaceDigitShowsTheFirst) {
    writeFile("System.cfg", "#9" "7&&");
    hb.openModeless(std::make_unique<shell::FontDialog>(nullptr), nullptr);
    ui::Dialog* open = hb.modeless().back();
    EXPECT_EQ(open->selected(shell::FontDialog::kFace), 0);
    EXPECT_EQ(open->text(shell::FontDialog::kSize), "7");
}

TEST_F(Settings, TempNumberIsSixCharacters) {
    EXPECT_EQ(services::tempNumberText(126.5), std::string("126.5\0", 6));
    EXPECT_EQ(services::tempNumberText(52), std::string("52\0   ", 6));
    EXPECT_EQ(services::tempNumberText(123.456), "123.45"); // cut, no terminator
    EXPECT_EQ(services::tempNumberText(1234567), "1.2345");
    services::writeTempNumber(97.1);
    const std::string t = readFile("temp.txt");
    EXPECT_EQ(t, std::string("\0" "97.1\0 ", 7));
    EXPECT_DOUBLE_EQ(services::readTempNumber(), 97.1);
    services::writeTempNumber(123.456);
    EXPECT_DOUBLE_EQ(services::readTempNumber(), 123.45);
}

TEST_F(Settings, TempNumberReadsWhatAStandardConversionWould) {
    EXPECT_DOUBLE_EQ(services::leadingNumber("  42abc"), 42);
    EXPECT_DOUBLE_EQ(services::leadingNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(services::leadingNumber(""), 0);
    EXPECT_DOUBLE_EQ(services::leadingNumber("-1.5e2x"), -150);
    writeFile("temp.txt", "x");
    EXPECT_DOUBLE_EQ(services::readTempNumber(), 0);
}

TEST_F(Settings, AnyContentOfAnyLengthIsSafe) {
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

TEST_F(Settings, AFileThatCannotBeOpenedIsReportedNotSwallowed) {
    std::filesystem::create_directory("System.cfg");
    EXPECT_FALSE(services::readSlot(0).has_value());
    EXPECT_FALSE(services::writeSlot(0, '1'));
    ASSERT_EQ(hb.messages.size(), 2u);
    EXPECT_EQ(hb.messages[0].icon, ui::Icon::Error);
    EXPECT_NE(hb.messages[0].text.find("System.cfg"), std::string::npos);
}
