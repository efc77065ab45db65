#include "ic_designers/Mt7930Calc.h"

#include "services/Magnetics.h"

#include <cmath>

namespace kv::ic::mt7930 {

namespace mag = services::magnetics;

Results design(const Inputs& in) {
    Results r;
    const float root2 = float(services::kRoot2);
    const float eff = in.eff * 0.01f;
    const float vout = in.vo + in.vf;
    const float vmin = root2 * in.vacMin - in.vmos;
    const float vmax = root2 * in.vacMax - in.vmos;
    const float k = in.d * kOffTime / (1 - in.d); // longest on-time, μs
    r.L = vmin * vmin * k * k * eff / ((k + kOffTime) * 4 * in.io * vout);
    // Whole turns: the flyback rule for the primary (Faraday's law at Bpk) and
    // the secondary (the ratio of Vor); the auxiliary rounded up, so it still
    // gives Vdd. Everything below works from the wound ratio.
    mag::roundTurns(vmin * k / in.bpk / in.ae, in.vor / vout, r.np, r.ns);
    r.naux = mag::roundUp((in.vdd + 0.7f) / vout * r.ns);
    r.n = r.np / r.ns;
    const float p = vout * in.io;
    const float lH = r.L * 1e-6f;
    const float m = vmax * vmax * eff / lH * 0.000011f * p + p * p;
    r.tonMin = (std::sqrt(m) + p) / (vmax * vmax * 0.5f * eff / lH) * 1e6f;
    r.ipk = vmin * k / r.L;
    r.ispk = r.ipk * r.n;
    r.tdem = r.L / (r.n * r.n) * r.ispk / vout;
    r.tidle = kOffTime - r.tdem;
    r.fmin = 1000 / (k + kOffTime);
    r.fmax = 1000 / (r.tonMin + kOffTime);
    r.rcs = r.np * 0.94f / (r.ns * 5 * in.io);
    r.kdsen = (in.vov + in.vf) * r.naux / (r.ns * 3.2f) - 1;
    const float iprms = std::sqrt(in.d) * r.ipk * 0.5f;
    const float isrms = std::sqrt(1 - in.d - r.tidle / (r.tidle + r.tonMin + r.tdem)) * r.ispk * 0.5f;
    r.dp = mag::wireDiameter(in.j, iprms);
    r.ds = mag::wireDiameter(in.j, isrms);
    return r;
}

Flag flagOf(Limit l) {
    switch (l) {
    case Limit::DmaxHigh:
    case Limit::DmaxLow: return Flag::Dmax;
    case Limit::IdleShort: return Flag::Idle;
    case Limit::EffHigh:
    case Limit::EffLow: return Flag::Efficiency;
    case Limit::FluxHigh:
    case Limit::FluxLow: return Flag::Flux;
    case Limit::UnderVoltage:
    case Limit::OverVoltage: return Flag::Supply;
    }
    return Flag::Dmax;
}

std::vector<Limit> brokenLimits(const Inputs& in, const Results& r) {
    std::vector<Limit> out;
    if (in.d >= 0.45f) out.push_back(Limit::DmaxHigh);
    if (in.d < 0.25f) out.push_back(Limit::DmaxLow);
    if (r.tidle < 3.0f) out.push_back(Limit::IdleShort);
    if (in.eff >= 95.0f) out.push_back(Limit::EffHigh);
    if (in.eff < 75.0f) out.push_back(Limit::EffLow);
    if (in.bpk > 0.33f) out.push_back(Limit::FluxHigh);
    if (in.bpk < 0.15f) out.push_back(Limit::FluxLow);
    if (in.vdd < 9.2f) out.push_back(Limit::UnderVoltage);
    if (in.vdd > 16.5f) out.push_back(Limit::OverVoltage);
    return out;
}

} // namespace kv::ic::mt7930
