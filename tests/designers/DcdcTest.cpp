#include "designers/DcdcDesigner.h"
#include "tests/designers/DesignerHarness.h"

#include <algorithm>

using namespace kv;
using W = designers::DcdcDesigner;
namespace dcdc = designers::dcdc;

namespace {

struct Conditions {
    double VinMin = 18, VinMax = 24, Vo = 12, IoMax = 1, Vsw = 1.5, Vdf = 0.5, f = 150, Ptd = 20, r = 0.4, Bpk = 2500,
           Bsat = 3000, Cmil = 400, Vopp = 50, Ae = 23;
};

const char* const kResults[] = {"L",     "Ipk",  "Irms", "DL",  "NL", "Ton", "Duty",
                                "Iswrms", "Vswm", "Idrms", "Vdm", "Co", "Vc"};

// The inductor of each converter: the input it is designed at, and the
// voltage across it while the switch is on and while the diode conducts.
struct Inductor {
    double vin, von, voff;
};
Inductor inductor(int converter, const Conditions& c) {
    switch (converter) {
    case dcdc::kBuck: return {c.VinMax, c.VinMax - c.Vsw - c.Vo, c.Vo + c.Vdf};
    case dcdc::kBoost: return {c.VinMin, c.VinMin - c.Vsw, c.Vo + c.Vdf - c.VinMin};
    default: return {c.VinMin, c.VinMin - c.Vsw, c.Vo + c.Vdf};
    }
}

// The output capacitor driven by the current into the output node, built
// from the inductor's slopes: it rises at von/L from `valley` to `ipk` during
// the on-time, then falls at voff/L, no lower than zero. A buck's inductor
// feeds the output throughout, the others' only while the diode conducts.
// The capacitor takes what the load does not, integrated over a period.
struct Ripple {
    double vpp;     // the capacitor's peak-to-peak voltage (V)
    double ipp;     // the current's peak-to-peak (A)
    double balance; // the charge left after a period (C)
};
Ripple capacitorRipple(bool buck, double von, double voff, double L, double ton, double T, double valley,
                       double io, double C) {
    const int steps = 200000;
    const double dt = T / steps;
    double q = 0, qMin = 0, qMax = 0, iMin = 1e300, iMax = -1e300;
    for (int k = 0; k < steps; ++k) {
        const double t = (k + 0.5) * dt;
        const double il = t < ton ? valley + von / L * t : std::max(0.0, valley + von / L * ton - voff / L * (t - ton));
        const double i = buck || t >= ton ? il : 0.0;
        iMin = std::min(iMin, i);
        iMax = std::max(iMax, i);
        q += (i - io) * dt;
        qMin = std::min(qMin, q);
        qMax = std::max(qMax, q);
    }
    return {(qMax - qMin) / C, iMax - iMin, q};
}

// The ESR the tips allow, in ohms; NaN when they give none.
double tipsEsr(const ui::Dialog& w) {
    const std::string t = w.text(designers::DcdcDesigner::kTips);
    const std::string key = "输出电容ESR≤";
    const std::size_t at = t.find(key);
    if (at == std::string::npos) return NAN;
    const std::size_t from = at + key.size();
    const std::size_t unit = t.find("Ω", from);
    if (unit == std::string::npos) return NAN;
    const bool milli = t.compare(unit - 1, 1, "m") == 0;
    double v = NAN;
    if (!ui::parseNumber(t.substr(from, unit - from - (milli ? 1 : 0)), v)) return NAN;
    return milli ? v / 1000 : v;
}

struct Dcdc : test::DesignerHarness {
    static void choose(W& w, int converter, bool dcm) {
        w.select(W::kConverter, converter);
        w.dispatch(W::kConverter, ui::Notify::SelChange);
        w.select(W::kMode, dcm ? 1 : 0);
        w.dispatch(W::kMode, ui::Notify::SelChange);
    }
    W& openWith(int converter, bool dcm, const Conditions& c) {
        W& w = open<W>();
        choose(w, converter, dcm);
        type(w, {{"VinMin", c.VinMin}, {"VinMax", c.VinMax}, {"Vo", c.Vo}, {"IoMax", c.IoMax}, {"Vsw", c.Vsw},
                 {"Vdf", c.Vdf}, {"f", c.f}, {"Ptd", c.Ptd}, {"r", c.r}, {"Bpk", c.Bpk}, {"Bsat", c.Bsat},
                 {"Cmil", c.Cmil}, {"Vopp", c.Vopp}, {"Ae", c.Ae}});
        return w;
    }
    // Every result blank.
    static void expectBlank(const W& w) {
        for (const char* r : kResults) EXPECT_EQ(shown(w, r), "") << r;
    }
};

} // namespace

