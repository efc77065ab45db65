#include "loop/VCtrlCalc.h"

#include "services/Constants.h"

#include <cmath>

namespace kv::loop::vmode {

namespace {
constexpr double kTwoPi = 2 * services::kPi8;
constexpr double kDeg = 180 / services::kPi8;

// The K factors the forward search tries: 1, 1.01, ... while below 10000.
constexpr long kSteps = 999900;
double kAt(long i) { return 1 + 0.01 * double(i); }

// The network over R1 at s: R2 in series with C1, both across C2 (Ω, F).
bode::Complex network(bode::Complex s, double R1, double R2, double C1, double C2) {
    return bode::parallel(R2 + bode::capacitor(s, C1), bode::capacitor(s, C2)) / R1;
}
// The network over R2/R1 at f (Hz) with its zero at fz and its pole at fp (Hz).
bode::Complex shape(double f, double fz, double fp) {
    return network({0, kTwoPi * f}, 1, 1, 1 / (kTwoPi * fz), 1 / (kTwoPi * fp));
}
// Margin at fc (Hz) of the plant with phase `plantPhase` there and the network
// with its zero at fc/K and its pole at K·fc.
double marginFor(double K, double plantPhase, double fc) {
    return 180 + plantPhase + std::arg(shape(fc, fc / K, fc * K)) * kDeg;
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
        // Modulator of a buck-derived stage: the input seen by the filter over the ramp, Vo/Dmax over Vramp.
        const double M = double(in.Vo) / (double(in.Dmax) * in.Vramp);
        const double Gdc = 20 * std::log10(M);
        p.pole = float(fLC);
        p.G = float(Gdc - 40 * std::log10(p.fesr / fLC));
    } else {
        const double R = double(in.Vo) / in.Imin;
        // Averaged DCM flyback: the output pole is at 2/(R·C).
        const double fp = 2 * 0.001 / (R * kTwoPi * Co);
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
    const bode::Transfer plantT = plantTransfer(form, p);
    const double fc = in.fc * 1000.0; // Hz
    double fp1 = in.fp1, fz1 = in.fz1; // kHz
    if (form == Form::Forward) {
        // The margin at fc grows with K: the first K within 0.1° of the wanted one, by bisection.
        const double plantPhase = plantT.phaseDeg(fc);
        const auto near = [&](long i) { return marginFor(kAt(i), plantPhase, fc) >= in.PMwant - 0.1; };
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
        fz1 = in.fc / K;
        fp1 = K * in.fc;
    }
    // The amplifier's gain makes up what the loop lacks at fc, in whole dB toward zero.
    const double lacks = -20 * std::log10(std::abs(plantT.at(fc) * shape(fc, fz1 * 1000, fp1 * 1000)));
    const double R2 = in.R1 * std::pow(10.0, std::trunc(lacks) / 20);
    n.R2 = float(R2);
    n.C1 = float(1e12 / (R2 * kTwoPi * fz1 * 1000));
    n.C2 = float(1e12 / (R2 * kTwoPi * fp1 * 1000));
    n.fp1 = float(fp1);
    n.fz1 = float(fz1);
    const bode::Response r = response(form, p, in, n);
    n.PM = r.crossed ? float(r.margin) : NAN;
    return n;
}

float largestMargin(const Plant& p, const Placement& in) {
    const double fc = in.fc * 1000.0;
    return float(marginFor(kAt(kSteps - 1), plantTransfer(Form::Forward, p).phaseDeg(fc), fc));
}

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
    return {{[=](bode::Complex s) { return network(s, R1, R2, C1, C2); }}};
}

bode::Response response(Form form, const Plant& p, const Placement& in, const Network& n) {
    return bode::sweep(plantTransfer(form, p), compensator(in, n),
                       bode::span(in.fc * 1000.0, {p.pole * 1000.0, p.fesr * 1000.0, n.fz1 * 1000.0,
                                                   n.fp1 * 1000.0}));
}

} // namespace kv::loop::vmode
