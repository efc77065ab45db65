#include "ic_designers/LlcCalc.h"
#include "ic_designers/LlcDesigner.h"
#include "ic_designers/LlcPlot.h"

#include "platform/ui/Backend.h"
#include "shell/Launcher.h"
#include "tests/ic_designers/IcDesignersSupport.h"
#include "tools/Cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>

namespace ui = kv::ui;
using kv::ic::LlcDesign;
using kv::ic::LlcDesigner;

namespace {

constexpr double kPi = std::numbers::pi;

// Gain of the tank from its parts: Lm parallel to the load Rac over the
// series Lr-Cr (μH, nF, Ω, kHz).
double tankGain(double fKHz, double lr, double cr, double lm, double rac) {
    const std::complex<double> j(0, 1);
    const double w = 2 * kPi * fKHz * 1e3;
    const std::complex<double> zm = j * w * lm * 1e-6;
    const std::complex<double> zp = std::isinf(rac) ? zm : zm * rac / (zm + rac);
    const std::complex<double> zs = j * w * lr * 1e-6 + 1.0 / (j * w * cr * 1e-9);
    return std::abs(zp / (zs + zp));
}

void expectRel(double actual, double expected, double rel, const char* what) {
    EXPECT_NEAR(actual, expected, std::fabs(expected) * rel) << what;
}

struct Reference {
    LlcDesign in;
    // from an independent double-precision calculation
    double cbulk, n, gmax, gmin, rac, q, fmin, fmax, cr, lr, lm, im, ip, nact, irms, vcr, npmin;
    bool zvs; // Im >= Ip
};

// A design from its conditions {Vinmax, Vinnom, Vinmin, Vo, Io, η, hold-up}, its tank
// {fr, K, q, Ae, ΔB, Vf} and its parts {Coss, Cstray, Td, Np preset, Cr preset}.
LlcDesign make(std::array<float, 7> c, std::array<float, 6> t, std::array<float, 5> p) {
    LlcDesign d;
    d.vinMax = c[0], d.vinNom = c[1], d.vinMin = c[2], d.vo = c[3], d.io = c[4], d.eff = c[5], d.hold = c[6];
    d.fr = t[0], d.k = t[1], d.qMargin = t[2], d.ae = t[3], d.swingB = t[4], d.vf = t[5];
    d.coss = p[0], d.cstray = p[1], d.deadTime = p[2], d.npSet = p[3], d.crSet = p[4];
    return d;
}

const LlcDesign designA =
    make({410, 390, 300, 24, 10, 94, 20}, {100, 6, 0.9f, 120, 0.5f, 0.5f}, {200, 100, 250, 4, 22});
// Fmin above 200 kHz: the sweep steps by 0.1 kHz.
const LlcDesign designB = make({430, 380, 340, 48, 5, 96, 10}, {400, 5, 0.95f, 80, 0.4f, 1}, {100, 50, 200, 8, 15});
// 200 W, 390 V to 24 V: with a 200 ns dead time the switches lose zero-voltage
// switching at high line and light load.
const LlcDesign design200W =
    make({410, 390, 340, 24, 8.33f, 94, 20}, {100, 5, 0.95f, 120, 0.4f, 0.7f}, {150, 120, 200, 4, 22});
// 300 W, 390 V to 12 V on synchronous rectifiers.
const LlcDesign design300W =
    make({410, 390, 340, 12, 25, 95, 20}, {100, 6, 0.95f, 190, 0.4f, 0.5f}, {200, 150, 250, 2, 33});

const Reference kReferences[] = {
    {LlcDesign{}, 124.518, 15.748, 1.25, 0.952381, 161.79, 0.455618, 43.2461, 79.5147, 30.8439, 167.6, 754.202,
     0.812712, 0.588, 17.4101, 1.39122, 355.032, 48.0525, true},
    {designA, 164.457, 7.95918, 1.3, 0.95122, 128.425, 0.335396, 53.8405, 120.185, 36.95, 68.5529, 411.318,
     0.968739, 0.82, 8.5969, 1.6634, 306.325, 32.6, true},
    {designB, 173.611, 3.87755, 1.11765, 0.883721, 121.923, 0.53796, 283.039, 683.88, 6.0663, 26.0974, 130.487,
     0.526881, 0.5375, 4.24764, 1.59632, 363.072, 11.49, false},
    {design200W, 233.075, 7.89474, 1.14706, 0.95122, 154.171, 0.501516, 67.422, 115.967, 20.5841, 123.057, 615.287,
     0.668078, 0.861, 8.64825, 1.32293, 349.657, 33.0029, false},
    {design300W, 346.071, 15.6, 1.14706, 0.95122, 102.74, 0.440135, 64.0205, 120.185, 35.1962, 71.9688, 431.813,
     0.92276, 0.902, 16.8499, 1.97785, 331.483, 21.6444, true},
};

// Steady state of a series L-C (μH, nF) driven by a half bridge that switches
// between 0 and vin (V) at f (kHz): integrated over one period by RK4 from two
// starting states, the periodic solution is the fixed point of that linear map.
// Returns the largest |current| over the period (A).
double simulatedPeak(double vin, double fKHz, double lUh, double cNf) {
    const double L = lUh * 1e-6, C = cNf * 1e-9, T = 1 / (fKHz * 1e3);
    const int steps = 4000;
    const double h = T / steps;
    struct State {
        double i, v;
    };
    auto period = [&](State s, double* peak) {
        for (int k = 0; k < steps; ++k) {
            const double u = k < steps / 2 ? vin : 0; // each step lies within one half
            auto d = [&](State x) { return State{(u - x.v) / L, x.i / C}; };
            const State k1 = d(s), k2 = d({s.i + h / 2 * k1.i, s.v + h / 2 * k1.v});
            const State k3 = d({s.i + h / 2 * k2.i, s.v + h / 2 * k2.v}), k4 = d({s.i + h * k3.i, s.v + h * k3.v});
            s.i += h / 6 * (k1.i + 2 * k2.i + 2 * k3.i + k4.i);
            s.v += h / 6 * (k1.v + 2 * k2.v + 2 * k3.v + k4.v);
            if (peak) *peak = std::max(*peak, std::fabs(s.i));
        }
        return s;
    };
    const State b = period({0, 0}, nullptr), e1 = period({1, 0}, nullptr), e2 = period({0, 1}, nullptr);
    // x = M·x + b, with M's columns the responses to unit currents and voltages
    const double m11 = e1.i - b.i, m12 = e2.i - b.i, m21 = e1.v - b.v, m22 = e2.v - b.v;
    const double a11 = 1 - m11, a12 = -m12, a21 = -m21, a22 = 1 - m22, det = a11 * a22 - a12 * a21;
    const State x0{(a22 * b.i - a12 * b.v) / det, (a11 * b.v - a21 * b.i) / det};
    double peak = std::fabs(x0.i);
    const State end = period(x0, &peak);
    EXPECT_NEAR(end.i, x0.i, 1e-6 * peak) << "periodic";
    EXPECT_NEAR(x0.v, vin / 2, 1e-6 * vin) << "Cr holds half the input";
    return peak;
}

TEST(LlcTank, DefaultsAndFourDesignsAgreeWithAnIndependentCalculation) {
    for (const Reference& r : kReferences) {
        LlcDesign d = r.in;
        const auto o = kv::ic::llcTank(d);
        EXPECT_EQ(o.stop, 0);
        EXPECT_EQ(o.notices.empty(), r.zvs) << "the notice when Im < Ip";
        const double rel = 2e-4;
        expectRel(d.cbulk, r.cbulk, rel, "Cbulk");
        expectRel(d.gmax, r.gmax, rel, "Gmax");
        expectRel(d.gmin, r.gmin, rel, "Gmin");
        expectRel(d.rac, r.rac, rel, "Rac");
        expectRel(d.q, r.q, rel, "Q");
        expectRel(d.fmin, r.fmin, rel, "Fmin");
        expectRel(d.fmax, r.fmax, rel, "Fmax");
        expectRel(d.cr, r.cr, rel, "Cr");
        expectRel(d.lr, r.lr, rel, "Lr");
        expectRel(d.lm, r.lm, rel, "Lm");
        expectRel(d.im, r.im, rel, "Im");
        expectRel(d.ip, r.ip, rel, "Ip");
        expectRel(d.nact, r.nact, rel, "nact");
        expectRel(d.irms, r.irms, rel, "Irms");
        expectRel(d.vcrMax, r.vcr, rel, "VCrmax");
        // The least primary turns, as whole turns: the next whole turn up.
        EXPECT_GE(d.npMin, r.npmin * (1 - rel));
        EXPECT_LT(d.npMin - 1, r.npmin * (1 + rel));

        // Relations that hold whatever the design rules.
        const double v = double(d.vo) + d.vf;
        expectRel(d.gmax, double(d.vinNom) / d.vinMin, 1e-6, "gain 1 at the nominal input");
        expectRel(d.gmin, double(d.vinNom) / d.vinMax, 1e-6, "Gmin");
        // hold-up: the bulk capacitor gives up Pin·t between nominal and minimum input
        expectRel(0.5 * d.cbulk * 1e-6 * (double(d.vinNom) * d.vinNom - double(d.vinMin) * d.vinMin),
                  d.vo * d.io / (d.eff / 100.0) * d.hold * 1e-3, 1e-5, "hold-up energy");
        // first-harmonic load of a rectifier with turns ratio n
        expectRel(d.rac, 8 / (kPi * kPi) * r.n * r.n * v * v / (d.vo * d.io), 1e-5, "Rac");
        expectRel(1 / (2 * kPi * std::sqrt(d.lr * 1e-6 * d.cr * 1e-9)) / 1e3, d.fr, 1e-5, "Lr-Cr resonate at fr");
        expectRel(std::sqrt(d.lr * 1e-6 / (d.cr * 1e-9)) / d.rac, d.q, 1e-5, "Q = Z0 / Rac");
        expectRel(d.lm, d.k * d.lr, 1e-6, "Lm = K·Lr");
        expectRel(1 / (2 * kPi * std::sqrt((d.lm + d.lr) * 1e-6 * d.cr * 1e-9)) / 1e3, d.fr2, 1e-5, "Fr2");
        expectRel(tankGain(d.fmax, d.lr, d.cr, d.lm, INFINITY), d.gmin, 1e-4, "no-load gain at Fmax is Gmin");
        expectRel(d.nact / std::sqrt((d.lr + d.lm) / d.lm), r.n, 1e-5, "turns ratio n");
        // Faraday over half a period at Fmin: the least turns, wound as whole
        // turns, rounded up; the primary on the preset secondary to the nearest turn.
        const double least = d.nact * v / (2 * d.swingB * d.ae * 1e-6 * d.fmin * 1e3);
        for (const double turns : {double(d.npMin), double(d.nsMin), double(d.np)}) EXPECT_EQ(turns, std::round(turns));
        EXPECT_GE(d.npMin, least * (1 - 1e-6));
        EXPECT_LT(d.npMin - 1, least);
        EXPECT_GE(d.nsMin * d.nact, least * (1 - 1e-6));
        EXPECT_LT((d.nsMin - 1) * d.nact, least);
        EXPECT_LE(std::fabs(d.np - d.npSet * d.nact), 0.5 + 1e-4);
        // charge moved in the dead time
        expectRel(d.ip * d.deadTime * 1e-9, (2 * d.coss + d.cstray) * 1e-12 * d.vinMax, 1e-5, "Ip");
        expectRel(d.imos * std::sqrt(2.0), d.irms, 1e-6, "Imos");
        // rms of the rectified half sines: the dc part plus the capacitor's share
        expectRel(double(d.icout) * d.icout + double(d.io) * d.io, std::pow(kPi * d.io / (2 * std::sqrt(2.0)), 2), 1e-4,
                  "Icout");
        // the preset capacitor resonates with Lr' at fr
        expectRel(1 / (2 * kPi * std::sqrt(d.lrPre * 1e-6 * d.crSet * 1e-9)) / 1e3, d.fr, 1e-5, "Lr'");
        expectRel(d.lmPre, d.k * d.lrPre, 1e-6, "Lm'");
        expectRel(1 / (2 * kPi * std::sqrt((d.lmPre + d.lrPre) * 1e-6 * d.crSet * 1e-9)) / 1e3, d.fr2Pre, 1e-5, "Fr2'");
    }
}

// Zero-voltage switching at high line and light load needs the magnetising
// current at the switching instant: the peak of the steady state of Lr + Lm
// with Cr under the half bridge's square wave at Fmax and Vinmax.
TEST(LlcTank, MagnetisingCurrentIsThePeakOfTheSimulatedSteadyState) {
    for (const Reference& r : kReferences) {
        LlcDesign d = r.in;
        const auto o = kv::ic::llcTank(d);
        ASSERT_EQ(o.stop, 0);
        const double lm = double(d.lr) + d.lm;
        const double peak = simulatedPeak(d.vinMax, d.fmax, lm, d.cr);
        expectRel(d.im, peak, 2e-5, "Im: the simulated peak");
        // The triangle of a tank without Cr (half the input over a quarter period) is a lower
        // bound; the current swings twice that from peak to peak.
        const double triangle = d.vinMax / 2 / (lm * 1e-6) * (0.25 / (d.fmax * 1e3));
        EXPECT_GT(d.im, triangle);
        EXPECT_LT(d.im, 2 * triangle);
        EXPECT_EQ(d.im >= d.ip, o.notices.empty());
    }
    // The 200 W design: 1.197 A peak to peak, 0.668 A peak, below the 0.861 A the dead time needs.
    LlcDesign d = design200W;
    const auto o = kv::ic::llcTank(d);
    EXPECT_NEAR(d.im, 0.668, 0.0005);
    EXPECT_NEAR(d.ip, 0.861, 0.0005);
    EXPECT_EQ(o.notices, std::vector<int>{kv::ic::kLlcImBelowIp});
    // Nearer resonance the capacitor adds more: tan(x)/x grows without bound.
    EXPECT_NEAR(kv::ic::squareWavePeak(400, 100, 1000, 1e6), 400 / 2 / 1e-3 / (4 * 100e3), 1e-4);
    EXPECT_TRUE(std::isinf(kv::ic::squareWavePeak(400, 5, 1000, 1000))); // below the 5.03 kHz resonance
    EXPECT_TRUE(std::isinf(kv::ic::squareWavePeak(400, 0, 1000, 1000)));
}

TEST(LlcTank, ResultsThatAreNotFiniteOrAnEmptyGainRangeStop) {
    struct Case {
        const char* what;
        void (*change)(LlcDesign&);
    } cases[] = {
        {"K = 0", [](LlcDesign& d) { d.k = 0; }},
        {"Vinnom = Vinmin", [](LlcDesign& d) { d.vinNom = d.vinMin; }},
        {"Vinnom < Vinmin (Gmax < 1)", [](LlcDesign& d) { d.vinNom = 300; }},
        {"Vinmax = Vinmin (no gain range)", [](LlcDesign& d) { d.vinMax = d.vinMin; }},
        {"Vinmax < Vinmin", [](LlcDesign& d) { d.vinMax = 300; }},
        {"Td = 0: Ip infinite", [](LlcDesign& d) { d.deadTime = 0; }},
        {"Td = NaN-making 0/0", [](LlcDesign& d) { d.deadTime = 0, d.coss = 0, d.cstray = 0; }},
        {"Ae = 0", [](LlcDesign& d) { d.ae = 0; }},
        {"fr = 0", [](LlcDesign& d) { d.fr = 0; }},
        {"Crset = 0", [](LlcDesign& d) { d.crSet = 0; }},
    };
    for (const Case& c : cases) {
        LlcDesign d;
        c.change(d);
        const auto o = kv::ic::llcTank(d);
        EXPECT_EQ(o.stop, kv::ic::kLlcBadTank) << c.what;
    }
    // Too little magnetising current is a notice; the results stand.
    LlcDesign d;
    d.deadTime = 50;
    const auto o = kv::ic::llcTank(d);
    EXPECT_EQ(o.stop, 0);
    EXPECT_EQ(o.notices, std::vector<int>{kv::ic::kLlcImBelowIp});
    EXPECT_LT(d.im, d.ip);
}

TEST(LlcController, TimingPartsOfTheDefaults) {
    LlcDesign d;
    ASSERT_EQ(kv::ic::llcController(d).stop, 0);
    // 1e9 / (3 · 330 pF · 30 kHz) = 33.670 kΩ; /(150/30 − 1); /(300/30 − 1); 3/Rss; · 3/8
    EXPECT_NEAR(d.rfmin, 33.6700, 1e-3);
    EXPECT_NEAR(d.rfmax, 8.41751, 1e-4);
    EXPECT_NEAR(d.rss, 3.74111, 1e-4);
    EXPECT_NEAR(d.css, 0.801901, 1e-5);
    EXPECT_NEAR(d.rfmaxBoost, 3.15657, 1e-4);
    for (auto change : {+[](LlcDesign& x) { x.fswLow = 0; }, +[](LlcDesign& x) { x.fswHigh = x.fswLow; },
                        +[](LlcDesign& x) { x.cf = 0; }, +[](LlcDesign& x) { x.fss = x.fswLow; }}) {
        LlcDesign bad;
        change(bad);
        EXPECT_EQ(kv::ic::llcController(bad).stop, kv::ic::kLlcBadController);
    }
}

TEST(LlcSweep, StepFollowsFminAndIsCapped) {
    auto s = kv::ic::llcSweep(199.99, 210);
    EXPECT_DOUBLE_EQ(s.step, 0.01); // the step depends on Fmin, not on the frequency reached
    EXPECT_EQ(s.count, 1001);
    s = kv::ic::llcSweep(200, 210);
    EXPECT_DOUBLE_EQ(s.step, 0.1);
    EXPECT_EQ(s.count, 100);
    EXPECT_EQ(kv::ic::llcSweep(50, 50).count, 0);
    EXPECT_EQ(kv::ic::llcSweep(50, 40).count, 0);
    // Far more steps than pixels: widened to the cap, and the sweep still ends at Fmax.
    s = kv::ic::llcSweep(185.341, 281906);
    EXPECT_EQ(s.count, kv::ic::kLlcMaxSteps);
    EXPECT_NEAR(s.from + s.count * s.step, 281906, 1e-6);
    EXPECT_LT(s.from + (s.count - 1) * s.step, 281906);
}

// x, y of the plot for frequency f and gain g.
// The frame spans the axes from their first tick to their last.
double px(const LlcDesign& d, double f) {
    const auto a = kv::ic::llcAxes(d).f;
    return 630 + (f - a.lo()) / (a.hi() - a.lo()) * 702;
}
double py(const LlcDesign& d, double g) {
    const auto a = kv::ic::llcAxes(d).g;
    return 604 - (g - a.lo()) / (a.hi() - a.lo()) * 504;
}
double freqAt(const LlcDesign& d, double x) {
    const auto a = kv::ic::llcAxes(d).f;
    return a.lo() + (x - 630) / 702 * (a.hi() - a.lo());
}

// Every point of the curve for qc lies on the tank's gain within the pixel rounding.
void expectOnGainCurve(const LlcDesign& d, double qc, const std::vector<std::vector<ui::Point>>& runs) {
    const double rac = std::sqrt(d.lr * 1e-6 / (d.cr * 1e-9)) / qc;
    int checked = 0;
    for (const auto& run : runs)
        for (const ui::Point& p : run) {
            EXPECT_GE(p.x, 630);
            EXPECT_LE(p.x, 1332);
            EXPECT_GE(p.y, 100);
            EXPECT_LE(p.y, 604);
            if (p.y == 100 || p.y == 604) continue; // cut at the frame
            double lo = 1e9, hi = -1e9;
            for (double dx : {-0.5, 0.0, 0.5}) {
                const double y = py(d, tankGain(freqAt(d, p.x + dx), d.lr, d.cr, d.lm, rac));
                lo = std::min(lo, y), hi = std::max(hi, y);
            }
            EXPECT_GE(p.y, lo - 0.6) << "qc " << qc << " at x " << p.x;
            EXPECT_LE(p.y, hi + 0.6) << "qc " << qc << " at x " << p.x;
            ++checked;
        }
    EXPECT_GT(checked, 0) << "qc " << qc;
}

TEST(LlcCurve, FamilyFollowsTheGainOfTheTankParts) {
    for (const Reference& r : kReferences) {
        LlcDesign d = r.in;
        ASSERT_EQ(kv::ic::llcTank(d).stop, 0);
        for (double times : {0.2, 1.0, 2.4, 10.0}) expectOnGainCurve(d, d.q * times, kv::ic::llcCurve(d, d.q * times));
        // At fr every curve has gain 1.
        EXPECT_NEAR(kv::ic::llcGain(d.fr, d.fr, d.k, 3.0), 1.0, 1e-6);
        EXPECT_NEAR(kv::ic::llcGain(d.fmax, d.fr, d.k, 0.0), d.gmin, 1e-4);
    }
}

using kv::test::IcDesigners;
using LlcWindow = IcDesigners;

std::string readoutAt(LlcDesigner& w, int x, int y) {
    w.onMouseMove(x, y);
    return w.text(LlcDesigner::kReadout);
}

TEST_F(LlcWindow, OpensFromTheLauncherAndComputesAtOnce) {
    auto& launcher = hb.openModeless(std::make_unique<kv::shell::LauncherDialog>(), nullptr);
    launcher.dispatch(kv::shell::LauncherDialog::kLlc, ui::Notify::Clicked);
    ASSERT_EQ(hb.modeless().size(), 2u);
    EXPECT_EQ(hb.modeless().back()->parent(), &launcher);
    auto* w = dynamic_cast<LlcDesigner*>(hb.modeless().back());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->title(), "半桥谐振变换器-LLC  Ver:6");
    // The first showing computes the tank with a calculating box and the controller without one.
    EXPECT_EQ(std::count(hb.opened.begin(), hb.opened.end(), 217), 1);
    EXPECT_TRUE(w->plotValid());
    EXPECT_TRUE(w->controllerValid());
    EXPECT_EQ(w->text(1048), "1.25");
    EXPECT_EQ(w->text(1047), "0.95238"); // seven characters: the edit's width
    w->dispatch(LlcDesigner::kController, ui::Notify::Clicked);
    EXPECT_EQ(std::count(hb.opened.begin(), hb.opened.end(), 217), 2);
    EXPECT_TRUE(hb.messages.empty());
}

