#include "app/App.h"
#include "graphic_flyback/GraphicFlybackDialog.h"
#include "graphic_flyback/ParamDialogs.h"
#include "graphic_flyback/DesignReport.h"

#include "platform/ui/Canvas.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "services/Settings.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kv;
using graphic::GraphicFlybackDialog;
using test::readFile;
using test::writeFile;

namespace {
struct Window : ::testing::Test {
    test::TempDir dir;
    ui::HeadlessBackend hb;
    Window() {
        ui::setBackend(&hb);
        app::registerAll();
    }
    GraphicFlybackDialog& open() {
        return static_cast<GraphicFlybackDialog&>(
            hb.openModeless(std::make_unique<GraphicFlybackDialog>(nullptr), nullptr));
    }
    // Texts of the last paint, by position.
    static std::string textAt(GraphicFlybackDialog& w, int x, int y, ui::Color* color = nullptr) {
        std::string found;
        for (const auto& t : ui::HeadlessBackend::paint(w).texts())
            if (t.x == x && t.y == y) {
                found = t.text;
                if (color) *color = t.color;
            }
        return found;
    }
    void script(int templateId, std::function<void(ui::Dialog&)> f) { hb.queueScript(templateId, std::move(f)); }
    static void ok(ui::Dialog& d) { d.dispatch(ui::IdOk, ui::Notify::Clicked); }
};
} // namespace

TEST(NumberText, SignificantDigitsWithoutATrailingPoint) {
    EXPECT_EQ(graphic::numberText(105, 7), "105");
    EXPECT_EQ(graphic::numberText(0.4f, 3), "0.4");
    EXPECT_EQ(graphic::numberText(78.90121, 5), "78.901");
    EXPECT_EQ(graphic::numberText(1234567.0, 4), "1.235e+06");
    EXPECT_EQ(graphic::numberText(1.0 / 0.0, 7), "---");
    EXPECT_EQ(graphic::numberText(std::nan(""), 7), "---");
}

TEST_F(Window, OpensWithTheStartDesignComputed) {
    GraphicFlybackDialog& w = open();
    EXPECT_EQ(w.title(), "PWM单端反激变换器 Flyback");
    EXPECT_EQ(w.design.Np, 272);
    EXPECT_EQ(textAt(w, 538, 151), "初级匝数:272Ts");
    EXPECT_EQ(textAt(w, 727, 288), "磁芯:未知型号");
    EXPECT_EQ(textAt(w, 300, 210), "Dmax:0.4");
    EXPECT_EQ(textAt(w, 379, 370), "电流推荐值:1.43A"); // not cut down to its whole amperes
    // CCM strikes the dead time through.
    const auto texts = ui::HeadlessBackend::paint(w).texts();
    int atTdie = 0;
    for (const auto& t : texts)
        if (t.x == 300 && t.y == 230) ++atTdie;
    EXPECT_EQ(atTdie, 3);
    EXPECT_TRUE(hb.messages.empty());
}

TEST_F(Window, RegionBordersAreOutside) {
    GraphicFlybackDialog& w = open();
    const size_t opened = hb.opened.size();
    w.onLButtonUp(10, 66);
    w.onLButtonUp(46, 86);
    w.onLButtonUp(11, 66);
    EXPECT_EQ(hb.opened.size(), opened);
    EXPECT_EQ(w.clickText, "Coordinate:11,66");
    w.onLButtonUp(11, 67);
    EXPECT_EQ(hb.opened.back(), 240);
    EXPECT_EQ(w.clickText, "Coordinate:11,67");
    // Kept, not drawn: no pixel coordinates on the user's screen.
    for (const auto& t : ui::HeadlessBackend::paint(w).texts())
        EXPECT_EQ(t.text.find("Coordinate"), std::string::npos) << t.text;
}

TEST_F(Window, EveryRegionOpensItsDialog) {
    GraphicFlybackDialog& w = open();
    for (const graphic::Region& r : graphic::kRegions) {
        w.onLButtonUp(r.x1 + 1, r.y1 + 1);
        EXPECT_EQ(hb.opened.back(), r.dialog);
    }
}