TEST_F(Dcdc, OpensOnACcmBuck) {
    W& w = open<W>();
    EXPECT_EQ(w.title(), "DC-DC变换器   <界面:系统   公式:内置>");
    EXPECT_EQ(w.itemCount(W::kConverter), 3);
    EXPECT_EQ(w.itemText(W::kConverter, 2), "buck-boost");
    EXPECT_EQ(w.text(W::kConverter), "buck");
    EXPECT_EQ(w.text(W::kMode), "连续(CCM)");
    EXPECT_TRUE(w.enabled(w.controlOf("r")));
    EXPECT_FALSE(w.enabled(w.controlOf("Ptd")));
    EXPECT_EQ(shown(w, "Vopp"), "50");
    EXPECT_EQ(shown(w, "Ae"), "23");
    expectBlank(w);
    EXPECT_EQ(w.control(1082)->textColor, ui::kRed);
    EXPECT_EQ(w.control(1089)->textColor, designers::kNoteCaption);
    expectPicture(w, 167, 369, 19, W::kPictureGroup, 0, 10);
}

TEST_F(Dcdc, StartValuesOfTheBuck) {
    W& w = open<W>();
    press(w, W::kCalculate);
    ASSERT_TRUE(hb.messages.empty());
    EXPECT_TRUE(calculatingShown());
    const struct {
        const char* name;
        double value, within;
    } ccm[] = {{"Duty", 0.543, 5e-4},   {"Ton", 3.62, 5e-3},   {"L", 95.1, 0.05},     {"Ipk", 1.2, 1e-6},
               {"Irms", 1.01, 5e-3},    {"DL", 0.510, 5e-4},   {"NL", 20, 0},         {"Iswrms", 0.859, 5e-4},
               {"Idrms", 0.676, 5e-4},  {"Vswm", 28.8, 1e-5},  {"Vdm", 28.8, 1e-5},   {"Vc", 14.4, 1e-5}},
      dcm[] = {{"Ton", 2.90, 5e-3}, {"Duty", 0.435, 5e-4}, {"L", 12.2, 0.05}, {"Ipk", 2.5, 1e-5},
               {"Irms", 1.29, 5e-3}, {"NL", 5, 0}};
    for (const auto& e : ccm) EXPECT_NEAR(num(w, e.name), e.value, e.within) << e.name;
    // The capacitor takes the ripple of 0.4 A at 150 kHz: half of it for half a
    // period, a charge of 0.4 A x 6.67 us / 8 = 0.333 uC for 50 mV.
    EXPECT_NEAR(num(w, "Co"), 6.67, 0.005);
    EXPECT_NEAR(tipsEsr(w), 0.125, 1e-6); // 50 mV over the 0.4 A step
    EXPECT_NE(w.text(W::kTips).find("推荐导通时间加上关断时间为0.8T"), std::string::npos); // the note stays
    choose(w, dcdc::kBuck, true);
    expectBlank(w);
    EXPECT_FALSE(w.enabled(w.controlOf("r")));
    EXPECT_TRUE(w.enabled(w.controlOf("Ptd")));
    EXPECT_TRUE(std::isnan(tipsEsr(w))); // the results are gone
    press(w, W::kCalculate);
    for (const auto& e : dcm) EXPECT_NEAR(num(w, e.name), e.value, e.within) << e.name;
    // The inductor rises from zero to 2.5 A over 2.90 us and falls back over
    // 2.43 us: 5.33 us in all, 3.2 us of it above the 1 A load, 1.5 A at most:
    // 2.4 uC for 50 mV.
    EXPECT_NEAR(num(w, "Co"), 48.0, 0.05);
    EXPECT_NEAR(tipsEsr(w), 0.020, 1e-6); // 50 mV over the 2.5 A step
}

