#include "graphic_flyback/FlybackDesign.h"

#include "services/Magnetics.h"
#include "services/PowerStage.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kv::graphic {

namespace {
namespace mag = services::magnetics;
namespace power = services::power;
constexpr double kRoot2 = mag::kMainsRoot2;
// The clamp capacitor's voltage ripple, as a share of Vz.
constexpr double kClampRipple = 0.03;
using mag::roundHalfDown;
using mag::roundUp;

double inputPower(const FlybackDesign& d) { return double(d.Vo) * d.Io * 100.0 / d.Efficiency; }
Outcome compute(FlybackDesign& d, Derive how);
} // namespace

std::span<const DesignInput> designInputs() {
    using R = services::Range;
    using FD = FlybackDesign;
    static const DesignInput kInputs[] = {
        {"VacMin", &FD::VacMin, R::Positive, -1}, {"VacMax", &FD::VacMax, R::Positive, -1},
        {"fLine", &FD::fLine, R::Positive, -1},   {"Efficiency", &FD::Efficiency, R::Percent, -1},
        {"Vo", &FD::Vo, R::Positive, -1},         {"Io", &FD::Io, R::Positive, -1},
        {"Vopp", &FD::Vopp, R::Positive, -1},     {"PerVinpp", &FD::PerVinpp, R::Share, 10},
        {"Cin", &FD::Cin, R::Positive, 11},       {"fosc", &FD::fosc, R::Positive, -1},
        {"Dmax", &FD::Dmax, R::Fraction, -1},     {"r", &FD::r, R::Positive, 0},
        {"Tdie", &FD::Tdie, R::Share, 1},         {"Ae", &FD::Ae, R::Positive, -1},
        {"Le", &FD::Le, R::Positive, -1},         {"Bpk", &FD::Bpk, R::Positive, -1},
        {"Bsat", &FD::Bsat, R::Positive, -1},     {"Cmil", &FD::Cmil, R::Positive, -1},
        {"Vor", &FD::Vor, R::Positive, -1},       {"PerLLK", &FD::PerLLK, R::Positive, -1},
        {"Vz", &FD::Vz, R::Positive, -1},         {"Vdo", &FD::Vdo, R::NonNegative, -1},
        {"Vf", &FD::Vf, R::Positive, -1},         {"Vdf", &FD::Vdf, R::NonNegative, -1},
        {"VMos", &FD::VMos, R::Positive, -1},
    };
    return kInputs;
}

std::optional<InputProblem> firstBadInput(const FlybackDesign& d) {
    for (const DesignInput& n : designInputs()) {
        const bool applies = n.only < 0 || (n.only < 10 ? n.only == (d.Mode == 0 ? 0 : 1) : n.only - 10 == d.CinMode);
        if (applies && !services::inRange(n.range, d.*n.value)) return InputProblem{n.key, n.range};
    }
    return std::nullopt;
}

float searchVdcMin(const FlybackDesign& d) {
    const double vpk = double(d.VacMin) * kRoot2;
    const double p2 = 2.0 * inputPower(d);
    constexpr int kEntries = 5000;
    std::vector<double> table(kEntries, 1000.0);
    const double nd = vpk * 10.0;
    const long n = std::isfinite(nd) && nd > 0 ? long(std::min(nd, 1e9)) : 0;
    float v = 0.1f; // single precision: the steps carry its rounding
    for (long i = 1; i <= n - 1; ++i) {
        // Twice the energy the capacitor gives from the crest down to v, and twice what the load takes meanwhile.
        const double e = double(d.Cin) * 1e-6 * (vpk * vpk - double(v) * v);
        const double f = p2 * power::holdTime(double(v), vpk, double(d.fLine));
        if (i < kEntries) table[size_t(i)] = std::fabs(e - f);
        else break; // entries past the table are not kept
        v = v + 0.1f;
    }
    int best = 1;
    for (int i = 2; i < kEntries; ++i)
        if (table[size_t(i)] < table[size_t(best)]) best = i;
    return float(best * 0.1);
}

