#include "designers/ForwardDesigner.h"
#include "tests/designers/DesignerHarness.h"

#include <algorithm>

using namespace kv;
using W = designers::ForwardDesigner;

namespace {

struct Conditions {
    double VinMin = 250, VinMax = 360, Vo = 13.8, Io = 20, f = 60, Eff = 80, Vdf = 0.8, Dmax = 0.38, Bpk = 2000,
           Cmil = 600, Kw = 0.3, Ae = 127;
};

// The forward transformer worked out in SI units: the on-time at the lowest
// input sets the turns for the flux, the duty sets the ratio, the primary
// carries rectangular pulses of Pin / (VinMin D), the inductor is a buck at the
// highest input with a ripple of 0.4 Io, on the turns as wound.
struct Physics {
    double np0, n, irmsp, irmss, dp, ds;
};

Physics physics(const Conditions& c) {
    Physics p{};
    const double fHz = c.f * 1e3, ton = c.Dmax / fHz;
    p.np0 = c.VinMin * ton / (c.Bpk * 1e-4 * c.Ae * 1e-6);
    p.n = c.VinMin * c.Dmax / (c.Vo + c.Vdf);
    const double pin = c.Vo * c.Io / (c.Eff / 100);
    p.irmsp = pin / (c.VinMin * c.Dmax) * std::sqrt(c.Dmax);
    p.irmss = c.Io * std::sqrt(c.Dmax);
    const double mm = 1 / 39.37; // a diameter in mils is the root of the circular mils
    p.dp = std::sqrt(c.Cmil * p.irmsp) * mm;
    p.ds = std::sqrt(c.Cmil * p.irmss) * mm;
    return p;
}

// The output inductor's ripple (A) at input `vin` on np:ns turns: the
// secondary drives it for the duty its volt-seconds ask.
double inductorRipple(const Conditions& c, double vin, double np, double ns, double loUh) {
    const double vs = vin * ns / np, duty = (c.Vo + c.Vdf) / vs;
    return (vs - c.Vo - c.Vdf) * duty / (c.f * 1e3) / (loUh * 1e-6);
}

struct Forward : test::DesignerHarness {
    // The wound turns put at least Vo + Vdf behind the rectifier at the lowest
    // input and the largest duty, and Faraday's law on them keeps the flux at
    // or below Bpk there (and so at every input the output regulates at).
    static void expectTurnsReachAndHoldTheFlux(const Conditions& c, double np, double ns) {
        EXPECT_GE(c.VinMin * c.Dmax * ns / np, (c.Vo + c.Vdf) * (1 - 1e-5)) << np << ":" << ns;
        const double tesla = c.VinMin * c.Dmax / (c.f * 1e3) / (np * c.Ae * 1e-6);
        EXPECT_LE(tesla, c.Bpk * 1e-4 * (1 + 1e-5)) << np << ":" << ns;
    }
    W& openWith(const Conditions& c) {
        W& w = open<W>();
        type(w, {{"VinMin", c.VinMin}, {"VinMax", c.VinMax}, {"Vo", c.Vo}, {"Io", c.Io}, {"f", c.f}, {"Eff", c.Eff},
                 {"Vdf", c.Vdf}, {"Dmax", c.Dmax}, {"Bpk", c.Bpk}, {"Cmil", c.Cmil}, {"Kw", c.Kw}, {"Ae", c.Ae}});
        return w;
    }
};

const char* const kWinding[] = {"Np", "Ns", "Dp", "Ds", "Irmsp", "Irmss", "Lo"};

} // namespace

TEST_F(Forward, OpensWithStartValuesBlankResultsAndColours) {
    W& w = open<W>();
    EXPECT_EQ(w.title(), "正激变换器 Forward   <界面:系统   公式:内置>");
    EXPECT_EQ(shown(w, "Vo"), "13.8");
    EXPECT_EQ(shown(w, "Dmax"), "0.38");
    EXPECT_EQ(shown(w, "Kw"), "0.3");
    for (const char* r : kWinding) EXPECT_EQ(shown(w, r), "") << r;
    EXPECT_EQ(shown(w, "Ae"), "");
    EXPECT_EQ(shown(w, "Ap"), "");
    EXPECT_EQ(w.control(1109)->textColor, ui::kRed);
    EXPECT_EQ(w.control(1112)->textColor, ui::kBlue);
    EXPECT_EQ(w.control(1113)->textColor, designers::kNoteCaption);
    EXPECT_TRUE(w.enabled(W::kNote));
}

