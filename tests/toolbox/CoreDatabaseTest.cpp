#include "toolbox/CoreDatabase.h"
#include "toolbox/ToolPages.h"

#include "platform/ui/Canvas.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "services/Settings.h"
#include "tests/common/TempDir.h"
#include "tests/magnetics/FlybackPoints.h"
#include "tests/toolbox/CoreWorkbook.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

using kv::test::readFile;
using kv::test::writeFile;
namespace tb = kv::toolbox;
namespace ui = kv::ui;

namespace {

constexpr const char* kNoWorkbook = "错误:没有找到磁芯数据表!";
constexpr const char* kNoSelection = "注意:你没有选中列表中的任何磁芯!";

struct Opener : ui::Dialog, tb::CoreOpener {
    Opener() : Dialog(0, nullptr) {}
    void takeCore(float a, float l) override { ae = a, le = l, took = true; }
    void setCoreName(const std::string& t) override { name = t; }
    std::optional<tb::ApInputs> apInputs() const override { return inputs; }
    float ae = -1, le = -1;
    bool took = false;
    std::string name = "unchanged";
    std::optional<tb::ApInputs> inputs;
};

struct CoreDb : ::testing::Test {
    kv::test::TempDir dir;
    ui::HeadlessBackend hb;
    CoreDb() {
        ui::setBackend(&hb);
        tb::registerWindows();
    }
    void shipWorkbook() {
        std::filesystem::copy_file(std::string(KV_SOURCE_DIR) + "/data/CoreList.xls", "CoreList.xls");
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& m : hb.messages) t.push_back(m.text);
        return t;
    }
    // Picks `row` of family `family` with OK.
    void queuePick(int family, int row) {
        hb.queueScript(262, [=](ui::Dialog& d) {
            d.select(tb::CoreDatabaseDialog::kFamily, family);
            d.dispatch(tb::CoreDatabaseDialog::kFamily, ui::Notify::SelChange);
            d.select(tb::CoreDatabaseDialog::kList, row);
            d.dispatch(ui::IdOk, ui::Notify::Clicked);
        });
    }
};

// Rows of one family in the readable source of the shipped workbook.
std::vector<std::vector<std::string>> csvRows(const std::string& family) {
    std::ifstream f(std::string(KV_SOURCE_DIR) + "/data/cores.csv");
    std::string line;
    std::getline(f, line);
    std::vector<std::vector<std::string>> rows;
    while (std::getline(f, line)) {
        std::vector<std::string> cols;
        std::stringstream ss(line);
        std::string c;
        while (std::getline(ss, c, ',')) cols.push_back(c);
        if (!cols.empty() && cols[0] == family) rows.push_back(cols);
    }
    return rows;
}

} // namespace

TEST_F(CoreDb, SetUpShowsFamiliesColumnsChecksAndTheFirstFamily) {
    shipWorkbook();
    using D = tb::CoreDatabaseDialog;
    D d;
    d.initialize();
    EXPECT_EQ(d.title(), "常用磁芯数据");
    const std::vector<std::string> families = {"EE", "EC",  "EF", "EFD", "EI",  "EP", "EPC",
                                               "ER", "ETD", "LP", "RM",  "PTS", "PQ", "UU"};
    ASSERT_EQ(d.itemCount(D::kFamily), 14);
    for (int i = 0; i < 14; ++i) EXPECT_EQ(d.itemText(D::kFamily, i), families[size_t(i)]);
    EXPECT_EQ(d.selected(D::kFamily), 0);
    EXPECT_EQ(d.control(D::kList)->columns,
              (std::vector<std::string>{"类型", "材料", "尺寸(mm)", "AP(cm4)", "Ae(mm2)", "AW(mm2)",
                                        "AL(nH/Turns2)", "Le(mm)", "Ve(mm3)", "Wt(g)"}));
    EXPECT_TRUE(d.checked(D::kDark));
    EXPECT_TRUE(d.checked(D::kColored));
    EXPECT_EQ(d.text(1375), "点选一个磁芯然后确定");
    EXPECT_EQ(d.text(1376), "磁芯形状");
    EXPECT_EQ(d.control(1375)->textColor, (ui::Color{200, 0, 200}));
    EXPECT_EQ(d.control(1376)->textColor, (ui::Color{0, 0, 255}));
    EXPECT_EQ(d.text(ui::IdOk), "确定(&O)");
    EXPECT_EQ(d.text(ui::IdCancel), "取消(&C)");
    // EE: 29 rows, the first as in the readable source, whole numbers with a point
    ASSERT_EQ(d.itemCount(D::kList), 29);
    EXPECT_EQ(d.rowCount(), 29);
    const auto ee = csvRows("EE");
    ASSERT_EQ(ee.size(), 29u);
    EXPECT_EQ(d.itemText(D::kList, 0, 0), ee[0][1]);
    EXPECT_EQ(d.itemText(D::kList, 28, 0), ee[28][1]);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_TRUE(d.hint().empty());
    EXPECT_TRUE(ui::HeadlessBackend::paint(d).texts().empty());
}