TEST_F(Window, CancelStillRecalculates) {
    GraphicFlybackDialog& w = open();
    w.design.Ns = 0; // a result out of date: a recalculation mends it
    w.onLButtonUp(20, 110); // efficiency, cancelled
    EXPECT_EQ(w.design.Ns, 37);
    EXPECT_EQ(w.design.Efficiency, 70);
}

// Cancelled dialogs recalculate with nothing changed: the auxiliary winding
// keeps its 42 turns and the 5.98 V they give for the 6 V asked.
TEST_F(Window, AuxiliaryWindingHoldsUnderCancelledDialogs) {
    GraphicFlybackDialog& w = open();
    const std::string turns = textAt(w, 615, 350), volts = textAt(w, 521, 253);
    EXPECT_EQ(turns, "42Ts");
    EXPECT_EQ(volts.substr(0, 4), "5.98");
    for (int i = 0; i < 10; ++i) {
        const graphic::Region& r = graphic::kRegions[size_t(i) % std::size(graphic::kRegions)];
        w.onLButtonUp(r.x1 + 1, r.y1 + 1);
        EXPECT_EQ(textAt(w, 615, 350), turns) << i;
        EXPECT_EQ(textAt(w, 521, 253), volts) << i;
    }
    EXPECT_TRUE(hb.messages.empty());
}

// A field that holds no number is named in one message and the dialog stays
// open with nothing taken; the corrected entry goes through.
TEST_F(Window, ParameterDialogNamesTheFieldThatHoldsNoNumber) {
    GraphicFlybackDialog& w = open();
    std::vector<std::string> seen;
    script(240, [&](ui::Dialog& d) {
        d.setText(1347, "100");
        d.setText(1348, "abc");
        d.setText(1349, "60");
        d.dispatch(graphic::ParamDialog::kAcOk, ui::Notify::Clicked);
        for (const auto& m : hb.messages) seen.push_back(m.text);
        d.setText(1348, "265");
        d.dispatch(graphic::ParamDialog::kAcOk, ui::Notify::Clicked);
    });
    w.onLButtonUp(20, 70);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].find("“最高输入”中的“abc”不是一个数字"), std::string::npos) << seen[0];
    EXPECT_EQ(seen[0].find("请输入一个数字"), std::string::npos);
    EXPECT_EQ(w.design.VacMin, 100);
    EXPECT_EQ(w.design.VacMax, 265);
    EXPECT_EQ(w.design.fLine, 60);
    EXPECT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(textAt(w, 12, 130), "AC:100-265V");
}

// The lowest mains above the highest is refused naming both; nothing is taken.
TEST_F(Window, AcRangeUpsideDownIsRefusedNamingBoth) {
    GraphicFlybackDialog& w = open();
    script(240, [&](ui::Dialog& d) {
        d.setText(1347, "300");
        d.setText(1348, "265");
        d.dispatch(graphic::ParamDialog::kAcOk, ui::Notify::Clicked);
    });
    w.onLButtonUp(20, 70);
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].text, "输入有误：“最高输入”低于“最低输入”，请检查输入！");
    EXPECT_EQ(w.design.VacMin, 90);
    EXPECT_EQ(w.design.VacMax, 270);
}

// A bad AC entry leaves no input a non-number: the auxiliary winding keeps
// its 42 turns once the entry is corrected, and only the field typed is named.
TEST_F(Window, BadAcEntryLeavesTheAuxiliaryWindingAlone) {
    GraphicFlybackDialog& w = open();
    const std::string volts = textAt(w, 521, 253);
    script(240, [&](ui::Dialog& d) {
        d.setText(1347, "0");
        d.dispatch(graphic::ParamDialog::kAcOk, ui::Notify::Clicked);
    });
    w.onLButtonUp(20, 70);
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_NE(hb.messages[0].text.find("最低"), std::string::npos) << hb.messages[0].text;
    script(240, [&](ui::Dialog& d) {
        d.setText(1347, "90");
        d.dispatch(graphic::ParamDialog::kAcOk, ui::Notify::Clicked);
    });
    w.onLButtonUp(20, 70);
    EXPECT_EQ(hb.messages.size(), 1u) << hb.messages.back().text;
    EXPECT_EQ(textAt(w, 521, 253), volts);
    EXPECT_EQ(textAt(w, 615, 350), "42Ts");
    EXPECT_TRUE(std::isfinite(w.design.Vf));
}

