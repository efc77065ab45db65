// The graphical flyback keeps its design as a file: every input, both
// choices and the core come back and the window recomputes them; its report
// names the design file.
#include "app/App.h"
#include "form/DesignKeeper.h"
#include "graphic_flyback/DesignReport.h"
#include "graphic_flyback/GraphicFlybackDialog.h"
#include "graphic_flyback/ParamDialogs.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "platform/xls/XlsReader.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <variant>

using namespace kv;
using graphic::GraphicFlybackDialog;
using test::readFile;
using test::writeFile;
namespace fs = std::filesystem;

namespace {

struct Flyback : ::testing::Test {
    test::TempDir dir;
    ui::HeadlessBackend hb;
    Flyback() {
        ui::setBackend(&hb);
        app::registerAll();
    }
    GraphicFlybackDialog& open() {
        return static_cast<GraphicFlybackDialog&>(hb.openModeless(std::make_unique<GraphicFlybackDialog>(nullptr), nullptr));
    }
    static form::Design design(GraphicFlybackDialog& w) {
        auto d = w.currentDesign();
        EXPECT_TRUE(std::holds_alternative<form::Design>(d));
        return std::holds_alternative<form::Design>(d) ? std::get<form::Design>(d) : form::Design{};
    }
    static void ok(ui::Dialog& d) { d.dispatch(ui::IdOk, ui::Notify::Clicked); }