TEST_F(Forward, AreaProductOfTheStartValues) {
    W& w = open<W>();
    press(w, W::kAreaProduct);
    // Pin = 345 W
    EXPECT_NEAR(num(w, "Ap"), 2.91, 0.005);
    for (const char* r : kWinding) EXPECT_EQ(shown(w, r), "") << r;
    EXPECT_EQ(shown(w, "Ae"), "");
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_TRUE(calculatingShown());
    EXPECT_CLOSE(designers::forward::inputPower({}), 345.0);
}

// The area product grows with the power and the current density and falls
// with the window factor, the frequency and the flux density.
TEST_F(Forward, AreaProductScalesWithItsConditions) {
    const auto ap = [&](const Conditions& c) {
        W& w = openWith(c);
        w.setText(w.controlOf("Ae"), "");
        press(w, W::kAreaProduct);
        return num(w, "Ap");
    };
    const double base = ap({});
    EXPECT_CLOSE(ap({.Io = 40}), 2 * base);
    EXPECT_CLOSE(ap({.Eff = 40}), 2 * base);
    EXPECT_CLOSE(ap({.Cmil = 300}), base / 2);
    EXPECT_CLOSE(ap({.f = 120, .Kw = 0.15}), base);
    EXPECT_CLOSE(ap({.Bpk = 1000}), 2 * base);
}

TEST_F(Forward, VerifyWantsTheChosenCore) {
    W& w = open<W>();
    press(w, W::kVerify);
    EXPECT_EQ(texts(), std::vector<std::string>{"请先输入你选择的磁芯参数！"});
    for (const char* r : kWinding) EXPECT_EQ(shown(w, r), "") << r;
    EXPECT_FALSE(calculatingShown());
}

// Five designs: the start values on a core of 127 mm2, a 5 V supply from a
// PFC bus, a 3.3 V telecom supply, 3.3 V 20 A from 36-75 V and 100 W from
// rectified mains.
TEST_F(Forward, VerifiedDesignsAgreeWithThePhysicsAndKeepTheirInvariants) {
    const Conditions designs[] = {
        Conditions{},
        Conditions{.VinMin = 380, .VinMax = 400, .Vo = 5, .Io = 30, .f = 100, .Eff = 85, .Vdf = 0.5, .Dmax = 0.45,
                   .Bpk = 1800, .Cmil = 500, .Kw = 0.35, .Ae = 178},
        Conditions{.VinMin = 36, .VinMax = 72, .Vo = 3.3, .Io = 10, .f = 200, .Eff = 88, .Vdf = 0.4, .Dmax = 0.42,
                   .Bpk = 1500, .Cmil = 450, .Kw = 0.25, .Ae = 43},
        Conditions{.VinMin = 36, .VinMax = 75, .Vo = 3.3, .Io = 20, .f = 200, .Eff = 85, .Vdf = 0.5, .Dmax = 0.45,
                   .Bpk = 1500, .Cmil = 400, .Kw = 0.3, .Ae = 97.5},
        Conditions{.VinMin = 110, .VinMax = 375, .Vo = 12, .Io = 8.4, .f = 100, .Eff = 85, .Vdf = 0.5, .Dmax = 0.45,
                   .Bpk = 1800, .Cmil = 500, .Kw = 0.3, .Ae = 52},
    };
    for (const Conditions& c : designs) {
        SCOPED_TRACE(c.VinMin);
        W& w = openWith(c);
        press(w, W::kAreaProduct);
        const std::string ap = shown(w, "Ap");
        press(w, W::kVerify);
        ASSERT_TRUE(hb.messages.empty()) << hb.messages[0].text;
        const Physics p = physics(c);
        const double np = num(w, "Np"), ns = num(w, "Ns");
        EXPECT_EQ(ns, std::floor(ns));
        EXPECT_EQ(np, std::floor(np));
        EXPECT_GE(ns, 1);
        expectTurnsReachAndHoldTheFlux(c, np, ns);
        // the fewest secondary turns that leave a whole primary for both, and
        // the primary the nearest to the ratio
        EXPECT_LT(std::floor(p.n * (ns - 1) * (1 + 1e-6)), p.np0);
        EXPECT_GT(np + 1, p.n * ns);
        EXPECT_CLOSE(num(w, "Irmsp"), p.irmsp);
        // power balance: the primary's average current at VinMin is Po / η
        EXPECT_CLOSE(num(w, "Irmsp") * std::sqrt(c.Dmax) * c.VinMin, c.Vo * c.Io / (c.Eff / 100));
        EXPECT_CLOSE(num(w, "Irmss"), p.irmss);
        EXPECT_CLOSE(num(w, "Dp"), p.dp);
        EXPECT_CLOSE(num(w, "Ds"), p.ds);
        // the inductor ripples 0.4 Io at the highest input, less at the lowest
        EXPECT_CLOSE(inductorRipple(c, c.VinMax, np, ns, num(w, "Lo")), 0.4 * c.Io);
        EXPECT_LT(inductorRipple(c, c.VinMin, np, ns, num(w, "Lo")), 0.4 * c.Io);
        EXPECT_EQ(shown(w, "Ap"), ap); // the area product stays
        expectNoBadNumbers(w);
        hb.messages.clear();
    }
}