Outcome recalculate(FlybackDesign& d, Derive how) {
    // The inputs written back keep their values when the design is refused or
    // gives them none: a corrected entry finds them again.
    const FlybackDesign typed = d;
    const bool refused = firstBadInput(typed).has_value();
    Outcome out = compute(d, how);
    for (float FlybackDesign::*input : {&FlybackDesign::Vor, &FlybackDesign::Dmax, &FlybackDesign::PerVinpp,
                                        &FlybackDesign::Cin, &FlybackDesign::Vf})
        if (refused || !std::isfinite(d.*input)) d.*input = typed.*input;
    return out;
}

namespace {
Outcome compute(FlybackDesign& d, Derive how) {
    Outcome out;
    const double vpk = double(d.VacMin) * kRoot2;
    const double eta = d.Efficiency * 0.01;

    // Step 1: lowest DC input and bulk capacitor.
    if (d.CinMode == 0) {
        d.VdcMin = float(vpk * (1.0 - d.PerVinpp * 0.01));
        d.Cin = float(power::bulkCapacitance(inputPower(d), vpk, double(d.VdcMin), double(d.fLine)) * 1e6);
    } else {
        // Even emptied to 0 V the capacitor would not reach the next half wave.
        out.bulkEmpties = double(d.Cin) * 1e-6 * vpk * vpk <
                          2.0 * inputPower(d) * power::holdTime(0.0, vpk, double(d.fLine));
        d.VdcMin = searchVdcMin(d);
        d.PerVinpp = float((vpk - d.VdcMin) * 100.0 / vpk);
    }

    // Step 2: turns ratio or duty cycle.
    const auto vorCheck = [&] {
        if (d.Vor >= d.Vz) out.vorError = true;
    };
    const auto margin = [&] { d.Vswy = float(d.VMos - d.VacMax * kRoot2 - d.Vz); };
    double n = 0;
    const bool dcm = d.Mode == 1;
    if (how == Derive::FromDuty) {
        if (!dcm) {
            d.Iin = float(double(d.Vo) * d.Io * 100.0 / d.Efficiency / d.VdcMin);
            n = d.Io / (double(d.Iin) * (1.0 - d.Dmax) / d.Dmax);
        } else {
            d.Ipks = float(2.0 * d.Io / (1.0 - d.Dmax - d.Tdie * 0.01));
            d.Ipkp = float(2.0 * d.Vo * d.Io / (eta * d.VdcMin * d.Dmax));
            n = d.Ipks / (std::sqrt(eta) * d.Ipkp);
        }
        d.Vor = float((double(d.Vo) + d.Vdo) * n);
        vorCheck();
        margin();
    } else if (dcm) {
        vorCheck();
        margin();
        n = d.Vor / (double(d.Vo) + d.Vdo);
        const double se = std::sqrt(eta);
        d.Dmax = float(se * d.Vo * n * (1.0 - d.Tdie * 0.01) / (se * d.Vo * n + d.VdcMin * eta));
        d.Ipks = float(2.0 * d.Io / (1.0 - d.Dmax - d.Tdie * 0.01));
        d.Ipkp = float(2.0 * d.Vo * d.Io / (eta * d.VdcMin * d.Dmax));
    } else {
        n = d.Vor / (double(d.Vo) + d.Vdo);
        vorCheck();
        margin();
        d.Iin = float(double(d.Vo) * d.Io * 100.0 / d.Efficiency / d.VdcMin);
        d.Dmax = float(d.Iin / (d.Iin + d.Io / n));
    }

    const double ton = d.Dmax / (d.fosc * 1000.0);
    const auto ratings = [&] {
        d.Isw = float(std::max(10.0 * d.Irmsp, 1.0));
        d.dp = float(mag::wireDiameter(double(d.Cmil), double(d.Irmsp)));
        d.ds = float(mag::wireDiameter(double(d.Cmil), double(d.Irmss)));
        d.VDon = float((d.VacMax * kRoot2 / n + d.Vo) * 1.2);
        d.IDout = float(2.0 * d.Irmss);
        d.Esr = float(power::outputEsr(d.Vopp * 0.001, double(d.Ipks)));
        d.Co = float(power::electrolyticMicrofarads(double(d.Esr)));
        d.VCout = float(1.2 * d.Vo);
        d.Ls = float(d.Lp / (n * n));
    };
    const auto turns = [&](double np0) {
        double np = 0, ns = 0;
        mag::roundTurns(np0, n, np, ns);
        d.Ns = float(ns);
        d.Np = float(np);
    };
    const auto gap = [&] { d.Lgap = float(mag::airGap(double(d.Ae), double(d.Le), double(d.Np), double(d.Lp))); };

    // Step 3: currents, inductance, ratings, turns, gap.
    if (dcm) {
        d.Lp = float(d.VdcMin * 1e6 * ton / d.Ipkp);
        d.Iin = float(double(d.Vo) * d.Io / eta / d.VdcMin);
        d.Irmsp = float(d.Ipkp / std::sqrt(3.0) * std::sqrt(double(d.Dmax)));
        d.Irmss = float(d.Ipks / std::sqrt(3.0) * std::sqrt(1.0 - d.Dmax - d.Tdie * 0.01));
        ratings();
        turns(double(d.Lp) * 10000.0 * d.Ipkp / (double(d.Bpk) * d.Ae));
        gap();
    } else {
        d.Iin = float(double(d.Vo) * d.Io * 100.0 / d.Efficiency / d.VdcMin);
        const double k = d.r * 0.5 + 1.0;
        d.Ipkp = float(k * d.Io / (1.0 - d.Dmax) / n);
        d.Irmsp = float(std::sqrt(double(d.Dmax)) * d.Ipkp / k);
        const double isec = d.Io / (1.0 - d.Dmax);
        const double ipri = isec / n;
        const double vt = d.VdcMin * ton * 1e6;
        d.Lp = float(vt / (ipri * d.r));
        d.Irmss = float(std::sqrt(1.0 - d.Dmax) * isec);
        d.Ipks = float(k * isec);
        ratings();
        turns((2.0 / d.r + 1.0) * vt * 1e-6 / (d.Bpk * 2.0 * (d.Ae / 100.0) * 1e-8));
        const double b = (2.0 / d.r + 1.0) * vt * 100.0 / (2.0 * d.Np * d.Ae / 100.0);
        out.achievedFlux = float(b);
        out.fluxWarning = b > d.Bsat;
        gap();
    }

    // Step 4: clamp and auxiliary winding.
    const double fs = d.fosc * 1000.0;
    const double llk = d.PerLLK * 0.01 * d.Lp * 1e-6;
    const double ohms = power::clampResistor(double(d.Vz), power::clampPower(llk, double(d.Ipkp), fs, double(d.Vz), double(d.Vor)));
    d.Rlk = float(ohms / 1000.0);
    d.Clk = float(power::clampCapacitor(ohms, fs, kClampRipple) * 1e9);
    // The winding gives (Vo + Vdo) per secondary turn before its own rectifier;
    // Vf becomes what the whole turns give, so a recalculation finds them again.
    const double voltsPerTurn = (double(d.Vo) + d.Vdo) / d.Ns;
    d.Nf = float(std::max(1.0, roundHalfDown((double(d.Vf) + d.Vdf) / voltsPerTurn)));
    d.Vf = float(d.Nf * voltsPerTurn - d.Vdf);
    return out;
}
} // namespace