TEST_F(Dcdc, StartValuesDoNotSuitABoost) {
    W& w = open<W>();
    for (bool dcmMode : {false, true}) {
        choose(w, dcdc::kBoost, dcmMode);
        press(w, W::kCalculate);
        expectBlank(w);
    }
    // The converter's own words, then what does not suit it, by the labels.
    const std::string boost = "设计条件不正确，请检查！\n升压（boost）时“输出电压(V)”必须高于“最高输入电压(V)”。";
    EXPECT_EQ(texts(), (std::vector<std::string>{boost, boost}));
    EXPECT_FALSE(calculatingShown());
}

TEST_F(Dcdc, FluxAtSaturationPassesAndAboveItIsRefused) {
    W& w = openWith(dcdc::kBuck, false, {.Bpk = 3000});
    press(w, W::kCalculate);
    EXPECT_TRUE(hb.messages.empty());
    const std::string l = shown(w, "L");
    type(w, "Bpk", 3001);
    press(w, W::kCalculate);
    EXPECT_EQ(texts(), std::vector<std::string>{"磁芯峰值磁通密度超过饱和磁通密度！"});
    EXPECT_FALSE(l.empty());
    expectBlank(w); // the earlier design does not belong to these conditions
    W& fresh = openWith(dcdc::kBuckBoost, true, {.Bpk = 3001});
    press(fresh, W::kCalculate);
    expectBlank(fresh);
}

