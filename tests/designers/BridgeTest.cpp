#include "designers/BridgeDesigners.h"
#include "tests/designers/DesignerHarness.h"

#include "app/App.h"

using namespace kv;
using designers::BridgeDesigner;
using T = designers::bridge::Topology;

namespace {

struct Conditions {
    double VinMin = 250, VinMax = 360, Vo = 12, Io = 20, f = 60, Eff = 80, Vdf = 0.8, Dmax = 0.8, DB = 1600,
           Cmil = 500, Ae = 144;
};

// What tells the three windows apart for the tests.
struct Window {
    T topology;
    int templateId;
    const char* title;
    const char* formulaFile;
    const char* interfaceFile;
    int picture, x, y, marginW, marginH, pictureGroup;
};
const Window kWindows[] = {
    {T::PushPull, 137, "推挽变换器 Push Pull", "推挽变换器 cfg.txt", "Push-Pull Interface.txt", 174, 400, 19, 2, 9, 1142},
    {T::HalfBridge, 135, "半桥变换器 Half Bridge", "半桥变换器 cfg.txt", "Half Bridge Interface.txt", 175, 400, 20, 1,
     11, 1185},
    {T::FullBridge, 136, "全桥变换器 Full Bridge", "全桥变换器 cfg.txt", "Full Bridge Interface.txt", 176, 396, 20, 1,
     11, 1184},
};

// The transformer worked out from the circuit: the primary (a half winding of
// the push-pull) sees VinMin, or VinMin/2 across the half bridge's capacitor
// divider, for the on-time Dmax/2 of one switch, and the flux swings by 2 DB.
struct Physics {
    double vp, np0, n, pin, irmsp, irmss;
};

Physics physics(T t, const Conditions& c) {
    Physics p{};
    p.vp = t == T::HalfBridge ? c.VinMin / 2 : c.VinMin;
    const double fHz = c.f * 1e3, ton = c.Dmax / 2 / fHz;
    p.np0 = p.vp * ton / (2 * c.DB * 1e-4 * c.Ae * 1e-6);
    // two on-times a period put Vp Ns/Np on the secondary for the share Dmax
    p.n = p.vp * c.Dmax / (c.Vo + c.Vdf);
    p.pin = c.Vo * c.Io / (c.Eff / 100);
    // rectangular primary pulses carry Pin at Vp for the share Dmax of the period
    const double pulse = p.pin / (p.vp * c.Dmax);
    p.irmsp = pulse * std::sqrt(t == T::PushPull ? c.Dmax / 2 : c.Dmax);
    p.irmss = c.Io * std::sqrt(c.Dmax / 2);
    return p;
}

// The load (A) below which the output inductor of `lo` µH runs dry at input
// `vin`, with the turns wound: twice a period the rectified secondary drives
// it for the on-time D/2 of one switch, D from the volt-seconds of the
// inductor; the current falls to zero at half its ripple.
double boundaryLoad(T t, const Conditions& c, double vin, double np, double ns, double lo) {
    const double vs = vin * (t == T::HalfBridge ? 0.5 : 1.0) * ns / np;
    const double duty = (c.Vo + c.Vdf) / vs;
    const double ripple = (vs - c.Vdf - c.Vo) * duty / 2 / (c.f * 1e3) / (lo * 1e-6);
    return ripple / 2;
}

struct Bridges : test::DesignerHarness {
    designers::DesignerFrame& openWindow(const Window& win) {
        std::unique_ptr<ui::Dialog> d = app::createDialog(win.templateId, nullptr);
        return static_cast<designers::DesignerFrame&>(hb.openModeless(std::move(d), nullptr));
    }
    designers::DesignerFrame& openWith(const Window& win, const Conditions& c) {
        designers::DesignerFrame& w = openWindow(win);
        type(w, {{"VinMin", c.VinMin}, {"VinMax", c.VinMax}, {"Vo", c.Vo}, {"Io", c.Io}, {"f", c.f}, {"Eff", c.Eff},
                 {"Vdf", c.Vdf}, {"Dmax", c.Dmax}, {"DB", c.DB}, {"Cmil", c.Cmil}, {"Ae", c.Ae}});
        return w;
    }
    Bridges() { app::registerAll(); }

