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
    const double rth = thermalResistance(d.ve);
    double temp = d.ambientC;
    for (int step = 0; step < kMaxSteps; ++step) {
        const CoreLoss core = d.tmBoost ? tmBoostLineAverage(d.material, *d.tmBoost, temp)
                                        : coreLossDensity(d.material, d.flux, temp);
        if (core.reason != Reason::None)
            return refused(core.reason);
        const WindingsLoss copper = windingLoss(*shape, d.windings, temp);
        if (copper.reason != Reason::None)
            return refused(copper.reason);
        MagneticLossResult out;
        out.coreLoss = core.pv * d.ve;
        out.copperLoss = copper.total;
        out.total = out.coreLoss + out.copperLoss;
        out.rise = rth * out.total;
        out.coreTempC = temp;
        out.windings = copper.windings;
        out.outsideShare = core.outsideShare;
        const double next = d.ambientC + out.rise;
        if (std::abs(next - temp) < kSettledK)
            return out;
        // Half steps: the loss of a ferrite above its minimum grows with temperature.
        temp = (temp + next) / 2;
    }
    return refused(Reason::TemperatureOutside);
}

} // namespace kv::magnetics