TEST_F(Window, GivenCapacitanceShowsTheRecomputedRipple) {
    GraphicFlybackDialog& w = open();
    script(242, [](ui::Dialog& d) {
        EXPECT_EQ(d.text(graphic::InputCapacitorDialog::kLabel), "电压纹波百分比");
        EXPECT_EQ(d.text(graphic::InputCapacitorDialog::kEdit), "38");
        d.select(graphic::InputCapacitorDialog::kWay, 1);
        d.dispatch(graphic::InputCapacitorDialog::kWay, ui::Notify::SelChange);
        EXPECT_EQ(d.text(graphic::InputCapacitorDialog::kLabel), "电容容量");
        EXPECT_EQ(d.text(graphic::InputCapacitorDialog::kUnit), "uF");
        d.setText(graphic::InputCapacitorDialog::kEdit, "100");
        ok(d);
    });
    w.onLButtonUp(240, 170);
    EXPECT_EQ(w.design.CinMode, 1);
    EXPECT_EQ(textAt(w, 292, 163), "电容:100μF");
    const std::string ripple = textAt(w, 292, 143);
    EXPECT_NE(ripple, "纹波:38%");
    EXPECT_NEAR(std::stod(ripple.substr(ripple.find(':') + 1)), w.design.PerVinpp, 1e-3);
    EXPECT_LT(w.design.PerVinpp, 10);
}

// 7.14 W from a 127.3 V crest over a quarter of the 50 Hz period takes
// 35.7 mJ: 4.41 µF holds that when emptied to 0 V. Below, the window says so
// and the recalculation counts as failed (no progress animation); just above,
// the design goes on quietly.
TEST_F(Window, GivenCapacitanceThatEmptiesIsAnError) {
    GraphicFlybackDialog& w = open();
    for (const char* given : {"4.3", "4.5"}) {
        hb.messages.clear();
        script(242, [given](ui::Dialog& d) {
            d.select(graphic::InputCapacitorDialog::kWay, 1);
            d.dispatch(graphic::InputCapacitorDialog::kWay, ui::Notify::SelChange);
            d.setText(graphic::InputCapacitorDialog::kEdit, given);
            ok(d);
        });
        w.onLButtonUp(240, 170);
        if (std::string(given) == "4.3") {
            ASSERT_EQ(hb.messages.size(), 1u);
            EXPECT_EQ(hb.messages[0].text, "错误：输入电容容量太小，维持不到下一个电网半周！");
            EXPECT_FALSE(w.recalculate(graphic::Derive::FromVor));
        } else {
            EXPECT_TRUE(hb.messages.empty());
            EXPECT_LT(w.design.VdcMin, 20); // nearly emptied, yet it reaches the next half wave
            EXPECT_TRUE(w.recalculate(graphic::Derive::FromVor));
        }
    }
}

TEST_F(Window, TypingACoreResetsItsName) {
    GraphicFlybackDialog& w = open();
    w.design.CoreName = "磁芯:EE25";
    script(246, [](ui::Dialog& d) {
        EXPECT_EQ(d.text(graphic::TransformerDialog::kCore), "磁芯:EE25");
        d.setText(graphic::TransformerDialog::kAe, "40");
        d.dispatch(graphic::TransformerDialog::kAe, ui::Notify::Changed);
        EXPECT_EQ(d.text(graphic::TransformerDialog::kCore), "磁芯:用户输入");
        ok(d);
    });
    w.onLButtonUp(700, 25);
    EXPECT_EQ(w.design.Ae, 40);
    EXPECT_EQ(w.design.CoreName, "磁芯:用户输入");
    EXPECT_EQ(textAt(w, 727, 288), "磁芯:未知型号");
}

