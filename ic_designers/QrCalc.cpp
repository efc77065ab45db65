#include "ic_designers/QrCalc.h"

#include "services/Magnetics.h"

#include <cmath>

namespace kv::ic {

QrPoint qrPoint(float v, const QrDesign& d, float tr) {
    const float vorSec = d.n * (d.vo + d.vd);
    const float k = v / vorSec + 1;
    const float x = v * v * tr * (d.eff / 100) / (2 * d.vo * d.io * d.lp);
    // The positive root of x·D²/2 + k·D = 1, in the form without 0/0 or cancellation.
    const float duty = 2 / (std::sqrt(k * k + 2 * x) + k);
    const float f = 2 * (1 - duty - duty * v / vorSec) / tr * 1000;
    return {duty, f};
}

form::Outcome qrCalc(QrDesign& d) {
    const float tr = 6.28f * std::sqrt(d.lp * d.coss) / 1000;
    const QrPoint low = qrPoint(d.vl, d, tr), high = qrPoint(d.vh, d, tr);
    d.dl = low.duty, d.fl = low.fKHz;
    d.dh = high.duty, d.fh = high.fKHz;
    d.ipk = d.vl * d.dl / (d.lp * 1e-6f * d.fl * 1000);
    // Whole turns: the flyback rule for the primary and secondary; the
    // auxiliary rounded up, so it gives at least Vfb.
    services::magnetics::roundTurns(d.ipk * d.lp / (d.ae * d.b), d.n, d.np, d.ns);
    d.na = services::magnetics::roundUp(d.vfb / (d.vo + d.vd) * d.ns);
    d.vor = (d.vo + d.vd) * d.n;
    if (!form::allFinite(d.np, d.ns, d.na, d.fl, d.fh, d.dl, d.dh, d.ipk, d.vor)) return form::Outcome::stopped(kQrNotFinite);
    return {};
}

Band lowLineBand(float fl, float fh) {
    if (fl > 40 && fl <= 130) return Band::Green;
    if (fl <= 20 || fl > 130 || fh > 130) return Band::Red;
    return Band::Orange;
}

Band highLineBand(float fh) { return fh > 130 ? Band::Red : Band::Green; }

} // namespace kv::ic