// Two designs per converter and mode, against the inductor's volt-second
// balance, its ripple, the conduction boundary, and the input power as the
// output power plus the switch's and the diode's conduction losses.
TEST_F(Dcdc, DesignsKeepTheBalancesOfTheirInductor) {
    const Conditions designs[3][3] = {
        {{.VinMin = 36, .VinMax = 48, .Vo = 5, .IoMax = 3, .Vsw = 0.5, .Vdf = 0.4, .f = 200, .Ptd = 25, .r = 0.3,
          .Bpk = 2000, .Cmil = 400, .Vopp = 30, .Ae = 30},
         {.VinMin = 10, .VinMax = 14, .Vo = 3.3, .IoMax = 2, .Vsw = 0.3, .Vdf = 0.45, .f = 300, .Ptd = 10, .r = 0.5,
          .Bsat = 3500, .Cmil = 500, .Vopp = 20, .Ae = 12},
         // 48 V to 12 V at 10 A
         {.VinMin = 42, .VinMax = 54, .Vo = 12, .IoMax = 10, .Vsw = 0.3, .Vdf = 0.5, .f = 200, .Ptd = 20, .r = 0.3,
          .Bpk = 2500, .Cmil = 400, .Vopp = 100, .Ae = 118}},
        {{.VinMin = 9, .VinMax = 16, .Vo = 24, .Vsw = 0.4, .Vdf = 0.6, .f = 100, .Ptd = 25, .Ae = 40},
         {.VinMin = 3, .VinMax = 4.2, .Vo = 5, .IoMax = 0.8, .Vsw = 0.1, .Vdf = 0.3, .f = 500, .Ptd = 10, .r = 0.6,
          .Ae = 8},
         // 12 V to 48 V at 2 A
         {.VinMin = 10.8, .VinMax = 13.2, .Vo = 48, .IoMax = 2, .Vsw = 0.3, .Vdf = 0.7, .f = 200, .Ptd = 15,
          .r = 0.4, .Cmil = 400, .Vopp = 100, .Ae = 64}},
        {{.VinMin = 10, .VinMax = 30, .Vo = 15, .IoMax = 0.5, .f = 120, .Ptd = 25, .Ae = 20},
         {.VinMin = 36, .VinMax = 75, .Vo = 12, .IoMax = 2, .f = 250, .Ptd = 10, .r = 0.35, .Ae = 35},
         // 9-16 V to 24 V at 1.5 A
         {.VinMin = 9, .VinMax = 16, .Vo = 24, .IoMax = 1.5, .Vsw = 0.3, .Vdf = 0.6, .f = 150, .Ptd = 20, .r = 0.4,
          .Cmil = 400, .Vopp = 100, .Ae = 52}},
    };
    for (int converter = 0; converter < 3; ++converter)
        for (bool dcmMode : {false, true})
            for (const Conditions& c : designs[converter]) {
                SCOPED_TRACE(std::to_string(converter) + (dcmMode ? " DCM " : " CCM ") + std::to_string(c.Vo));
                W& w = openWith(converter, dcmMode, c);
                press(w, W::kCalculate);
                ASSERT_TRUE(hb.messages.empty()) << hb.messages[0].text;
                const Inductor ind = inductor(converter, c);
                const double T = 1 / (c.f * 1e3), duty = num(w, "Duty"), ton = num(w, "Ton") * 1e-6;
                const double L = num(w, "L") * 1e-6, ipk = num(w, "Ipk"), io = c.IoMax;
                EXPECT_CLOSE(ton, duty * T);
                const double ripple = ind.von * ton / L;
                double off, iswAvg, idAvg, iin; // off-time share and average currents
                if (!dcmMode) {
                    off = 1 - duty;
                    const double il = converter == dcdc::kBuck ? io : io / (1 - duty);
                    EXPECT_CLOSE(ripple, c.r * il);
                    EXPECT_CLOSE(ipk, il + ripple / 2);
                    EXPECT_GE(il - ripple / 2, 0); // continuous
                    EXPECT_CLOSE(std::pow(num(w, "Irms"), 2), il * il + ripple * ripple / 12);
                    iswAvg = il * duty;
                    idAvg = il * off;
                    if (converter != dcdc::kBuck) {
                        EXPECT_CLOSE(std::pow(num(w, "Iswrms"), 2), duty * std::pow(num(w, "Irms"), 2));
                        EXPECT_CLOSE(num(w, "Idrms"), std::sqrt(off) * il);
                    }
                } else {
                    EXPECT_CLOSE(ipk, ripple); // from zero each cycle
                    off = 3 * std::pow(num(w, "Idrms") / ipk, 2);
                    EXPECT_CLOSE(duty + off, 1 - c.Ptd / 100); // the idle share is left over
                    EXPECT_CLOSE(0.5 * ipk * (converter == dcdc::kBuck ? duty + off : off), io);
                    EXPECT_CLOSE(std::pow(num(w, "Irms"), 2), ipk * ipk * (duty + off) / 3);
                    EXPECT_CLOSE(std::pow(num(w, "Iswrms"), 2), ipk * ipk * duty / 3);
                    iswAvg = ipk * duty / 2;
                    idAvg = ipk * off / 2;
                }
                EXPECT_CLOSE(ind.von * duty, ind.voff * off); // volt-second balance
                iin = converter == dcdc::kBoost ? iswAvg + idAvg : iswAvg;
                EXPECT_NEAR(ind.vin * iin, c.Vo * io + c.Vsw * iswAvg + c.Vdf * idAvg, c.Vo * io * 5e-4);
                // turns for the flux swing of the ripple, on the core's area
                const double swing = c.Bpk * ripple / ipk * 1e-4;
                EXPECT_NEAR(num(w, "NL"), ind.von * ton / (swing * c.Ae * 1e-6), 0.5 + 1e-3);
                EXPECT_CLOSE(std::pow(num(w, "DL") * 39.37, 2), c.Cmil * num(w, "Irms"));
                // the output capacitor: the ripple asked for from the current into the
                // output, its charge balanced over the period, and the ESR the tips give
                // drops no more than Vopp at the current's step
                const bool buck = converter == dcdc::kBuck;
                const double C = num(w, "Co") * 1e-6, vopp = c.Vopp * 1e-3;
                const double valley = dcmMode ? 0 : ipk - ripple;
                const Ripple rc = capacitorRipple(buck, ind.von, ind.voff, L, ton, T, valley, io, C);
                EXPECT_NEAR(rc.vpp, vopp, vopp * 2e-3);
                EXPECT_NEAR(rc.balance, 0, io * T * 1e-3);
                EXPECT_NEAR(tipsEsr(w) * rc.ipp, vopp, vopp * 5e-3);
                // The capacitor alone carries the load while on.
                if (!buck && valley >= io) {
                    EXPECT_CLOSE(C * vopp, io * ton);
                }
                if (!dcmMode) {
                    // at the other end of the input range the same parts ripple less
                    const double vin = buck ? c.VinMin : c.VinMax;
                    const double von2 = buck ? vin - c.Vsw - c.Vo : vin - c.Vsw;
                    const double voff2 = converter == dcdc::kBoost ? c.Vo + c.Vdf - vin : c.Vo + c.Vdf;
                    const double d2 = voff2 / (von2 + voff2), swing2 = von2 * d2 * T / L;
                    const double mean2 = buck ? io : io / (1 - d2); // the inductor's average current
                    ASSERT_GT(mean2 - swing2 / 2, 0); // still continuous
                    const Ripple other =
                        capacitorRipple(buck, von2, voff2, L, d2 * T, T, mean2 - swing2 / 2, io, C);
                    EXPECT_LT(other.vpp, vopp);
                    EXPECT_NEAR(other.balance, 0, io * T * 1e-3);
                }
                const double rating = converter == dcdc::kBuck ? c.VinMax : converter == dcdc::kBoost ? c.Vo : c.Vo + c.VinMax;
                EXPECT_CLOSE(num(w, "Vswm"), 1.2 * rating);
                EXPECT_CLOSE(num(w, "Vdm"), 1.2 * rating);
                EXPECT_CLOSE(num(w, "Vc"), 1.2 * c.Vo);
                expectNoBadNumbers(w);
            }
}

