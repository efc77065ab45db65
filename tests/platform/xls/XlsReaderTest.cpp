// Reading workbooks written by xlwt (tests/platform/xls/fixtures/make_fixtures.py).
#include "platform/xls/XlsReader.h"
#include "tests/platform/xls/TestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

using kv::xls::CellType;
using kv::xls::Workbook;
using kvtest::fixture;

namespace {

std::string longAscii()
{
    std::string s;
    for (int i = 0; i < 9000; ++i)
        s.push_back(char('a' + i % 26));
    return s;
}

std::string utf8(uint32_t cp)
{
    std::string s;
    if (cp < 0x800) {
        s += char(0xC0 | (cp >> 6));
        s += char(0x80 | (cp & 0x3F));
    } else {
        s += char(0xE0 | (cp >> 12));
        s += char(0x80 | ((cp >> 6) & 0x3F));
        s += char(0x80 | (cp & 0x3F));
    }
    return s;
}

std::string longCjk()
{
    std::string s;
    for (int i = 0; i < 5000; ++i)
        s += utf8(0x4E00 + (i * 7) % 2000);
    return s;
}

class Basic : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(book.open(fixture("basic.xls"), error)) << error;
        sheet = book.firstSheet();
        ASSERT_NE(sheet, nullptr);
    }
    Workbook book;
    const kv::xls::Sheet* sheet = nullptr;
};

} // namespace

TEST_F(Basic, FirstSheetOnly)
{
    EXPECT_EQ(sheet->name(), "Data");
    EXPECT_TRUE(book.issues().empty());
    // "Other" holds B2 = 99 and "other sheet" in A1; neither leaks in.
    EXPECT_EQ(sheet->text(0, 0), "Hello");
    EXPECT_NE(sheet->text(0, 0), "other sheet");
    EXPECT_EQ(sheet->rowEnd(), 201);
    EXPECT_EQ(sheet->colEnd(), 256);
}

TEST_F(Basic, Strings)
{
    EXPECT_EQ(sheet->cellType(0, 1), CellType::String);
    EXPECT_EQ(sheet->text(0, 1), "M\xC3\xBCller \xC2\xB0" "C \xC2\xB5H");
    EXPECT_EQ(sheet->text(0, 2), "\xE7\xA3\x81\xE8\x8A\xAF\xE6\x95\xB0\xE6\x8D\xAE");   // 磁芯数据
    EXPECT_EQ(sheet->text(0, 3), "\xF0\x9D\x84\x9E clef");                             // surrogate pair
    EXPECT_EQ(sheet->text(4, 2), "Hello");
    EXPECT_EQ(sheet->text(5, 0), "bold part");                                        // rich runs skipped
    EXPECT_EQ(sheet->text(200, 255), "corner");
}

TEST_F(Basic, LongStringsSplitOverContinue)
{
    EXPECT_EQ(sheet->text(4, 0), longAscii());
    EXPECT_EQ(sheet->text(4, 1), longCjk());
}

TEST_F(Basic, NumbersFromRkMulRkAndNumber)
{
    const double expected[] = {1, 2, 3, 3.14, 1.0 / 3, -7, 1e300, -0.05};
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(sheet->cellType(1, c), CellType::Number) << c;
        EXPECT_DOUBLE_EQ(sheet->number(1, c), expected[c]) << c;
        EXPECT_FALSE(sheet->isFormula(1, c));
    }
}

TEST_F(Basic, BooleansErrorsBlanks)
{
    EXPECT_EQ(sheet->cellType(2, 0), CellType::Boolean);
    EXPECT_TRUE(sheet->boolean(2, 0));
    EXPECT_FALSE(sheet->boolean(2, 1));
    EXPECT_EQ(sheet->cellType(2, 2), CellType::Error);
    EXPECT_EQ(sheet->errorCode(2, 2), 0x07);
    EXPECT_EQ(sheet->errorCode(2, 3), 0x2A);
    for (int c : {0, 1, 2, 4})
        EXPECT_EQ(sheet->cellType(3, c), CellType::Blank) << c;
    EXPECT_EQ(sheet->cellType(3, 3), CellType::Empty);
}