TEST_F(Window, TransformerModeSwapsTheSharedEdit) {
    GraphicFlybackDialog& w = open();
    script(246, [](ui::Dialog& d) {
        EXPECT_EQ(d.text(graphic::TransformerDialog::kRipple), "0.5");
        d.select(graphic::TransformerDialog::kMode, 1);
        d.dispatch(graphic::TransformerDialog::kMode, ui::Notify::SelChange);
        EXPECT_EQ(d.text(graphic::TransformerDialog::kRippleLabel), "死区比例");
        EXPECT_EQ(d.text(graphic::TransformerDialog::kRange), "%");
        EXPECT_EQ(d.text(graphic::TransformerDialog::kRipple), "20");
        d.setText(graphic::TransformerDialog::kRipple, "25");
        ok(d);
    });
    w.onLButtonUp(700, 25);
    EXPECT_EQ(w.design.Mode, 1);
    EXPECT_EQ(w.design.Tdie, 25);
    EXPECT_EQ(w.design.r, 0.5f);
    EXPECT_EQ(textAt(w, 727, 268), "DCM模式");
}

TEST_F(Window, DisplayOnlyEditsAreDisabled) {
    GraphicFlybackDialog& w = open();
    script(244, [](ui::Dialog& d) {
        EXPECT_FALSE(d.enabled(1031));
        EXPECT_EQ(d.text(1031), "113.22");
        ok(d);
    });
    script(248, [](ui::Dialog& d) {
        EXPECT_FALSE(d.enabled(1030));
        ok(d);
    });
    script(243, [](ui::Dialog& d) {
        EXPECT_EQ(d.text(1356), "工作频率");
        EXPECT_EQ(d.text(1369), "---------");
        EXPECT_FALSE(d.enabled(1368));
        EXPECT_EQ(d.text(1033), "0");
        ok(d);
    });
    w.onLButtonUp(430, 310);
    w.onLButtonUp(950, 70);
    w.onLButtonUp(370, 260);
    EXPECT_EQ(hb.messages.size(), 0u);
}

TEST_F(Window, VorAtTheSpikeVoltageIsAnErrorAndNoAnimationStarts) {
    GraphicFlybackDialog& w = open();
    hb.advance(3000); // the start animation is over
    ASSERT_FALSE(w.animating);
    script(245, [](ui::Dialog& d) {
        d.setText(1031, "40"); // below the reflected voltage
        ok(d);
    });
    w.onLButtonUp(570, 20);
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].text, "错误：漏感尖峰电压小于了次级折射电压！");
    EXPECT_FALSE(w.animating);
}

TEST_F(Window, ProgressFillsInTenStepsHoldsAndEmpties) {
    GraphicFlybackDialog& w = open();
    EXPECT_TRUE(w.animating);
    hb.advance(50);
    EXPECT_EQ(w.pos(GraphicFlybackDialog::kProgress), 50);
    hb.advance(50);
    EXPECT_EQ(w.progress, 100);
    EXPECT_EQ(w.pos(GraphicFlybackDialog::kProgress), 100);
    hb.advance(10);
    EXPECT_EQ(w.progress, 110);
    EXPECT_EQ(w.pos(GraphicFlybackDialog::kProgress), 100);   // full while it holds
    EXPECT_FALSE(w.animating);
    hb.advance(1499);
    EXPECT_EQ(w.progress, 110);
    hb.advance(1);
    EXPECT_EQ(w.progress, 0);
    EXPECT_EQ(w.pos(GraphicFlybackDialog::kProgress), 0);
    EXPECT_FALSE(hb.hasTimer(w, 1));
    EXPECT_FALSE(hb.hasTimer(w, 2));
}

// Painting moves no control: a progress bar moved from inside the window's
// paint repaints itself within it (Qt's recursive-repaint warning).
TEST_F(Window, PaintingLeavesTheProgressBarAlone) {
    GraphicFlybackDialog& w = open();
    hb.advance(30);
    ASSERT_EQ(w.pos(GraphicFlybackDialog::kProgress), 30);
    w.progress = 70;
    ui::HeadlessBackend::paint(w);
    EXPECT_EQ(w.pos(GraphicFlybackDialog::kProgress), 30);
}

