#include "loop/VCtrlCalc.h"

#include <cmath>

namespace kv::loop::vmode {

namespace {
constexpr double kTwoPi = 6.2831852;
constexpr double kDeg = 57.295780490442965;

// The K factors the forward search tries: 1, 1.01, ... while below 10000.
constexpr long kSteps = 999900;
double kAt(long i) { return 1 + 0.01 * double(i); }
// Phase lag of the amplifier at the crossover for the factor K.
double lag(double K) { return 270 - std::atan(K) * kDeg + std::atan(1 / K) * kDeg; }
double esrPhase(const Plant& p, const Placement& in) { return 180 - std::atan(double(in.fc) / p.fesr) * kDeg; }
double marginFor(double K, double phiEsr) {
    return 360 - (std::atan(1 / K) * kDeg + 270 - std::atan(K) * kDeg + phiEsr);
}
} // namespace

float gainFactor(float P) {
    if (P < 10) return 0.75f;
    if (P <= 30) return 0.8f;
    return 0.85f;
}

Plant plant(Form form, const PlantInputs& in) {
    Plant p;
    const double Co = in.Co * 1e-6, L = in.L * 1e-6;
    p.fesr = float(0.001 / (in.Resr * kTwoPi * Co));
    if (form == Form::Forward) {
        const double fLC = 0.001 / (kTwoPi * std::sqrt(Co * L));
        const double M = ((double(in.Vo) / in.Dmax + 1) - 1) * in.Dmax / in.Vramp;
        const double Gdc = 20 * std::log10(M) + 20 * std::log10(double(in.Vref) / in.Vo);
        p.pole = float(fLC);
        p.G = float(Gdc - 40 * std::log10(p.fesr / fLC));
    } else {
        const double R = double(in.Vo) / in.Imin;
        const double fp = 0.001 / (R * kTwoPi * Co);
        const double k = gainFactor(in.Vo * in.Irated);
        const double T = 0.001 / in.fs;
        const double Gdc = 20 * std::log10(std::sqrt(k * R * T / (2 * L)) * in.Vinmax / in.Vramp);
        p.pole = float(fp);
        p.G = float(Gdc - 20 * std::log10(p.fesr / fp));
    }
    return p;
}

Network compensate(Form form, const Plant& p, const Placement& in) {
    Network n;
    const double fc = in.fc, R1 = in.R1;
    double fp1 = in.fp1, fz1 = in.fz1;
    double R2 = 0;
    if (form == Form::Forward) {
        // b is the plant's gain at the crossover: the amplifier makes up -b.
        const double b = p.G - 20 * std::log10(fc / p.fesr);
        R2 = R1 * std::pow(10.0, std::trunc(-b) / 20);
        const double phiEsr = esrPhase(p, in);
        const double target = (360 - in.PMwant) - phiEsr;
        // The lag falls as K grows: the first K within 0.1° of the target by bisection.
        const auto near = [&](long i) { return lag(kAt(i)) - target <= 0.1; };
        if (!near(kSteps - 1)) {
            n.found = false;
            return n;
        }
        long lo = 0, hi = kSteps - 1;
        while (lo < hi) {
            const long mid = lo + (hi - lo) / 2;
            if (near(mid)) hi = mid;
            else lo = mid + 1;
        }
        const double K = kAt(lo);
        n.PM = float(marginFor(K, phiEsr));
        fz1 = fc / K;
        fp1 = K * fc;
        n.C1 = float(1e12 / (R2 * kTwoPi * fz1 * 1000));
        n.C2 = float(1e12 / (R2 * kTwoPi * fp1 * 1000));
    } else {
        // b is the amplifier gain the crossover needs above fp1.
        const double b = -p.G + 20 * std::log10(fc / fp1);
        R2 = R1 * std::pow(10.0, std::trunc(b) / 20);
        n.C2 = float(1e12 / (fp1 * kTwoPi * 1000 * R2));
        n.C1 = float(1e12 / (fz1 * kTwoPi * 1000 * R2));
        const double phi1 = std::atan(fc / p.pole) * kDeg - std::atan(fc / p.fesr) * kDeg;
        const double phi2 = 270 - std::atan(fc / fz1) * kDeg + std::atan(fc / fp1) * kDeg;
        n.PM = float(360 - phi1 - phi2);
    }
    n.R2 = float(R2);
    n.fp1 = float(fp1);
    n.fz1 = float(fz1);
    return n;
}

float largestMargin(const Plant& p, const Placement& in) { return float(marginFor(kAt(kSteps - 1), esrPhase(p, in))); }

bode::Transfer plantTransfer(Form form, const Plant& p) {
    const double pole = p.pole * 1000.0, fesr = p.fesr * 1000.0;
    // Back from the gain at the ESR zero to the DC gain along the asymptote.
    const double slope = form == Form::Forward ? 40 : 20;
    const double dc = std::pow(10.0, (p.G + slope * std::log10(fesr / pole)) / 20);
    if (form == Form::Forward) return {{bode::gain(dc), bode::zero(fesr), bode::lcPole(pole, fesr)}};
    return {{bode::gain(dc), bode::zero(fesr), bode::pole(pole)}};
}

bode::Transfer compensator(const Placement& in, const Network& n) {
    const double R1 = in.R1, R2 = n.R2, C1 = n.C1 * 1e-12, C2 = n.C2 * 1e-12;
    return {{[=](bode::Complex s) {
        return bode::parallel(R2 + bode::capacitor(s, C1), bode::capacitor(s, C2)) / R1;
    }}};
}

bode::Response response(Form form, const Plant& p, const Placement& in, const Network& n) {
    return bode::sweep(plantTransfer(form, p), compensator(in, n),
                       bode::span(in.fc * 1000.0, {p.pole * 1000.0, p.fesr * 1000.0, n.fz1 * 1000.0,
                                                   n.fp1 * 1000.0}));
}

} // namespace kv::loop::vmode
