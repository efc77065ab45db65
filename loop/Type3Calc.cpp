#include "loop/Type3Calc.h"

#include "services/Constants.h"

#include <cmath>

namespace kv::loop::type3 {

namespace {
constexpr double kTwoPi = 2 * services::kPi8;
} // namespace

Results compensate(const Inputs& in) {
    const double A = std::pow(10.0, in.G / 20.0);
    const double R1 = in.R1, fz1 = in.fz1, fz2 = in.fz2, fp1 = in.fp1, fp2 = in.fp2;
    const double C1 = A * 1e9 / (in.fc * kTwoPi * 1000 * R1 * 1000);
    const double fop = 0.001 / (R1 * kTwoPi * 1000 * C1 * 1e-9);
    const double C2 = 1 / (R1 * kTwoPi * 1e6) * 1e9 * (1 / fz2 - 1 / fp1);
    const double R2 = fop / fz1 * R1;
    const double C3 = 1e12 / ((R2 * 1e6 * fp2 - R1 * 1e6 * fop) * kTwoPi);
    const double R3 = R1 * fz2 / (fp1 - fz2);
    Results r;
    r.C1 = float(C1);
    r.fop = float(fop);
    r.C2 = float(C2);
    r.R2 = float(R2);
    r.C3 = float(C3);
    r.R3 = float(R3);
    return r;
}

bode::Transfer plant(const Inputs& in) {
    const double fLC = std::sqrt(double(in.fz1) * in.fz2) * 1000.0, fesr = in.fp1 * 1000.0;
    return {{bode::gain(std::pow(10.0, in.G / 20.0)), bode::zero(fesr), bode::lcPole(fLC, fesr)}};
}

bode::Transfer compensator(const Inputs& in, const Results& r) {
    const double R1 = in.R1 * 1e3, R2 = r.R2 * 1e3, R3 = r.R3 * 1e3;
    const double C1 = r.C1 * 1e-9, C2 = r.C2 * 1e-9, C3 = r.C3 * 1e-12;
    // Feedback over input, each factor a single impedance.
    return {{[=](bode::Complex s) { return bode::parallel(R2 + bode::capacitor(s, C1), bode::capacitor(s, C3)); },
             [=](bode::Complex s) { return 1.0 / bode::parallel(bode::Complex(R1), R3 + bode::capacitor(s, C2)); }}};
}

bode::Response response(const Inputs& in, const Results& r) {
    const double k = 1000;
    return bode::sweep(plant(in), compensator(in, r),
                       bode::span(in.fc * k, {in.fp1 * k, in.fp2 * k, in.fz1 * k, in.fz2 * k, r.fop * k}));
}

} // namespace kv::loop::type3
