// The general workbook writer: strings over CONTINUE records, grid limits,
// fonts, formats, merges and sheet names, checked with xlrd and our reader.
#include "platform/xls/XlsReader.h"
#include "platform/xls/XlsWriter.h"
#include "tests/platform/xls/TestUtil.h"
#include "tests/platform/xls/XlrdDump.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

using namespace kv::xls;

namespace {

std::string tempFile(const std::string& name)
{
    return ::testing::TempDir() + "kv_writer_" + std::to_string(getpid()) + "_" + name;
}

std::string cjk(int n, int seed)
{
    std::string s;
    for (int i = 0; i < n; ++i) {
        uint32_t cp = 0x4E00 + uint32_t((i * 7 + seed) % 2000);
        s += char(0xE0 | (cp >> 12));
        s += char(0x80 | ((cp >> 6) & 0x3F));
        s += char(0x80 | (cp & 0x3F));
    }
    return s;
}

// Saves, then reads with both readers.
struct Saved {
    kvtest::XlrdBook xlrd;
    Workbook own;
    const Sheet* sheet = nullptr;
};

void saveAndRead(const WorkbookWriter& book, const std::string& name, Saved& out)
{
    std::string path = tempFile(name);
    std::string error;
    ASSERT_TRUE(book.save(path, error)) << error;
    out.xlrd = kvtest::xlrdRead(path);
    ASSERT_TRUE(out.xlrd.ok) << out.xlrd.output;
    ASSERT_TRUE(out.own.open(path, error)) << error;
    EXPECT_TRUE(out.own.issues().empty());
    out.sheet = out.own.firstSheet();
    ASSERT_NE(out.sheet, nullptr);
    std::remove(path.c_str());
}

} // namespace

TEST(XlsWriter, ManyAndLongStringsSpanContinueRecords)
{
    WorkbookWriter book;
    SheetWriter& sh = book.addSheet("Strings");
    std::vector<std::string> texts;
    std::string ascii;
    for (int i = 0; i < 9000; ++i)
        ascii.push_back(char('a' + i % 26));
    texts.push_back(ascii);
    texts.push_back(cjk(5000, 3));
    texts.push_back("\xF0\x9D\x84\x9E clef");            // outside the BMP
    texts.push_back("M\xC3\xBCller \xC2\xB0" "C");     // Latin-1, stored compressed
    texts.push_back("");
    // Enough short strings to need several EXTSST buckets, mixing widths so
    // record boundaries fall inside compressed and UTF-16 strings.
    for (int i = 0; i < 1500; ++i)
        texts.push_back(i % 3 ? "item " + std::to_string(i) + std::string(size_t(i % 40), 'x') : cjk(i % 29 + 1, i));
    for (size_t i = 0; i < texts.size(); ++i)
        ASSERT_TRUE(sh.setText(int(i), int(i % 7), texts[i]));
    // Repeated text shares one entry.
    ASSERT_TRUE(sh.setText(3000, 0, ascii));

    Saved s;
    saveAndRead(book, "strings.xls", s);
    ASSERT_NE(s.sheet, nullptr);
    for (size_t i = 0; i < texts.size(); ++i) {
        const kvtest::XlrdCell* c = s.xlrd.cell(int(i), int(i % 7));
        ASSERT_NE(c, nullptr) << i;
        EXPECT_EQ(c->kind, "text") << i;
        EXPECT_EQ(c->value, texts[i]) << i;
        EXPECT_EQ(s.sheet->text(int(i), int(i % 7)), texts[i]) << i;
    }
    EXPECT_EQ(s.sheet->text(3000, 0), ascii);
    EXPECT_EQ(s.own.sharedStringCount(), texts.size());
}