TEST_F(Window, BackgroundToggleAndPictures) {
    GraphicFlybackDialog& w = open();
    auto bitmap = [&]() -> int {
        for (const auto& op : ui::HeadlessBackend::paint(w).ops)
            if (op.kind == ui::DrawOp::Bitmap) return std::stoi(op.text);
        return 0;
    };
    // A new program folder: the first schematic, so the user sees what to click.
    EXPECT_EQ(bitmap(), 239);
    EXPECT_EQ(readFile("System.cfg")[5], '#');
    w.dispatch(GraphicFlybackDialog::kBackground, ui::Notify::Clicked);
    EXPECT_EQ(readFile("System.cfg")[5], '*');
    EXPECT_EQ(bitmap(), 268);
    w.dispatch(GraphicFlybackDialog::kBackground, ui::Notify::Clicked);
    EXPECT_EQ(bitmap(), 239);
    writeFile("System.cfg", ""); // an empty file of the user's: no picture
    EXPECT_EQ(bitmap(), 0);
    w.dispatch(GraphicFlybackDialog::kBackground, ui::Notify::Clicked);
    EXPECT_EQ(readFile("System.cfg"), std::string(5, '\0') + "#");
    writeFile("System.cfg", "000002");
    EXPECT_EQ(bitmap(), 0);
    w.dispatch(GraphicFlybackDialog::kBackground, ui::Notify::Clicked);
    EXPECT_EQ(readFile("System.cfg").substr(5), "#");
}

TEST_F(Window, DisplayFontFromTheSettings) {
    writeFile("System.cfg", "01150");
    GraphicFlybackDialog& w = open();
    const auto texts = ui::HeadlessBackend::paint(w).texts();
    const auto it = std::find_if(texts.begin(), texts.end(), [](const auto& t) { return t.y == 130; });
    ASSERT_NE(it, texts.end());
    EXPECT_EQ(it->font, "华文行楷");
    EXPECT_EQ(it->size, 10); // 15 pt from an older settings file: drawn at the largest that fits
    EXPECT_EQ(texts.back().font, "黑体"); // region labels
    EXPECT_EQ(texts.back().size, 16);
}

TEST_F(Window, CloseDestroysTheWindow) {
    GraphicFlybackDialog& w = open();
    w.dispatch(ui::IdCancel, ui::Notify::Clicked);
    EXPECT_TRUE(hb.modeless().empty());
}

TEST_F(Window, PickingACoreFillsTheTransformer) {
    std::filesystem::copy_file(KV_SOURCE_DIR "/data/CoreList.xls", "CoreList.xls");
    GraphicFlybackDialog& w = open();
    std::string type;
    float ae = 0, le = 0;
    script(262, [&](ui::Dialog& db) {
        db.select(1373, 3);
        db.dispatch(1373, ui::Notify::SelChange);
        type = db.itemText(1373, 3, 0);
        // Opened from a designer: the adviser's column follows the material.
        ae = std::stof(db.itemText(1373, 3, 5));
        le = std::stof(db.itemText(1373, 3, 8));
        ok(db);
    });
    script(246, [&](ui::Dialog& d) {
        d.dispatch(graphic::TransformerDialog::kPick, ui::Notify::Clicked);
        EXPECT_EQ(d.text(graphic::TransformerDialog::kCore), "磁芯:" + type);
        EXPECT_EQ(std::stof(d.text(graphic::TransformerDialog::kAe)), ae);
        ok(d);
    });
    w.onLButtonUp(700, 25);
    ASSERT_FALSE(type.empty());
    EXPECT_EQ(w.design.CoreName, "磁芯:" + type);
    EXPECT_EQ(w.design.Ae, ae);
    EXPECT_EQ(w.design.Le, le);
    EXPECT_EQ(textAt(w, 727, 288), "磁芯:" + type);
    // The whole row came with it: the losses are worked out on its material.
    ASSERT_TRUE(w.design.Core.has_value());
    EXPECT_EQ(w.design.Core->type, type);
    EXPECT_EQ(w.loss.gap == magnetics::LossGap::TypedCore, false);
    EXPECT_EQ(services::readSlot(services::kHandshakeSlot), '*');
}

