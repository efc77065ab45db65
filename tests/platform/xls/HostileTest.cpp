// Damaged and hostile input: the reader must fail with a message or return a
// partial result, never crash, overrun or hang.
#include "platform/xls/XlsReader.h"
#include "tests/platform/xls/TestUtil.h"

#include <gtest/gtest.h>

#include <random>

using kv::xls::CellType;
using kv::xls::Workbook;
using namespace kvtest;

namespace {

uint32_t get32(const Bytes& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
void set32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

size_t sectorOffset(uint32_t sid) { return (size_t(sid) + 1) * 512; }

// Directory entry of the named stream (UTF-16 name at the entry start).
size_t dirEntry(const Bytes& file, const std::string& name)
{
    Bytes key;
    for (char c : name) {
        key.push_back(uint8_t(c));
        key.push_back(0);
    }
    for (uint32_t sid = get32(file, 0x30); sectorOffset(sid) + 512 <= file.size();) {
        for (size_t e = sectorOffset(sid); e < sectorOffset(sid) + 512; e += 128)
            if (std::equal(key.begin(), key.end(), file.begin() + long(e)))
                return e;
        break;   // the fixtures keep the directory in one sector
    }
    return 0;
}

struct Result {
    bool ok;
    std::string error;
    std::unique_ptr<Workbook> book;
};

Result load(const Bytes& b)
{
    Result r{false, {}, std::make_unique<Workbook>()};
    r.ok = r.book->openMemory(b.data(), b.size(), r.error);
    return r;
}

// A load of damaged data must either fail with a message or return cells that
// agree with the undamaged workbook.
void expectFailOrSubset(const Result& r, const Workbook& good, const std::string& what)
{
    if (!r.ok) {
        EXPECT_FALSE(r.error.empty()) << what;
        EXPECT_EQ(r.book->firstSheet(), nullptr) << what;
        return;
    }
    const auto* s = r.book->firstSheet();
    const auto* g = good.firstSheet();
    if (!s)
        return;
    for (int row = 0; row < s->rowEnd(); ++row)
        for (int col = 0; col < s->colEnd(); ++col) {
            CellType t = s->cellType(row, col);
            if (t == CellType::Number) {
                EXPECT_EQ(s->number(row, col), g->number(row, col)) << what;
            } else if (t == CellType::String && !s->text(row, col).empty()) {
                EXPECT_EQ(s->text(row, col), g->text(row, col)) << what;
            }
        }
}

class Hostile : public ::testing::Test {
protected:
    void SetUp() override
    {
        file = readAll(fixture("basic.xls"));
        ASSERT_GT(file.size(), 4096u);
        std::string error;
        ASSERT_TRUE(good.openMemory(file.data(), file.size(), error)) << error;
    }
    Bytes file;
    Workbook good;
};

} // namespace

TEST(XlsContainer, NotAWorkbook)
{
    Result empty = load({});
    EXPECT_FALSE(empty.ok);
    EXPECT_NE(empty.error.find("OLE2"), std::string::npos) << empty.error;

    Bytes text(2000, 'x');
    EXPECT_FALSE(load(text).ok);

    std::mt19937 rng(7);
    for (size_t size : {1u, 511u, 512u, 1536u, 5000u, 70000u}) {
        Bytes junk(size);
        for (auto& b : junk)
            b = uint8_t(rng());
        Result r = load(junk);
        EXPECT_FALSE(r.ok) << size;
        EXPECT_FALSE(r.error.empty());
    }
}

TEST_F(Hostile, RandomBytesBehindAValidHeader)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 40; ++round) {
        Bytes b = file;
        for (size_t i = 512; i < b.size(); ++i)
            b[i] = uint8_t(rng());
        Result r = load(b);
        if (!r.ok) {
            EXPECT_FALSE(r.error.empty());
        }
    }
    // Sparse bit flips keep most structure and reach deeper code.
    for (int round = 0; round < 200; ++round) {
        Bytes b = file;
        for (int k = 0; k < 8; ++k)
            b[rng() % b.size()] ^= uint8_t(1u << (rng() % 8));
        Result r = load(b);
        if (!r.ok) {
            EXPECT_FALSE(r.error.empty());
        }
    }
}

TEST_F(Hostile, Truncated)
{
    for (size_t len = 0; len < file.size(); len += len < 1024 ? 97 : 509) {
        Bytes b(file.begin(), file.begin() + long(len));
        expectFailOrSubset(load(b), good, "length " + std::to_string(len));
    }
}