TEST_F(CoreDb, EveryFamilyListsItsBlockAndNumbersKeepAPoint) {
    shipWorkbook();
    using D = tb::CoreDatabaseDialog;
    D d;
    d.initialize();
    for (int f = 0; f < tb::kFamilyCount; ++f) {
        d.select(D::kFamily, f);
        d.dispatch(D::kFamily, ui::Notify::SelChange);
        const auto rows = csvRows(tb::kCoreFamilies[f].name);
        ASSERT_EQ(d.itemCount(D::kList), int(rows.size())) << tb::kCoreFamilies[f].name;
        ASSERT_EQ(d.cellTexts().size(), rows.size() * 10);
        for (size_t r = 0; r < rows.size(); ++r) {
            EXPECT_EQ(d.itemText(D::kList, int(r), 0), rows[r][1]);
            EXPECT_EQ(d.itemText(D::kList, int(r), 1), rows[r][2]);
            EXPECT_EQ(d.itemText(D::kList, int(r), 2), rows[r][3]);
            for (int k = 0; k < 7; ++k)
                EXPECT_DOUBLE_EQ(d.tableRow(int(r))[size_t(k)], std::stod(rows[r][size_t(4 + k)]));
        }
    }
    // EC: rows 4 to 7; 148, 2100, 6530 and 36 are whole and show without a trailing point
    d.select(D::kFamily, 1);
    d.dispatch(D::kFamily, ui::Notify::SelChange);
    ASSERT_EQ(d.itemCount(D::kList), 4);
    EXPECT_EQ(d.control(D::kList)->items[0],
              (std::vector<std::string>{"EC35", "3C90", "34.5x17.3x9.5", "1.248", "84.3", "148", "2100",
                                        "77.4", "6530", "36"}));
    EXPECT_TRUE(hb.messages.empty());
}

TEST_F(CoreDb, RowColoursFollowTheTwoCheckBoxes) {
    shipWorkbook();
    using D = tb::CoreDatabaseDialog;
    D d;
    d.initialize();
    const ui::Color black{0, 0, 0}, white{255, 255, 255};
    auto colors = [&] { return d.control(D::kList)->rowColors; };
    ASSERT_GE(colors().size(), 2u);
    EXPECT_EQ(colors()[0], (ui::Color{250, 57, 244}));
    EXPECT_EQ(colors()[1], (ui::Color{18, 200, 215}));
    d.setCheck(D::kDark, false);
    d.dispatch(D::kDark, ui::Notify::Clicked);
    EXPECT_EQ(colors()[0], (ui::Color{255, 0, 128}));
    EXPECT_EQ(colors()[1], (ui::Color{128, 0, 255}));
    d.setCheck(D::kColored, false);
    d.dispatch(D::kColored, ui::Notify::Clicked);
    EXPECT_EQ(colors()[0], black);
    EXPECT_EQ(colors()[3], black);
    d.setCheck(D::kDark, true);
    d.dispatch(D::kDark, ui::Notify::Clicked);
    EXPECT_EQ(colors()[0], white);
    EXPECT_EQ(colors()[1], white);
    // the background goes with the dark check box
    EXPECT_EQ(tb::coreRowColors(true, true, 1).background, black);
    EXPECT_EQ(tb::coreRowColors(false, true, 2).background, black);
    EXPECT_EQ(tb::coreRowColors(true, false, 1).background, white);
    EXPECT_EQ(tb::coreRowColors(false, false, 2).background, white);
    // a family change keeps the chosen colours
    d.select(D::kFamily, 7);
    d.dispatch(D::kFamily, ui::Notify::SelChange);
    ASSERT_GE(colors().size(), 2u);
    EXPECT_EQ(colors()[1], white);
}