TEST(XlsWriter, TextIsCleanedToWhatACellCanHold)
{
    WorkbookWriter book;
    SheetWriter& sh = book.addSheet("T");
    sh.setText(0, 0, "a\xFF" "b\xE4\xB8" "c");         // stray and cut-off bytes
    sh.setText(1, 0, std::string(40000, 'z'));        // longer than a cell holds
    std::string pairs;
    for (int i = 0; i < 16384; ++i)
        pairs += "\xF0\x9D\x84\x9E";                  // 32768 UTF-16 units
    sh.setText(2, 0, pairs);
    sh.setText(3, 0, "\xED\xA0\x80");                 // an encoded surrogate

    Saved s;
    saveAndRead(book, "clean.xls", s);
    ASSERT_NE(s.sheet, nullptr);
    EXPECT_EQ(s.sheet->text(0, 0), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD" "c");
    EXPECT_EQ(s.sheet->text(1, 0), std::string(32767, 'z'));
    EXPECT_EQ(s.sheet->text(2, 0).size(), 16383u * 4);   // no half pair at the cut
    EXPECT_EQ(s.xlrd.cell(2, 0)->value.size(), 16383u * 4);
    EXPECT_EQ(s.sheet->text(3, 0), "\xEF\xBF\xBD");
}

TEST(XlsWriter, CellsReplaceAndStayInsideTheGrid)
{
    WorkbookWriter book;
    SheetWriter& sh = book.addSheet("Grid");
    EXPECT_FALSE(sh.setText(65536, 0, "x"));
    EXPECT_FALSE(sh.setNumber(0, 256, 1));
    EXPECT_FALSE(sh.setBlank(-1, 0, kDefaultFormat));
    EXPECT_FALSE(sh.merge(3, 2, 0, 1));
    EXPECT_FALSE(sh.merge(0, 0, 0, 0));
    EXPECT_FALSE(sh.merge(0, 65536, 0, 1));
    EXPECT_FALSE(sh.setColumnWidth(256, 10));
    EXPECT_FALSE(sh.setColumnWidth(0, -1));
    EXPECT_FALSE(sh.setRowHeight(0, 410));

    EXPECT_TRUE(sh.setText(65535, 255, "corner"));
    sh.setText(0, 0, "first");
    sh.setNumber(0, 0, 2.5);        // the later write wins
    sh.setNumber(0, 1, 7);
    sh.setText(0, 1, "seven");
    sh.setNumber(0, 2, -0.0);
    sh.setNumber(0, 3, 1e-300);

    Saved s;
    saveAndRead(book, "grid.xls", s);
    ASSERT_NE(s.sheet, nullptr);
    EXPECT_EQ(s.sheet->number(0, 0), 2.5);
    EXPECT_EQ(s.sheet->text(0, 1), "seven");
    EXPECT_EQ(s.sheet->number(0, 3), 1e-300);
    EXPECT_EQ(s.sheet->text(65535, 255), "corner");
    EXPECT_EQ(s.sheet->cellCount(), 5u);
    EXPECT_EQ(s.xlrd.cell(0, 0)->value, "2.5");
    EXPECT_EQ(s.xlrd.cell(0, 1)->value, "seven");
    EXPECT_EQ(s.xlrd.cell(65535, 255)->value, "corner");
    EXPECT_TRUE(s.xlrd.merges.empty());
    EXPECT_EQ(s.xlrd.grid, 1);
}

TEST(XlsWriter, FontsFormatsAndMerges)
{
    WorkbookWriter book;
    // Enough fonts that the skipped font index 4 matters.
    FontId fonts[6];
    for (int i = 0; i < 6; ++i)
        fonts[i] = book.addFont(FontSpec{"Font" + std::to_string(i), 8.0 + i, uint16_t(8 + i), i % 2 == 1, i % 3 == 2});
    NumFormatId pct = book.addNumberFormat("0.0%");
    NumFormatId money = book.addNumberFormat("#,##0.00 \"元\"");
    EXPECT_EQ(book.addNumberFormat("0.0%"), pct);
    SheetWriter& sh = book.addSheet("F");
    for (int i = 0; i < 6; ++i) {
        FormatSpec f;
        f.font = fonts[i];
        f.horizontal = HAlign(i % 4);
        f.vertical = VAlign(i % 3);
        f.wrap = i == 3;
        f.shrink = i == 4;
        f.numberFormat = i == 1 ? pct : i == 2 ? money : NumFormatId(2);
        f.left = {LineStyle::Thin, 8};
        f.right = {LineStyle::Medium, 10};
        f.top = {LineStyle::Dotted, 12};
        f.bottom = {LineStyle::Double, 63};
        sh.setNumber(i, 0, i, book.addFormat(f));
    }
    // 1100 merges need two MERGEDCELLS records.
    for (int i = 0; i < 1100; ++i)
        ASSERT_TRUE(sh.merge(10 + i, 10 + i, 0, 1 + i % 3));

    Saved s;
    saveAndRead(book, "fonts.xls", s);
    ASSERT_NE(s.sheet, nullptr);
    const char* formats[] = {"0.00", "0.0%", "#,##0.00 \"元\"", "0.00", "0.00", "0.00"};
    for (int i = 0; i < 6; ++i) {
        const kvtest::XlrdXf* x = s.xlrd.xfOf(i, 0);
        ASSERT_NE(x, nullptr) << i;
        EXPECT_EQ(x->font, "Font" + std::to_string(i));
        EXPECT_EQ(x->height, (8 + i) * 20);
        EXPECT_EQ(x->colour, 8 + i);
        EXPECT_EQ(x->bold, i % 2);
        EXPECT_EQ(x->italic, i % 3 == 2 ? 1 : 0);
        EXPECT_EQ(x->halign, i % 4);
        EXPECT_EQ(x->valign, i % 3);
        EXPECT_EQ(x->lines, "1,2,4,6");
        EXPECT_EQ(x->colours, "8,10,12,63");
        EXPECT_EQ(x->format, formats[i]);
        EXPECT_EQ(x->fit, i == 3 ? "1,0" : i == 4 ? "0,1" : "0,0");
    }
    ASSERT_EQ(s.xlrd.merges.size(), 1100u);
    std::sort(s.xlrd.merges.begin(), s.xlrd.merges.end());
    for (int i = 0; i < 1100; ++i)
        EXPECT_EQ(s.xlrd.merges[size_t(i)], (std::array<int, 4>{10 + i, 10 + i, 0, 1 + i % 3}));
}

TEST(XlsWriter, SheetNamesAreMadeValid)
{
    struct Case {
        std::string first, firstStored, second, secondStored;
    } cases[] = {
        {"a/b:c*?[x]\\", "a_b_c___x__", "Second", "Second"},
        {std::string(40, 'n'), std::string(31, 'n'), "Second", "Second"},
        {cjk(40, 1), cjk(31, 1), "", "Sheet2"},
        {"second", "second", "Second", "Second (2)"},
        {std::string(31, 'S'), std::string(31, 'S'), std::string(35, 's'), std::string(27, 's') + " (2)"},
        {cjk(31, 2), cjk(31, 2), cjk(31, 2), cjk(27, 2) + " (2)"},
    };
    for (const Case& c : cases) {
        WorkbookWriter book;
        book.addSheet(c.first).setNumber(0, 0, 1);
        book.addSheet(c.second).setText(0, 0, "two");
        Saved s;
        saveAndRead(book, "names.xls", s);
        ASSERT_NE(s.sheet, nullptr);
        EXPECT_EQ(s.xlrd.sheets, (std::vector<std::string>{c.firstStored, c.secondStored}));
        EXPECT_EQ(s.sheet->name(), c.firstStored);
        EXPECT_EQ(s.sheet->number(0, 0), 1.0);
    }
}