// A pick changes Ae, Le and the core's name only: what was typed in the
// dialog before it stays, and OK takes it.
TEST_F(Window, PickingACoreKeepsWhatWasTyped) {
    std::filesystem::copy_file(KV_SOURCE_DIR "/data/CoreList.xls", "CoreList.xls");
    GraphicFlybackDialog& w = open();
    using T = graphic::TransformerDialog;
    for (const bool cancel : {false, true}) {
        script(262, [&](ui::Dialog& db) {
            db.select(1373, 3);
            db.dispatch(1373, ui::Notify::SelChange);
            if (cancel) db.dispatch(ui::IdCancel, ui::Notify::Clicked);
            else ok(db);
        });
        script(246, [&](ui::Dialog& d) {
            d.setText(T::kBpk, "2100");
            d.setText(T::kVor, "80");
            d.setText(T::kCmil, "500");
            d.setText(T::kRipple, "0.7");
            d.dispatch(T::kPick, ui::Notify::Clicked);
            EXPECT_EQ(d.text(T::kBpk), "2100") << cancel;
            EXPECT_EQ(d.text(T::kVor), "80") << cancel;
            EXPECT_EQ(d.text(T::kCmil), "500") << cancel;
            EXPECT_EQ(d.text(T::kRipple), "0.7") << cancel;
            ok(d);
        });
        w.onLButtonUp(700, 25);
        EXPECT_EQ(w.design.Bpk, 2100) << cancel;
        EXPECT_EQ(w.design.Cmil, 500) << cancel;
        EXPECT_FLOAT_EQ(w.design.r, 0.7f) << cancel;
    }
}

TEST_F(Window, PickerOkWithoutACoreSaysSoAndStaysOpen) {
    std::filesystem::copy_file(KV_SOURCE_DIR "/data/CoreList.xls", "CoreList.xls");
    GraphicFlybackDialog& w = open();
    w.design.CoreName = "磁芯:EE25";
    script(262, [&](ui::Dialog& db) {
        ok(db);
        EXPECT_FALSE(db.ended());
        db.dispatch(ui::IdCancel, ui::Notify::Clicked);
    });
    script(246, [&](ui::Dialog& d) {
        d.dispatch(graphic::TransformerDialog::kPick, ui::Notify::Clicked);
        ok(d);
    });
    w.onLButtonUp(700, 25);
    EXPECT_EQ(w.design.CoreName, "磁芯:EE25");
    EXPECT_EQ(hb.messages.front().text, "注意:你没有选中列表中的任何磁芯!");
    EXPECT_EQ(services::readSlot(services::kHandshakeSlot), '#');
}

TEST_F(Window, SaveWritesTheReportAndRefusesLoudly) {
    GraphicFlybackDialog& w = open();
    hb.files.push_back((dir.path() / "design.xls").string());
    w.dispatch(GraphicFlybackDialog::kSave, ui::Notify::Clicked);
    ASSERT_EQ(hb.fileRequests.size(), 1u);
    EXPECT_EQ(hb.fileRequests[0].defaultName, "Korvane Report-1");
    EXPECT_EQ(hb.fileRequests[0].defaultExt, "xls");
    EXPECT_EQ(hb.fileRequests[0].title, "设计数据另存为:");
    const std::string report = readFile("design.xls");
    ASSERT_GT(report.size(), 4096u);
    EXPECT_EQ(report.substr(0, 4), "\xD0\xCF\x11\xE0"); // a compound document
    EXPECT_TRUE(hb.messages.empty());
    // Enter saves too; a folder that is not there is an error that says so.
    hb.files.push_back((dir.path() / "missing" / "x.xls").string());
    w.dispatch(ui::IdOk, ui::Notify::Clicked);
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].icon, ui::Icon::Error);
    EXPECT_NE(hb.messages[0].text.find("missing"), std::string::npos);
    // Cancel in the file dialog writes nothing.
    w.dispatch(GraphicFlybackDialog::kSave, ui::Notify::Clicked);
    EXPECT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(readFile("design.xls"), report);
}

