#include "platform/xls/XlsReader.h"
#include "tests/common/TempDir.h"
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