    // The wound turns put at least Vo + Vdf behind the rectifier at the
    // lowest input and the largest duty, and Faraday's law on them keeps the
    // flux swing within 2 DB there.
    static void expectTurnsReachAndHoldTheFlux(T t, const Conditions& c, double np, double ns) {
        const Physics p = physics(t, c);
        EXPECT_GE(p.vp * c.Dmax * ns / np, (c.Vo + c.Vdf) * (1 - 1e-5)) << np << ":" << ns;
        const double swing = p.vp * c.Dmax / 2 / (c.f * 1e3) / (np * c.Ae * 1e-6); // tesla
        EXPECT_LE(swing, 2 * c.DB * 1e-4 * (1 + 1e-5)) << np << ":" << ns;
    }
};

const char* const kResults[] = {"Np", "Ns", "Dp", "Ds", "Irmsp", "Irmss", "Lo"};

} // namespace

TEST_F(Bridges, OpenWithTheirTitlesStartValuesAndColours) {
    for (const Window& win : kWindows) {
        designers::DesignerFrame& w = openWindow(win);
        EXPECT_EQ(w.title(), std::string(win.title) + "   <界面:系统   公式:内置>");
        EXPECT_EQ(shown(w, "VinMin"), win.topology == T::PushPull ? "150" : "250");
        EXPECT_EQ(shown(w, "VinMax"), win.topology == T::PushPull ? "200" : "360");
        EXPECT_EQ(shown(w, "Dmax"), "0.8");
        EXPECT_EQ(shown(w, "DB"), "1600");
        EXPECT_EQ(shown(w, "Ae"), "144");
        for (const char* r : kResults) EXPECT_EQ(shown(w, r), "") << r;
        EXPECT_EQ(w.control(1087)->textColor, ui::kBlue);
    }
    designers::DesignerFrame& full = openWindow(kWindows[2]);
    EXPECT_EQ(full.text(1255), "最大占空比(2桥臂)");
    EXPECT_EQ(full.text(1264), "输出电感(uH)");
    EXPECT_EQ(full.control(1181)->textColor, ui::kRed);
    EXPECT_EQ(full.control(1086)->textColor, designers::kNoteCaption);
    designers::DesignerFrame& push = openWindow(kWindows[0]);
    EXPECT_EQ(push.text(1258), "磁芯面积AE(mm2)");
    EXPECT_EQ(push.control(1036)->textColor, designers::kNoteCaption);
}

TEST_F(Bridges, StartValues) {
    // The half bridge's primary sees VinMin/2: n = 7.8125, Ns = 3, Np = 23.
    // The full bridge's n x Ns is 46.875: 47 turns would give 11.8 V at
    // 250 V and the largest duty, 46 give 12.0 V and need no more than the
    // 36.2 turns the flux asks for.
    // The inductor at 360 V: the bridges put 23.5 V on it for D = 0.545,
    // the push-pull (200 V, 3:28) 21.4 V for D = 0.597; freewheeling at 12.8 V
    // for the rest of the 8.33 us half period with a ripple of 4 A.
    const struct {
        const char *np, *ns;
        double irmsp, dp, lo;
    } expected[] = {{"28", "3", 1.58, 0.714, 10.74}, {"23", "3", 2.68, 0.930, 12.13}, {"46", "3", 1.34, 0.658, 12.13}};
    for (int i = 0; i < 3; ++i) {
        designers::DesignerFrame& w = openWindow(kWindows[i]);
        press(w, BridgeDesigner::kCalculate);
        EXPECT_EQ(shown(w, "Np"), expected[i].np) << i;
        EXPECT_EQ(shown(w, "Ns"), expected[i].ns) << i;
        EXPECT_NEAR(num(w, "Irmsp"), expected[i].irmsp, 0.005) << i;
        EXPECT_NEAR(num(w, "Dp"), expected[i].dp, 0.0005) << i;
        EXPECT_NEAR(num(w, "Irmss"), 12.65, 0.005);
        EXPECT_NEAR(num(w, "Ds"), 2.02, 0.0005);
        EXPECT_NEAR(num(w, "Lo"), expected[i].lo, 0.005) << i;
        EXPECT_TRUE(calculatingShown());
    }
    EXPECT_TRUE(hb.messages.empty());
}