// A design the conditions do not give ("---" on the schematic) is said before
// it is saved, naming each item; No saves nothing, Yes saves "---" cells.
TEST_F(Window, AnInvalidDesignIsSaidBeforeItIsSaved) {
    GraphicFlybackDialog& w = open();
    script(240, [&](ui::Dialog& d) {
        d.setText(1347, "-90");
        ok(d);
    });
    w.onLButtonUp(20, 70);
    ASSERT_EQ(hb.messages.size(), 1u);
    hb.messages.clear();
    const std::vector<std::string> invalid = graphic::invalidItems(graphic::reportData(w.design, w.loss));
    ASSERT_FALSE(invalid.empty());

    hb.answers.push_back(ui::IdNo);
    hb.files.push_back((dir.path() / "no.xls").string());
    w.dispatch(GraphicFlybackDialog::kSave, ui::Notify::Clicked);
    ASSERT_EQ(hb.messages.size(), 1u);
    const std::string said = hb.messages[0].text;
    EXPECT_EQ(said.rfind(graphic::kInvalidDesign, 0), 0u) << said;
    for (const std::string& key : invalid)
        EXPECT_NE(said.find(key + "  " + graphic::reportDescription(key)), std::string::npos) << key;
    EXPECT_EQ(hb.messages[0].icon, ui::Icon::Warning);
    EXPECT_TRUE(hb.fileRequests.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "no.xls"));

    hb.messages.clear();
    hb.files.clear();
    hb.answers.push_back(ui::IdYes);
    hb.files.push_back((dir.path() / "yes.xls").string());
    w.dispatch(GraphicFlybackDialog::kSave, ui::Notify::Clicked);
    EXPECT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.fileRequests.size(), 1u);
    const std::string report = readFile(dir.path() / "yes.xls");
    EXPECT_NE(report.find("---"), std::string::npos);

    // A valid design again saves without a word.
    w.design = graphic::FlybackDesign{};
    w.recalculate(graphic::Derive::FromDuty);
    hb.messages.clear();
    hb.files.push_back((dir.path() / "fine.xls").string());
    w.dispatch(GraphicFlybackDialog::kSave, ui::Notify::Clicked);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_GT(readFile(dir.path() / "fine.xls").size(), 4096u);
}

TEST_F(Window, ReportCarriesTheDesignAsTheWindowShowsIt) {
    GraphicFlybackDialog& w = open();
    w.design.CoreName = "磁芯:EE25";
    const graphic::ReportData r = graphic::reportData(w.design, w.loss);
    EXPECT_EQ(r.Np, 272);
    EXPECT_EQ(r.Ns, 37);
    EXPECT_EQ(r.VacMin, 90);
    EXPECT_EQ(r.CoreName, "磁芯:EE25");
    EXPECT_EQ(r.Nf, w.design.Nf);
    EXPECT_EQ(r.Isw, w.design.Isw);
}

// An input the formulas cannot take: the results show "---" and a message
// names the input by the report's description of it.
TEST_F(Window, NegativeOrZeroInputsAreNamed) {
    GraphicFlybackDialog& w = open();
    const struct {
        int dialog, edit;
        const char* value;
        int x, y; // a point of the part's region
        const char* named;
    } cases[] = {
        {240, 1347, "-90", 20, 70, "“最低交流输入电压有效值”必须大于0"},
        {250, 1041, "0", 1010, 100, "“输出电流”必须大于0"},
        {241, 1030, "130", 20, 110, "“估计的变换器效率”应大于0且不超过100"},
    };
    for (const auto& c : cases) {
        hb.messages.clear();
        w.design = graphic::FlybackDesign{};
        script(c.dialog, [&](ui::Dialog& d) {
            d.setText(c.edit, c.value);
            ok(d);
        });
        w.onLButtonUp(c.x, c.y);
        ASSERT_EQ(hb.messages.size(), 1u) << c.value;
        EXPECT_NE(hb.messages[0].text.find(c.named), std::string::npos) << hb.messages[0].text;
        bool dashes = false;
        for (const auto& t : ui::HeadlessBackend::paint(w).texts()) {
            EXPECT_EQ(t.text.find("nan"), std::string::npos) << t.text;
            EXPECT_EQ(t.text.find("inf"), std::string::npos) << t.text;
            dashes = dashes || t.text.find("---") != std::string::npos;
        }
        if (c.value == std::string("-90")) {
            EXPECT_TRUE(dashes);
        }
    }
}