TEST_F(CoreDb, StarModeHandsAeBackThroughTempTxt) {
    shipWorkbook();
    writeFile("System.cfg", "0123&5*9");
    writeFile("temp.txt", "ABCDEFGHIJ");
    Opener opener;
    queuePick(1, 1); // EC41, Ae 121
    const std::optional<double> ae = kv::services::pickCoreAe(opener, '*');
    ASSERT_TRUE(ae);
    EXPECT_DOUBLE_EQ(*ae, 121);
    EXPECT_EQ(readFile("System.cfg"), "0123&5*9");
    EXPECT_EQ(readFile("temp.txt"), std::string("A121\0  HIJ", 10));
    EXPECT_FALSE(opener.took);
    EXPECT_EQ(opener.name, "unchanged");
    EXPECT_TRUE(hb.messages.empty());
    // a fresh folder: both files are created, byte 0 of temp.txt is never written
    std::filesystem::remove("System.cfg");
    std::filesystem::remove("temp.txt");
    queuePick(0, 10); // EE row 10: E25/13/7 ... the eleventh EE row
    const auto second = kv::services::pickCoreAe(opener, '*');
    ASSERT_TRUE(second);
    EXPECT_DOUBLE_EQ(*second, std::stod(csvRows("EE")[10][5]));
    EXPECT_EQ(readFile("System.cfg"), std::string(kv::services::kNewSettings) + "*");
    EXPECT_EQ(readFile("temp.txt")[0], '\0');
    EXPECT_EQ(readFile("temp.txt").size(), 7u);
}

TEST_F(CoreDb, CancelAndCloseBoxLeaveTheOpenersAeAlone) {
    shipWorkbook();
    writeFile("temp.txt", std::string("x51.8\0  ", 8));
    Opener opener;
    hb.queueScript(262, [](ui::Dialog& d) {
        d.select(tb::CoreDatabaseDialog::kList, 3);
        d.dispatch(ui::IdCancel, ui::Notify::Clicked);
    });
    EXPECT_FALSE(kv::services::pickCoreAe(opener, '*'));
    EXPECT_EQ(readFile("System.cfg"), std::string(kv::services::kNewSettings) + "#");
    EXPECT_EQ(readFile("temp.txt"), std::string("x51.8\0  ", 8));
    // no script: the headless host closes the picker like the close box
    EXPECT_FALSE(kv::services::pickCoreAe(opener, '2'));
    EXPECT_EQ(readFile("System.cfg")[6], '#');
    EXPECT_TRUE(hb.messages.empty());
}

