// K7350's formulas and checks in PfcCalc, by worked examples and by the
// circuits they describe.
#include "pfc_designer/Design.h"
#include "pfc_designer/PfcCalc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace k7350 {
namespace {

TEST(PfcSense, ABankOfEqualResistorsSharesTheCurrent) {
    for (double n : {1.0, 2.0, 5.0}) EXPECT_TRUE(parallelCountOk(n)) << n;
    for (double n : {0.0, -1.0, 2.5, 0.999}) EXPECT_FALSE(parallelCountOk(n)) << n;
    // Two 470 mΩ resistors make 235 mΩ; 2 A rms through the bank is 1 A in
    // each, which dissipates 1 A² · 470 mΩ = 470 mW.
    EXPECT_DOUBLE_EQ(senseResistance(470, 2), 235);
    EXPECT_DOUBLE_EQ(senseDissipation(2, senseResistance(470, 2), 2), 470);
    // Whatever the count, the bank dissipates I²·Rsense in all.
    for (double n : {1.0, 3.0, 7.0}) {
        const double Rsense = senseResistance(330, n);
        EXPECT_NEAR(n * senseDissipation(1.5, Rsense, n), 1.5 * 1.5 * Rsense, 1e-9) << n;
    }
}

TEST(PfcRatings, TwentyPercentAboveTheOutputAndThreeTimesItsCurrent) {
    EXPECT_DOUBLE_EQ(ratedVoltage(400), 480);
    EXPECT_DOUBLE_EQ(diodeCurrentRating(250), 750);
    // Each MOSFET entry from 0.001 up to its limit, both ends included.
    EXPECT_TRUE(ronOk(kLeastValue));
    EXPECT_TRUE(ronOk(1000));
    EXPECT_FALSE(ronOk(0));
    EXPECT_FALSE(ronOk(1000.5));
    EXPECT_TRUE(fallTimeOk(200));
    EXPECT_FALSE(fallTimeOk(201));
    EXPECT_TRUE(drainCapOk(2000));
    EXPECT_FALSE(drainCapOk(2001));
    EXPECT_FALSE(drainCapOk(NAN));
}

TEST(PfcInductor, TurnsAreWholeAndTheHalfCycleIsTakenAs314Rad) {
    EXPECT_EQ(wholeTurns(12), 12);
    EXPECT_EQ(wholeTurns(12.01), 13);
    EXPECT_DOUBLE_EQ(halfCycleAngle(0), 0);
    EXPECT_NEAR(halfCycleAngle(kFreqPoints), 3.14, 1e-12);
    // 3.14 rad is 179.909°, not quite the half-cycle's 180°.
    EXPECT_NEAR(halfCycleDegrees(kFreqPoints), 3.14 * 180 / std::numbers::pi, 1e-9);
    EXPECT_NEAR(halfCycleDegrees(kFreqPoints / 2), 89.954, 1e-3);
}

TEST(PfcOutputCap, AHoldUpMinimumBelowEightyPercentIsLow) {
    EXPECT_TRUE(holdUpMinimumLow(319, 400));
    EXPECT_FALSE(holdUpMinimumLow(320, 400));
    EXPECT_FALSE(holdUpMinimumLow(390, 400));
}

TEST(PfcMultiplier, TheDividerGivesTheRatioItWasChosenFor) {
    for (double Kp : {0.05, 0.2, 0.5}) {
        const double Rup = upperResistor(Kp, 10);
        EXPECT_NEAR(dividerRatio(10, Rup), Kp, 1e-12) << Kp;
        EXPECT_TRUE(multiplierDividerOk(Rup, Rup, 10));
        EXPECT_FALSE(multiplierDividerOk(0.99 * Rup, Rup, 10));
        EXPECT_FALSE(multiplierDividerOk(Rup, Rup, 0));
    }
    EXPECT_TRUE(multiplierUnderused(0.069, 0.1));
    EXPECT_FALSE(multiplierUnderused(0.07, 0.1));
}

TEST(PfcZcd, TheLeastResistorKeepsThePinCurrentWithin3mABothWays) {
    // 400 V out, 264 V rms at most, a ratio of 10: 35.3 V positive over 4.7 V,
    // 37.3 V negative plus 1 V.
    const double Rz = minZcdResistor(400, 264, 10); // kΩ
    const double positive = (400.0 / 10 - 4.7) / Rz, negative = (std::sqrt(2.0) * 264 / 10 + 1) / Rz; // mA
    EXPECT_LE(positive, 3 + 1e-9);
    EXPECT_LE(negative, 3 + 1e-9);
    EXPECT_NEAR(std::max(positive, negative), 3, 1e-9);
    EXPECT_NEAR(zcdResistorPositive(400, 10), 11.77, 0.005);
    EXPECT_NEAR(zcdResistorNegative(264, 10), 12.78, 0.005);
    EXPECT_EQ(Rz, std::max(zcdResistorPositive(400, 10), zcdResistorNegative(264, 10)));
    // The step closes with a ratio at most the maximum and a resistor at least the least.
    EXPECT_TRUE(zcdWindingOk(Rz, Rz, 10, 11));
    EXPECT_TRUE(zcdWindingOk(Rz, Rz, 11, 11));
    EXPECT_FALSE(zcdWindingOk(Rz, Rz, 11.5, 11));
    EXPECT_FALSE(zcdWindingOk(0.9 * Rz, Rz, 10, 11));
    EXPECT_FALSE(zcdWindingOk(Rz, Rz, 0, 11));
}

TEST(PfcFeedback, TheDividerSetsTheOutputAndTheOvpCurrentItsUpperResistor) {
    // 40 V of overvoltage drive 40 µA through 1 MΩ.
    EXPECT_DOUBLE_EQ(upperFeedback(kPresetOvp), 1000);
    for (double Vout : {380.0, 400.0}) {
        const double Rh = upperFeedback(40), Rl = lowerFeedback(Rh, Vout);
        EXPECT_NEAR(dividerOutput(Rh, Rl), Vout, 1e-9 * Vout);
        EXPECT_TRUE(outputVoltageInBand(dividerOutput(Rh, Rl), Vout));
    }
    EXPECT_TRUE(outputVoltageInBand(360, 400));
    EXPECT_TRUE(outputVoltageInBand(440, 400));
    EXPECT_FALSE(outputVoltageInBand(359.9, 400));
    EXPECT_FALSE(outputVoltageInBand(440.1, 400));
    EXPECT_TRUE(feedbackGiven(1000, 6.3));
    EXPECT_FALSE(feedbackGiven(1000, 0));
    EXPECT_FALSE(feedbackGiven(0, 6.3));
    // The loop's set point within the input conditions, the ends included.
    EXPECT_TRUE(setPointVoltageOk(90, 90, 264));
    EXPECT_TRUE(setPointVoltageOk(264, 90, 264));
    EXPECT_FALSE(setPointVoltageOk(265, 90, 264));
    EXPECT_FALSE(setPointVoltageOk(89, 90, 264));
    EXPECT_TRUE(setPointPowerOk(100, 100));
    EXPECT_FALSE(setPointPowerOk(101, 100));
    // 50 Hz mains: 100 Hz of ripple, a crossover of 25 Hz at most.
    EXPECT_DOUBLE_EQ(rippleFrequency(50), 100);
    EXPECT_DOUBLE_EQ(maxCrossover(50), 25);
}

TEST(PfcCompensation, EachTopologyIsTheImpedanceOfItsParts) {
    EXPECT_FALSE(knownTopology(-1));
    EXPECT_FALSE(knownTopology(3));
    EXPECT_TRUE(compensationComplete(kTopC1, 1, 0, 0));
    EXPECT_FALSE(compensationComplete(kTopR1C1, 1, 0, 0));
    EXPECT_TRUE(compensationComplete(kTopR1C1, 1, 100, 0));
    EXPECT_FALSE(compensationComplete(kTopR1C1C2, 1, 100, 0));
    EXPECT_TRUE(compensationComplete(kTopR1C1C2, 1, 100, 0.1));
    EXPECT_FALSE(compensationComplete(kTopC1, 0, 100, 0.1));
    Loop l{};
    frequencyGrid(l);
    EXPECT_FALSE(compensation(l, 3, 1, 100, 0.1));
    // C1 = 1 µF, R1 = 100 kΩ, C2 = 0.1 µF: the amplifier's feedback impedance in Ω.
    const double C1 = 1e-6, R1 = 100e3, C2 = 0.1e-6;
    for (int top : {kTopC1, kTopR1C1, kTopR1C1C2}) {
        ASSERT_TRUE(compensation(l, top, 1, 100, 0.1));
        for (int w : {0, 250, 500, 750, 1000}) {
            const std::complex<double> jw(0, 2 * std::numbers::pi * l.ff[w]);
            const std::complex<double> c1 = 1.0 / (jw * C1), c2 = 1.0 / (jw * C2);
            std::complex<double> Z = top == kTopC1 ? c1 : R1 + c1;
            if (top == kTopR1C1C2) Z = Z * c2 / (Z + c2);
            // π is taken to seven figures: within a few parts per million.
            EXPECT_NEAR(l.MH[w], std::abs(Z), 5e-6 * std::abs(Z)) << top << " " << w;
            EXPECT_NEAR(l.FH[w], std::arg(Z) * 180 / std::numbers::pi, 1e-3) << top << " " << w;
        }
    }
}

TEST(PfcLoad, OnlyTheTwoLoadsHaveAPowerStage) {
    Loop l{};
    frequencyGrid(l);
    EXPECT_TRUE(powerStage(l, kConstantPowerLoad, 1, 230, 400, 235, 100, 1600));
    EXPECT_EQ(l.FG[500], -90);
    EXPECT_TRUE(powerStage(l, kResistiveLoad, 1, 230, 400, 235, 100, 1600));
    EXPECT_GT(l.FG[0], -90);
    EXPECT_FALSE(powerStage(l, 2, 1, 230, 400, 235, 100, 1600));
}

TEST(PfcChoices, CalculateLeavesEveryStepUnchosen) {
    static_assert(kChoices == 7);
    for (double flag : kNoChoices) EXPECT_EQ(flag, kNotChosen);
    EXPECT_LT(kNotChosen, kChosen);
}

} // namespace
} // namespace k7350
