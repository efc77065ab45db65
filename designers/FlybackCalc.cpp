#include "designers/FlybackCalc.h"

#include <cmath>

namespace kv::designers::flyback {

float turnsRatio(const Inputs& in) {
    return ((in.Vswm - in.Vswr - kSqrt2 * in.VacMax) / 1.4f) / (in.Vo + in.Vdf);
}

float estimateCcm(const Inputs& in) {
    const float k = (in.r + 2.0f) * (in.r + 2.0f) / in.r;
    return k * 0.7f * (in.Po * 100.0f / in.Eff / in.f) * 1000.0f;
}

float estimateDuty(const Inputs& in) {
    // The reflected voltage goes through the turns ratio and back.
    const float n = turnsRatio(in);
    const float vor = n * (in.Vo + in.Vdf);
    const float ton = vor * (1.0f - in.Ptd * 0.01f) * (1000.0f / in.f) / (kSqrt2 * in.VacMin + vor);
    return ton / (1e6f / (in.f * 1000.0f));
}

float estimateDcm(const Inputs& in) {
    const float d = estimateDuty(in);
    return in.Po * 1e6f /
           (std::sqrt(3.0f / d) * (in.Eff * 0.01f * 1500.0f * 0.0001f) * in.f * (197353.0f / in.Cmil));
}

void roundTurns(float np0, float n, float& np, float& ns) {
    ns = np0 / n;
    if (ns != std::floor(ns)) ns = std::floor(ns) + 1.0f;
    const float raw = n * ns;
    const float whole = std::floor(raw);
    np = raw - whole > 0.5f ? whole + 1.0f : whole;
}

namespace {
float airGap(const Inputs& in, float np, float lp) {
    const float le = in.Le / 10.0f;
    const float x = (in.Ae / 100.0f) * 0.0251327408f * 0.001f * np * np / (le * lp * 0.1f * 0.00001f);
    return (le * x - le) * 10.0f / 2000.0f;
}

float inputCapacitor(const Inputs& in) {
    const float v3 = kSqrt2 * kSqrt2 * kSqrt2 * in.VacMin * in.VacMin * in.VacMin;
    return in.Po * 0.3f * 100.0f / in.Eff * 1e6f / (50.0f * v3 * 0.05f * 0.05f);
}

float outputCapacitor(const Inputs& in, float ipks) {
    return 50.0f / (in.Vopp * 2.0f * 0.001f / (ipks - in.Po / in.Vo));
}
} // namespace

Results verifyCcm(const Inputs& in) {
    Results o;
    o.Iin = in.Po * 100.0f / in.Eff / (kSqrt2 * in.VacMin);
    const float io = in.Po / in.Vo;
    const float n = turnsRatio(in);
    const float d = o.Iin / (o.Iin + io / n);
    const float ripple = in.r / 2.0f + 1.0f;
    o.Ipkp = ripple * io / (1.0f - d) / n;
    o.Irmsp = std::sqrt(d) * o.Ipkp / ripple;
    o.Iswe = 10.0f * o.Irmsp;
    o.Ton = d / (in.f * 1000.0f) * 1e6f;
    o.Cin = inputCapacitor(in);
    const float w = kSqrt2 * in.VacMin * o.Ton;
    const float isc = io / (1.0f - d);
    o.Lp = w / ((isc / n) * in.r);
    o.Ls = o.Lp / (n * n);
    o.Irmss = std::sqrt(1.0f - d) * isc;
    o.Ipks = isc * ripple;
    o.Dp = std::sqrt(in.Cmil * o.Irmsp) / 39.37f;
    o.Ds = std::sqrt(in.Cmil * o.Irmss) / 39.37f;
    o.Vdm = (kSqrt2 * in.VacMax / n + in.Vo) * 1.2f;
    o.Idm = 2.0f * o.Irmss;
    const float volts = (2.0f / in.r + 1.0f) * (w * 1e-6f);
    const float np0 = volts / (2.0f * in.Bpk * (in.Ae / 100.0f) * 1e-8f);
    roundTurns(np0, n, o.Np, o.Ns);
    const float bpeak = volts / (2.0f * o.Np * (in.Ae / 100.0f) * 1e-8f);
    o.fluxAboveSaturation = bpeak > in.Bsat;
    o.Zc = airGap(in, o.Np, o.Lp);
    o.Co = outputCapacitor(in, o.Ipks);
    o.Vcm = 1.2f * in.Vo;
    return o;
}

Results verifyDcm(const Inputs& in) {
    Results o;
    // The turns ratio comes from the inputs, as in CCM.
    const float nd = turnsRatio(in);
    const float io = in.Po / in.Vo;
    const float se = std::sqrt(in.Eff * 0.01f);
    const float idle = in.Ptd * 0.01f;
    const float d = se * in.Vo * nd * (1.0f - idle) / (se * in.Vo * nd + kSqrt2 * in.VacMin * 0.01f * in.Eff);
    o.Ipks = 2.0f * io / (1.0f - d - idle);
    o.Ipkp = 2.0f * in.Po / (in.Eff * 0.01f * kSqrt2 * in.VacMin * d);
    o.Ton = d * 1e6f / (in.f * 1000.0f);
    o.Lp = kSqrt2 * in.VacMin * 1e6f * d / (in.f * 1000.0f) / o.Ipkp;
    o.Iin = in.Po * 100.0f / in.Eff / (kSqrt2 * in.VacMin);
    o.Irmsp = std::sqrt(d) * o.Ipkp / std::sqrt(3.0f);
    o.Dp = std::sqrt(in.Cmil * o.Irmsp) / 39.37f;
    o.Iswe = 10.0f * o.Irmsp;
    o.Cin = inputCapacitor(in);
    o.Irmss = std::sqrt(1.0f - d - idle) * o.Ipks / std::sqrt(3.0f);
    o.Ds = std::sqrt(in.Cmil * o.Irmss) / 39.37f;
    o.Vdm = (kSqrt2 * in.VacMax / nd + in.Vo) * 1.2f;
    o.Idm = 2.0f * o.Irmss;
    o.Co = outputCapacitor(in, o.Ipks);
    o.Vcm = 1.2f * in.Vo;
    o.Ls = o.Lp / (nd * nd);
    const float np0 = kSqrt2 * in.VacMin * 1e4f * o.Ton / (in.Bpk * in.Ae);
    roundTurns(np0, nd, o.Np, o.Ns);
    o.Zc = airGap(in, o.Np, o.Lp);
    return o;
}

Snubber snubber(const Inputs& in, float Lp, float Ipkp) {
    Snubber s;
    const float vc = in.Vswm - in.Vswr - kSqrt2 * in.VacMax;
    s.Rlk = vc * 0.000571428571428f * vc * vc /
            (Ipkp * (Lp * 1e-6f * (in.Per * 0.01f)) * Ipkp * in.f * 1000.0f);
    s.Clk = vc * 1e9f / (vc * 0.1f * s.Rlk * 1000.0f * in.f * 1000.0f);
    return s;
}

} // namespace kv::designers::flyback