    // A DCM design on a picked core with the input capacitance given, the
    // transformer dialog closed last.
    void ownDesign(GraphicFlybackDialog& w) {
        hb.queueScript(242, [](ui::Dialog& d) {
            d.select(graphic::InputCapacitorDialog::kWay, 1);
            d.dispatch(graphic::InputCapacitorDialog::kWay, ui::Notify::SelChange);
            d.setText(graphic::InputCapacitorDialog::kEdit, "68");
            ok(d);
        });
        w.onLButtonUp(240, 170);
        hb.queueScript(250, [](ui::Dialog& d) {
            d.setText(1047, "12");
            d.setText(1041, "2.5");
            ok(d);
        });
        w.onLButtonUp(1020, 110);
        w.design.CoreName = "磁芯:PQ26/25";
        w.design.Ae = 118;
        w.design.Le = 54.3f;
        w.design.Core = magnetics::tableCore("PQ26/25", "3C95", 118, 70, 6000, 54.3, 6530);
        w.design.Ta = 55;
        hb.queueScript(246, [](ui::Dialog& d) {
            d.select(graphic::TransformerDialog::kMode, 1);
            d.dispatch(graphic::TransformerDialog::kMode, ui::Notify::SelChange);
            ok(d);
        });
        w.onLButtonUp(700, 25);
    }
};

TEST_F(Flyback, DefaultsAndOwnDesignComeBack) {
    for (bool own : {false, true}) {
        SCOPED_TRACE(own ? "own design" : "defaults");
        GraphicFlybackDialog& a = open();
        if (own) ownDesign(a);
        if (own) {
            ASSERT_EQ(a.design.Mode, 1);
            ASSERT_EQ(a.design.CinMode, 1);
            ASSERT_EQ(a.design.Vo, 12);
            ASSERT_EQ(a.lastDialog, 246);
        }
        ASSERT_TRUE(form::saveDesign(a, "fly.kvd")) << (hb.messages.empty() ? "" : hb.messages[0].text);
        const std::string text = readFile("fly.kvd");
        EXPECT_NE(text.find("\ntemplate = 238\n"), std::string::npos);
        if (own) {
            EXPECT_NE(text.find("\nMode = 断续(DCM)\n"), std::string::npos) << text;
            EXPECT_NE(text.find("\nCoreName = 磁芯:PQ26/25\n"), std::string::npos);
            EXPECT_NE(text.find("\nVo = 12\n"), std::string::npos);
            EXPECT_NE(text.find("\nbuttons = 246\n"), std::string::npos);
        }
        GraphicFlybackDialog& b = open();
        ASSERT_TRUE(form::openDesign(b, "fly.kvd")) << (hb.messages.empty() ? "" : hb.messages[0].text);
        // Every input and result of the record, as the window holds them.
        EXPECT_EQ(form::writeDesign(design(b)), text);
        EXPECT_EQ(b.design.CoreName, a.design.CoreName);
        EXPECT_EQ(b.design.Mode, a.design.Mode);
        EXPECT_EQ(b.design.CinMode, a.design.CinMode);
        EXPECT_EQ(b.design.Lp, a.design.Lp);
        EXPECT_EQ(b.design.Np, a.design.Np);
        EXPECT_EQ(b.design.Nf, a.design.Nf);
        EXPECT_EQ(b.design.Vf, a.design.Vf);
        EXPECT_EQ(b.lastDialog, a.lastDialog);
        // The picked core with its material and the ambient: the same losses.
        EXPECT_EQ(b.design.Ta, a.design.Ta);
        ASSERT_EQ(b.design.Core.has_value(), own);
        if (own) {
            EXPECT_EQ(b.design.Core->material, "3C95");
            EXPECT_DOUBLE_EQ(b.design.Core->ve, a.design.Core->ve);
            ASSERT_TRUE(b.loss.shown());
            EXPECT_EQ(b.loss.loss.total, a.loss.loss.total);
            EXPECT_EQ(b.loss.loss.rise, a.loss.loss.rise);
        }
        // What the window draws is the same too, but for where the pointer last clicked.
        const auto drawn = [](GraphicFlybackDialog& w) {
            std::vector<std::string> texts;
            for (const auto& t : ui::HeadlessBackend::paint(w).texts())
                if (!t.text.empty() && t.text.rfind("Coordinate:", 0) != 0) texts.push_back(t.text);
            return texts;
        };
        EXPECT_EQ(drawn(a), drawn(b));
        a.close();
        b.close();
    }
}

// Opened results are computed again, whatever the file said: the DCM
// primary stores the energy the output takes each cycle, ½·Lp·Ipk²·fs = Po/η.
TEST_F(Flyback, ResultsAreComputedNotRead) {
    GraphicFlybackDialog& a = open();
    ownDesign(a);
    form::Design d = design(a);
    for (form::DesignLine& r : d.results) r.value = "1";
    writeFile("edited.kvd", form::writeDesign(d));
    GraphicFlybackDialog& b = open();
    ASSERT_TRUE(form::openDesign(b, "edited.kvd"));
    for (const auto& [key, value] : graphic::reportResults(graphic::reportData(b.design, b.loss)))
        EXPECT_EQ(value, [&] {
            for (const auto& [k, v] : graphic::reportResults(graphic::reportData(a.design, a.loss)))
                if (k == key) return v;
            return -1.0f;
        }()) << key;
    EXPECT_NE(b.design.Lp, 1);
    const double po = double(b.design.Vo) * b.design.Io; // W
    const double perCycle = 0.5 * b.design.Lp * 1e-6 * b.design.Ipkp * b.design.Ipkp * b.design.fosc * 1e3;
    EXPECT_NEAR(perCycle, po * 100 / b.design.Efficiency, 0.05 * po);
}

TEST_F(Flyback, BadFilesChangeNothing) {
    GraphicFlybackDialog& w = open();
    ASSERT_TRUE(form::saveDesign(w, "good.kvd"));
    const std::string good = readFile("good.kvd");
    const auto with = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        const std::size_t at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? t : t.replace(at, from.size(), to);
    };
    const std::pair<std::string, std::string> cases[] = {
        {with("\nVo = 5\n", "\nVo = five\n"), "“Vo”的值“five”不是数字"},
        {with("\nVo = 5\n", "\nVo =\n"), "缺少输入"},
        {with("\nVo = 5\n", "\n"), "（Vo）"},
        {with("\nMode = 连续(CCM)\n", "\nMode = QR\n"), "没有“QR”这一项"},
        {with("\nVo = 5\n", "\nVo = 5\nVx = 1\n"), "没有名为“Vx”的输入"},
        {with("\nbuttons =", "\nbuttons = 129"), "“129”不是这个窗口的计算按钮"},
        {with("template = 238", "template = 129"), "不是“"},
    };
    ownDesign(w);
    const std::string before = form::writeDesign(design(w));
    for (const auto& [text, said] : cases) {
        writeFile("bad.kvd", text);
        hb.messages.clear();
        EXPECT_FALSE(form::openDesign(w, "bad.kvd"));
        ASSERT_EQ(hb.messages.size(), 1u);
        EXPECT_NE(hb.messages[0].text.find(said), std::string::npos) << hb.messages[0].text;
        EXPECT_EQ(form::writeDesign(design(w)), before);
    }
}

