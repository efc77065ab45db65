#include "designers/FlybackCalc.h"

#include "services/Magnetics.h"

#include <cmath>

namespace kv::designers::flyback {

namespace mag = services::magnetics;

namespace {
float peak(float vrms) { return mag::mainsPeak(vrms); }

// The voltage left for the reflected voltage and the clamp: Vswm - Vswr - 1.414 VacMax.
float clampVoltage(const Design& d) { return d.Vswm - d.Vswr - peak(d.VacMax); }

// What every button refuses alike: no room for a reflected voltage.
int commonStop(const Design& d) { return clampVoltage(d) > 0 ? 0 : kNoClampMargin; }

float inputCapacitor(const Design& d) {
    const float v3 = float(mag::kMainsRoot2) * float(mag::kMainsRoot2) * float(mag::kMainsRoot2) * d.VacMin *
                     d.VacMin * d.VacMin;
    return d.Po * 0.3f * 100.0f / d.Eff * 1e6f / (50.0f * v3 * 0.05f * 0.05f);
}

float outputCapacitor(const Design& d, float ipks) { return 50.0f / (d.Vopp * 2.0f * 0.001f / (ipks - d.Po / d.Vo)); }
} // namespace

float turnsRatio(const Design& d) { return (clampVoltage(d) / 1.4f) / (d.Vo + d.Vdf); }

float estimateDuty(const Design& d) {
    // The reflected voltage goes through the turns ratio and back.
    const float n = turnsRatio(d);
    const float vor = n * (d.Vo + d.Vdf);
    const float ton = vor * (1.0f - d.Ptd * 0.01f) * (1000.0f / d.f) / (peak(d.VacMin) + vor);
    return ton / (1e6f / (d.f * 1000.0f));
}

form::Outcome estimate(Design& d, int mode) {
    if (int stop = commonStop(d)) return form::Outcome::stopped(stop);
    form::Outcome o;
    if (mode == kCcm) {
        const float k = (d.r + 2.0f) * (d.r + 2.0f) / d.r;
        d.Ve = k * 0.7f * (d.Po * 100.0f / d.Eff / d.f) * 1000.0f;
        return o;
    }
    if (d.Ptd < 20) o.notice(kShortDeadTime);
    const float duty = estimateDuty(d);
    d.Ve = d.Po * 1e6f / (std::sqrt(3.0f / duty) * (d.Eff * 0.01f * 1500.0f * 0.0001f) * d.f * (197353.0f / d.Cmil));
    return o;
}

namespace {
form::Outcome verifyCcm(Design& d) {
    form::Outcome o;
    d.Iin = d.Po * 100.0f / d.Eff / peak(d.VacMin);
    const float io = d.Po / d.Vo;
    const float n = turnsRatio(d);
    const float duty = d.Iin / (d.Iin + io / n);
    const float ripple = d.r / 2.0f + 1.0f;
    d.Ipkp = ripple * io / (1.0f - duty) / n;
    d.Irmsp = std::sqrt(duty) * d.Ipkp / ripple;
    d.Iswe = 10.0f * d.Irmsp;
    d.Ton = duty / (d.f * 1000.0f) * 1e6f;
    d.Cin = inputCapacitor(d);
    const float w = peak(d.VacMin) * d.Ton;
    const float isc = io / (1.0f - duty);
    d.Lp = w / ((isc / n) * d.r);
    d.Ls = d.Lp / (n * n);
    d.Irmss = std::sqrt(1.0f - duty) * isc;
    d.Ipks = isc * ripple;
    d.Dp = mag::wireDiameter(d.Cmil, d.Irmsp);
    d.Ds = mag::wireDiameter(d.Cmil, d.Irmss);
    d.Vdm = (peak(d.VacMax) / n + d.Vo) * 1.2f;
    d.Idm = 2.0f * d.Irmss;
    const float volts = (2.0f / d.r + 1.0f) * (w * 1e-6f);
    const float np0 = volts / (2.0f * d.Bpk * (d.Ae / 100.0f) * 1e-8f);
    mag::roundTurns(np0, n, d.Np, d.Ns);
    const float bpeak = volts / (2.0f * d.Np * (d.Ae / 100.0f) * 1e-8f);
    if (bpeak > d.Bsat) o.notice(kFluxAboveSat);
    d.Zc = mag::airGap(d.Ae, d.Le, d.Np, d.Lp);
    if (d.Ipks == io) return form::Outcome::stopped(kNoOutputCap);
    d.Co = outputCapacitor(d, d.Ipks);
    d.Vcm = 1.2f * d.Vo;
    return o;
}

form::Outcome verifyDcm(Design& d) {
    // The turns ratio comes from the inputs, as in CCM.
    const float nd = turnsRatio(d);
    const float io = d.Po / d.Vo;
    const float se = std::sqrt(d.Eff * 0.01f);
    const float idle = d.Ptd * 0.01f;
    const float duty = se * d.Vo * nd * (1.0f - idle) / (se * d.Vo * nd + peak(d.VacMin) * 0.01f * d.Eff);
    d.Ipks = 2.0f * io / (1.0f - duty - idle);
    d.Ipkp = 2.0f * d.Po / (d.Eff * 0.01f * peak(d.VacMin) * duty);
    d.Ton = duty * 1e6f / (d.f * 1000.0f);
    d.Lp = peak(d.VacMin) * 1e6f * duty / (d.f * 1000.0f) / d.Ipkp;
    d.Iin = d.Po * 100.0f / d.Eff / peak(d.VacMin);
    d.Irmsp = std::sqrt(duty) * d.Ipkp / std::sqrt(3.0f);
    d.Dp = mag::wireDiameter(d.Cmil, d.Irmsp);
    d.Iswe = 10.0f * d.Irmsp;
    d.Cin = inputCapacitor(d);
    d.Irmss = std::sqrt(1.0f - duty - idle) * d.Ipks / std::sqrt(3.0f);
    d.Ds = mag::wireDiameter(d.Cmil, d.Irmss);
    d.Vdm = (peak(d.VacMax) / nd + d.Vo) * 1.2f;
    d.Idm = 2.0f * d.Irmss;
    if (d.Ipks == io) return form::Outcome::stopped(kNoOutputCap);
    d.Co = outputCapacitor(d, d.Ipks);
    d.Vcm = 1.2f * d.Vo;
    d.Ls = d.Lp / (nd * nd);
    const float np0 = peak(d.VacMin) * 1e4f * d.Ton / (d.Bpk * d.Ae);
    mag::roundTurns(np0, nd, d.Np, d.Ns);
    d.Zc = mag::airGap(d.Ae, d.Le, d.Np, d.Lp);
    return {};
}
} // namespace

form::Outcome verify(Design& d, int mode) {
    if (int stop = commonStop(d)) return form::Outcome::stopped(stop);
    return mode == kDcm ? verifyDcm(d) : verifyCcm(d);
}

form::Outcome snubber(Design& d, int) {
    if (int stop = commonStop(d)) return form::Outcome::stopped(stop);
    const float vc = clampVoltage(d);
    d.Rlk = vc * 0.000571428571428f * vc * vc / (d.Ipkp * (d.Lp * 1e-6f * (d.Per * 0.01f)) * d.Ipkp * d.f * 1000.0f);
    d.Clk = vc * 1e9f / (vc * 0.1f * d.Rlk * 1000.0f * d.f * 1000.0f);
    return {};
}

} // namespace kv::designers::flyback