TEST_F(CoreDb, OkWithoutASelectionWarnsAndLetsTheUserPick) {
    shipWorkbook();
    Opener opener;
    using D = tb::CoreDatabaseDialog;
    // OK with nothing chosen says so and stays open; a pick then goes through.
    hb.queueScript(262, [](ui::Dialog& d) {
        d.dispatch(ui::IdOk, ui::Notify::Clicked);
        EXPECT_FALSE(d.ended());
        d.select(D::kList, 0);
        d.dispatch(ui::IdOk, ui::Notify::Clicked);
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(kv::services::pickCoreAe(opener, '*'));
    EXPECT_EQ(texts(), std::vector<std::string>{kNoSelection});
    EXPECT_EQ(hb.messages[0].owner, 262);
    EXPECT_EQ(readFile("System.cfg")[6], '*');
    // OK with nothing chosen, then Cancel: nothing changes in mode '1'
    hb.messages.clear();
    hb.queueScript(262, [](ui::Dialog& d) {
        d.dispatch(ui::IdOk, ui::Notify::Clicked);
        EXPECT_FALSE(d.ended());
        d.dispatch(ui::IdCancel, ui::Notify::Clicked);
    });
    EXPECT_FALSE(kv::services::pickCoreInto(opener));
    EXPECT_EQ(texts(), std::vector<std::string>{kNoSelection});
    EXPECT_EQ(opener.name, "unchanged");
    EXPECT_FALSE(opener.took);
    EXPECT_EQ(readFile("System.cfg")[6], '#');
}

TEST_F(CoreDb, ADoubleClickPicksTheRow) {
    shipWorkbook();
    Opener opener;
    using D = tb::CoreDatabaseDialog;
    hb.queueScript(262, [](ui::Dialog& d) {
        d.select(D::kList, 2);
        d.dispatch(D::kList, ui::Notify::DblClick);
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(kv::services::pickCoreInto(opener));
    EXPECT_TRUE(opener.took);
    EXPECT_GT(opener.ae, 0);
    EXPECT_EQ(opener.name.rfind("磁芯:", 0), 0u);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_EQ(readFile("System.cfg")[6], '*');
}

TEST_F(CoreDb, ModeOneWritesStraightIntoTheOpener) {
    shipWorkbook();
    writeFile("temp.txt", "t999999");
    Opener opener;
    queuePick(1, 0); // EC35: Ae 84.3, Le 77.4
    EXPECT_TRUE(kv::services::pickCoreInto(opener));
    EXPECT_TRUE(opener.took);
    EXPECT_FLOAT_EQ(opener.ae, 84.3f);
    EXPECT_FLOAT_EQ(opener.le, 77.4f);
    EXPECT_EQ(opener.name, "磁芯:EC35");
    EXPECT_EQ(readFile("temp.txt"), "t999999");
    EXPECT_EQ(readFile("System.cfg")[6], '*');
    // an opener found through the parent works the same
    writeFile("System.cfg", "      1");
    tb::CoreDatabaseDialog d(&opener);
    queuePick(4, 2);
    opener.runModal(d);
    EXPECT_EQ(opener.name, "磁芯:" + csvRows("EI")[2][1]);
    EXPECT_FLOAT_EQ(opener.le, std::stof(csvRows("EI")[2][8]));
    // mode '1' with nobody to take the values: Ae goes through temp.txt instead
    writeFile("System.cfg", "      1");
    tb::CoreDatabaseDialog alone;
    alone.initialize();
    alone.select(tb::CoreDatabaseDialog::kList, 0);
    alone.dispatch(ui::IdOk, ui::Notify::Clicked);
    // the first E core, E8.8/4.1/2, has Ae 4.97: its digits, the end byte, a space
    ASSERT_EQ(csvRows("EE")[0][5], "4.97");
    EXPECT_EQ(readFile("temp.txt"), std::string("t4.97\0 ", 7));
    EXPECT_EQ(readFile("System.cfg")[6], '*');
}

TEST_F(CoreDb, ModeTwoShowsTheRecommendedAp) {
    shipWorkbook();
    Opener opener;
    opener.inputs = tb::ApInputs{90, 10, 100, 24, 2, 85, 40};
    writeFile("System.cfg", "      2");
    tb::CoreDatabaseDialog d(&opener);
    d.initialize();
    // x = 1.1728, Pin = 56.47 W: AP1 = 0.4432253 cm4 is the larger
    EXPECT_EQ(d.hint(), "      K7350反激建议磁芯AP不小于:0.4432253cm4");
    const auto drawn = ui::HeadlessBackend::paint(d).texts();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].text, d.hint());
    EXPECT_EQ(drawn[0].x, 548);
    EXPECT_EQ(drawn[0].y, 20);
    EXPECT_EQ(drawn[0].font, "楷体");
    EXPECT_EQ(drawn[0].size, 10);
    EXPECT_EQ(drawn[0].color, (ui::Color{255, 0, 0}));
    // the AP follows the inputs; whole numbers lose the point
    EXPECT_EQ(tb::apHintText(*tb::recommendedAp({90, 10, 100, 240, 20, 85, 400})),
              "      K7350反激建议磁芯AP不小于:9.175389cm4");
    EXPECT_EQ(tb::apHintText(25), "      K7350反激建议磁芯AP不小于:25cm4");
    // other modes and unusable inputs show no hint
    writeFile("System.cfg", "      *");
    tb::CoreDatabaseDialog star(&opener);
    star.initialize();
    EXPECT_TRUE(star.hint().empty());
    writeFile("System.cfg", "      2");
    for (tb::ApInputs bad : {tb::ApInputs{90, 10, 0, 24, 2, 85, 40}, tb::ApInputs{90, 10, 100, 24, 2, 0, 40},
                             tb::ApInputs{90, 10, 100, 24, 2, 85, 0}, tb::ApInputs{}}) {
        opener.inputs = bad;
        tb::CoreDatabaseDialog z(&opener);
        z.initialize();
        EXPECT_TRUE(z.hint().empty()) << z.hint();
        EXPECT_TRUE(ui::HeadlessBackend::paint(z).texts().empty());
    }
    // no opener at all: no hint, the list still loads
    tb::CoreDatabaseDialog alone;
    alone.initialize();
    EXPECT_TRUE(alone.hint().empty());
    EXPECT_EQ(alone.itemCount(tb::CoreDatabaseDialog::kList), 29);
}

TEST_F(CoreDb, AeIsHandedBackAsSixCharacters) {
    EXPECT_EQ(tb::aeHandBackText(51.8), std::string("51.8\0 ", 6));
    EXPECT_EQ(tb::aeHandBackText(123.456), "123.45");
    EXPECT_EQ(tb::aeHandBackText(1234.5678), "1234.5");
    EXPECT_EQ(tb::aeHandBackText(121), std::string("121\0  ", 6));
    EXPECT_EQ(tb::aeHandBackText(0), std::string("0\0    ", 6));
    EXPECT_EQ(tb::aeHandBackText(123456), "123456");
    // values whose six-digit text has an exponent keep their size
    for (double v : {2.5e6, 12345678.0, 3.2e-5, 0.0123456}) {
        const std::string t = tb::aeHandBackText(v);
        ASSERT_EQ(t.size(), 6u);
        const double back = std::strtod(t.substr(0, t.find('\0')).c_str(), nullptr);
        EXPECT_NEAR(back, v, 0.05 * v) << t;
    }
    // through the files: 123.456 comes back cut to 123.45
    kv::test::writeWorkbook("CoreList.xls", [] {
        std::vector<kv::test::XlsCell> cells;
        kv::test::addCoreRow(cells, 9, "A", {1, 123.456, 3, 4, 5, 6, 7});
        return cells;
    }());
    Opener opener;
    queuePick(0, 0);
    const auto ae = kv::services::pickCoreAe(opener);
    ASSERT_TRUE(ae);
    EXPECT_DOUBLE_EQ(*ae, 123.45);
}

TEST_F(CoreDb, MissingOrBrokenWorkbooksGiveAMessageOrAPartialList) {
    using D = tb::CoreDatabaseDialog;
    {
        D d;
        d.initialize();
        EXPECT_EQ(texts(), std::vector<std::string>{kNoWorkbook});
        EXPECT_EQ(d.itemCount(D::kList), 0);
        // still usable: a family change tries again, OK without a row warns
        d.select(D::kFamily, 3);
        d.dispatch(D::kFamily, ui::Notify::SelChange);
        d.dispatch(ui::IdOk, ui::Notify::Clicked);
        EXPECT_EQ(texts(), (std::vector<std::string>{kNoWorkbook, kNoWorkbook, kNoSelection}));
        EXPECT_FALSE(d.ended());
    }
    const std::string good = readFile(std::string(KV_SOURCE_DIR) + "/data/CoreList.xls");
    std::vector<std::string> hostile = {"", "not a workbook", good.substr(0, 8), good.substr(0, 512),
                                        good.substr(0, good.size() / 2), good.substr(0, good.size() - 700)};
    std::mt19937 rng(7);
    for (int k = 0; k < 12; ++k) {
        std::string bad = good;
        for (int j = 0; j < 40; ++j) bad[rng() % bad.size()] = char(rng());
        hostile.push_back(bad);
    }
    for (size_t k = 0; k < hostile.size(); ++k) {
        writeFile("CoreList.xls", hostile[k]);
        hb.messages.clear();
        D d;
        d.initialize();
        EXPECT_LE(d.itemCount(D::kList), 29) << k;
        EXPECT_EQ(d.rowCount(), d.itemCount(D::kList));
        if (k < 4) { // nothing of a workbook: the message and an empty list
            EXPECT_EQ(texts(), std::vector<std::string>{kNoWorkbook}) << k;
            EXPECT_EQ(d.itemCount(D::kList), 0) << k;
        }
        for (int f = 1; f < tb::kFamilyCount; ++f) {
            d.select(D::kFamily, f);
            d.dispatch(D::kFamily, ui::Notify::SelChange);
        }
    }
    // a folder in place of the workbook
    std::filesystem::remove("CoreList.xls");
    std::filesystem::create_directory("CoreList.xls");
    hb.messages.clear();
    D d;
    d.initialize();
    EXPECT_EQ(texts(), std::vector<std::string>{kNoWorkbook});
}

TEST_F(CoreDb, CellsOutOfLayoutShowEmptyInsteadOfShiftingTheRow) {
    using namespace kv::test;
    std::vector<XlsCell> cells;
    addCoreRow(cells, 9, "FULL", {1.5, 20, 30, 1000, 40, 800, 5});
    // row 10: AW is text, AL blank, Ve missing, Le an error cell, weight a formula
    cells.push_back(textCell(10, 0, "ODD"));
    cells.push_back(textCell(10, 1, "PC40"));
    cells.push_back(textCell(10, 2, "9x9"));
    cells.push_back(numberCell(10, 3, 0.25));
    cells.push_back(numberCell(10, 4, 12.5));
    cells.push_back(textCell(10, 5, "n/a"));
    cells.push_back(blankCell(10, 6));
    cells.push_back(errorCell(10, 7));
    cells.push_back(formulaCell(10, 9, 2));
    // row 11: the type is a number, the material missing, a boolean in Ae
    cells.push_back(numberCell(11, 0, 2510));
    cells.push_back(textCell(11, 2, "25x10"));
    cells.push_back(boolCell(11, 4));
    cells.push_back(numberCell(11, 7, 33));
    // rows 12 and 13 are empty; row 14 is another full row
    addCoreRow(cells, 14, "LAST", {2, 40, 50, 2000, 60, 2400, 12});
    // a second error cell in a row outside every block is never read
    cells.push_back(errorCell(8, 4));
    writeWorkbook("CoreList.xls", cells);

    using D = tb::CoreDatabaseDialog;
    D d;
    d.initialize();
    EXPECT_EQ(texts(), std::vector<std::string>{"Excel Error!"});
    const auto& items = d.control(D::kList)->items;
    ASSERT_EQ(items.size(), 4u);
    // Whole numbers without a trailing point.
    EXPECT_EQ(items[0], (std::vector<std::string>{"FULL", "N87", "10x5x3", "1.5", "20", "30", "1000", "40",
                                                  "800", "5"}));
    EXPECT_EQ(items[1], (std::vector<std::string>{"ODD", "PC40", "9x9", "0.25", "12.5", "", "", "", "", ""}));
    EXPECT_EQ(items[2], (std::vector<std::string>{"2510", "", "25x10", "", "", "", "", "33", "", ""}));
    EXPECT_EQ(items[3][0], "LAST");
    EXPECT_DOUBLE_EQ(d.tableRow(1)[tb::kAl], 0);
    EXPECT_DOUBLE_EQ(d.tableRow(3)[tb::kAe], 40);

    // the row without Ae cannot be handed back; the picker stays open
    writeFile("System.cfg", "      *");
    hb.messages.clear();
    d.select(D::kList, 2);
    d.dispatch(ui::IdOk, ui::Notify::Clicked);
    EXPECT_FALSE(d.ended());
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_NE(hb.messages[0].text.find("Ae"), std::string::npos);
    EXPECT_EQ(readFile("System.cfg")[6], '*');
    EXPECT_FALSE(std::filesystem::exists("temp.txt"));
    // in mode '1' the row must have Le as well
    Opener opener;
    writeFile("System.cfg", "      1");
    D direct(&opener);
    direct.initialize();
    direct.select(D::kList, 1);
    direct.dispatch(ui::IdOk, ui::Notify::Clicked);
    EXPECT_FALSE(direct.ended());
    EXPECT_FALSE(opener.took);
    direct.select(D::kList, 3);
    direct.dispatch(ui::IdOk, ui::Notify::Clicked);
    EXPECT_TRUE(direct.ended());
    EXPECT_FLOAT_EQ(opener.ae, 40);
    EXPECT_FLOAT_EQ(opener.le, 60);
    EXPECT_EQ(opener.name, "磁芯:LAST");
}

TEST_F(CoreDb, EachErrorCellShowsOneMessage) {
    using namespace kv::test;
    std::vector<XlsCell> cells;
    addCoreRow(cells, 4, "EC-A", {1, 2, 3, 4, 5, 6, 7});
    cells.push_back(textCell(5, 0, "EC-B"));
    cells.push_back(errorCell(5, 3));
    cells.push_back(errorCell(5, 4));
    cells.push_back(numberCell(5, 5, 9));
    cells.push_back(errorCell(6, 9));
    writeWorkbook("CoreList.xls", cells);
    using D = tb::CoreDatabaseDialog;
    D d;
    d.initialize();
    EXPECT_TRUE(hb.messages.empty()); // EE rows are empty
    EXPECT_EQ(d.itemCount(D::kList), 0);
    d.select(D::kFamily, 1);
    d.dispatch(D::kFamily, ui::Notify::SelChange);
    EXPECT_EQ(texts(), (std::vector<std::string>(3, "Excel Error!")));
    ASSERT_EQ(d.itemCount(D::kList), 3);
    EXPECT_EQ(d.itemText(D::kList, 1, 5), "9"); // the rest of the row is read
    EXPECT_EQ(d.itemText(D::kList, 2, 0), "");
}

TEST_F(CoreDb, TheWorkbookIsReadAgainOnEveryFamilyChange) {
    using namespace kv::test;
    std::vector<XlsCell> first;
    addCoreRow(first, 9, "OLD", {1, 2, 3, 4, 5, 6, 7});
    writeWorkbook("CoreList.xls", first);
    using D = tb::CoreDatabaseDialog;
    D d;
    d.initialize();
    EXPECT_EQ(d.itemText(D::kList, 0, 0), "OLD");
    d.select(D::kList, 0);
    std::vector<XlsCell> second;
    addCoreRow(second, 9, "NEW", {1, 2, 3, 4, 5, 6, 7});
    addCoreRow(second, 10, "NEW2", {1, 2, 3, 4, 5, 6, 7});
    writeWorkbook("CoreList.xls", second);
    d.select(D::kFamily, 0);
    d.dispatch(D::kFamily, ui::Notify::SelChange);
    EXPECT_EQ(d.itemCount(D::kList), 2);
    EXPECT_EQ(d.itemText(D::kList, 0, 0), "NEW");
    EXPECT_EQ(d.selected(D::kList), -1);
    // the block of an unknown entry is the EE block
    EXPECT_EQ(tb::coreFamily(-1).firstRow, 9);
    EXPECT_EQ(tb::coreFamily(14).lastRow, 37);
    tb::CoreList list;
    ASSERT_TRUE(tb::readCoreFamily("CoreList.xls", 99, list));
    EXPECT_EQ(list.rows.size(), 2u);
}

TEST_F(CoreDb, AFailedHandBackIsNotReportedAsAPick) {
    shipWorkbook();
    std::filesystem::create_directory("temp.txt");
    Opener opener;
    queuePick(1, 0);
    EXPECT_FALSE(kv::services::pickCoreAe(opener, '*'));
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].icon, ui::Icon::Error);
    EXPECT_EQ(readFile("System.cfg")[6], '#');
    // a settings file that cannot be written stops the pick before the picker opens
    std::filesystem::remove("System.cfg");
    std::filesystem::create_directory("System.cfg");
    hb.opened.clear();
    EXPECT_FALSE(kv::services::pickCoreAe(opener, '*'));
    EXPECT_TRUE(hb.opened.empty());
}