TEST_F(Basic, WrongTypeAndOutOfRangeQueries)
{
    EXPECT_EQ(sheet->number(0, 0), 0.0);       // text cell
    EXPECT_EQ(sheet->text(1, 0), "");          // number cell
    EXPECT_EQ(sheet->errorCode(1, 0), 0);
    EXPECT_EQ(sheet->cellType(-1, 0), CellType::Empty);
    EXPECT_EQ(sheet->cellType(0, 256), CellType::Empty);
    EXPECT_EQ(sheet->cellType(70000, 0), CellType::Empty);
    EXPECT_EQ(sheet->cellType(150, 5), CellType::Empty);
}

TEST(XlsFormulas, CachedResults)
{
    Workbook book;
    std::string error;
    ASSERT_TRUE(book.open(fixture("formulas.xls"), error)) << error;
    const auto* s = book.firstSheet();
    ASSERT_NE(s, nullptr);
    for (int r = 0; r < 5; ++r)
        EXPECT_TRUE(s->isFormula(r, 0)) << r;
    EXPECT_EQ(s->cellType(0, 0), CellType::Number);
    EXPECT_DOUBLE_EQ(s->number(0, 0), 42.5);
    EXPECT_EQ(s->cellType(1, 0), CellType::String);
    EXPECT_EQ(s->text(1, 0), "cached text");
    EXPECT_EQ(s->cellType(2, 0), CellType::Boolean);
    EXPECT_TRUE(s->boolean(2, 0));
    EXPECT_EQ(s->cellType(3, 0), CellType::Error);
    EXPECT_EQ(s->errorCode(3, 0), 0x17);
    EXPECT_EQ(s->cellType(4, 0), CellType::String);
    EXPECT_EQ(s->text(4, 0), "");
    EXPECT_FALSE(s->isFormula(5, 0));
    EXPECT_DOUBLE_EQ(s->number(5, 0), 7.25);
    EXPECT_TRUE(s->isFormula(5, 1));
    EXPECT_DOUBLE_EQ(s->number(5, 1), 14.5);
}

TEST(XlsSharedStrings, HandSplitContinueRecords)
{
    Workbook book;
    std::string error;
    ASSERT_TRUE(book.open(fixture("sst_split.xls"), error)) << error;
    const auto* s = book.firstSheet();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(book.issues().empty());
    EXPECT_EQ(s->text(0, 0), "plain");
    EXPECT_EQ(s->text(1, 0), std::string(300, 'A'));
    EXPECT_EQ(s->text(2, 0), "\xE7\xA3\x81\xE8\x8A\xAF\xE6\x9D\x90\xE6\x96\x99 ferrite");   // 磁芯材料
    EXPECT_EQ(s->text(3, 0), "after phonetic");
    EXPECT_EQ(s->text(4, 0), "\xE4\xB8\xAD\xE6\x96\x87" "abc");                             // 中文abc
    EXPECT_EQ(s->text(5, 0), "tail");
}

TEST(XlsOpen, ReopenReplacesContent)
{
    Workbook book;
    std::string error;
    ASSERT_TRUE(book.open(fixture("basic.xls"), error));
    ASSERT_TRUE(book.open(fixture("formulas.xls"), error));
    EXPECT_EQ(book.firstSheet()->text(0, 0), "");
    EXPECT_DOUBLE_EQ(book.firstSheet()->number(0, 0), 42.5);
    EXPECT_FALSE(book.open(fixture("missing.xls"), error));
    EXPECT_NE(error.find("missing.xls"), std::string::npos);
    EXPECT_EQ(book.firstSheet(), nullptr);
}
