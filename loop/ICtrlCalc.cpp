#include "loop/ICtrlCalc.h"

#include "services/Constants.h"

#include <cmath>

namespace kv::loop::icmode {

namespace {
constexpr double kTwoPi = 2 * services::kPi8;
constexpr double kPi = services::kPi;
} // namespace

double slopeFactor(const Inputs& in) {
    const double fs = in.fs * 1000.0, L = in.L * 1e-6;
    return 1 + (in.Vs * fs / in.Ri) / (in.Vin / L);
}

double currentLoopDamping(const Inputs& in) { return slopeFactor(in) * (1 - double(in.D)); }

double samplingQ(const Inputs& in) { return 1 / (kPi * (currentLoopDamping(in) - 0.5)); }

Results compensate(const Inputs& in) {
    const double fs = in.fs * 1000.0, fc = in.fc * 1000.0, Co = in.Co * 1e-6, L = in.L * 1e-6;
    const double D = in.D;
    const double mc = slopeFactor(in);
    const double R = double(in.Vo) / in.Io;
    const double Rp = 1 / (std::pow(1 - D, 3) * (mc - 0.5) / (fs * L) + (1 + D) / R);
    const double Kpl = Rp / (in.Ri / (1 - D));
    const double fp = 1 / (kTwoPi * Rp * Co);
    const double fz = 1 / (kTwoPi * in.Resr * Co);
    const double fop = fc / Kpl;
    // The integrator of either amplifier crosses 0 dB at fop.
    const double C1 = in.amplifier == Amplifier::Transconductance
                          ? (double(in.Vref) / in.Vo) * in.gm / (kTwoPi * fop)
                          : 1 / (kTwoPi * in.R1 * fop);
    const double R2 = 1 / (kTwoPi * C1 * fp);
    const double C2 = 1 / (kTwoPi * R2 * fz);
    Results r;
    r.gainDb = float(20 * std::log10(Kpl));
    r.fp = float(fp);
    r.fz = float(fz);
    r.fop = float(fop);
    r.C1 = float(C1 * 1e6);
    r.R2 = float(R2);
    r.C2 = float(C2 * 1e6);
    r.fRHP = float(R * (1 - D) * (1 - D) / (kTwoPi * D * L));
    return r;
}

double rhpLimit(const Results& r) { return r.fRHP / 3.0; }
double samplingLimit(const Inputs& in) { return in.fs * 1000.0 / 6; }

bode::Transfer plant(const Inputs& in, const Results& r) {
    const double fn = in.fs * 1000.0 / 2;
    return {{bode::gain(std::pow(10.0, r.gainDb / 20.0)), bode::zero(r.fz), bode::pole(r.fp), bode::rhpZero(r.fRHP),
             bode::lcPole(fn, samplingQ(in) * fn)}};
}

bode::Transfer compensator(const Inputs& in, const Results& r) {
    const double C1 = r.C1 * 1e-6, C2 = r.C2 * 1e-6, R2 = r.R2;
    // Transconductance into its network, or the network over R1.
    const double k = in.amplifier == Amplifier::Transconductance ? double(in.Vref) / in.Vo * in.gm : 1.0 / in.R1;
    return {{bode::gain(k), [=](bode::Complex s) {
                 return bode::parallel(R2 + bode::capacitor(s, C1), bode::capacitor(s, C2));
             }}};
}

bode::Response response(const Inputs& in, const Results& r) {
    return bode::sweep(plant(in, r), compensator(in, r),
                       bode::span(in.fc * 1000.0, {r.fp, r.fz, r.fop, r.fRHP, in.fs * 1000.0 / 2}));
}

} // namespace kv::loop::icmode