TEST_F(LlcWindow, PaintsTheFamilyTheRedAndTheGreenCurveInTheFrame) {
    auto& w = open<LlcDesigner>();
    const auto canvas = ui::HeadlessBackend::paint(w);
    const auto polylines = canvas.polylines();
    // One polyline per curve for the defaults: 15 blue, the red Qmax = Q/q and the green scan.
    ASSERT_EQ(polylines.size(), 17u);
    for (size_t i = 0; i < 15; ++i) EXPECT_EQ(polylines[i].color, (ui::Color{0, 0, 255}));
    EXPECT_EQ(polylines[15].color, (ui::Color{255, 0, 0}));
    EXPECT_EQ(polylines[16].color, (ui::Color{0, 200, 0}));
    EXPECT_EQ(polylines[16].style, ui::PenStyle::Dot);
    const LlcDesign& d = w.design;
    for (size_t i = 0; i < 15; ++i) expectOnGainCurve(d, d.q * kv::ic::kLlcFamily[i], {polylines[i].points});
    expectOnGainCurve(d, d.q / 0.95, {polylines[15].points}); // q is 0.95
    expectOnGainCurve(d, 0.54, {polylines[16].points});
    for (const auto& p : polylines) {
        EXPECT_EQ(p.width, 2);
        ASSERT_TRUE(p.clip.has_value());
        EXPECT_EQ(p.clip->left, 630);
        EXPECT_EQ(p.clip->top, 100);
        EXPECT_EQ(p.clip->right, 1333);
        EXPECT_EQ(p.clip->bottom, 605);
    }
    // The marker: gain 1 and fr inside the frame, with their labels.
    bool one = false, fr = false;
    for (const auto& t : canvas.texts()) {
        double v = 0;
        // Gain 1 named left of the frame: by its own "1" or by the gain label of that tick.
        one |= ui::parseNumber(t.text, v) && v == 1 && t.x < 630 && t.y == int(std::lround(py(d, 1))) - 8;
        fr |= t.text == "fr(kHz)" && t.x == int(std::lround(px(d, d.fr))) - 10 && t.y == 638 && t.font == "楷体";
    }
    EXPECT_TRUE(one);
    EXPECT_TRUE(fr);
}

