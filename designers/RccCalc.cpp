#include "designers/RccCalc.h"

#include "services/Magnetics.h"

#include <cmath>

namespace kv::designers::rcc {

namespace mag = services::magnetics;

namespace {
float turnsRatio(const Design& d) {
    const float vor = voltageBudget(d) / 1.4f; // the budget covers a spike of 1.4 Vor
    return vor / (d.Vo + d.Vdf);
}
} // namespace

float voltageBudget(const Design& d) { return d.Vswm - d.Vswr - mag::mainsPeak(d.VacMax); }

float duty(const Design& d) {
    const float eta = d.Eff * 0.01f, n = turnsRatio(d), se = std::sqrt(eta);
    return se * d.Vo * n / (se * d.Vo * n + mag::mainsPeak(d.VacMin) * eta);
}

form::Outcome design(Design& d, int) {
    if (voltageBudget(d) <= 0) return form::Outcome::stopped(kNoVoltageBudget);
    const float eta = d.Eff * 0.01f, n = turnsRatio(d), D = duty(d);
    const float vin = mag::mainsPeak(d.VacMin);
    d.Ipks = d.IoMax * 2.0f / (1.0f - D);
    d.Ipkp = d.Vo * 2.0f * d.IoMax / (eta * vin * D);
    d.Lp = d.Vo * 2000000.0f * d.IoMax / (d.Ipkp * d.Ipkp * eta * d.fMin * 1000.0f);
    d.Ls = d.Lp / (n * n);
    // Triangles from zero: the primary's while the switch is on, the secondary's after.
    d.Irmss = d.Ipks * std::sqrt((1.0f - D) / 3.0f);
    d.Irmsp = d.Ipkp * std::sqrt(D / 3.0f);
    d.Dp = mag::wireDiameter(d.Cmil, d.Irmsp);
    d.Ds = mag::wireDiameter(d.Cmil, d.Irmss);
    const float np0 = vin * 10000.0f * (D * 1000.0f / d.fMin) / (d.Bpk * d.Ae);
    mag::roundTurns(np0, n, d.Np, d.Ns);
    // The highest frequency: the smallest load at the highest input. At the
    // boundary of conduction the switch's volt-seconds at Vk equal the
    // secondary's at the reflected voltage, which sets the duty there.
    const float vk = mag::mainsPeak(d.VacMax) - d.Vsw;
    const float vor = n * (d.Vo + d.Vdf);
    const float dl = vor / (vor + vk);
    d.fMax = d.Eff * 0.001f * 0.01f * dl * dl * vk * vk / (d.Lp * 2.0f * 0.000001f * d.Vo * d.IoMin);
    return {};
}

} // namespace kv::designers::rcc