TEST_F(Forward, HighInputAndLowOutputKeepOneSecondaryTurn) {
    // Np0 / n is about 0.04: to the nearest turn that would be none.
    W& w = openWith({.VinMin = 400, .VinMax = 420, .Vo = 1, .Vdf = 0.3, .Dmax = 0.4, .Bpk = 3000, .Ae = 2000});
    press(w, W::kVerify);
    EXPECT_EQ(shown(w, "Ns"), "1");
    const double n = 400 * 0.4 / 1.3;
    EXPECT_EQ(num(w, "Np"), std::round(n));
    EXPECT_GT(num(w, "Lo"), 0);
}

TEST_F(Forward, PrimaryTurnsOfExactlyAHalfStayAsTheyAre) {
    // n = 250 x 0.4 / 40 = 2.5, the flux asks for 6.67 turns: Ns = 3 and Np = 7.5
    W& w = openWith({.Vo = 39.2, .f = 100, .Dmax = 0.4, .Ae = 750});
    press(w, W::kVerify);
    EXPECT_EQ(shown(w, "Ns"), "3");
    EXPECT_EQ(shown(w, "Np"), "7.5");
    // on a smaller core 7.69 turns: 7.5 would saturate, 3 secondary turns cannot carry 8
    type(w, "Ae", 650);
    press(w, W::kVerify);
    EXPECT_EQ(shown(w, "Ns"), "4");
    EXPECT_EQ(shown(w, "Np"), "10");
}

// 3.3 V 20 A from 36-75 V: n = 4.26 and the flux asks for 5.54 turns. The
// nearest turns, 1:4, would swing the core to 2077 G for the 1500 G entered;
// 1 secondary turn cannot carry 6 primary turns, so 2:8 (1038 G, 4.05 V
// behind the rectifier at 36 V and the largest duty).
TEST_F(Forward, ThreePointThreeVoltsFromTelecomInputKeepsTheFluxEntered) {
    const Conditions c{.VinMin = 36, .VinMax = 75, .Vo = 3.3, .Io = 20, .f = 200, .Eff = 85, .Vdf = 0.5,
                       .Dmax = 0.45, .Bpk = 1500, .Cmil = 400, .Kw = 0.3, .Ae = 97.5};
    W& w = openWith(c);
    press(w, W::kVerify);
    EXPECT_EQ(shown(w, "Ns"), "2");
    EXPECT_EQ(shown(w, "Np"), "8");
    expectTurnsReachAndHoldTheFlux(c, 8, 2);
}

TEST_F(Forward, ADutyOfOneHalfOrMoreIsANotice) {
    W& w = openWith({.Dmax = 0.5});
    press(w, W::kAreaProduct);
    press(w, W::kVerify);
    const std::string notice = "提示：如果复位绕组和初级匝数相等，请设置最大占空比小于0.5！";
    EXPECT_EQ(texts(), (std::vector<std::string>{notice, notice}));
    EXPECT_FALSE(shown(w, "Np").empty());
    hb.messages.clear();
    type(w, "Dmax", 0.49);
    press(w, W::kVerify);
    EXPECT_TRUE(hb.messages.empty());
}