// The axes read at nice steps: short decimal labels, evenly spaced, spanning the frame from
// edge to edge and covering the designed frequency and gain range.
TEST_F(LlcWindow, AxesAtNiceStepsCoverTheRange) {
    auto& w = open<LlcDesigner>();
    for (const char* fr : {"70", "100", "33.3"}) {
        type(w, 1036, fr);
        press(w, LlcDesigner::kTank);
        ASSERT_TRUE(w.plotValid()) << fr;
        const LlcDesign& d = w.design;
        std::vector<std::pair<int, double>> across, up; // pixel and value of each label
        for (const auto& t : ui::HeadlessBackend::paint(w).texts()) {
            double v = 0;
            if (!ui::parseNumber(t.text, v) || t.text == "1") continue;
            EXPECT_LE(t.text.size(), 5u) << t.text;
            EXPECT_EQ(t.text.find('e'), std::string::npos) << t.text;
            if (t.y == 612) across.push_back({t.x + 7 * int(t.text.size()) / 2, v});
            else if (t.x < 630) up.push_back({t.y + 8, v});
        }
        for (const auto* axis : {&across, &up}) {
            SCOPED_TRACE(fr);
            ASSERT_GE(axis->size(), 4u);
            ASSERT_LE(axis->size(), 11u);
            const double step = (*axis)[1].second - (*axis)[0].second;
            const double m = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
            EXPECT_TRUE(std::abs(m - 1) < 1e-9 || std::abs(m - 2) < 1e-9 || std::abs(m - 2.5) < 1e-9 ||
                        std::abs(m - 5) < 1e-9)
                << step;
            for (size_t i = 1; i < axis->size(); ++i) {
                EXPECT_NEAR((*axis)[i].second - (*axis)[i - 1].second, step, step * 1e-6);
                const int gap = (*axis)[1].first - (*axis)[0].first;
                EXPECT_NEAR((*axis)[i].first - (*axis)[i - 1].first, gap, 2) << "evenly spaced";
            }
        }
        // First and last ticks on the frame's edges, the range inside them.
        EXPECT_NEAR(across.front().first, 630, 4);
        EXPECT_NEAR(across.back().first, 1332, 4);
        EXPECT_LE(across.front().second, d.fmin);
        EXPECT_GE(across.back().second, d.fmax);
        EXPECT_EQ(up.front().first, 604);
        EXPECT_EQ(up.back().first, 100);
        EXPECT_LE(up.front().second, d.gmin);
        EXPECT_GE(up.back().second, d.gmax);
    }
}

