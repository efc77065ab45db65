#include "platform/xls/XlsReader.h"
#include "tests/common/TempDir.h"
#include "platform/ui/Numbers.h"
#include "tools/Cli.h"

#include <gtest/gtest.h>

TEST(GraphicCli, ClicksDialogsAndSavingFromTheCommandLine) {
    kv::test::TempDir dir;
    std::string out, err;
    const std::string file = (dir.path() / "r.xls").string();
    ASSERT_EQ(kv::tools::runCli({"238", "--on", "250", "--set", "1047=12", "--set", "1041=2", "--press", "1", "--end",
                                 "--click", "1020,110", "--file", file, "--press", "1346"},
                                out, err),
              0)
        << err;
    EXPECT_NE(out.find("\"opened\": [238, 250]"), std::string::npos);
    EXPECT_NE(out.find("{\"text\": \"12V\", \"x\": 1000, \"y\": 55"), std::string::npos);
    kv::xls::Workbook book;
    std::string error;
    ASSERT_TRUE(book.open(file, error)) << error;
    const kv::xls::Sheet* sheet = book.firstSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->text(4, 1), "PWM—12V2A Flyback");
    EXPECT_EQ(sheet->text(12, 0), "Vo");
    EXPECT_EQ(sheet->number(12, 2), 12.0);
    EXPECT_EQ(sheet->number(13, 2), 2.0);
}

// Found after the walker's finding in the single-stage PFC (same conversion):
// korvane-cli 238 --on 250 --set 1047=1e30 --press 1 --end --click 1020,110
// showed the recommended switch current as -9223372036854775808 A (a 64-bit
// integer conversion out of range, undefined behaviour). It reads as the
// current the design needs, never cut down to whole amperes, at any size.
TEST(GraphicCli, TheRecommendedSwitchCurrentReadsAsItsNumberAtAnySize) {
    kv::test::TempDir dir;
    std::string out, err;
    auto recommended = [&](const std::string& vo) {
        EXPECT_EQ(kv::tools::runCli({"--dir", dir.path().string(), "238", "--on", "250", "--set", "1047=" + vo,
                                     "--press", "1", "--end", "--click", "1020,110"},
                                    out, err),
                  0)
            << err;
        const std::string key = "\"text\": \"电流推荐值:";
        const auto at = out.find(key);
        if (at == std::string::npos) return std::string("(none)");
        return out.substr(at + key.size(), out.find('"', at + key.size()) - at - key.size());
    };
    // An ordinary design: a positive current in amperes.
    const std::string ordinary = recommended("12");
    ASSERT_GT(ordinary.size(), 1u);
    EXPECT_EQ(ordinary.back(), 'A');
    double usual = 0;
    ASSERT_TRUE(kv::ui::parseNumber(ordinary.substr(0, ordinary.size() - 1), usual)) << ordinary;
    EXPECT_GT(usual, 0);
    const std::string huge = recommended("1e30");
    EXPECT_NE(huge[0], '-') << huge;
    double amps = 0;
    ASSERT_TRUE(kv::ui::parseNumber(huge.substr(0, huge.size() - 1), amps)) << huge;
    // An output of 1e30 V asks for a switch current far beyond any part.
    EXPECT_GT(amps, 1e20);
}