TEST_F(Hostile, AllocationTableLoops)
{
    uint32_t fatSid = get32(file, 0x4C);
    size_t fat = sectorOffset(fatSid);
    ASSERT_LE(fat + 512, file.size());

    Bytes selfLoop = file;   // every sector chains to itself
    for (uint32_t i = 0; i < 128; ++i)
        if (i != fatSid)
            set32(selfLoop, fat + 4 * i, i);
    expectFailOrSubset(load(selfLoop), good, "self loop");

    Bytes backLoop = file;   // every sector chains to sector 0
    for (uint32_t i = 0; i < 128; ++i)
        if (i != fatSid)
            set32(backLoop, fat + 4 * i, 0);
    expectFailOrSubset(load(backLoop), good, "loop to 0");

    Bytes outside = file;    // chains point past the end of the file
    for (uint32_t i = 0; i < 128; ++i)
        if (i != fatSid)
            set32(outside, fat + 4 * i, 0x00FFFFF0u + i);
    expectFailOrSubset(load(outside), good, "outside");

    Bytes hugeFatCount = file;
    set32(hugeFatCount, 0x2C, 0x7FFFFFFF);
    Result r = load(hugeFatCount);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("allocation table"), std::string::npos) << r.error;
}

TEST_F(Hostile, StreamSizeLies)
{
    size_t e = dirEntry(file, "Workbook");
    ASSERT_NE(e, 0u);
    for (uint32_t size : {0u, 1u, 100u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        Bytes b = file;
        set32(b, e + 0x78, size);
        expectFailOrSubset(load(b), good, "size " + std::to_string(size));
    }
    Bytes b = file;
    set32(b, e + 0x74, 0xFFFFFF00u);   // start sector far outside
    expectFailOrSubset(load(b), good, "start sector");
}

TEST(XlsBiff, VersionAndEncryption)
{
    Result biff5 = load(oleWrap(concat({bof(0x0005, 0x0500), eofRec()})));
    EXPECT_FALSE(biff5.ok);
    EXPECT_NE(biff5.error.find("version"), std::string::npos) << biff5.error;

    Result oldName = load(oleWrap(workbookStream({}, eofRec()), "Book"));
    EXPECT_FALSE(oldName.ok);
    EXPECT_NE(oldName.error.find("Excel 5.0"), std::string::npos) << oldName.error;

    Result noBof = load(oleWrap(concat({numberRec(0, 0, 1), eofRec()})));
    EXPECT_FALSE(noBof.ok);
    EXPECT_NE(noBof.error.find("BOF"), std::string::npos);

    Bytes pass;
    add16(pass, 1);
    Result enc = load(oleWrap(workbookStream(rec(0x002F, pass), eofRec())));
    EXPECT_FALSE(enc.ok);
    EXPECT_NE(enc.error.find("password"), std::string::npos);
}

TEST(XlsBiff, SheetsMissingOrMisplaced)
{
    Result none = load(oleWrap(workbookStream({}, eofRec(), -1, false)));
    ASSERT_TRUE(none.ok) << none.error;
    EXPECT_EQ(none.book->firstSheet(), nullptr);

    Result outside = load(oleWrap(workbookStream({}, eofRec(), 0x7FFFFFF0)));
    EXPECT_FALSE(outside.ok);
    EXPECT_NE(outside.error.find("outside"), std::string::npos) << outside.error;

    Result notBof = load(oleWrap(workbookStream({}, eofRec(), 4)));
    EXPECT_FALSE(notBof.ok);
    EXPECT_FALSE(notBof.error.empty());
}

TEST(XlsBiff, HugeStringCountIsBoundedByData)
{
    Bytes cells = concat({labelSst(0, 0, 0), labelSst(0, 1, 1), labelSst(0, 2, 5), eofRec()});
    Result r = load(oleWrap(workbookStream(sstRec({"ab", "cd"}, 0xFFFFFFFF), cells)));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.book->sharedStringCount(), 2u);
    const auto* s = r.book->firstSheet();
    EXPECT_EQ(s->text(0, 0), "ab");
    EXPECT_EQ(s->text(0, 1), "cd");
    EXPECT_EQ(s->cellType(0, 2), CellType::Empty);   // index 5 does not exist
    ASSERT_EQ(r.book->issues().size(), 2u);
    EXPECT_NE(r.book->issues()[0].find("2 of 4294967295"), std::string::npos) << r.book->issues()[0];
}