// The red curve is the design's largest Q, whatever margin q is typed, and its legend says so.
TEST_F(LlcWindow, RedCurveIsQmaxOfTheDesignAndLabelled) {
    auto& w = open<LlcDesigner>();
    for (const char* q : {"0.95", "0.8", "0.6"}) {
        type(w, 1062, q);
        press(w, LlcDesigner::kTank);
        ASSERT_TRUE(w.plotValid()) << q;
        const LlcDesign& d = w.design;
        const double qmax = d.q / std::stod(q);
        EXPECT_NEAR(d.qMax, qmax, 1e-6 * qmax);
        // Qmax is about the largest Q whose gain still peaks at Gmax: its curve reaches the
        // top of the plot, one 15 % heavier does not.
        auto peak = [&](double qc) {
            double g = 0;
            for (double f = d.fr * 0.2; f < d.fr; f += 0.01) g = std::max(g, kv::ic::llcGain(f, d.fr, d.k, qc));
            return g;
        };
        EXPECT_GE(peak(qmax), d.gmax) << q;
        EXPECT_LT(peak(1.15 * qmax), d.gmax) << q;
        const auto canvas = ui::HeadlessBackend::paint(w);
        const auto polylines = canvas.polylines();
        ASSERT_EQ(polylines[15].color, (ui::Color{255, 0, 0}));
        expectOnGainCurve(d, qmax, {polylines[15].points});
        bool legend = false;
        for (const auto& t : canvas.texts())
            legend |= t.text == "Qmax=Q/q=" + ui::formatNumber(qmax, 5) && t.color == ui::Color{255, 0, 0};
        EXPECT_TRUE(legend) << q;
    }
}