namespace {
namespace mag = kv::magnetics;

// A designer with a 65 W DCM flyback at 100 kHz.
struct FlybackOpener : Opener {
    std::optional<mag::FlybackPoint> adviserPoint() override {
        ++asked;
        return mag::test::dcmFlyback65W();
    }
    void takeTableCore(const mag::TableCore& c) override { table = c; }
    int asked = 0;
    std::optional<mag::TableCore> table;
};

// The row `row` of the list as the adviser takes it, from the listed cells
// (the adviser's column sits after the material); `type` and `material`
// hold the texts the candidate points into.
mag::CoreCandidate listedCore(const tb::CoreDatabaseDialog& d, int row, std::string& type, std::string& material) {
    using D = tb::CoreDatabaseDialog;
    const auto v = [&](int c) { return std::stod(d.itemText(D::kList, row, c + 1)); };
    type = d.itemText(D::kList, row, 0);
    material = d.itemText(D::kList, row, 1);
    return mag::catalogCore(type, material, v(4), v(5), v(6), v(7), v(8));
}

int csvRowCount() {
    std::ifstream f(std::string(KV_SOURCE_DIR) + "/data/cores.csv");
    std::string line;
    int n = -1; // the heading
    while (std::getline(f, line))
        if (!line.empty()) ++n;
    return n;
}
} // namespace

