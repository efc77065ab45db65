#include "magnetics/MagneticLoss.h"

#include "magnetics/Thermal.h"

#include <cmath>
#include <limits>

namespace kv::magnetics {

namespace {

constexpr int kMaxSteps = 60;
constexpr double kSettledK = 0.05;

MagneticLossResult refused(Reason r) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    MagneticLossResult out;
    out.coreLoss = out.copperLoss = out.total = out.rise = out.coreTempC = nan;
    out.reason = r;
    return out;
}

} // namespace

MagneticLossResult magneticLoss(const MagneticDesign& d) {
    if (!(d.ve > 0) || !std::isfinite(d.ve) || !std::isfinite(d.ambientC))
        return refused(Reason::BadInput);
    if (!knownMaterial(d.material))
        return refused(Reason::UnknownMaterial);
    const ShapeGeometry* shape = findShape(d.shape);
    if (!shape)
        return refused(Reason::UnknownShape);
    const WindingsPlan plan = planWindings(*shape, d.windings);
    if (plan.reason != Reason::None)
        return refused(plan.reason);
    const double rth = thermalResistance(shape->surface);
    if (!std::isfinite(rth))
        return refused(Reason::ShapeNotSupported);

    // The losses at a temperature, and by how much the set would be hotter
    // than that (g > 0: it heats further).
    MagneticLossResult at;
    auto evaluate = [&](double temp, double& g) -> Reason {
        const CoreLoss core = d.tmBoost ? tmBoostLineAverage(d.material, *d.tmBoost, temp)
                                        : coreLossDensity(d.material, d.flux, temp, d.lowFlux);
        if (core.reason != Reason::None)
            return core.reason;
        const WindingsLoss copper = windingLoss(plan, temp);
        if (copper.reason != Reason::None)
            return copper.reason;
        at.coreLoss = core.pv * d.ve;
        at.copperLoss = copper.total;
        at.total = at.coreLoss + at.copperLoss;
        at.rise = rth * at.total;
        at.coreTempC = temp;
        at.windings = copper.windings;
        at.outsideShare = core.outsideShare;
        at.coreLossBound = core.bound;
        g = d.ambientC + at.rise - temp;
        return Reason::None;
    };

    // The set warms from ambient until its rise holds it: the first root of g.
    // Fixed-point steps until the root is bracketed, then the Illinois false
    // position; a step off the top of the loss data is halved back.
    double lo = d.ambientC, glo = 0;
    if (const Reason r = evaluate(lo, glo); r != Reason::None)
        return refused(r);
    if (glo < kSettledK)
        return at;
    double hi = 0, ghi = 0;
    bool bracketed = false;
    int side = 0;
    double temp = lo + glo;
    for (int step = 0; step < kMaxSteps; ++step) {
        double g = 0;
        const Reason r = evaluate(temp, g);
        if (r == Reason::TemperatureOutside && temp > lo) {
            if (temp - lo < kSettledK)
                return refused(r); // it would settle above the data
            temp = (lo + temp) / 2;
            continue;
        }
        if (r != Reason::None)
            return refused(r);
        if (std::abs(g) < kSettledK)
            return at;
        if (g > 0) {
            lo = temp;
            glo = g;
            if (side == 1)
                ghi /= 2;
            side = 1;
        } else {
            hi = temp;
            ghi = g;
            bracketed = true;
            if (side == -1)
                glo /= 2;
            side = -1;
        }
        temp = bracketed ? (lo * ghi - hi * glo) / (ghi - glo) : temp + g;
    }
    return refused(Reason::TemperatureOutside);
}

} // namespace kv::magnetics