TEST_F(Dcdc, TheCcmBuckSwitchCurrentIsTakenAtTheLowestInput) {
    const Conditions c;
    W& w = openWith(dcdc::kBuck, false, c);
    press(w, W::kCalculate);
    const double T = 1 / (c.f * 1e3), L = num(w, "L") * 1e-6;
    // volt-second balance at VinMin for the duty there
    const double von = c.VinMin - c.Vsw - c.Vo, voff = c.Vo + c.Vdf, dl = voff / (von + voff);
    const double ripple = von * dl * T / L;
    EXPECT_CLOSE(std::pow(num(w, "Iswrms"), 2), dl * (c.IoMax * c.IoMax + ripple * ripple / 12));
}

TEST_F(Dcdc, VoltagesThatDoNotSuitTheConverterAreRefused) {
    const std::string buck = "设计条件不正确，请检查！\n降压（buck）时“输出电压(V)”必须低于“最低输入电压(V)”减去“开关管Vsw(V)”。",
                      boost = "设计条件不正确，请检查！\n升压（boost）时“输出电压(V)”必须高于“最高输入电压(V)”。",
                      drop = "设计条件不正确，请检查！\n“最低输入电压(V)”必须高于“开关管Vsw(V)”。",
                      upsideDown = "输入有误：“最高输入电压(V)”低于“最低输入电压(V)”，请检查输入！";
    const struct {
        int converter;
        Conditions c;
        const std::string& said;
    } cases[] = {
        {dcdc::kBuck, {.VinMin = 13, .VinMax = 13}, buck},            // VinMin > Vo, but not after the switch drop
        {dcdc::kBuck, {.VinMin = 30, .VinMax = 24}, upsideDown},      // lowest above highest
        {dcdc::kBoost, {.VinMin = 30, .VinMax = 24}, upsideDown},
        {dcdc::kBoost, {.VinMin = 1.5, .VinMax = 5}, drop},           // no voltage across the inductor
        {dcdc::kBoost, {.VinMin = 5, .VinMax = 12}, boost},           // Vo not above VinMax
        {dcdc::kBuckBoost, {.VinMin = 1, .VinMax = 5}, drop},         // no voltage across the inductor
    };
    for (const auto& k : cases)
        for (bool dcmMode : {false, true}) {
            hb.messages.clear();
            W& w = openWith(k.converter, dcmMode, k.c);
            press(w, W::kCalculate);
            EXPECT_EQ(texts(), std::vector<std::string>{k.said}) << k.converter << dcmMode;
            expectBlank(w);
        }
    // A refused buck after a good one (60 V out of 42-54 V after 12 V): the
    // 12 V results do not come back; none is shown.
    hb.messages.clear();
    W& v = openWith(dcdc::kBuck, false, {.VinMin = 42, .VinMax = 54, .Vo = 12});
    press(v, W::kCalculate);
    ASSERT_TRUE(hb.messages.empty());
    ASSERT_NE(shown(v, "L"), "");
    type(v, "Vo", 60);
    press(v, W::kCalculate);
    EXPECT_EQ(texts(), std::vector<std::string>{buck});
    expectBlank(v);
    for (const char* r : kResults) EXPECT_FALSE(v.greyed(v.controlOf(r))) << r;
    // The buck just above the drop computes.
    hb.messages.clear();
    W& w = openWith(dcdc::kBuck, false, {.VinMin = 13.6, .VinMax = 14});
    press(w, W::kCalculate);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_GT(num(w, "L"), 0);
    EXPECT_LT(num(w, "Duty"), 1);
}