// Lines drawn while the plot is clipped stay inside the frame.
void expectClippedLinesInFrame(const ui::RecordingCanvas& c) {
    bool clipped = false;
    int lines = 0;
    for (const auto& op : c.ops) {
        if (op.kind == ui::DrawOp::Clip) clipped = op.on;
        if (op.kind != ui::DrawOp::Line || !clipped) continue;
        ++lines;
        for (int x : {op.a, op.c}) EXPECT_TRUE(x >= 630 && x <= 1332) << x;
        for (int y : {op.b, op.d}) EXPECT_TRUE(y >= 100 && y <= 604) << y;
    }
    (void)lines;
}

TEST_F(LlcWindow, MarkerOutsideTheRangeIsCutAway) {
    auto& w = open<LlcDesigner>();
    expectClippedLinesInFrame(ui::HeadlessBackend::paint(w));
    // The maximum input below the nominal one: every gain above 1, fr beyond Fmax.
    type(w, 1362, "390");
    press(w, LlcDesigner::kTank);
    ASSERT_TRUE(w.plotValid());
    ASSERT_GT(w.design.gmin, 1.0f);
    ASSERT_LT(w.design.fmax, w.design.fr);
    const auto canvas = ui::HeadlessBackend::paint(w);
    expectClippedLinesInFrame(canvas);
    int markerLines = 0;
    bool clipped = false;
    for (const auto& op : canvas.ops) {
        if (op.kind == ui::DrawOp::Clip) clipped = op.on;
        if (op.kind == ui::DrawOp::Line && clipped) ++markerLines;
    }
    EXPECT_EQ(markerLines, 0);
    for (const auto& t : canvas.texts()) {
        EXPECT_NE(t.text, "fr(kHz)");
        EXPECT_NE(t.text, "1");
    }
    for (const auto& p : canvas.polylines())
        for (const ui::Point& q : p.points) EXPECT_TRUE(q.x >= 630 && q.x <= 1332 && q.y >= 100 && q.y <= 604);
}