std::optional<magnetics::FlybackPrinted> printed(const FlybackDesign& d) {
    const double period = 1e-3 / d.fosc, on = d.Dmax * period;
    // The secondary conducts the rest of the period in CCM, all but the dead time in DCM.
    const double secondary = d.Mode == 1 ? period * (1 - d.Dmax - d.Tdie * 0.01) : period - on;
    const magnetics::FlybackPrinted p{d.VdcMin, on, period, secondary, d.Lp * 1e-6, d.Ipkp, d.Ipks, d.Np, d.Ns,
                                      d.dp * 1e-3, d.ds * 1e-3, d.Ae * 1e-6};
    if (!magnetics::complete(p)) return std::nullopt;
    return p;
}

magnetics::WindowLoss losses(const FlybackDesign& d) {
    const auto p = printed(d);
    if (!p) return magnetics::noResults();
    return magnetics::lossOn(d.Core ? &*d.Core : nullptr, magnetics::flybackMagnetic(*p, d.Ta));
}

std::optional<magnetics::FlybackPoint> adviserPoint(const FlybackDesign& d) {
    const auto p = printed(d);
    if (!p) return std::nullopt;
    return magnetics::flybackPoint(*p, d.Bpk * 1e-4, d.Ta);
}

} // namespace kv::graphic