TEST_F(Flyback, TheReportNamesTheDesignFile) {
    GraphicFlybackDialog& w = open();
    ownDesign(w);
    ASSERT_TRUE(form::saveDesign(w, "PQ26 12V.kvd"));
    GraphicFlybackDialog& b = open();
    ASSERT_TRUE(form::openDesign(b, "PQ26 12V.kvd"));
    hb.files.push_back(fs::absolute("report.xls").string());
    b.save();
    kv::xls::Workbook book;
    std::string error;
    ASSERT_TRUE(book.open("report.xls", error)) << error;
    const kv::xls::Sheet* s = book.firstSheet();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->text(5, 0), "Design File:");
    EXPECT_EQ(s->text(5, 1), "PQ26 12V.kvd");
    // A design never saved gives a report without the line.
    GraphicFlybackDialog& c = open();
    hb.files.push_back(fs::absolute("plain.xls").string());
    c.save();
    kv::xls::Workbook plain;
    ASSERT_TRUE(plain.open("plain.xls", error)) << error;
    EXPECT_EQ(plain.firstSheet()->text(5, 0), "");
}

} // namespace

// A file written before the losses (no picked core, no ambient) opens on a
// typed core at the default ambient; a core line that is not one is refused
// naming its line, and the window keeps its design.
TEST_F(Flyback, FilesWithoutTheLossLinesOpenAndBadCoresAreRefused) {
    GraphicFlybackDialog& a = open();
    ownDesign(a);
    ASSERT_TRUE(form::saveDesign(a, "fly.kvd"));
    std::string text = readFile("fly.kvd");
    const auto cut = [&](std::string_view key) {
        const std::size_t at = text.find("\n" + std::string(key) + " = ");
        ASSERT_NE(at, std::string::npos) << key;
        text.erase(at + 1, text.find('\n', at + 1) - at);
    };
    std::string bad = text;
    const std::size_t core = bad.find("3C95; ");
    ASSERT_NE(core, std::string::npos);
    bad.replace(core, 6, "3C95; big; ");
    writeFile("bad.kvd", bad);
    cut("LossCore");
    cut("Ta");
    writeFile("old.kvd", text);

    GraphicFlybackDialog& b = open();
    ASSERT_TRUE(form::openDesign(b, "old.kvd")) << (hb.messages.empty() ? "" : hb.messages[0].text);
    EXPECT_FALSE(b.design.Core);
    EXPECT_EQ(b.design.Ta, float(magnetics::kDefaultAmbient));
    EXPECT_EQ(b.design.Lp, a.design.Lp);
    EXPECT_FALSE(b.loss.shown());

    const float lp = b.design.Lp;
    hb.messages.clear();
    EXPECT_FALSE(form::openDesign(b, "bad.kvd"));
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_NE(hb.messages[0].text.find("LossCore"), std::string::npos) << hb.messages[0].text;
    EXPECT_NE(hb.messages[0].text.find("不是磁芯"), std::string::npos) << hb.messages[0].text;
    EXPECT_FALSE(b.design.Core);
    EXPECT_EQ(b.design.Lp, lp);
}