TEST_F(LlcWindow, HangingDesignFinishes) {
    auto& w = open<LlcDesigner>();
    type(w, 1036, "300");
    type(w, 1362, "488.8888");
    type(w, 1071, "1");
    type(w, 1074, "0");
    type(w, 1075, "1000");
    press(w, LlcDesigner::kTank);
    ASSERT_TRUE(w.plotValid()) << (hb.messages.empty() ? "" : hb.messages.back().text);
    EXPECT_GT(w.design.fmax, 200000.0f); // as the formulas give it
    const auto polylines = ui::HeadlessBackend::paint(w).polylines();
    EXPECT_GE(polylines.size(), 17u);
    for (const auto& p : polylines) EXPECT_LE(p.points.size(), size_t(kv::ic::kLlcMaxSteps) + 1);
}

TEST_F(LlcWindow, ParameterErrorsBlankTheResultsAndDrawNoCurves) {
    auto& w = open<LlcDesigner>();
    // Each named by its label; an empty gain range in the designer's own words.
    const std::string nominal = "输入有误：“额定输入Vdc(V)”必须大于“最低输入Vdc(V)”，请检查输入！";
    const struct {
        int id;
        const char* value;
        std::string said;
    } cases[] = {{1035, "0", "输入有误：“K值(Lm/Lr)”必须大于0，请检查输入！"},
                 {1033, "320", nominal},
                 {1033, "300", nominal},
                 {1362, "320", LlcDesigner::kBadTank},
                 {1362, "300", "输入有误：“最高输入Vdc(V)”低于“最低输入Vdc(V)”，请检查输入！"},
                 {1075, "0", "输入有误：“死区Td(nS)”必须大于0，请检查输入！"}};
    for (const auto& [id, value, said] : cases) {
        auto& again = open<LlcDesigner>();
        hb.messages.clear();
        type(again, id, value);
        press(again, LlcDesigner::kTank);
        EXPECT_EQ(texts(), std::vector<std::string>{said}) << id << "=" << value;
        for (int r : {1053, 1047, 1048, 1049, 1042, 1051, 1055, 1057, 1084}) EXPECT_EQ(again.text(r), "") << r;
        EXPECT_FALSE(again.plotValid());
        EXPECT_TRUE(ui::HeadlessBackend::paint(again).polylines().empty());
        EXPECT_EQ(readoutAt(again, 700, 300), "invalid");
    }
    // Not a number: one message, the designer's words naming the field.
    hb.messages.clear();
    type(w, 1445, "12V");
    press(w, LlcDesigner::kTank);
    EXPECT_EQ(texts(), (std::vector<std::string>{std::string(LlcDesigner::kBadTank) +
                                                 "\n输入有误：“输出电压(V)”中的“12V”不是一个数字，请检查输入！"}));
    EXPECT_TRUE(ui::HeadlessBackend::paint(w).polylines().empty());
    // Corrected, the curves come back.
    type(w, 1445, "12");
    press(w, LlcDesigner::kTank);
    EXPECT_EQ(ui::HeadlessBackend::paint(w).polylines().size(), 17u);
}

