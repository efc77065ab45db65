// The frequency sweep: crossover and phase margin against loops whose
// answers are known in closed form, phases past -180°, gain that comes back
// above 0 dB, the sweep range, and what the pages warn of a loop.
#include "loop/Bode.h"
#include "loop/LoopPage.h"

#include "tests/loop/LoopTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kv::loop;
using kv::loop::loopWarnings;
using kv::test::kPi;

namespace {
// k/s crosses 0 dB at k/2π.
bode::Factor integrator(double k) {
    return [k](bode::Complex s) { return k / s; };
}
} // namespace

TEST(Bode, IntegratorAndPoleCrossWhereTheirGainIsOne) {
    // k/s alone: crossover at k/2π, margin 90°.
    const bode::Transfer none{{bode::gain(1)}};
    const bode::Response r = bode::sweep(none, {{integrator(2 * kPi * 1000)}}, {10, 1e5});
    ASSERT_TRUE(r.crossed);
    EXPECT_NEAR(r.crossover, 1000, 1e-6);
    EXPECT_NEAR(r.margin, 90, 1e-9);
    EXPECT_EQ(r.f.size(), 401u);
    EXPECT_DOUBLE_EQ(r.f.front(), 10);
    EXPECT_NEAR(r.f.back(), 1e5, 1e-6);

    // With a pole at fp: |k/(ω·√(1+(f/fp)²))| = 1 solved for f, margin 90 - atan(f/fp).
    const double fp = 500, k = 2 * kPi * 2000;
    const bode::Response q = bode::sweep({{bode::pole(fp)}}, {{integrator(k)}}, {1, 1e6});
    const double w = k / (2 * kPi), f = std::sqrt((std::sqrt(1 + 4 * w * w / (fp * fp)) - 1) / 2) * fp;
    ASSERT_TRUE(q.crossed);
    EXPECT_NEAR(q.crossover, f, f * 1e-9);
    EXPECT_NEAR(q.margin, 90 - std::atan(f / fp) * 180 / kPi, 1e-9);
    // The curves are the sums of their parts.
    for (std::size_t i = 0; i < q.f.size(); i += 50) {
        EXPECT_NEAR(q.loop.gain[i], q.plant.gain[i] + q.compensator.gain[i], 1e-9);
        EXPECT_NEAR(q.loop.phase[i], q.plant.phase[i] + q.compensator.phase[i], 1e-9);
    }
}

TEST(Bode, PhaseGoesOnPastMinus180) {
    // Three poles below the crossover and an integrator: -360° at the top, no wrap.
    const bode::Transfer plant{{bode::pole(10), bode::pole(10), bode::pole(10)}};
    const bode::Response r = bode::sweep(plant, {{integrator(2 * kPi * 1e4)}}, {1, 1e6});
    EXPECT_LT(r.loop.phase.back(), -355);
    for (std::size_t i = 1; i < r.f.size(); ++i) EXPECT_LE(r.loop.phase[i], r.loop.phase[i - 1] + 1e-9);
    ASSERT_TRUE(r.crossed);
    EXPECT_LT(r.margin, 0); // unstable, and said so
}

TEST(Bode, LcPoleIsDampedByItsEsrZero) {
    // 1/(1 + s/ωq + (s/ω0)²) at f0: |H| = Q = fq/f0, phase -90°.
    const bode::Transfer lc{{bode::lcPole(1000, 2500)}};
    EXPECT_NEAR(std::pow(10, lc.gainDb(1000) / 20), 2.5, 1e-12);
    EXPECT_NEAR(lc.phaseDeg(1000), -90, 1e-9);
    EXPECT_NEAR(lc.phaseDeg(1e6), -180, 0.2);
}

TEST(Bode, NoCrossoverWhenTheLoopStaysBelowOne) {
    const bode::Response r = bode::sweep({{bode::gain(0.1)}}, {{bode::pole(100)}}, {1, 1e4});
    EXPECT_FALSE(r.crossed);
}

TEST(Bode, SpanCoversTheCornersInWholeDecades) {
    EXPECT_EQ(bode::span(20000, {120.4, 2604.8, 8533}), std::make_pair(10.0, 1e6));
    EXPECT_EQ(bode::span(50, {}), std::make_pair(1.0, 1000.0));
    // corners far apart: eight decades about the crossover; bad corners ignored
    const auto wide = bode::span(1e4, {1e-3, 1e12, -5, NAN});
    EXPECT_DOUBLE_EQ(wide.first, 1.0);
    EXPECT_DOUBLE_EQ(wide.second, 1e8);
}

