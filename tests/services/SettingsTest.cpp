// The settings file's one-byte slots (System.cfg) and the number slot of
// temp.txt: read and written in place, any content safe.
#include "services/Settings.h"

#include "tests/common/HeadlessPages.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

using namespace kv;
using kv::test::readFile;
using kv::test::writeFile;

namespace {
struct Settings : test::HeadlessPages {};
} // namespace

TEST_F(Settings, ANewFileShowsTheFirstSchematicAndNothingElse) {
    // Whichever access comes first creates the file.
    EXPECT_EQ(services::readSlot(services::kPictureSlot), '#');
    EXPECT_EQ(readFile("System.cfg"), services::kNewSettings);
    // It reads as an empty file did, but for the picture: no welcome notice,
    // the system face at its default size, no handshake.
    EXPECT_NE(services::readSlot(services::kWelcomeSlot), '1');
    EXPECT_EQ(services::fontFacePosition(), 0);
    EXPECT_EQ(services::displayFontFace(), "");
    EXPECT_EQ(services::readFontSize(), 0);
    EXPECT_FALSE(services::readSlot(services::kHandshakeSlot).has_value());
    // A write into a missing file starts from the same content.
    std::filesystem::remove("System.cfg");
    EXPECT_TRUE(services::writeSlot(services::kHandshakeSlot, '*'));
    EXPECT_EQ(readFile("System.cfg"), std::string(services::kNewSettings) + "*");
    std::filesystem::remove("System.cfg");
    services::writeFont(3, 120);
    EXPECT_EQ(readFile("System.cfg"), "03120#");
}

TEST_F(Settings, AnExistingFileIsNeverFilledIn) {
    for (const std::string& held : {std::string(), std::string("1"), std::string("0123&*1")}) {
        writeFile("System.cfg", held);
        EXPECT_TRUE(services::ensureSettingsFile());
        services::readSlot(services::kPictureSlot);
        EXPECT_EQ(readFile("System.cfg"), held);
    }
}

TEST_F(Settings, SlotsPastTheEndReadAsAbsent) {
    writeFile("System.cfg", "");
    EXPECT_FALSE(services::readSlot(services::kWelcomeSlot).has_value());
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

TEST_F(Settings, AFileThatCannotBeOpenedIsReportedNotSwallowed) {
    std::filesystem::create_directory("System.cfg");
    EXPECT_FALSE(services::readSlot(0).has_value());
    EXPECT_FALSE(services::writeSlot(0, '1'));
    ASSERT_EQ(hb.messages.size(), 2u);
    EXPECT_EQ(hb.messages[0].icon, ui::Icon::Error);
    EXPECT_NE(hb.messages[0].text.find("System.cfg"), std::string::npos);
}
