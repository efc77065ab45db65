// One flyback transformer worked end to end by hand: core loss from the iGSE
// integral taken numerically, copper loss from the DC resistance of each
// winding and the harmonics of its current found by a numerical Fourier
// transform, the rise from the total; each part within 1 % of the model.
#include "magnetics/MagneticLoss.h"
#include "magnetics/Thermal.h"
#include "tests/magnetics/ByHand.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace kv::magnetics {
namespace {

constexpr double kPi = std::numbers::pi;

// The design: ETD 34/17/11 in N87 (Ve 7630 mm³) at 100 kHz in DCM, 40 °C
// ambient. Primary 40 turns of 0.5 mm (0.55 mm insulated) ramps 0 → 2 A in
// 4 µs; secondary 8 turns of three 0.6 mm wires (0.65 mm) takes over at 10 A
// (the same 80 ampere-turns) and ramps down in 4.5 µs; 1.5 µs dead time.
// The flux swings 0.2 T up with the primary and back with the secondary.
constexpr double kT = 10e-6, kOn = 4e-6, kOff = 4.5e-6, kSwing = 0.2, kVe = 7630e-9;

MagneticDesign flyback() {
    MagneticDesign d;
    d.material = "N87";
    d.shape = "ETD 34/17/11";
    d.ve = kVe;
    d.flux = trapezoid(kSwing, kT, kOn, 0, kOff);
    d.windings = {{40, 0.5e-3, 0.55e-3, 1, {{0, 0}, {kOn, 2}, {kOn, 0}, {kT, 0}}},
                  {8, 0.6e-3, 0.65e-3, 3, {{0, 0}, {kOn, 0}, {kOn, 10}, {kOn + kOff, 0}, {kT, 0}}}};
    d.ambientC = 40;
    return d;
}

double coreLossByHand(double tempC) {
    return test::igseByDefinition(*rangeFor("N87", 1 / kT), kSwing, kT, kOn, kOff, tempC) * kVe;
}

// Copper loss of one winding: DC resistance from its mean turn, then the
// current sampled and transformed numerically, each harmonic in R·Fr.
double windingLossByHand(double turns, double d, double od, int strands, double inner, double i0, double t0,
                         double t1, double tempC) {
    const ShapeGeometry& s = *findShape("ETD 34/17/11");
    const double breadth = 0.9 * s.height;
    const double perLayer = std::floor(breadth / od);
    const double conductors = turns * strands;
    const double layers = std::ceil(conductors / perLayer);
    const double mlt = kPi * (s.legWidth + 2 * (0.1 * s.room + inner + layers * od / 2));
    const double rho = 1.724e-8 * (1 + 0.00393 * (tempC - 20));
    const double rdc = rho * turns * mlt / (strands * kPi * d * d / 4);
    // Samples of the current: ramps from i0 at t0 down or up to 0 / peak at t1.
    const int n = 1 << 14;
    std::vector<double> i(n);
    for (int k = 0; k < n; ++k) {
        const double t = (k + 0.5) * kT / n;
        i[k] = t >= t0 && t < t1 ? i0 + (t - t0) / (t1 - t0) * (i0 > 0 ? -i0 : 2.0) : 0.0;
    }
    const double foil = std::pow(kPi / 4, 0.75) * d * std::sqrt(d * std::min(conductors, perLayer) / breadth);
    double sum0 = 0, total = 0, ac2 = 0, fr = 1;
    for (double v : i)
        sum0 += v / n;
    double rms2 = 0;
    for (double v : i)
        rms2 += v * v / n;
    total = rdc * sum0 * sum0;
    for (int h = 1; h <= 100; ++h) {
        std::complex<double> c = 0;
        for (int k = 0; k < n; ++k)
            c += i[k] * std::polar(1.0, -2 * kPi * h * (k + 0.5) / n) / double(n);
        const double ih2 = 2 * std::norm(c);
        const double delta = foil / std::sqrt(rho / (kPi * h / kT * 4e-7 * kPi));
        fr = dowellFactor(delta, layers);
        total += rdc * fr * ih2;
        ac2 += ih2;
    }
    total += rdc * fr * (rms2 - sum0 * sum0 - ac2); // the rest at the 100th harmonic's factor
    return total;
}

TEST(FlybackLoss, WorkedByHandPartByPart) {
    const MagneticLossResult r = magneticLoss(flyback());
    ASSERT_EQ(r.reason, Reason::None) << describe(r.reason);
    const double temp = r.coreTempC;
    EXPECT_NEAR(r.coreLoss, coreLossByHand(temp), 0.01 * r.coreLoss);
    const double primary = windingLossByHand(40, 0.5e-3, 0.55e-3, 1, 0, 0, 0, kOn, temp);
    const double secondary = windingLossByHand(8, 0.6e-3, 0.65e-3, 3, 2 * 0.55e-3, 10, kOn, kOn + kOff, temp);
    ASSERT_EQ(r.windings.size(), 2u);
    EXPECT_NEAR(r.windings[0].loss, primary, 0.01 * primary);
    EXPECT_NEAR(r.windings[1].loss, secondary, 0.01 * secondary);
    EXPECT_NEAR(r.copperLoss, primary + secondary, 0.01 * r.copperLoss);
    // The sums and the thermal balance: the set sits where its loss puts it.
    EXPECT_NEAR(r.total, r.coreLoss + r.copperLoss, 1e-12 * r.total);
    EXPECT_NEAR(r.rise, thermalResistance(findShape("ETD 34/17/11")->surface) * r.total, 1e-9 * r.rise);
    EXPECT_NEAR(r.coreTempC, 40 + r.rise, 0.1);
    // A plausible magnetic: a watt or so in an ETD 34 at 100 kHz, a few tens of kelvin.
    EXPECT_GT(r.total, 0.3);
    EXPECT_LT(r.total, 5);
}

TEST(FlybackLoss, RefusesWithTheReasonAndNoNumbers) {
    auto expectRefused = [](const MagneticDesign& d, Reason why) {
        const MagneticLossResult r = magneticLoss(d);
        EXPECT_EQ(r.reason, why) << describe(why);
        EXPECT_TRUE(std::isnan(r.total));
        EXPECT_TRUE(std::isnan(r.rise));
    };
    MagneticDesign d = flyback();
    d.material = "";
    expectRefused(d, Reason::UnknownMaterial); // a typed core with no material
    d = flyback();
    d.shape = "ETD 34";
    expectRefused(d, Reason::UnknownShape);
    d = flyback();
    d.flux = trapezoid(kSwing, 10 * kT, 10 * kOn, 0, 10 * kOff); // 10 kHz
    expectRefused(d, Reason::FrequencyOutside);
    d = flyback();
    d.ve = 0;
    expectRefused(d, Reason::BadInput);
    d = flyback();
    d.windings[1].turns = 200;
    expectRefused(d, Reason::WindingDoesNotFit);
    // Far too much loss for the set: it runs off the top of the data.
    d = flyback();
    d.flux = trapezoid(0.39, kT, kOn, 0, kOff);
    d.windings[0].current = {{0, 0}, {kOn, 12}, {kOn, 0}, {kT, 0}};
    expectRefused(d, Reason::TemperatureOutside);
}

TEST(FlybackLoss, PfcInductorUsesTheLineCycleAverage) {
    MagneticDesign d;
    d.material = "N87";
    d.shape = "PQ 32/30";
    d.ve = 11970e-9;
    d.tmBoost = TmBoost{90, 400, 150, 200e-6, 40, 161e-6};
    d.windings = {{40, 0.8e-3, 0, 1, {{0, 0}, {5e-6, 4}, {10e-6, 0}}}};
    const MagneticLossResult r = magneticLoss(d);
    ASSERT_EQ(r.reason, Reason::None) << describe(r.reason);
    const CoreLoss avg = tmBoostLineAverage("N87", *d.tmBoost, r.coreTempC);
    EXPECT_NEAR(r.coreLoss, avg.pv * d.ve, 1e-9 * r.coreLoss);
}

} // namespace
} // namespace kv::magnetics
