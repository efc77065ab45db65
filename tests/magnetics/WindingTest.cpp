// Winding loss: Fourier series of piecewise-linear currents, Dowell's factor
// against a direct solution of the field in the layers, DC resistance of a
// winding worked by hand, and the windings' fit in the window.
#include "magnetics/Winding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace kv::magnetics {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(Fourier, SquareWaveHasItsKnownHarmonics) {
    // ±1 square wave: odd harmonics of amplitude 4/(πn), no even ones.
    const Waveform sq{{0, 1}, {0.5, 1}, {0.5, -1}, {1, -1}, {1, 1}};
    ASSERT_TRUE(isPeriodic(sq));
    EXPECT_NEAR(mean(sq), 0, 1e-12);
    EXPECT_NEAR(rms(sq), 1, 1e-12);
    for (int n = 1; n <= 9; ++n) {
        const double amplitude = 2 * std::abs(harmonic(sq, n));
        EXPECT_NEAR(amplitude, n % 2 ? 4 / (kPi * n) : 0.0, 1e-12) << n;
    }
}

TEST(Fourier, ParsevalHoldsForAFlybackPrimaryCurrent) {
    // 0 → 2 A in 4 µs, then nothing for 6 µs: mean 0.4 A, RMS 2·√(0.4/3) A.
    const Waveform i{{0, 0}, {4e-6, 2}, {4e-6, 0}, {10e-6, 0}};
    EXPECT_NEAR(mean(i), 0.4, 1e-12);
    EXPECT_NEAR(rms(i), 2 * std::sqrt(0.4 / 3), 1e-12);
    double sum = mean(i) * mean(i);
    for (int n = 1; n <= 20000; ++n)
        sum += 2 * std::norm(harmonic(i, n));
    EXPECT_NEAR(sum, rms(i) * rms(i), 1e-4 * rms(i) * rms(i));
}

TEST(Fourier, AllHarmonicsAtOnceAgreeWithEachOne) {
    // A CCM secondary current with its steps, on a period that is not a round number.
    const Waveform i{{0, 0}, {3.1e-6, 0}, {3.1e-6, 9.5}, {7.3e-6, 4.2}, {7.3e-6, 0}, {7.3e-6 + 1e-9, 0}, {8.7e-6, 0}};
    const auto all = harmonics(i, 100);
    ASSERT_EQ(all.size(), 100u);
    for (int n = 1; n <= 100; ++n)
        EXPECT_NEAR(std::abs(all[size_t(n - 1)] - harmonic(i, n)), 0, 1e-12 * std::abs(harmonic(i, 1))) << n;
    EXPECT_TRUE(harmonics(i, 0).empty());
}

// Loss of `layers` foil layers, each `delta` skin depths thick, carrying the
// same current, over their DC loss: the field across layer k rises from
// (k−1)·H to k·H and the current density is its slope, found here from the
// diffusion equation and integrated numerically.
double fieldSolutionFactor(double delta, int layers) {
    using namespace std::complex_literals;
    const std::complex<double> g = (1.0 + 1i) * delta; // per layer thickness
    double sum = 0;
    const int steps = 4000;
    for (int k = 1; k <= layers; ++k) {
        const double h1 = k - 1, h2 = k;
        const auto b = (h2 - h1 * std::cosh(g)) / std::sinh(g);
        for (int s = 0; s <= steps; ++s) {
            const double x = double(s) / steps;
            const auto j = g * (h1 * std::sinh(g * x) + b * std::cosh(g * x));
            const double w = (s == 0 || s == steps) ? 1 : (s % 2 ? 4 : 2);
            sum += w * std::norm(j) / (3.0 * steps);
        }
    }
    return sum / layers; // DC: current density 1 in every layer
}

TEST(Dowell, MatchesTheFieldSolutionOfFoilLayers) {
    for (int m : {1, 2, 3, 5}) {
        for (double delta : {0.3, 0.8, 1.0, 2.0, 4.0}) {
            const double expected = fieldSolutionFactor(delta, m);
            EXPECT_NEAR(dowellFactor(delta, m), expected, 1e-6 * expected) << m << " layers, " << delta;
        }
    }
}

TEST(Dowell, LimitingCases) {
    // Low frequency: the DC resistance, whatever the layers.
    for (double m : {1.0, 4.0, 12.0}) {
        EXPECT_NEAR(dowellFactor(1e-4, m), 1.0, 1e-9);
        EXPECT_NEAR(dowellFactor(0.02, m), fieldSolutionFactor(0.02, int(m)), 1e-6);
    }
    // One foil layer far above its skin depth: the current crowds into one
    // skin depth, so the resistance is that of a foil δ thick.
    EXPECT_NEAR(dowellFactor(10, 1), 10, 1e-6);
    EXPECT_NEAR(dowellFactor(30, 1), 30, 1e-9);
    // Many layers: proximity grows with m² (Dowell's high-frequency limit Δ(2m²+1)/3).
    EXPECT_NEAR(dowellFactor(30, 4), 30 * (2 * 16 + 1) / 3.0, 1e-6);
    // Continuous across the switches between closed form and limits.
    EXPECT_NEAR(dowellFactor(0.0099999, 3), dowellFactor(0.0100001, 3), 1e-9);
    EXPECT_NEAR(dowellFactor(19.99999, 3) / dowellFactor(20.00001, 3), 1.0, 1e-5);
}

TEST(SkinDepth, CopperAt100kHz) {
    // Copper at 20 °C: about 0.21 mm at 100 kHz, falling with √f.
    EXPECT_NEAR(skinDepth(100e3, 20), 0.209e-3, 0.002e-3);
    EXPECT_NEAR(skinDepth(400e3, 20) / skinDepth(100e3, 20), 0.5, 1e-12);
    EXPECT_GT(skinDepth(100e3, 100), skinDepth(100e3, 20));
}