// Opened from a flyback designer: the rise column after the material, an
// entry for every family, and each row's text what the adviser says of that
// core at the designer's operating point.
TEST_F(CoreDb, FromADesignerEveryRowCarriesTheAdvisersWord) {
    using D = tb::CoreDatabaseDialog;
    shipWorkbook();
    FlybackOpener opener;
    D d(&opener);
    d.initialize();
    EXPECT_EQ(opener.asked, 1);
    EXPECT_TRUE(d.visible(D::kRankSort));
    EXPECT_FALSE(d.checked(D::kRankSort));
    EXPECT_EQ(d.itemCount(D::kFamily), tb::kFamilyCount + 1);
    d.select(D::kFamily, D::kAllFamilies);
    d.dispatch(D::kFamily, ui::Notify::SelChange);
    const int n = d.itemCount(D::kList);
    EXPECT_EQ(n, csvRowCount()); // all 137 rows of the workbook
    ASSERT_EQ(int(d.advice().size()), n);
    const mag::FlybackPoint op = *opener.adviserPoint();
    int fits = 0;
    for (int r = 0; r < n; ++r) {
        SCOPED_TRACE(d.itemText(D::kList, r, 0) + " " + d.itemText(D::kList, r, 1));
        std::string type, material;
        const mag::CoreCandidate c = listedCore(d, r, type, material);
        const mag::CoreAdvice alone = mag::adviseCores(op, std::span(&c, 1))[0];
        EXPECT_EQ(alone.verdict, d.advice()[size_t(r)].verdict);
        const std::string cell = d.itemText(D::kList, r, D::kAdviceColumn);
        if (alone.verdict == mag::Verdict::Fits) {
            ++fits;
            // Three significant digits: within half the last one shown.
            EXPECT_NEAR(std::stod(cell.substr(cell.rfind("≤") == 0 ? 3 : 0)), alone.loss.rise,
                        5e-3 * alone.loss.rise);
        } else {
            EXPECT_EQ(cell.rfind("不适用:", 0), 0u) << cell;
            EXPECT_GT(cell.size(), std::string("不适用:").size());
        }
    }
    EXPECT_GT(fits, 3);
    EXPECT_LT(fits, n);
}