TEST_F(Dcdc, RippleDeadTimeTurnsAndDivisors) {
    W& w = open<W>();
    press(w, W::kCalculate);
    // CCM: a ripple ratio up to 2 is continuous, above it is refused by name.
    type(w, "r", 2);
    press(w, W::kCalculate);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_CLOSE(num(w, "Ipk"), 2.0); // the valley touches zero
    const std::string l = shown(w, "L");
    // Above 2 the design is refused by name and shows nothing.
    type(w, "r", 2.5);
    hb.messages.clear();
    press(w, W::kCalculate);
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_NE(hb.messages[0].text.find("“纹波率(r)”不能大于2"), std::string::npos) << hb.messages[0].text;
    expectBlank(w);
    type(w, "r", 2);
    press(w, W::kCalculate);
    EXPECT_EQ(shown(w, "L"), l);
    const std::pair<const char*, double> divisors[] = {{"f", 0}, {"IoMax", 0}, {"Vopp", 0}, {"Ae", 0},
                                                       {"Bpk", 0}, {"r", 0},   {"Cmil", -1}, {"VinMin", 0}};
    for (auto [name, value] : divisors) expectRefused(w, W::kCalculate, name, value, "L");
    EXPECT_EQ(shown(w, "L"), l);
    // DCM: the dead time is a share of the period below 100 %; the ripple ratio is not an input.
    choose(w, dcdc::kBuck, true);
    type(w, "r", 9);
    press(w, W::kCalculate);
    const std::string dcmL = shown(w, "L");
    ASSERT_FALSE(dcmL.empty());
    for (double ptd : {100.0, -1.0}) expectRefused(w, W::kCalculate, "Ptd", ptd, "L");
    EXPECT_EQ(labelOf(w, "Ptd"), "死区时间(T%)");
    type(w, "Ptd", 0); // at the boundary
    hb.messages.clear();
    press(w, W::kCalculate);
    EXPECT_TRUE(hb.messages.empty());
    // A large core: less than half a turn is still one turn.
    type(w, "Ae", 5000);
    press(w, W::kCalculate);
    EXPECT_EQ(shown(w, "NL"), "1");
    // Not a number.
    w.setText(w.controlOf("Vsw"), "");
    hb.messages.clear();
    press(w, W::kCalculate);
    EXPECT_EQ(texts(), (std::vector<std::string>{"请输入完整的设计条件！\n输入有误：“开关管Vsw(V)”还没有填写数值，请检查输入！"}));
    EXPECT_EQ(hb.messages[0].owner, 165);
    EXPECT_EQ(shown(w, "NL"), "1");
    expectNoBadNumbers(w);
}

// Either selector picks the formula file of its converter and mode, sets the
// title from it and leaves the labels as they are.
TEST_F(Dcdc, SelectorsChooseTheFormulaFileAndKeepTheLabels) {
    test::writeFile("DC-DC Interface.txt", "1=Vin low;\r\n27=Vc rating;\r\n#");
    W& w = open<W>();
    EXPECT_EQ(w.text(1265), "Vin low");
    test::writeFile("DC-DC Interface.txt", "1=Other;\r\n"); // not applied again (and without its '#')
    for (int converter = 0; converter < 3; ++converter)
        for (bool dcmMode : {false, true}) {
            const std::string file(script::formulaFileName(165, dcdc::modeOf(converter, dcmMode)));
            test::writeFile(file, "L = " + std::to_string(converter * 2 + dcmMode + 1) + ";\r\nVc = Vo * 2;\r\n#");
        }
    test::writeFile("CCM Buck cfg.txt", "#L = 99;"); // '#' first: built in
    for (int converter = 0; converter < 3; ++converter)
        for (bool dcmMode : {false, true}) {
            SCOPED_TRACE(std::to_string(converter) + " " + std::to_string(dcmMode));
            choose(w, converter, dcmMode);
            const bool builtIn = converter == dcdc::kBuck && !dcmMode;
            EXPECT_EQ(w.title(), std::string("DC-DC变换器   <界面:自定义") + (builtIn ? "   公式:内置>" : "   公式:自定义>"));
            press(w, W::kCalculate);
            EXPECT_EQ(std::isnan(tipsEsr(w)), !builtIn); // a formula file gives no ESR
            if (builtIn) continue;
            EXPECT_EQ(num(w, "L"), converter * 2 + dcmMode + 1);
            EXPECT_EQ(shown(w, "Vc"), "24"); // the formula name of the capacitor's rating
            EXPECT_EQ(shown(w, "Ipk"), "0");
        }
    EXPECT_EQ(w.text(1265), "Vin low");
    EXPECT_EQ(w.text(1285), "Vc rating");
    EXPECT_TRUE(hb.messages.empty()) << hb.messages[0].text;
    // A formula run that fails leaves no "0" behind.
    test::writeFile("DCM Buck-Boost cfg.txt", "L = (2;\r\n#");
    choose(w, dcdc::kBuckBoost, true);
    press(w, W::kCalculate);
    EXPECT_EQ(hb.messages.back().caption, "公式解析错误");
    expectBlank(w);
}