TEST(XlsBiff, StringLongerThanItsRecord)
{
    Bytes sst;
    add32(sst, 1);
    add32(sst, 1);
    add16(sst, 65535);   // claims 65535 UTF-16 characters
    sst.push_back(0x01);
    addStr(sst, std::string("a\0b\0", 4));
    Bytes label;        // LABEL with a count past its record
    add16(label, 1);
    add16(label, 0);
    add16(label, 15);
    add16(label, 300);
    label.push_back(0);
    addStr(label, "xyz");
    Result r = load(oleWrap(workbookStream(rec(0x00FC, sst), concat({labelSst(0, 0, 0), rec(0x0204, label), eofRec()}))));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.book->firstSheet()->text(0, 0), "ab");
    EXPECT_EQ(r.book->firstSheet()->text(1, 0), "xyz");
    EXPECT_GE(r.book->issues().size(), 2u);
}

TEST(XlsBiff, RecordPastEndKeepsEarlierCells)
{
    Bytes cells = concat({numberRec(0, 0, 1.5), numberRec(1, 0, 2.5)});
    Bytes cut = numberRec(2, 0, 3.5);
    cut.resize(9);       // header says 14 bytes, 5 present
    Result r = load(oleWrap(workbookStream({}, concat({cells, cut}))));
    ASSERT_TRUE(r.ok) << r.error;
    const auto* s = r.book->firstSheet();
    EXPECT_DOUBLE_EQ(s->number(0, 0), 1.5);
    EXPECT_DOUBLE_EQ(s->number(1, 0), 2.5);
    EXPECT_EQ(s->cellType(2, 0), CellType::Empty);
    ASSERT_FALSE(r.book->issues().empty());
    EXPECT_NE(r.book->issues()[0].find("past the end"), std::string::npos);
}

TEST(XlsBiff, CellRecordEdgeCases)
{
    Bytes shortNumber;   // too short to hold a value
    add16(shortNumber, 3);
    add16(shortNumber, 0);
    Bytes mulrkNoCells;  // header only
    add16(mulrkNoCells, 4);
    add16(mulrkNoCells, 0);
    add16(mulrkNoCells, 0);
    Bytes wideCol;       // column 300 does not exist in BIFF8
    add16(wideCol, 5);
    add16(wideCol, 300);
    add16(wideCol, 15);
    add32(wideCol, 0);
    add32(wideCol, 0x40000000);
    Bytes lone;          // LABEL with a lone low surrogate
    add16(lone, 6);
    add16(lone, 0);
    add16(lone, 15);
    add16(lone, 2);
    lone.push_back(0x01);
    add16(lone, 0xDC00);
    add16(lone, 'z');
    Bytes cells = concat({numberRec(0, 0, 1), numberRec(0, 0, 2),   // later record wins
                          rec(0x0203, shortNumber), rec(0x00BD, mulrkNoCells), rec(0x0203, wideCol),
                          rec(0x0204, lone), bof(0x0020), numberRec(7, 0, 9), eofRec(),   // chart substream
                          numberRec(8, 0, 4), eofRec(), numberRec(9, 0, 5)});
    Result r = load(oleWrap(workbookStream({}, cells)));
    ASSERT_TRUE(r.ok) << r.error;
    const auto* s = r.book->firstSheet();
    EXPECT_DOUBLE_EQ(s->number(0, 0), 2);
    EXPECT_EQ(s->cellType(3, 0), CellType::Empty);
    EXPECT_EQ(s->cellType(4, 0), CellType::Empty);
    EXPECT_EQ(s->cellCount(), 3u);
    EXPECT_EQ(s->text(6, 0), "\xEF\xBF\xBDz");
    EXPECT_EQ(s->cellType(7, 0), CellType::Empty);   // inside the embedded substream
    EXPECT_DOUBLE_EQ(s->number(8, 0), 4);
    EXPECT_EQ(s->cellType(9, 0), CellType::Empty);   // after the sheet's EOF
}

TEST(XlsBiff, BareStreamWithoutContainer)
{
    Bytes s = workbookStream(sstRec({"x"}), concat({labelSst(2, 3, 0), numberRec(2, 4, 0.5), eofRec()}));
    Workbook book;
    std::string error;
    ASSERT_TRUE(book.openStream(s.data(), s.size(), error)) << error;
    EXPECT_EQ(book.firstSheet()->text(2, 3), "x");
    EXPECT_DOUBLE_EQ(book.firstSheet()->number(2, 4), 0.5);

    Bytes ole = oleWrap(s);   // a container is not a bare stream
    EXPECT_FALSE(book.openStream(ole.data(), ole.size(), error));
    EXPECT_EQ(book.firstSheet(), nullptr);
    EXPECT_FALSE(book.openStream(nullptr, 0, error));
}