// Designs per window against the circuit and its invariants: the start
// values, a 20-30 V to 48 V push-pull and a 400 V to 24 V 500 W full bridge
// among them.
TEST_F(Bridges, DesignsAgreeWithTheCircuitAndKeepTheirInvariants) {
    const Conditions designs[3][3] = {
        {{.VinMin = 40, .VinMax = 60, .Vo = 12, .Io = 8, .f = 100, .Eff = 88, .Vdf = 0.5, .Dmax = 0.75, .DB = 1200,
          .Cmil = 450, .Ae = 83},
         {.VinMin = 300, .VinMax = 380, .Vo = 48, .Io = 5, .f = 80, .Eff = 92, .Vdf = 1, .Dmax = 0.7, .DB = 1500,
          .Cmil = 500, .Ae = 178},
         {.VinMin = 20, .VinMax = 30, .Vo = 48, .Io = 2, .f = 100, .Eff = 90, .Vdf = 1, .Dmax = 0.8, .DB = 1500,
          .Cmil = 500, .Ae = 50}},
        {{.VinMin = 280, .VinMax = 370, .Vo = 24, .Io = 10, .f = 100, .Eff = 90, .Vdf = 0.7, .Dmax = 0.85,
          .DB = 1400, .Cmil = 500, .Ae = 125},
         {.VinMin = 380, .VinMax = 400, .Vo = 5, .Io = 50, .f = 120, .Eff = 85, .Vdf = 0.45, .Dmax = 0.9, .DB = 1200,
          .Cmil = 400, .Ae = 240},
         Conditions{}},
        {{.VinMin = 360, .VinMax = 420, .Vo = 54, .Io = 20, .f = 70, .Eff = 94, .Vdf = 1.2, .Dmax = 0.88, .DB = 1500,
          .Cmil = 500, .Ae = 400},
         {.VinMin = 250, .VinMax = 360, .Vo = 12, .Io = 80, .f = 50, .Eff = 90, .Vdf = 0.5, .Dmax = 0.8, .DB = 1600,
          .Cmil = 550, .Ae = 520},
         {.VinMin = 380, .VinMax = 410, .Vo = 24, .Io = 20.8, .f = 100, .Eff = 92, .Vdf = 0.7, .Dmax = 0.8,
          .DB = 1000, .Cmil = 500, .Ae = 173}},
    };
    for (int i = 0; i < 3; ++i)
        for (const Conditions& c : designs[i]) {
            const Window& win = kWindows[i];
            SCOPED_TRACE(std::string(win.title) + " " + std::to_string(c.VinMin));
            designers::DesignerFrame& w = openWith(win, c);
            press(w, BridgeDesigner::kCalculate);
            ASSERT_TRUE(hb.messages.empty()) << hb.messages[0].text;
            const Physics p = physics(win.topology, c);
            const double np = num(w, "Np"), ns = num(w, "Ns");
            EXPECT_EQ(np, std::floor(np));
            EXPECT_EQ(ns, std::floor(ns));
            expectTurnsReachAndHoldTheFlux(win.topology, c, np, ns);
            // the fewest secondary turns that leave a whole primary between the two
            EXPECT_LT(std::floor(p.n * (ns - 1) * (1 + 1e-6)), p.np0);
            // and the primary the nearest to the ratio
            EXPECT_GT(np + 1, p.n * ns);
            // the inductor keeps conducting down to a tenth of the load at the
            // highest input, and further down at the lowest
            const double lo = num(w, "Lo");
            EXPECT_NEAR(boundaryLoad(win.topology, c, c.VinMax, np, ns, lo), 0.1 * c.Io, 0.1 * c.Io * 1e-3);
            if (c.VinMax > c.VinMin) {
                EXPECT_LT(boundaryLoad(win.topology, c, c.VinMin, np, ns, lo), 0.1 * c.Io);
            }
            // power balance: average = RMS x root of the conducting share, Po/η in all
            const double irmsp = num(w, "Irmsp");
            const double average = win.topology == T::PushPull ? 2 * irmsp * std::sqrt(c.Dmax / 2)
                                                                : irmsp * std::sqrt(c.Dmax);
            EXPECT_CLOSE(average * p.vp, p.pin);
            EXPECT_CLOSE(irmsp, p.irmsp);
            EXPECT_CLOSE(num(w, "Irmss"), p.irmss);
            EXPECT_CLOSE(std::pow(num(w, "Dp") * 39.37, 2), c.Cmil * irmsp);
            EXPECT_CLOSE(std::pow(num(w, "Ds") * 39.37, 2), c.Cmil * p.irmss);
            expectNoBadNumbers(w);
        }
}