TEST_F(Dcdc, EachConverterPaintsItsPicture) {
    W& w = open<W>();
    const struct {
        int converter, bitmap, x, marginW;
    } pictures[] = {{dcdc::kBoost, 168, 370, 2}, {dcdc::kBuckBoost, 169, 370, 2}, {dcdc::kBuck, 167, 369, 0}};
    for (const auto& p : pictures) {
        choose(w, p.converter, false);
        expectPicture(w, p.bitmap, p.x, 19, W::kPictureGroup, p.marginW, 10);
    }
}

// A current with one hump a period: the charge above a level, by the areas of
// the hump's parts.
TEST(DcdcCharge, ChargeAboveALevelByWorkedExamples) {
    using C = dcdc::Corner;
    // a triangle 0 -> 4 A -> 0 over 8 us: above 1 A a triangle of 3 A over 6 us
    const C triangle[] = {{0, 0}, {4, 4}, {8, 0}};
    EXPECT_FLOAT_EQ(dcdc::chargeAbove(triangle, 1), 9);
    EXPECT_FLOAT_EQ(dcdc::chargeAbove(triangle, 0), 16); // the whole charge
    EXPECT_FLOAT_EQ(dcdc::chargeAbove(triangle, 4), 0);
    // a boost's diode: nothing while on, a jump to 3 A, down to 1 A at the end
    // of the period: all above a load of 0.5 A, the rest of the period below
    const C diode[] = {{0, 0}, {6, 0}, {6, 3}, {10, 1}, {10, 0}};
    EXPECT_FLOAT_EQ(dcdc::chargeAbove(diode, 0.5f), (3 + 1) / 2.0f * 4 - 0.5f * 4);
    // the ramp crosses a load of 2 A half-way: a triangle of 1 A over 2 us
    EXPECT_FLOAT_EQ(dcdc::chargeAbove(diode, 2), 1);
    // a buck's ripple around its load: (ripple / 2) x (period / 2) / 2 = ripple x period / 8
    const C buck[] = {{0, 0.8f}, {3, 1.2f}, {10, 0.8f}};
    EXPECT_NEAR(dcdc::chargeAbove(buck, 1), 0.4 * 10 / 8, 1e-6);
}

TEST_F(Dcdc, TheTipsGiveTheEsrInMilliohmsOrOhms) {
    // a 0.2 A buck with a ripple of 0.08 A and 500 mV allowed: 6.25 ohm
    W& w = openWith(dcdc::kBuck, false, {.IoMax = 0.2, .Vopp = 500});
    press(w, W::kCalculate);
    const std::string tips = w.text(W::kTips);
    EXPECT_NE(tips.find("输出电容ESR≤6.25Ω。"), std::string::npos) << tips;
    EXPECT_CLOSE(tipsEsr(w), 6.25);
    // 5 mV over the ripple of 4 A of a 10 A buck
    type(w, {{"IoMax", 10}, {"Vopp", 5}});
    press(w, W::kCalculate);
    EXPECT_NE(w.text(W::kTips).find("输出电容ESR≤1.25mΩ。"), std::string::npos);
    // A core that would saturate shows no results, and no ESR in the tips.
    type(w, "Bpk", 3001);
    press(w, W::kCalculate);
    expectBlank(w);
    EXPECT_TRUE(std::isnan(tipsEsr(w)));
    // Another converter clears both.
    choose(w, dcdc::kBoost, false);
    EXPECT_EQ(w.text(W::kTips), w.control(W::kTips)->tpl.caption);
}