TEST(Bode, RhpZeroRaisesTheGainAndTakesPhase) {
    // 1 − s/ωz at f: |·| = √(1 + (f/fz)²), phase −atan(f/fz), unlike 1 + s/ωz.
    const bode::Transfer rhp{{bode::rhpZero(1000)}};
    const bode::Transfer lhp{{bode::zero(1000)}};
    for (double f : {100.0, 1000.0, 3000.0}) {
        EXPECT_NEAR(rhp.gainDb(f), 10 * std::log10(1 + f * f / 1e6), 1e-9);
        EXPECT_NEAR(rhp.gainDb(f), lhp.gainDb(f), 1e-12);
        EXPECT_NEAR(rhp.phaseDeg(f), -std::atan(f / 1000) * 180 / kPi, 1e-9);
    }
    // an integrator of 500 Hz with the zero at 1 kHz: (500/f)²·(1 + (f/1000)²) = 1
    // at f = 1000/√3, where the zero takes atan(1/√3) = 30°
    const bode::Response r = bode::sweep(rhp, {{integrator(2 * kPi * 500)}}, {10, 1e5});
    ASSERT_TRUE(r.crossed);
    EXPECT_NEAR(r.crossover, 1000 / std::sqrt(3.0), 1e-6);
    EXPECT_NEAR(r.margin, 60, 1e-6);
    // one at 1 kHz never gets below: the zero's rise matches the integrator's fall
    EXPECT_FALSE(bode::sweep(rhp, {{integrator(2 * kPi * 1000)}}, {10, 1e5}).crossed);
}

TEST(Bode, GainThatComesBackAboveOneIsFound) {
    // An integrator crossing at 1 kHz and a double pole at 10 kHz with Q = 20:
    // near 10 kHz the loop gain is 0.1·20 = 2 again, through 0 dB where
    // (f/1000)·|1 − (f/f0)² + j·f/(Q·f0)| = 1, just below the resonance.
    const bode::Response r = bode::sweep({{bode::lcPole(10e3, 200e3)}}, {{integrator(2 * kPi * 1000)}}, {10, 1e6});
    ASSERT_TRUE(r.crossed);
    EXPECT_NEAR(r.crossover, 1000, 15);
    ASSERT_GT(r.regain, 0);
    const auto below = [](double f) {
        const double x = f / 10e3;
        return f / 1000 * std::hypot(1 - x * x, x / 20);
    };
    EXPECT_NEAR(below(r.regain), 1, 1e-6);
    EXPECT_GT(r.regain, 9e3);
    EXPECT_LT(r.regain, 10e3);
    // damped (Q = 0.5) the same loop stays below
    EXPECT_EQ(bode::sweep({{bode::lcPole(10e3, 5e3)}}, {{integrator(2 * kPi * 1000)}}, {10, 1e6}).regain, 0);
}

TEST(LoopWarnings, WhatTheLoopSays) {
    bode::Response r;
    // no crossover: that alone
    r.regain = 5000;
    EXPECT_EQ(loopWarnings(r, 1000),
              (std::vector<std::string>{"按所得元件参数构成的环路，其增益在整个频段内都没有穿越0dB，得不到穿越频率和相位裕量！"}));
    r = {};
    r.crossed = true;
    r.crossover = 1100;
    r.margin = 45;
    EXPECT_TRUE(loopWarnings(r, 1000).empty());
    // a fifth away either way
    r.crossover = 1201;
    EXPECT_EQ(loopWarnings(r, 1000),
              (std::vector<std::string>{"按所得元件参数构成的环路实际在1.201 kHz穿越0dB（设定为1 kHz），相位裕量为45.0°。"}));
    r.crossover = 1199;
    EXPECT_TRUE(loopWarnings(r, 1000).empty());
    r.crossover = 830;
    EXPECT_EQ(loopWarnings(r, 1000).size(), 1u);
    r.crossover = 840;
    EXPECT_TRUE(loopWarnings(r, 1000).empty());
    // no margin: unstable, wherever it crosses; gain back above 0 dB besides
    r.margin = -12.34;
    r.regain = 25000;
    EXPECT_EQ(loopWarnings(r, 1000),
              (std::vector<std::string>{"按所得元件参数构成的环路在840 Hz穿越0dB，相位裕量为-12.3°，环路不稳定！",
                                        "环路增益在25 kHz处再次升到0dB以上，增益裕量不足，环路可能振荡！"}));
    r.margin = 0;
    EXPECT_NE(loopWarnings(r, 1000).front().find("环路不稳定"), std::string::npos);
}