// Sorted by the rise: rank 1 first and the ranks in order, the rises rising,
// then every core that does not fit with its reason; a pick hands the chosen
// row back as before, with its type and material for the losses.
TEST_F(CoreDb, SortByRiseRanksTheCoolestFirstAndAPickHandsItBack) {
    using D = tb::CoreDatabaseDialog;
    shipWorkbook();
    writeFile("System.cfg", "      1");
    FlybackOpener opener;
    D d(&opener);
    d.initialize();
    d.select(D::kFamily, D::kAllFamilies);
    d.dispatch(D::kFamily, ui::Notify::SelChange);
    const int n = d.itemCount(D::kList);
    d.setCheck(D::kRankSort, true);
    d.dispatch(D::kRankSort, ui::Notify::Clicked);
    ASSERT_EQ(d.itemCount(D::kList), n);
    const auto& advice = d.advice();
    ASSERT_EQ(int(advice.size()), n);
    int lastRank = 0;
    double lastRise = 0;
    bool notFitting = false;
    for (int r = 0; r < n; ++r) {
        SCOPED_TRACE(r);
        const mag::CoreAdvice& a = advice[size_t(r)];
        if (a.rank > 0) {
            EXPECT_FALSE(notFitting) << "a fitting core after one that does not fit";
            EXPECT_EQ(a.rank, lastRank + 1);
            EXPECT_GE(a.loss.rise, lastRise);
            lastRank = a.rank, lastRise = a.loss.rise;
        } else {
            notFitting = true;
            EXPECT_EQ(d.itemText(D::kList, r, D::kAdviceColumn).rfind("不适用:", 0), 0u);
        }
    }
    ASSERT_GT(lastRank, 0);
    EXPECT_EQ(advice[0].rank, 1);
    EXPECT_TRUE(notFitting);

    // The coolest core, picked: its values, its name, and the whole row.
    const std::string type = d.itemText(D::kList, 0, 0), material = d.itemText(D::kList, 0, 1);
    const float ae = std::stof(d.itemText(D::kList, 0, 5)), le = std::stof(d.itemText(D::kList, 0, 8));
    d.select(D::kList, 0);
    d.dispatch(ui::IdOk, ui::Notify::Clicked);
    EXPECT_FLOAT_EQ(opener.ae, ae);
    EXPECT_FLOAT_EQ(opener.le, le);
    EXPECT_EQ(opener.name, "磁芯:" + type);
    ASSERT_TRUE(opener.table.has_value());
    EXPECT_EQ(opener.table->type, type);
    EXPECT_EQ(opener.table->material, material);
    EXPECT_DOUBLE_EQ(opener.table->ae, double(std::stod(d.itemText(D::kList, 0, 5))) * 1e-6);

    // Unsorted again: the workbook's order of the family.
    d.setCheck(D::kRankSort, false);
    d.dispatch(D::kRankSort, ui::Notify::Clicked);
    d.select(D::kFamily, 0);
    d.dispatch(D::kFamily, ui::Notify::SelChange);
    EXPECT_EQ(d.itemText(D::kList, 0, 0), csvRows("EE").at(0).at(1));
}

// Without a design the picker does not run the adviser: no column, no sort,
// no entry for every family.
TEST_F(CoreDb, WithoutADesignThePickerIsAsBefore) {
    using D = tb::CoreDatabaseDialog;
    shipWorkbook();
    Opener opener;
    D d(&opener);
    d.initialize();
    EXPECT_FALSE(d.visible(D::kRankSort));
    EXPECT_EQ(d.itemCount(D::kFamily), tb::kFamilyCount);
    EXPECT_TRUE(d.advice().empty());
    EXPECT_EQ(d.itemText(D::kList, 0, 4), csvRows("EE").at(0).at(5)); // Ae in its own column
}
