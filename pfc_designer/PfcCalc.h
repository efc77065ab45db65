// The boost PFC pre-regulator computations: plain numbers in, plain numbers
// out. A division by zero gives a value that is not finite; the panels show
// it as "---" and graphs leave a gap.
#pragma once

#include "services/Constants.h"

#include <array>
#include <vector>

namespace k7350 {

// A chosen part, ratio or inductance counts as given from this value up
// (below it, nothing has been entered); the unit is the field's own.
constexpr double kLeastValue = 0.001;
inline bool given(double v) { return v >= kLeastValue; }

struct Spec {
    double Vin_min = 90, Vin_max = 264, line_freq = 50, Vout = 400, Pout = 100, effic = 95,
           pwm_freq = 40, PFC = 0.99, Tmax = 50;
    bool operator==(const Spec&) const = default;
};

// ---- input conditions ---------------------------------------------------------

struct Currents {
    double Pin, Iout, Iin_rms, ILpk, ILrms, ILac, Isw_rms, Id_rms, Rout;
};
Currents operatingCurrents(const Spec& s);

// The checks of the nine input fields.
bool minInputVoltOk(double vmin, double vmax);
bool maxInputVoltOk(double vmin, double vmax);
bool lineFreqOk(double f);       // 40 … 400 Hz
bool outputVoltOk(double vout, double vmax);
bool outputPowerOk(double pout); // above 0, at most 350 W
bool efficiencyOk(double eff);
bool switchingFreqOk(double f);
bool powerFactorOk(double pf);
bool ambientTempOk(double t);

// ---- sense resistor and boost inductor -------------------------------------------

constexpr double kSenseLimit = 1600; // mV across the sense resistance at the peak current
constexpr double kCurrentTrip = 1800; // mV at which the current limit trips
double maxSenseResistance(double ILpk);            // mΩ
double currentLimit(double Rsense);                // A
bool senseResistanceOk(double Rsense, double Rsx); // finite, > 0 and <= Rsx
// `count` equal resistors of `single` mΩ in parallel (a whole number from 1 up).
bool parallelCountOk(double count);
double senseResistance(double single, double count); // mΩ
// What each of them dissipates with the switch's rms current through all (mW).
double senseDissipation(double Isw_rms, double Rsense, double count);

// Largest inductance keeping the switching frequency above pwm_freq at V (mH).
double inductanceAt(double V, const Spec& s, double Pin);
double maxInductance(const Spec& s, double Pin);   // the smaller of the two mains extremes
double minFrequencyAt(double V, const Spec& s, double Pin, double trueL); // kHz
double minFrequency(const Spec& s, double Pin, double trueL);
bool inductanceOk(double trueL, double L);

constexpr int kFreqPoints = 10000;
// Line angle of sample i of the half-cycle (rad; the half-cycle is taken as
// 3.14 rad) and in degrees.
double halfCycleAngle(int i);
double halfCycleDegrees(int i);
// Switching frequency over a line half-cycle at mains voltage V (kHz).
void frequencyCurve(double V, double Vout, double Pin, double trueL, double* out);

// The core entered: area (cm²), magnetic path (mm) and gap (mm) from 0 up to these.
constexpr double kMaxCoreArea = 4, kMaxPathLength = 400, kMaxGap = 4;

// The inductor's peak flux density at the current-limit trip (T).
constexpr double kPeakFlux = 0.35;
double turns(double trueL, double maxIpk, double AE); // for kPeakFlux at maxIpk
// Least core volume (cm³) of a gapped core (path ML and gap in mm, so μe ≈ ML/gap)
// that stores ½·L·maxIpk² (trueL in mH) at kPeakFlux.
double minCoreVolume(double maxIpk, double ML, double gap, double trueL);
// The turns to wind: whole, at least as many as the flux allows.
double wholeTurns(double Np);

// ---- MOSFET ---------------------------------------------------------------------

// The MOSFET's breakdown and the diode's reverse voltage: 20 % above the output (V).
constexpr double kVoltageMargin = 1.2;
double ratedVoltage(double Vout);
// The entries of the MOSFET: Rds(on) (mΩ), current fall time (ns) and drain
// capacitance (as entered), each from kLeastValue up to its limit.
constexpr double kMaxRon = 1000, kMaxFallTime = 200, kMaxDrainCap = 2000;
bool ronOk(double Ron);
bool fallTimeOk(double Tf);
bool drainCapOk(double Cd);

constexpr int kLossPoints = 1000;
// Samples of the mains half-cycle, 0 to π inclusive, and their spacing.
constexpr int kPhasePoints = 100;
constexpr double kPhaseStep = kv::services::kPi / (kPhasePoints - 1);

// Composite Simpson's 3/8 rule over n samples (n − 1 a multiple of 3 is used
// in full; a remainder of one or two intervals is left out), step |h|.
double simpson38(const double* y, int n, double h);

// Energy (J) lost in the channel when it turns current I (A) off in a linear fall
// of tf (s) while the inductor current charges the drain capacitance C (F): the
// drain rises as I·t²/(2·C·tf) until the diode clamps it at Vclamp (V).
double turnOffEnergy(double I, double tf, double C, double Vclamp);

struct MosfetLosses {
    std::array<double, kLossPoints> in, Pcond, Psw, Pcap, Ptot;
};
// Ron mΩ, Tf ns, Cd as entered (Cd/1000 nF). The turn-off and capacitive losses
// are averaged over the mains half-cycle.
void mosfetLosses(const Spec& s, double Pin, double trueL, double Ron, double Tf, double Cd,
                  MosfetLosses& out);
double worstLoss(const MosfetLosses& l); // the largest total over the mains range
constexpr double kTjMax = 125;
double thermalResistance(double Tmax, double P);

// ---- diode and capacitors -------------------------------------------------------------

// The diode's current rating: three times the average output current (mA).
constexpr double kDiodeCurrentMargin = 3;
double diodeCurrentRating(double Iout);
double diodeLoss(double Id_rms, double Rd, double Iout, double Vf); // W
double inputCapacitance(double Iin_rms, double f, double rip, double Vin_min); // nF
struct OutputCap {
    double C1, C2, Cout;
};
OutputCap outputCapacitance(const Spec& s, double Iout, double Thold, double delta, double Vomin);
double outputCapRipple(double Id_rms, double Iout); // A
// A chosen output capacitance from 1 µF up closes the step.
constexpr double kLeastOutputCap = 1;
// A hold-up minimum below 0.8 of the output voltage asks for a large capacitor.
constexpr double kLowHoldUpShare = 0.8;
bool holdUpMinimumLow(double Vomin, double Vout);

// ---- multiplier, ZCD, feedback ------------------------------------------------------

struct Multiplier {
    double Vmult_max, Kp, Rlwmult, Rupmult;
};
Multiplier multiplierDivider(const Spec& s, double ILpk, double Rsense);
double upperResistor(double Kp, double Rlow);
double dividerRatio(double Rlow, double Rup);
// The chosen divider: an upper resistor at least the one suggested, a lower one given.
bool multiplierDividerOk(double trueRup, double Rup, double Rlow);
// A chosen ratio below 0.7 of the suggested one leaves much of the multiplier's range unused.
constexpr double kLeastMultiplierUse = 0.7;
bool multiplierUnderused(double effKp, double Kp);

double maxAuxRatio(double Vout, double Vin_max);
// The least ZCD resistor (kΩ) for the auxiliary winding of turns ratio actR:
// the current into the pin stays within 3 mA both while the winding swings
// positive (Vout/actR against 4.7 V) and negative (√2·Vin_max/actR, 1 V more);
// the larger of the two.
double zcdResistorPositive(double Vout, double actR);
double zcdResistorNegative(double Vin_max, double actR);
double minZcdResistor(double Vout, double Vin_max, double actR);
// The auxiliary winding's step closes with a ratio given and at most naux, and
// a resistor at least Rz.
bool zcdWindingOk(double Rzcd, double Rz, double actR, double naux);
// The ZCD circuit (step 8's ring): an auxiliary winding on the inductor, or
// an RC network from the drain.
constexpr double kZcdWinding = 0, kZcdRcNetwork = 1;
// The RC network of the ZCD input: the bill of materials' standard parts.
constexpr double kZcdRcCapacitance = 33; // pF
constexpr double kZcdRcResistance = 330; // kΩ

// The OVP margin (V) the feedback step starts from.
constexpr double kPresetOvp = 40;
double upperFeedback(double OVP);                     // kΩ
double lowerFeedback(double Rhigh, double Vout);      // kΩ
double dividerOutput(double RHeff, double RLeff);     // V
// Both feedback resistors given.
bool feedbackGiven(double RHeff, double RLeff);
// The output the chosen divider sets lies within ±10 % of Vout (the ends included).
constexpr double kOutputLow = 0.9, kOutputHigh = 1.1;
bool outputVoltageInBand(double Voutnom, double Vout);
// The loop's set point: a mains voltage within the input range, a power at most Pout.
bool setPointVoltageOk(double VAC, double Vin_min, double Vin_max);
bool setPointPowerOk(double Po, double Pout);

// The multiplier characteristic g(x), x the error-amplifier output (V).
extern const std::array<double, 13> kMultCoeff;
double multiplierGain(double x);
double multiplierSlope(double x);
struct OperatingPoint {
    bool ok = false;
    double V2 = 0, KM = 0;
};
// Solves g(V2) = coff/(√2·VAC·effKp) on 2.5 … 5.3 V.
OperatingPoint operatingPoint(double Rsense, double Po, double effic, double PFC, double VAC,
                              double effKp);

constexpr int kLoopPoints = 1001;
struct Loop {
    std::array<double, kLoopPoints> ff, MG, FG, MH, FH, MF, FF;
};
void frequencyGrid(Loop& l);
// The load the loop is taken at (step 9's ring).
constexpr int kConstantPowerLoad = 0, kResistiveLoad = 1;
// False for any other load.
bool powerStage(Loop& l, int load, double KM, double VAC, double Vout, double Rsense,
                double truCout, double Rout);
// The error amplifier's compensation (step 9's ring): C1, R1 + C1, or
// R1 + C1 with C2 across.
constexpr int kTopC1 = 0, kTopR1C1 = 1, kTopR1C1C2 = 2;
bool knownTopology(int top);
bool usesR1(int top);
bool usesC2(int top);
// False for any other topology.
bool compensation(Loop& l, int top, double C1, double R1, double C2);
// The parts topology `top` uses are all given.
bool compensationComplete(int top, double C1, double R1, double C2);
void loopGain(Loop& l, double RHeff);
struct Crossover {
    bool ok = false;
    double f = 0, margin = 0; // Hz, degrees
};
// First fall of the loop gain through 0 dB, interpolated on the log grid.
Crossover crossover(const Loop& l);
// The voltage loop must stay clear of the output's ripple at twice the line
// frequency (it would shape the input current): crossover at most a quarter
// of it, with a phase margin of at least 45°.
constexpr double kMinPhaseMargin = 45;
double rippleFrequency(double lineFreq); // Hz
double maxCrossover(double lineFreq);    // Hz

} // namespace k7350