// On a picked core (EFD20/N87) the schematic shows the transformer's losses
// beside the core: those of the magnetic the shown results define, built here
// from them (the primary ramps by VdcMin·Dmax/f over Lp, the secondary takes
// the same ampere-turns and ramps down over the rest of the period, the flux
// swings by Lp·ΔI/(Np·Ae)); a typed core blanks them with the reason.
TEST_F(Window, SchematicShowsTheTransformersLossesOnAPickedCore) {
    GraphicFlybackDialog& w = open();
    graphic::FlybackDesign& d = w.design;
    d.Ae = 31, d.Le = 47;
    d.Core = magnetics::tableCore("EFD20", "N87", 31, 43.2, 1200, 47, 1460);
    w.recalculate(graphic::Derive::FromVor);
    ASSERT_TRUE(w.loss.shown()) << int(w.loss.loss.reason);
    const double T = 1e-3 / d.fosc, ton = d.Dmax * T, lp = d.Lp * 1e-6;
    const double valley = std::max(0.0, d.Ipkp - d.VdcMin * ton / lp);
    EXPECT_GT(valley, 0); // the default design runs in CCM
    magnetics::MagneticDesign m;
    m.material = "N87";
    m.shape = "EFD 20/10/7";
    m.ve = 1460e-9;
    m.flux = magnetics::trapezoid(lp * (d.Ipkp - valley) / (d.Np * 31e-6), T, ton, 0, T - ton);
    const double k = d.Ipks / d.Ipkp;
    m.windings = {{d.Np, d.dp * 1e-3, 0, 1, {{0, 0}, {0, valley}, {ton, d.Ipkp}, {ton, 0}, {T, 0}}},
                  {d.Ns, d.ds * 1e-3, 0, 1, {{0, 0}, {ton, 0}, {ton, d.Ipks}, {T, valley * k}, {T, 0}}}};
    m.ambientC = d.Ta;
    m.lowFlux = magnetics::LowFlux::UpperBound;
    const magnetics::MagneticLossResult r = magnetics::magneticLoss(m);
    ASSERT_EQ(r.reason, magnetics::Reason::None);
    EXPECT_NEAR(w.loss.loss.coreLoss, r.coreLoss, 1e-3 * r.coreLoss);
    EXPECT_NEAR(w.loss.loss.copperLoss, r.copperLoss, 1e-3 * r.copperLoss);
    EXPECT_NEAR(w.loss.loss.rise, r.rise, 1e-3 * r.rise);
    EXPECT_EQ(textAt(w, 860, 268), "环境温度:40℃");
    EXPECT_EQ(textAt(w, 860, 288), "磁芯损耗:" + graphic::numberText(w.loss.loss.coreLoss, 3) + "W");
    EXPECT_EQ(textAt(w, 860, 308), "铜损:" + graphic::numberText(w.loss.loss.copperLoss, 3) + "W");
    EXPECT_EQ(textAt(w, 860, 328), "总损耗:" + graphic::numberText(w.loss.loss.total, 3) + "W");
    EXPECT_EQ(textAt(w, 860, 348), "温升:" + graphic::numberText(w.loss.loss.rise, 3) + "K");
    // The report carries the same figures.
    const graphic::ReportData rep = graphic::reportData(d, w.loss);
    EXPECT_TRUE(rep.LossShown);
    EXPECT_EQ(rep.CoreMaterial, "N87");
    EXPECT_FLOAT_EQ(rep.Pcore, float(w.loss.loss.coreLoss));
    EXPECT_FLOAT_EQ(rep.dT, float(w.loss.loss.rise));

    d.Core.reset();
    w.recalculate(graphic::Derive::FromVor);
    EXPECT_EQ(textAt(w, 860, 288), "磁芯损耗:---W");
    // The note below the figures, in lines of 14 characters.
    EXPECT_EQ(textAt(w, 860, 368) + textAt(w, 860, 386) + textAt(w, 860, 404),
              "损耗：手动输入的磁芯没有材料和形状数据，请用“指定磁芯”从磁芯库选取磁芯");
    EXPECT_EQ(textAt(w, 860, 368), "损耗：手动输入的磁芯没有材料");
    EXPECT_FALSE(graphic::reportData(d, w.loss).LossShown);
}
