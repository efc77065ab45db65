#include "pfc_designer/PfcCalc.h"

#include <algorithm>
#include <cmath>

namespace k7350 {

namespace {
using kv::services::kPi;
using kv::services::kPi7;
constexpr double kSqrt2 = kv::services::kRoot2;
// The formulas' 9π, 2π and degrees per radian are formed with π to seven figures.
constexpr double kNineTimesPi = 9 * kPi7;
constexpr double kTwoPi = 2 * kPi7;
constexpr double kDegPerRad = 180 / kPi7;
constexpr double kMu0 = 4e-7 * kPi; // H/m
// The controller's voltage reference (V) and the current into its feedback
// pin at which the OVP trips (µA).
constexpr double kVref = 2.5;
constexpr double kOvpCurrent = 40;
} // namespace

Currents operatingCurrents(const Spec& s) {
    Currents c{};
    c.Pin = 100 * s.Pout / s.effic;
    c.Iout = 1000 * s.Pout / s.Vout;
    c.Iin_rms = c.Pin / (s.Vin_min * s.PFC);
    c.ILpk = 2 * kSqrt2 * c.Iin_rms;
    c.ILrms = 2 * c.Iin_rms / std::sqrt(3.0);
    c.ILac = std::sqrt(c.ILrms * c.ILrms - c.Iin_rms * c.Iin_rms);
    const double share = 4 * kSqrt2 * s.Vin_min / (kNineTimesPi * s.Vout);
    c.Isw_rms = c.ILpk * std::sqrt(1.0 / 6 - share);
    c.Id_rms = c.ILpk * std::sqrt(share);
    c.Rout = 1000 * s.Vout / c.Iout;
    return c;
}

bool minInputVoltOk(double vmin, double vmax) { return 80 < vmin && vmin < vmax; }
bool maxInputVoltOk(double vmin, double vmax) { return vmin < vmax && vmax < 500; }
bool outputVoltOk(double vout, double vmax) { return vout >= kSqrt2 * vmax; }
bool lineFreqOk(double f) { return 40 <= f && f <= 400; }
bool outputPowerOk(double pout) { return 0 < pout && pout <= 350; }
bool efficiencyOk(double eff) { return 60 <= eff && eff <= 100; }
bool switchingFreqOk(double f) { return 13 <= f && f <= 300; }
bool powerFactorOk(double pf) { return 0.7 <= pf && pf <= 1; }
bool ambientTempOk(double t) { return 0 <= t && t <= 85; }

double maxSenseResistance(double ILpk) { return kSenseLimit / ILpk; }
double currentLimit(double Rsense) { return kCurrentTrip / Rsense; }
bool senseResistanceOk(double Rsense, double Rsx) {
    return std::isfinite(Rsense) && Rsense > 0 && Rsense <= Rsx;
}

bool parallelCountOk(double count) { return count >= 1 && count == std::floor(count); }
double senseResistance(double single, double count) { return single / count; }
double senseDissipation(double Isw_rms, double Rsense, double count) {
    // Each resistor carries 1/count of the current: (I/n)²·(n·Rsense) = I²·Rsense/n.
    return Isw_rms * Isw_rms * Rsense / count;
}

double inductanceAt(double V, const Spec& s, double Pin) {
    return (s.Vout - kSqrt2 * V) * V * V / (2 * s.pwm_freq * Pin * s.Vout);
}

double maxInductance(const Spec& s, double Pin) {
    const double hi = inductanceAt(s.Vin_max, s, Pin), lo = inductanceAt(s.Vin_min, s, Pin);
    return lo < hi ? lo : hi;
}

double minFrequencyAt(double V, const Spec& s, double Pin, double trueL) {
    return (s.Vout - kSqrt2 * V) * V * V / (2 * trueL * Pin * s.Vout);
}

double minFrequency(const Spec& s, double Pin, double trueL) {
    const double hi = minFrequencyAt(s.Vin_max, s, Pin, trueL);
    const double lo = minFrequencyAt(s.Vin_min, s, Pin, trueL);
    return lo < hi ? lo : hi;
}

bool inductanceOk(double trueL, double L) { return trueL <= L && given(trueL) && std::isfinite(trueL); }

double halfCycleAngle(int i) { return kv::services::kPi3 * i / kFreqPoints; }
double halfCycleDegrees(int i) { return halfCycleAngle(i) * 180 / kPi; }

void frequencyCurve(double V, double Vout, double Pin, double trueL, double* out) {
    const double k = V * V / (2 * trueL * Pin);
    for (int i = 0; i < kFreqPoints; ++i)
        out[i] = (1 - kSqrt2 * V * std::sin(halfCycleAngle(i)) / Vout) * k;
}

double turns(double trueL, double maxIpk, double AE) { return 10 * trueL * maxIpk / (kPeakFlux * AE); }

double minCoreVolume(double maxIpk, double ML, double gap, double trueL) {
    // ½·L·I² = B²·Ve/(2·μ0·μe): Ve = μ0·μe·L·I²/B², in m³ with L in H
    const double ve = kMu0 * (ML / gap) * trueL * 1e-3 * maxIpk * maxIpk / (kPeakFlux * kPeakFlux);
    return ve * 1e6;
}

double wholeTurns(double Np) { return std::ceil(Np); }

double ratedVoltage(double Vout) { return kVoltageMargin * Vout; }
bool ronOk(double Ron) { return kLeastValue <= Ron && Ron <= kMaxRon; }
bool fallTimeOk(double Tf) { return kLeastValue <= Tf && Tf <= kMaxFallTime; }
bool drainCapOk(double Cd) { return kLeastValue <= Cd && Cd <= kMaxDrainCap; }

double simpson38(const double* y, int n, double h) {
    h = std::abs(h);
    double sum = 0;
    for (int k = 0; k + 3 < n; k += 3) sum += y[k] + 3 * y[k + 1] + 3 * y[k + 2] + y[k + 3];
    return h * 3 / 8 * sum;
}

double turnOffEnergy(double I, double tf, double C, double Vclamp) {
    if (!(I > 0)) return 0;
    // While the drain rises, the capacitance takes what the channel lets go: v = I·t²/(2·C·tf).
    if (I * tf / (2 * C) <= Vclamp) return I * I * tf * tf / (24 * C);
    // Clamped at t1: the channel then carries the rest of its fall at Vclamp.
    const double t1 = std::sqrt(2 * C * tf * Vclamp / I);
    const double rising = I * I / (2 * C * tf) * (t1 * t1 * t1 / 3 - t1 * t1 * t1 * t1 / (4 * tf));
    const double clamped = Vclamp * I * (tf - t1) * (tf - t1) / (2 * tf);
    return rising + clamped;
}

void mosfetLosses(const Spec& s, double Pin, double trueL, double Ron, double Tf, double Cd,
                  MosfetLosses& out) {
    std::array<double, kPhasePoints> seno, x, y;
    for (int n = 0; n < kPhasePoints; ++n) seno[n] = std::sin(kPhaseStep * n);
    const double tf = Tf * 1e-9, C = Cd * 1e-12; // s, F
    const double step = (s.Vin_max - s.Vin_min) / kLossPoints;
    for (int i = 0; i < kLossPoints; ++i) {
        const double V = s.Vin_min + i * step;
        out.in[i] = V;
        const double ipk = 2 * kSqrt2 * Pin / (V * s.PFC);
        out.Pcond[i] = (1.0 / 6 - 4 * kSqrt2 * V / (kNineTimesPi * s.Vout)) * ipk * ipk * 2 * Ron / 1000;
        for (int n = 0; n < kPhasePoints; ++n) {
            const double sn = seno[n];
            const double fsw = 1000 * V * V * (1 - kSqrt2 * V * sn / s.Vout) / (2 * trueL * Pin);
            // the switch turns the inductor's peak current off ...
            x[n] = turnOffEnergy(ipk * sn, tf, C, s.Vout) * fsw;
            // ... and turns on into the drain's valley, 2·v − Vout once the mains is above Vout/2
            const double valley = 2 * kSqrt2 * V * sn - s.Vout;
            y[n] = valley > 0 ? 0.5 * C * valley * valley * fsw : 0;
        }
        // averages over the half-cycle
        out.Psw[i] = simpson38(x.data(), kPhasePoints, kPhaseStep) / kPi;
        out.Pcap[i] = simpson38(y.data(), kPhasePoints, kPhaseStep) / kPi;
        out.Ptot[i] = out.Pcond[i] + out.Pcap[i] + out.Psw[i];
    }
}

double worstLoss(const MosfetLosses& l) {
    double worst = l.Ptot[0];
    for (double p : l.Ptot)
        if (p > worst || std::isnan(p)) worst = p;
    return worst;
}

double thermalResistance(double Tmax, double P) { return (kTjMax - Tmax) / P; }

double diodeCurrentRating(double Iout) { return kDiodeCurrentMargin * Iout; }

double diodeLoss(double Id_rms, double Rd, double Iout, double Vf) {
    return Id_rms * Id_rms * Rd / 1000 + Iout * Vf / 1000;
}

double inputCapacitance(double Iin_rms, double f, double rip, double Vin_min) {
    return 1e6 * Iin_rms / (kTwoPi * f * (rip / 100) * Vin_min);
}

OutputCap outputCapacitance(const Spec& s, double Iout, double Thold, double delta, double Vomin) {
    OutputCap c{};
    c.C1 = 1000 * Iout / (kTwoPi * s.line_freq * delta);
    c.C2 = 1000 * 2 * s.Pout * Thold / (s.Vout * s.Vout - Vomin * Vomin);
    c.Cout = c.C1 > c.C2 ? c.C1 : c.C2;
    return c;
}

double outputCapRipple(double Id_rms, double Iout) {
    return std::sqrt(Id_rms * Id_rms - (Iout / 1000) * (Iout / 1000));
}

bool holdUpMinimumLow(double Vomin, double Vout) { return Vomin < kLowHoldUpShare * Vout; }

Multiplier multiplierDivider(const Spec& s, double ILpk, double Rsense) {
    Multiplier m{};
    m.Vmult_max = ILpk * Rsense * s.Vin_max / (1650 * s.Vin_min);
    m.Kp = m.Vmult_max / (kSqrt2 * s.Vin_max);
    m.Rlwmult = 1000 * m.Vmult_max / 200;
    m.Rupmult = upperResistor(m.Kp, m.Rlwmult);
    return m;
}

double upperResistor(double Kp, double Rlow) { return (1 - Kp) * Rlow / Kp; }
double dividerRatio(double Rlow, double Rup) { return Rlow / (Rup + Rlow); }
bool multiplierDividerOk(double trueRup, double Rup, double Rlow) { return trueRup >= Rup && given(Rlow); }
bool multiplierUnderused(double effKp, double Kp) { return effKp < kLeastMultiplierUse * Kp; }

double maxAuxRatio(double Vout, double Vin_max) { return (Vout - kSqrt2 * Vin_max) / 2.415; }

double zcdResistorPositive(double Vout, double actR) { return (Vout / actR - 4.7) / 3; }
double zcdResistorNegative(double Vin_max, double actR) { return (kSqrt2 * Vin_max / actR + 1) / 3; }
double minZcdResistor(double Vout, double Vin_max, double actR) {
    const double rz1 = zcdResistorPositive(Vout, actR), rz2 = zcdResistorNegative(Vin_max, actR);
    return rz1 > rz2 ? rz1 : rz2;
}

bool zcdWindingOk(double Rzcd, double Rz, double actR, double naux) {
    return Rzcd >= Rz && given(actR) && actR <= naux;
}

double upperFeedback(double OVP) { return 1000 * OVP / kOvpCurrent; }
double lowerFeedback(double Rhigh, double Vout) { return kVref * Rhigh / (Vout - kVref); }
double dividerOutput(double RHeff, double RLeff) { return kVref * (RHeff / RLeff + 1); }
bool feedbackGiven(double RHeff, double RLeff) { return given(RHeff) && given(RLeff); }
bool outputVoltageInBand(double Voutnom, double Vout) {
    return !(Voutnom < kOutputLow * Vout || Voutnom > kOutputHigh * Vout);
}
bool setPointVoltageOk(double VAC, double Vin_min, double Vin_max) { return Vin_min <= VAC && VAC <= Vin_max; }
bool setPointPowerOk(double Po, double Pout) { return Po <= Pout; }

const std::array<double, 13> kMultCoeff = {
    4.37e-06, -0.000182158, 0.00355342, -0.04308585, 0.363531,  -2.261859, 10.7095456,
    -39.12698, 110.0591,    -233.2145,  353.378,     -341.515,  156.708};

double multiplierGain(double x) {
    double v = 0;
    for (double c : kMultCoeff) v = v * x + c;
    return v;
}

double multiplierSlope(double x) {
    double v = 0;
    for (int i = 0; i < 12; ++i) v = v * x + (12 - i) * kMultCoeff[i];
    return v;
}

OperatingPoint operatingPoint(double Rsense, double Po, double effic, double PFC, double VAC,
                              double effKp) {
    OperatingPoint op;
    if (!(effKp > 0) || !(VAC > 0) || !std::isfinite(effKp) || !std::isfinite(VAC)) return op;
    // The sense voltage at the crest: Rsense (mΩ) times twice the crest of the line current.
    const double coff = 0.2 * kSqrt2 * Rsense * Po / (effic * PFC * VAC);
    const double scale = kSqrt2 * VAC * effKp;
    const double target = coff / scale;
    double lo = 2.5, hi = 5.3;
    const double glo = multiplierGain(lo) - target, ghi = multiplierGain(hi) - target;
    if (!std::isfinite(target) || !(glo <= 0 && ghi >= 0)) return op;
    for (int k = 0; k < 200 && hi - lo > 1e-13; ++k) {
        const double mid = 0.5 * (lo + hi);
        if (multiplierGain(mid) - target < 0) lo = mid;
        else hi = mid;
    }
    op.ok = true;
    op.V2 = 0.5 * (lo + hi);
    op.KM = scale * multiplierSlope(op.V2);
    return op;
}

void frequencyGrid(Loop& l) {
    for (int w = 0; w < kLoopPoints; ++w) l.ff[w] = std::pow(10.0, 4.0 * w / 1000 - 1);
}

bool powerStage(Loop& l, int load, double KM, double VAC, double Vout, double Rsense,
                double truCout, double Rout) {
    if (load != kConstantPowerLoad && load != kResistiveLoad) return false;
    for (int w = 0; w < kLoopPoints; ++w) {
        const double f = l.ff[w];
        if (load == kConstantPowerLoad) {
            l.MG[w] = kSqrt2 * KM * VAC / (1e-9 * kPi7 * 2 * 4 * Vout * Rsense * f * truCout);
            l.FG[w] = -90;
        } else {
            const double a = 1e-6 * kTwoPi * f * truCout * Rout / 2;
            l.MG[w] = kSqrt2 * KM * VAC * Rout / (std::sqrt(a * a + 1) * 0.001 * 8 * Vout * Rsense);
            l.FG[w] = -kDegPerRad * std::atan(a);
        }
    }
    return true;
}

bool compensation(Loop& l, int top, double C1, double R1, double C2) {
    if (!knownTopology(top)) return false;
    for (int w = 0; w < kLoopPoints; ++w) {
        const double om = kTwoPi * l.ff[w];
        if (top == kTopC1) {
            l.MH[w] = 1 / (1e-6 * om * C1);
            l.FH[w] = -90;
        } else if (top == kTopR1C1) {
            const double b = 1e-3 * om * C1 * R1;
            l.MH[w] = std::sqrt(b * b + 1) / (1e-6 * om * C1);
            l.FH[w] = kDegPerRad * std::atan(b) - 90;
        } else {
            const double b = 0.001 * om * R1 * C1;
            const double c = 0.001 * om * R1 * C1 * C2 / (C1 + C2);
            l.MH[w] = std::sqrt(b * b + 1) / (1e-6 * om * (C1 + C2)) / std::sqrt(c * c + 1);
            l.FH[w] = (std::atan(b) - std::atan(c)) * kDegPerRad - 90;
        }
    }
    return true;
}

bool knownTopology(int top) { return top == kTopC1 || top == kTopR1C1 || top == kTopR1C1C2; }
bool usesR1(int top) { return top >= kTopR1C1; }
bool usesC2(int top) { return top >= kTopR1C1C2; }

bool compensationComplete(int top, double C1, double R1, double C2) {
    return given(C1) && (!usesR1(top) || given(R1)) && (!usesC2(top) || given(C2));
}

void loopGain(Loop& l, double RHeff) {
    for (int w = 0; w < kLoopPoints; ++w) {
        l.MF[w] = 20 * std::log10(l.MG[w] * l.MH[w] / (1000 * RHeff));
        l.FF[w] = l.FG[w] + l.FH[w];
    }
}

Crossover crossover(const Loop& l) {
    Crossover c;
    for (int w = 1; w < kLoopPoints; ++w) {
        const double a = l.MF[w - 1], b = l.MF[w];
        if (!(std::isfinite(a) && std::isfinite(b)) || !(a > 0 && b <= 0)) continue;
        const double t = a / (a - b);
        const double la = std::log10(l.ff[w - 1]), lb = std::log10(l.ff[w]);
        c.f = std::pow(10.0, la + t * (lb - la));
        c.margin = 180 + l.FF[w - 1] + t * (l.FF[w] - l.FF[w - 1]);
        c.ok = std::isfinite(c.margin);
        return c;
    }
    return c;
}

double rippleFrequency(double lineFreq) { return 2 * lineFreq; }
double maxCrossover(double lineFreq) { return rippleFrequency(lineFreq) / 4; }

} // namespace k7350