TEST_F(Bridges, APrimaryThatJustFitsStaysAndAnyFractionMoreRaisesTheTurns) {
    // The flux asks for exactly 32 primary turns and n = 10.67: 3 secondary turns carry 32.
    const Conditions c{.VinMin = 256, .Vo = 12, .f = 50, .Vdf = 0, .Dmax = 0.5, .DB = 1000, .Ae = 200};
    designers::DesignerFrame& w = openWith(kWindows[2], c);
    press(w, BridgeDesigner::kCalculate);
    EXPECT_EQ(shown(w, "Ns"), "3");
    EXPECT_EQ(shown(w, "Np"), "32");
    type(w, "Ae", 199.98); // 32.003 turns: 33 will not reach 12 V on 3
    press(w, BridgeDesigner::kCalculate);
    EXPECT_EQ(shown(w, "Ns"), "4");
    EXPECT_EQ(shown(w, "Np"), "42");
}

// 20-30 V to 48 V, 2 A: n = 0.327 and the flux asks for 5.33 turns. 17:6
// turns (the nearest primary to n x 17 = 5.55) would give 44.3 V at 20 V and
// a duty of 0.8 (48 V needs 0.87); 5 turns would saturate. 19 secondary
// turns carry the 6 primary turns: 49.7 V.
TEST_F(Bridges, ThePushPullFrom20VReaches48VAtItsLargestDuty) {
    const Conditions c{.VinMin = 20, .VinMax = 30, .Vo = 48, .Io = 2, .f = 100, .Eff = 90, .Vdf = 1, .Dmax = 0.8,
                       .DB = 1500, .Ae = 50};
    designers::DesignerFrame& w = openWith(kWindows[0], c);
    press(w, BridgeDesigner::kCalculate);
    EXPECT_EQ(shown(w, "Np"), "6");
    EXPECT_EQ(shown(w, "Ns"), "19");
    expectTurnsReachAndHoldTheFlux(T::PushPull, c, 6, 19);
}

TEST_F(Bridges, AHighestInputBelowTheLowestIsRefused) {
    for (const Window& win : kWindows) {
        designers::DesignerFrame& w = openWindow(win);
        press(w, BridgeDesigner::kCalculate);
        const std::string lo = shown(w, "Lo");
        type(w, "VinMax", num(w, "VinMin") - 1);
        hb.messages.clear();
        press(w, BridgeDesigner::kCalculate);
        EXPECT_EQ(texts(), std::vector<std::string>{"输入有误：“最高直流输入(V)”低于“最低直流输入(V)”，请检查输入！"});
        EXPECT_EQ(shown(w, "Lo"), lo);
        // an input fixed by a PFC stage: both the same
        type(w, "VinMax", num(w, "VinMin"));
        hb.messages.clear();
        press(w, BridgeDesigner::kCalculate);
        EXPECT_TRUE(hb.messages.empty());
        EXPECT_LT(num(w, "Lo"), std::stod(lo));
    }
}

TEST_F(Bridges, OnlyThePushPullWarnsOfALongDuty) {
    for (const Window& win : kWindows) {
        designers::DesignerFrame& w = openWindow(win);
        type(w, "Dmax", 0.8);
        press(w, BridgeDesigner::kCalculate);
        EXPECT_TRUE(hb.messages.empty());
        type(w, "Dmax", 0.81);
        press(w, BridgeDesigner::kCalculate);
        if (win.topology == T::PushPull) {
            EXPECT_EQ(texts(), std::vector<std::string>{" 建议留最大占空比设置为小于0.8，留0.2的余量！"});
            EXPECT_EQ(hb.messages[0].owner, 137);
        } else {
            EXPECT_TRUE(hb.messages.empty()) << win.title;
        }
        const Conditions c{.VinMin = win.topology == T::PushPull ? 150.0 : 250.0,
                           .VinMax = win.topology == T::PushPull ? 200.0 : 360.0, .Dmax = 0.81};
        expectTurnsReachAndHoldTheFlux(win.topology, c, num(w, "Np"), num(w, "Ns"));
        hb.messages.clear();
    }
}