TEST_F(Forward, IncompleteConditionsLeaveEarlierResultsAndBlanks) {
    W& w = openWith({});
    press(w, W::kVerify);
    const std::string np = shown(w, "Np");
    ASSERT_FALSE(np.empty());
    w.setText(w.controlOf("Io"), "twenty");
    press(w, W::kAreaProduct);
    press(w, W::kVerify);
    EXPECT_EQ(texts(), (std::vector<std::string>{"请输入完整的设计条件！！\n输入有误：“输出电流(A)”中的“twenty”不是一个数字，请检查输入！",
                                                 "请输入完整的设计条件!\n输入有误：“输出电流(A)”中的“twenty”不是一个数字，请检查输入！"}));
    EXPECT_EQ(hb.messages[1].owner, 130);
    EXPECT_EQ(shown(w, "Np"), np);
    EXPECT_EQ(shown(w, "Ap"), ""); // a blank comes back blank, not "0"
    // A fresh window: every result blank again after the failed read.
    W& v = open<W>();
    v.setText(v.controlOf("Vo"), "");
    press(v, W::kAreaProduct);
    for (const char* r : kWinding) EXPECT_EQ(shown(v, r), "") << r;
    EXPECT_EQ(shown(v, "Ap"), "");
    EXPECT_EQ(shown(v, "Ae"), "");
}

// Every divisor and root of the formulas, and a duty outside (0, 1), is
// refused by name, with the label the window shows now.
TEST_F(Forward, InputsOutsideTheirRangeAreNamedByTheirLabels) {
    test::writeFile("Forward Interface.txt", "8=Duty max;\r\n19=Core Ae;\r\n#");
    W& w = openWith({});
    press(w, W::kVerify);
    const std::string lo = shown(w, "Lo");
    const std::pair<const char*, double> cases[] = {
        {"Dmax", 1}, {"Dmax", 0}, {"Ae", 0},     {"f", 0},    {"Bpk", -5}, {"Eff", 0},
        {"Io", 0},   {"VinMin", 0}, {"Cmil", -1}, {"Kw", 0}, {"Vo", 0},   {"Vdf", -0.1},
    };
    for (auto [name, value] : cases) expectRefused(w, W::kVerify, name, value, "Lo");
    expectRefused(w, W::kAreaProduct, "Kw", 0, "Ap");
    EXPECT_EQ(labelOf(w, "Dmax"), "Duty max");
    EXPECT_EQ(labelOf(w, "Ae"), "Core Ae");
    // The inductor is sized at the highest input: it cannot be the lower one.
    type(w, "VinMax", 200);
    hb.messages.clear();
    press(w, W::kVerify);
    EXPECT_EQ(texts(), std::vector<std::string>{"输入有误：“最高直流输入(V)”低于“最低直流输入(V)”，请检查输入！"});
    EXPECT_EQ(shown(w, "Lo"), lo);
    expectNoBadNumbers(w);
}

TEST_F(Forward, FormulaFileRunsWithStandInsAndGreysTheNote) {
    test::writeFile("正激变换器 cfg.txt", "Np = Ap + VinMin;\r\nAp = Ae * 2 + Kw;\r\n#");
    W& w = open<W>();
    EXPECT_EQ(w.title(), "正激变换器 Forward   <界面:系统   公式:自定义>");
    EXPECT_FALSE(w.enabled(W::kNote));
    press(w, W::kAreaProduct); // Ae stands in as 1
    EXPECT_EQ(shown(w, "Ap"), "2.3");
    EXPECT_EQ(shown(w, "Np"), ""); // the winding results are blank after the area product
    w.setText(w.controlOf("Ap"), "");
    type(w, "Ae", 127);
    press(w, W::kVerify); // Ap stands in as 1
    EXPECT_EQ(shown(w, "Np"), "251");
    EXPECT_EQ(shown(w, "Ap"), ""); // blank before, blank again
    EXPECT_EQ(shown(w, "Lo"), "0"); // results the file did not set show as they stand
    // A file that does not parse shows nothing new.
    test::writeFile("正激变换器 cfg.txt", "Np = = 1;\r\n#");
    press(w, W::kVerify);
    EXPECT_EQ(shown(w, "Np"), "251");
    EXPECT_EQ(hb.messages.back().caption, "公式解析错误");
}

TEST_F(Forward, InterfaceFileRelabels) {
    test::writeFile("Forward Interface.txt", "11=Window factor;\r\n19=Core Ae(mm2);\r\n#");
    W& w = open<W>();
    EXPECT_EQ(w.text(1286), "Window factor");
    EXPECT_EQ(w.text(1258), "Core Ae(mm2)");
    EXPECT_EQ(w.text(1259), "初级匝数NP(Ts)");
    EXPECT_EQ(w.title(), "正激变换器 Forward   <界面:自定义   公式:内置>");
}

TEST_F(Forward, PaintsItsPicture) {
    expectPicture(open<W>(), W::kPicture, 405, 19, W::kPictureGroup, 1, 11);
}