TEST(Shapes, LookUpByIecNameWithTheirGeometry) {
    const ShapeGeometry* etd = findShape("ETD 34/17/11");
    ASSERT_NE(etd, nullptr);
    EXPECT_EQ(etd->leg, Leg::Round);
    // ETD 34: centre leg 10.8 mm, window about 26 mm wide and 2 × 12.1 mm high.
    EXPECT_NEAR(etd->legWidth, 10.8e-3, 0.2e-3);
    EXPECT_NEAR(etd->room, (26e-3 - 10.8e-3) / 2, 0.4e-3);
    EXPECT_NEAR(etd->height, 24.2e-3, 0.4e-3);
    const ShapeGeometry* e = findShape("E 25/13/7");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->leg, Leg::Rect);
    EXPECT_GT(e->legDepth, 0);
    EXPECT_EQ(findShape("ETD 34"), nullptr);
    const ShapeGeometry* toroid = findShape("T 2.5/1.5/1");
    ASSERT_NE(toroid, nullptr);
    EXPECT_EQ(toroid->leg, Leg::None);
}

Waveform dc(double amps) {
    return {{0, amps}, {1e-5, amps}};
}

TEST(WindingLoss, DcResistanceWorkedByHand) {
    // 40 turns of 0.5 mm copper (0.54 mm over insulation) on ETD 34/17/11 at 20 °C.
    const ShapeGeometry& s = *findShape("ETD 34/17/11");
    const WindingsLoss r = windingLoss(s, std::vector<Winding>{{40, 0.5e-3, 0.54e-3, 1, dc(2)}}, 20);
    ASSERT_EQ(r.reason, Reason::None);
    // Former breadth 0.9 × window height; 40 turns of 0.54 mm per layer fit in it.
    EXPECT_EQ(r.windings[0].turnsPerLayer, std::floor(0.9 * s.height / 0.54e-3));
    EXPECT_EQ(r.windings[0].layers, 1);
    // Mean turn: round leg plus twice (former wall + half the build).
    const double mlt = kPi * (s.legWidth + 2 * (0.1 * s.room + 0.27e-3));
    EXPECT_NEAR(r.windings[0].meanTurn, mlt, 1e-12);
    EXPECT_NEAR(mlt, 40.5e-3, 0.3e-3); // about 40 mm around an ETD 34 leg
    const double rdc = 1.724e-8 * 40 * mlt / (kPi * 0.25e-3 * 0.25e-3);
    EXPECT_NEAR(r.windings[0].rdc, rdc, 1e-9 * rdc);
    EXPECT_NEAR(r.total, rdc * 4, 1e-9 * rdc);
}

TEST(WindingLoss, SlowCurrentLosesItsRmsInTheDcResistance) {
    const ShapeGeometry& s = *findShape("PQ 32/20");
    const Waveform tri{{0, 0}, {0.4, 3}, {1, 0}}; // 1 Hz
    const WindingsLoss r = windingLoss(s, std::vector<Winding>{{30, 0.6e-3, 0, 1, tri}}, 60);
    ASSERT_EQ(r.reason, Reason::None);
    EXPECT_NEAR(r.total, r.windings[0].rdc * rms(tri) * rms(tri), 1e-6 * r.total);
    EXPECT_NEAR(r.windings[0].dcLoss, r.total, 1e-6 * r.total);
}

TEST(WindingLoss, HarmonicsAndLayersRaiseTheLoss) {
    const ShapeGeometry& s = *findShape("ETD 34/17/11");
    const Waveform fast{{0, 0}, {4e-6, 3}, {4e-6, 0}, {10e-6, 0}};
    auto lossOf = [&](double turns, double d) {
        return windingLoss(s, std::vector<Winding>{{turns, d, 0, 1, fast}}, 80);
    };
    const auto thin = lossOf(40, 0.3e-3), thick = lossOf(40, 0.9e-3);
    ASSERT_EQ(thick.reason, Reason::None);
    EXPECT_GT(thin.total, thin.windings[0].dcLoss);   // some AC loss even in thin wire
    EXPECT_GT(thick.total / thick.windings[0].dcLoss, thin.total / thin.windings[0].dcLoss);
    EXPECT_GT(thick.windings[0].layers, 1);
}

TEST(WindingLoss, OuterWindingsHaveLongerTurnsAndTheWindowCanFill) {
    const ShapeGeometry& s = *findShape("ETD 29/16/10");
    const std::vector<Winding> two{{30, 0.5e-3, 0, 1, dc(1)}, {30, 0.5e-3, 0, 1, dc(1)}};
    const WindingsLoss r = windingLoss(s, two, 25);
    ASSERT_EQ(r.reason, Reason::None);
    EXPECT_GT(r.windings[1].meanTurn, r.windings[0].meanTurn);
    EXPECT_GT(r.windings[1].rdc, r.windings[0].rdc);
    const WindingsLoss full = windingLoss(s, std::vector<Winding>{{400, 1.0e-3, 0, 1, dc(1)}}, 25);
    EXPECT_EQ(full.reason, Reason::WindingDoesNotFit);
    EXPECT_EQ(windingLoss(s, std::vector<Winding>{{0, 1e-3, 0, 1, dc(1)}}, 25).reason, Reason::BadInput);
    EXPECT_EQ(windingLoss(*findShape("T 2.5/1.5/1"), two, 25).reason, Reason::ShapeNotSupported);
}

} // namespace
} // namespace kv::magnetics