TEST_F(Bridges, BadInputsAreNamedAndEarlierResultsStay) {
    for (const Window& win : kWindows) {
        designers::DesignerFrame& w = openWindow(win);
        press(w, BridgeDesigner::kCalculate);
        const std::string np = shown(w, "Np");
        const std::pair<const char*, double> cases[] = {
            {"Dmax", 1}, {"Dmax", 0},    {"f", 0},  {"DB", 0},    {"Ae", -1},  {"Eff", 0},
            {"Io", 0},   {"VinMin", 0}, {"Vo", 0}, {"Cmil", -2}, {"Eff", 101}, {"Vdf", -1}};
        for (auto [name, value] : cases) expectRefused(w, BridgeDesigner::kCalculate, name, value, "Np");
        // Not a number: one message, the window's own words and the field, results as they were.
        hb.messages.clear();
        w.setText(w.controlOf("Vo"), "12V");
        press(w, BridgeDesigner::kCalculate);
        EXPECT_EQ(texts(), (std::vector<std::string>{" 请输入完整的设计条件！！\n输入有误：“输出电压(V)”中的“12V”不是一个数字，请检查输入！"}));
        EXPECT_EQ(shown(w, "Np"), np);
        expectNoBadNumbers(w);
    }
    // In a window that has not computed yet, the results stay blank (no "0").
    designers::DesignerFrame& w = openWindow(kWindows[1]);
    w.setText(w.controlOf("Ae"), "");
    press(w, BridgeDesigner::kCalculate);
    for (const char* r : kResults) EXPECT_EQ(shown(w, r), "") << r;
}

TEST_F(Bridges, FormulaFilesComputeInsteadOfTheBuiltInFormulas) {
    for (const Window& win : kWindows) {
        test::writeFile(win.formulaFile, "Np = VinMin * 2;\r\nLo = Io + Ns;\r\n#");
        designers::DesignerFrame& w = openWindow(win);
        EXPECT_EQ(w.title(), std::string(win.title) + "   <界面:系统   公式:自定义>");
        press(w, BridgeDesigner::kCalculate);
        EXPECT_EQ(num(w, "Np"), 2 * num(w, "VinMin"));
        EXPECT_EQ(shown(w, "Lo"), "20"); // Ns reads 0 before anything sets it
        EXPECT_EQ(shown(w, "Irmsp"), "0");
        // The second run starts from "0" again, not from the shown results.
        test::writeFile(win.formulaFile, "Lo = Lo + 1;\r\n#");
        press(w, BridgeDesigner::kCalculate);
        EXPECT_EQ(shown(w, "Lo"), "1");
        test::writeFile(win.formulaFile, "Lo = (1;\r\n#");
        press(w, BridgeDesigner::kCalculate);
        EXPECT_EQ(shown(w, "Lo"), "1");
        EXPECT_EQ(hb.messages.back().caption, "公式解析错误");
        test::writeFile(win.formulaFile, "#");
    }
}

TEST_F(Bridges, InterfaceFilesRelabel) {
    for (const Window& win : kWindows) {
        test::writeFile(win.interfaceFile, "8=D total;\r\n12=Np turns;\r\n#");
        designers::DesignerFrame& w = openWindow(win);
        EXPECT_EQ(w.text(1255), "D total");
        EXPECT_EQ(w.text(1259), "Np turns");
        EXPECT_EQ(w.text(1247), "次级匝数NS(1/2)");
        EXPECT_EQ(w.title(), std::string(win.title) + "   <界面:自定义   公式:内置>");
        // A bad duty is named by its new label.
        type(w, "Dmax", 1.5);
        press(w, BridgeDesigner::kCalculate);
        EXPECT_NE(hb.messages.back().text.find("“D total”"), std::string::npos);
    }
}

TEST_F(Bridges, PaintTheirPictures) {
    for (const Window& win : kWindows)
        expectPicture(openWindow(win), win.picture, win.x, win.y, win.pictureGroup, win.marginW, win.marginH);
}