TEST_F(LlcWindow, TooLittleMagnetisingCurrentKeepsResultsWithoutCurves) {
    auto& w = open<LlcDesigner>();
    type(w, 1075, "50");
    press(w, LlcDesigner::kTank);
    EXPECT_EQ(texts(), std::vector<std::string>{"Im<IP,请降低Q值或者增大Lr+Lp重新计算!"});
    EXPECT_EQ(w.text(1057), "3.528");
    EXPECT_FALSE(w.plotValid());
    // No repaint brings them back.
    EXPECT_TRUE(ui::HeadlessBackend::paint(w).polylines().empty());
    EXPECT_TRUE(ui::HeadlessBackend::paint(w).polylines().empty());
}

// A primary wound with fewer turns than the flux swing allows at the lowest
// frequency is warned about by the fields' labels; the tank and its curves stand.
TEST_F(LlcWindow, TooFewPrimaryTurnsAreWarnedAndTheCurvesStay) {
    auto& w = open<LlcDesigner>();
    ASSERT_TRUE(hb.messages.empty());
    type(w, LlcDesigner::kAe, "40"); // a smaller core: more turns needed
    press(w, LlcDesigner::kTank);
    EXPECT_EQ(texts(), std::vector<std::string>{
                           "注意：“实际初级匝数(Ts)”低于“最少初级圈数(Ts)”，磁芯会饱和，请增加“设定的初级匝数(Ts)”！"});
    double np = 0, least = 0;
    ASSERT_TRUE(ui::parseNumber(w.text(LlcDesigner::kNp), np));
    ASSERT_TRUE(ui::parseNumber(w.text(LlcDesigner::kNpMin), least));
    EXPECT_LT(np, least);
    EXPECT_EQ(np, std::round(np)); // whole turns, no trailing point
    EXPECT_EQ(w.text(LlcDesigner::kNp).find('.'), std::string::npos);
    EXPECT_TRUE(w.plotValid());
    // Enough turns: nothing to say.
    type(w, LlcDesigner::kNpSet, "8");
    hb.messages.clear();
    press(w, LlcDesigner::kTank);
    EXPECT_TRUE(hb.messages.empty());
    ASSERT_TRUE(ui::parseNumber(w.text(LlcDesigner::kNp), np));
    EXPECT_GE(np, least);
}

// The preset capacitor's tank is named as such under the plot, apart from the
// designed tank's Lr and Lm among the results.
TEST_F(LlcWindow, EachPairOfLrAndLmIsLabelled) {
    auto& w = open<LlcDesigner>();
    int named = 0;
    for (const auto& t : ui::HeadlessBackend::paint(w).texts())
        if (t.x == 615 && (t.y == 680 || t.y == 700)) {
            EXPECT_EQ(t.text.rfind("设定Cr时", 0), 0u) << t.text;
            ++named;
        }
    EXPECT_EQ(named, 2);
    EXPECT_EQ(w.labelBefore(1054), "谐振电感Lr(uH)");
}

// Typing into an input: the curves of the old tank go and its results grey
// until the tank is computed again.
TEST_F(LlcWindow, TypingPutsTheOldCurvesAwayAndGreysTheResults) {
    auto& w = open<LlcDesigner>();
    ASSERT_TRUE(w.plotValid());
    type(w, 1445, "24");
    EXPECT_FALSE(w.plotValid());
    EXPECT_TRUE(ui::HeadlessBackend::paint(w).polylines().empty());
    EXPECT_TRUE(w.greyed(1054));
    EXPECT_TRUE(w.controllerValid()); // the controller reads other fields
    press(w, LlcDesigner::kTank);
    EXPECT_TRUE(w.plotValid());
    EXPECT_FALSE(w.greyed(1054));
    EXPECT_FALSE(ui::HeadlessBackend::paint(w).polylines().empty());
}

TEST_F(LlcWindow, CursorReadoutAtFixedPixels) {
    auto& w = open<LlcDesigner>();
    // The frame's corners are the axes' end ticks: 40..80 kHz, gain 0.95..1.25.
    EXPECT_EQ(readoutAt(w, 630, 604), "Current Coordinate:630,604   Gain :0.95, Frequency:40kHz");
    EXPECT_EQ(readoutAt(w, 1332, 100), "Current Coordinate:1332,100   Gain :1.25, Frequency:80kHz");
    // half way across and up: the middle of both axes
    EXPECT_EQ(readoutAt(w, 981, 352), "Current Coordinate:981,352   Gain :1.1, Frequency:60kHz");
    for (auto [x, y] : {std::pair{629, 300}, {1333, 300}, {700, 99}, {700, 605}})
        EXPECT_EQ(readoutAt(w, x, y), "invalid") << x << "," << y;
}

// A view that counts what the dialog asks of its window.
struct CountingView : ui::View {
    void controlChanged(int id) override { changed.push_back(id); }
    void titleChanged() override {}
    void invalidate(const ui::Rect*) override { ++invalidations; }
    int clientWidth() const override { return 1365; }
    int clientHeight() const override { return 776; }
    std::vector<int> changed;
    int invalidations = 0;
};

