#include "platform/ui/Dialog.h"
#include "platform/ui/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kv::ui;

namespace {
DialogTemplate sample() {
    DialogTemplate t;
    t.id = 900;
    t.caption = "sample";
    t.w = 100;
    t.h = 60;
    auto add = [&](int id, Kind k, unsigned style = 0, std::string caption = "") {
        ControlTemplate c;
        c.id = id;
        c.kind = k;
        c.style = style;
        c.caption = std::move(caption);
        t.controls.push_back(c);
    };
    add(10, Kind::Edit);
    add(11, Kind::Radio, StyleGroupStart, "a");
    add(12, Kind::Radio, 0, "b");
    add(13, Kind::Radio, 0, "c");
    add(14, Kind::Radio, StyleGroupStart, "other group");
    add(15, Kind::Combo, StyleSort | StyleDropDownList);
    add(16, Kind::List);
    add(17, Kind::Progress);
    add(18, Kind::Static, StyleHidden | StyleDisabled, "label");
    return t;
}

struct Controls : ::testing::Test {
    HeadlessBackend hb;
    Controls() { setBackend(&hb); }
};
} // namespace

TEST(Numbers, OnlyWholeNumbersParse) {
    double v = 0;
    struct Ok { const char* text; double value; };
    for (const Ok& c : {Ok{"12", 12}, Ok{" -3.5 ", -3.5}, Ok{"+2e3", 2000}, Ok{".5", 0.5}, Ok{"5.", 5},
                        Ok{"1E-3", 0.001}, Ok{"\t7\t", 7}}) {
        ASSERT_TRUE(parseNumber(c.text, v)) << c.text;
        EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
    for (const char* bad : {"", " ", "abc", "1,5", "1.2.3", "2e", "--1", "inf", "nan", "0x10", "1e999",
                            "12abc", ".", "-", "1 2"})
        EXPECT_FALSE(parseNumber(bad, v)) << bad;
    int i = 0;
    EXPECT_TRUE(parseInteger(" 42 ", i));
    EXPECT_EQ(i, 42);
    for (const char* bad : {"", "4.2", "x", "99999999999", "1e2"}) EXPECT_FALSE(parseInteger(bad, i)) << bad;
}

TEST(Numbers, FloatTextHasSixSignificantDigits) {
    EXPECT_EQ(formatNumber(13.2f), "13.2");
    EXPECT_EQ(formatNumber(1.0f / 3.0f), "0.333333");
    EXPECT_EQ(formatNumber(1234567.0f), "1.23457e+06");
    EXPECT_EQ(formatNumber(100.0f), "100");
    EXPECT_EQ(formatNumber(0.0f), "0");
    EXPECT_EQ(formatNumber(0.1, kDoubleDigits), "0.1");
}

TEST_F(Controls, NumericExchangeFailsWithTheFrameworkMessage) {
    Dialog d(sample(), nullptr);
    float f = 9;
    d.setText(10, "  2.5 ");
    EXPECT_TRUE(d.readFloat(10, f));
    EXPECT_FLOAT_EQ(f, 2.5f);
    d.setText(10, "");
    EXPECT_FALSE(d.readFloat(10, f));
    EXPECT_FLOAT_EQ(f, 2.5f); // unchanged
    d.setText(10, "1e39");    // beyond single precision
    EXPECT_FALSE(d.readFloat(10, f));
    int i = 0;
    d.setText(10, "3.5");
    EXPECT_FALSE(d.readInt(10, i));
    ASSERT_EQ(hb.messages.size(), 3u);
    EXPECT_EQ(hb.messages[0].text, "请输入一个数字。");
    EXPECT_EQ(hb.messages[2].text, "请键入一个整数。");
    EXPECT_EQ(hb.messages[2].owner, 900);
}

TEST_F(Controls, RadioClickClearsOnlyItsGroup) {
    Dialog d(sample(), nullptr);
    d.setCheck(14, true);
    d.clickRadio(11);
    d.clickRadio(13);
    EXPECT_FALSE(d.checked(11));
    EXPECT_FALSE(d.checked(12));
    EXPECT_TRUE(d.checked(13));
    EXPECT_TRUE(d.checked(14)); // another group
}

TEST_F(Controls, SortedComboFollowsChineseCollation) {
    Dialog d(sample(), nullptr);
    for (const char* face : {"黑体", "宋体", "楷体", "华文行楷"}) d.addItem(15, face);
    ASSERT_EQ(d.itemCount(15), 4);
    EXPECT_EQ(d.itemText(15, 0), "黑体");
    EXPECT_EQ(d.itemText(15, 1), "华文行楷");
    EXPECT_EQ(d.itemText(15, 2), "楷体");
    EXPECT_EQ(d.itemText(15, 3), "宋体");
    d.select(15, 2);
    EXPECT_EQ(d.text(15), "楷体");
    // An insertion before the selection keeps the same entry selected.
    d.addItem(15, "Arial");
    EXPECT_EQ(d.text(15), "楷体");
    d.select(15, 99);
    EXPECT_EQ(d.selected(15), -1);
}

TEST_F(Controls, ListsProgressAndMissingControls) {
    Dialog d(sample(), nullptr);
    d.setColumns(16, {"型号", "AP"});
    d.addRow(16, {"EE25", "0.48"});
    d.addRow(16, {"EE30"});
    EXPECT_EQ(d.itemText(16, 0, 1), "0.48");
    EXPECT_EQ(d.itemText(16, 1, 1), "");
    EXPECT_EQ(d.itemText(16, 5, 0), "");
    // Row colours and backgrounds stick to existing rows only; headings may carry widths.
    d.setRowBackground(16, 1, Color{10, 20, 30});
    d.setRowColor(16, 1, Color{1, 2, 3});
    d.setRowBackground(16, 7, Color{9, 9, 9}); // no such row: ignored
    d.setColumns(16, {"型号", "AP"}, {90, 60});
    EXPECT_EQ(d.control(16)->columnWidths, (std::vector<int>{90, 60}));
    d.setRange(17, 0, 100);
    d.setPos(17, 130);
    EXPECT_EQ(d.pos(17), 100);
    EXPECT_FALSE(d.visible(18));
    EXPECT_FALSE(d.enabled(18));
    EXPECT_EQ(d.text(18), "label");
    // Controls that do not exist read as empty and take no writes.
    EXPECT_FALSE(d.has(4242));
    d.setText(4242, "x");
    EXPECT_EQ(d.text(4242), "");
    EXPECT_FALSE(d.checked(4242));
}
