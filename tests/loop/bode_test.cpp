// The frequency sweep: crossover and phase margin against loops whose
// answers are known in closed form, phases past -180°, and the sweep range.
#include "loop/Bode.h"

#include "tests/loop/LoopTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kv::loop;
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