TEST_F(LlcWindow, MovingTheMouseOnlyUpdatesTheReadout) {
    LlcDesigner w(nullptr);
    CountingView view;
    w.attachView(&view);
    w.initialize();
    EXPECT_GT(view.invalidations, 0); // the first computation repaints
    view.invalidations = 0;
    view.changed.clear();
    for (int x = 600; x < 1400; x += 37) w.onMouseMove(x, 300);
    EXPECT_EQ(view.invalidations, 0);
    ASSERT_FALSE(view.changed.empty());
    for (int id : view.changed) EXPECT_EQ(id, LlcDesigner::kReadout);
    w.attachView(nullptr);
}

TEST_F(LlcWindow, ScanCurveIsDrawnOnlyFromANumberAndPaintingShowsNoMessage) {
    auto& w = open<LlcDesigner>();
    type(w, LlcDesigner::kScanQ, "abc");
    EXPECT_EQ(ui::HeadlessBackend::paint(w).polylines().size(), 16u);
    EXPECT_TRUE(hb.messages.empty());
    w.dispatch(LlcDesigner::kScanQ, ui::Notify::KillFocus);
    EXPECT_EQ(texts(), std::vector<std::string>{LlcDesigner::kBadScan});
    // A bad input elsewhere puts the old tank's curves away; painting says nothing.
    type(w, 1445, "x");
    EXPECT_TRUE(ui::HeadlessBackend::paint(w).polylines().empty());
    type(w, 1445, "12");
    press(w, LlcDesigner::kTank);
    type(w, LlcDesigner::kScanQ, "1.2");
    const auto polylines = ui::HeadlessBackend::paint(w).polylines();
    ASSERT_EQ(polylines.size(), 17u);
    expectOnGainCurve(w.design, 1.2, {polylines[16].points});
    EXPECT_EQ(hb.messages.size(), 1u);
}

TEST_F(LlcWindow, CorePickKeepsTypedInputsAndRepaints) {
    copyCoreList();
    LlcDesigner w(nullptr);
    CountingView view;
    w.attachView(&view);
    w.initialize();
    const std::string cbulk = w.text(1053);
    // Typed but not computed yet.
    type(w, 1445, "24");
    queuePick(1, 1); // EC41, Ae 121 mm²
    view.invalidations = 0;
    press(w, LlcDesigner::kCore);
    EXPECT_EQ(w.text(LlcDesigner::kAe), "121");
    EXPECT_EQ(w.text(1445), "24");
    EXPECT_EQ(w.design.vo, 24.0f);
    EXPECT_NEAR(std::stod(w.text(1053)), 2 * std::stod(cbulk), 0.01); // hold-up grows with the output power
    EXPECT_TRUE(w.plotValid());
    EXPECT_GT(view.invalidations, 0);
    // Cancelled: Ae and the results stay, nothing is recomputed.
    const std::string np = w.text(1066);
    const auto pauses = std::count(hb.opened.begin(), hb.opened.end(), 217);
    queueCancel();
    press(w, LlcDesigner::kCore);
    EXPECT_EQ(w.text(LlcDesigner::kAe), "121");
    EXPECT_EQ(w.text(1066), np);
    EXPECT_EQ(std::count(hb.opened.begin(), hb.opened.end(), 217), pauses);
    w.attachView(nullptr);
}

TEST_F(LlcWindow, ControllerMessages) {
    auto& w = open<LlcDesigner>();
    type(w, 1087, "x");
    press(w, LlcDesigner::kController);
    EXPECT_EQ(texts(), (std::vector<std::string>{std::string(LlcDesigner::kBadController) +
                                                 "\n输入有误：“最小开关频率(kHz)”中的“x”不是一个数字，请检查输入！"}));
    EXPECT_FALSE(w.controllerValid());
    hb.messages.clear();
    type(w, 1087, "0");
    press(w, LlcDesigner::kController);
    EXPECT_EQ(texts(), std::vector<std::string>{"输入有误：“最小开关频率(kHz)”必须大于0，请检查输入！"});
    hb.messages.clear();
    type(w, 1087, "160"); // above the highest
    press(w, LlcDesigner::kController);
    EXPECT_EQ(texts(), std::vector<std::string>{"输入有误：“最大开关频率(kHz)”必须大于“最小开关频率(kHz)”，请检查输入！"});
    for (const auto& t : ui::HeadlessBackend::paint(w).texts()) EXPECT_EQ(t.text.find("Rfmin"), std::string::npos);
    type(w, 1087, "40");
    press(w, LlcDesigner::kController);
    bool shown = false;
    for (const auto& t : ui::HeadlessBackend::paint(w).texts()) shown |= t.text == "Rfmin=:25.253kΩ" && t.x == 617;
    EXPECT_TRUE(shown);
}

TEST_F(LlcWindow, CliMovesTheMouseAndReportsTheCurves) {
    std::string out, err;
    ASSERT_EQ(kv::tools::runCli({"282", "--move", "981,352"}, out, err), 0) << err;
    EXPECT_NE(out.find("\"1464\": {\"text\": \"Current Coordinate:981,352   Gain :1.1, Frequency:60kHz\""),
              std::string::npos);
    EXPECT_NE(out.find("\"polylines\": ["), std::string::npos);
    EXPECT_NE(out.find("\"width\": 2, \"style\": \"dot\", \"color\": \"#00c800\"}"), std::string::npos);
    EXPECT_EQ(kv::tools::runCli({"282", "--move", "981"}, out, err), 2);
    EXPECT_NE(err.find("malformed --move"), std::string::npos);
}

} // namespace
