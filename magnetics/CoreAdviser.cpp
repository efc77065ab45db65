#include "magnetics/CoreAdviser.h"

#include "magnetics/CoreTables.h"
#include "magnetics/DesignLoss.h"
#include "magnetics/Thermal.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace kv::magnetics {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kMaxTurns = 100000;

bool positive(double x) {
    return x > 0 && std::isfinite(x);
}

bool wireGiven(const WireSize& w) {
    return w.diameter > 0;
}

bool wireUsable(const WireSize& w) {
    return positive(w.diameter) && w.strands >= 1 && std::isfinite(w.outerDiameter) &&
           (w.outerDiameter == 0 || w.outerDiameter >= w.diameter);
}

// What every row shares: the currents, their wires and the flux's shape.
struct Prepared {
    double period = 0, rise = 0, fall = 0;
    Waveform primary, secondary;
    WireSize primaryWire, secondaryWire;
};

Prepared prepare(const FlybackPoint& op) {
    Prepared p;
    p.period = 1 / op.frequency;
    p.rise = op.duty * p.period;
    p.fall = std::min(op.secondaryShare * p.period, p.period - p.rise);
    p.primary = currentPulse(op.primaryValley, op.primaryPeak, 0, p.rise, p.period);
    p.secondary = currentPulse(op.secondaryPeak, op.secondaryValley, p.rise, p.fall, p.period);
    p.primaryWire = wireGiven(op.primaryWire) ? op.primaryWire
                                              : wireFor(rms(p.primary), op.currentDensity, op.frequency);
    p.secondaryWire = wireGiven(op.secondaryWire) ? op.secondaryWire
                                                  : wireFor(rms(p.secondary), op.currentDensity, op.frequency);
    return p;
}

double lowestLossDataTemperature() {
    double t = std::numeric_limits<double>::infinity();
    for (const LossRange& r : lossRanges())
        t = std::min(t, r.tMin);
    return t;
}

double highestLossDataTemperature() {
    double t = -std::numeric_limits<double>::infinity();
    for (const LossRange& r : lossRanges())
        t = std::max(t, r.tMax);
    return t;
}

// One row worked through: turns, gap, fit, losses.
class RowAdviser {
public:
    RowAdviser(const FlybackPoint& op, const Prepared& p, const CoreCandidate& row, const ShapeGeometry& shape)
        : op_(op), p_(p), row_(row), shape_(shape), ferrite_(kMu0 * row.ae / row.al) {}

    void advise(CoreAdvice& a) const {
        // Fewest turns that keep the peak flux within the limit: B = Lp·Ipk/(Np·Ae).
        const double fluxTurns = op_.inductance * op_.primaryPeak / (a.bLimit * row_.ae);
        int ns = turnsFor(fluxTurns);
        if (!fits(ns)) {
            if (!fits(1)) {
                a.verdict = Verdict::DoesNotFitWindow;
                return;
            }
            int lo = 1, hi = ns; // fits(lo), !fits(hi)
            while (hi - lo > 1) {
                const int mid = lo + (hi - lo) / 2;
                (fits(mid) ? lo : hi) = mid;
            }
            a.mostPrimaryTurns = primary(lo);
            a.bAtMostTurns = op_.inductance * op_.primaryPeak / (a.mostPrimaryTurns * row_.ae);
            a.verdict = Verdict::Saturates;
            return;
        }
        // The gap for Lp; more turns where it would be shorter than the least.
        const double longest = longestGap();
        const double shortest = kMinGapOverFerrite * ferrite_;
        double gap = gapFor(primary(ns), longest);
        if (!(gap <= longest)) {
            record(a, ns, kNaN);
            a.verdict = Verdict::GapTooLong;
            return;
        }
        if (gap < shortest) {
            const double gapTurns = std::sqrt(op_.inductance * (shortest + ferrite_) /
                                              (fringingFactor(shortest, shape_, row_.ae) * kMu0 * row_.ae));
            ns = std::max(ns, turnsFor(gapTurns));
            for (gap = gapFor(primary(ns), longest); gap < shortest && ns < kMaxTurns; gap = gapFor(primary(ns), longest))
                ++ns;
            if (!(gap <= longest)) {
                record(a, ns, kNaN);
                a.verdict = Verdict::GapTooLong;
                return;
            }
            if (!fits(ns)) {
                record(a, ns, gap);
                a.verdict = Verdict::DoesNotFitWindow;
                return;
            }
        }
        record(a, ns, gap);

        MagneticDesign d;
        d.material = row_.material;
        d.shape = shape_.name;
        d.ve = row_.ve;
        d.flux = trapezoid(a.bSwing, p_.period, p_.rise, 0, p_.fall);
        d.windings = windings(ns);
        d.ambientC = op_.ambientC;
        d.lowFlux = LowFlux::UpperBound;
        a.loss = magneticLoss(d);
        switch (a.loss.reason) {
        case Reason::None: a.verdict = Verdict::Fits; break;
        case Reason::TemperatureOutside: a.verdict = Verdict::TooHot; break;
        case Reason::WindingDoesNotFit: a.verdict = Verdict::DoesNotFitWindow; break;
        default: a.verdict = Verdict::OutsideLossData; break;
        }
    }

private:
    int primary(int ns) const {
        return int(std::max(1L, std::lround(op_.turnsRatio * ns)));
    }

    // The fewest secondary turns whose primary (n·Ns, whole) reaches `turns`.
    int turnsFor(double turns) const {
        int ns = int(std::clamp(std::ceil(turns / op_.turnsRatio), 1.0, double(kMaxTurns)));
        while (primary(ns) < turns && ns < kMaxTurns)
            ++ns;
        return ns;
    }

    std::vector<Winding> windings(int ns) const {
        auto winding = [](int turns, const WireSize& w, const Waveform& current) {
            return Winding{double(turns), w.diameter, w.outerDiameter, w.strands, current};
        };
        return {winding(primary(ns), p_.primaryWire, p_.primary), winding(ns, p_.secondaryWire, p_.secondary)};
    }

    double fill(int ns) const {
        auto copper = [](double turns, const WireSize& w) {
            return turns * w.strands * std::numbers::pi * w.diameter * w.diameter / 4;
        };
        return (copper(primary(ns), p_.primaryWire) + copper(ns, p_.secondaryWire)) / row_.aw;
    }

    // The windings lie in the former in whole layers and leave the window its room.
    bool fits(int ns) const {
        return fill(ns) <= kMaxWindowFill && layWindings(shape_, windings(ns)).reason == Reason::None;
    }

    // Lp of `turns` over a gap, by the gap's fringing.
    double inductance(double turns, double gap) const {
        return fringingFactor(gap, shape_, row_.ae) * kMu0 * turns * turns * row_.ae / (gap + ferrite_);
    }

    // The longest gap: where the fringing factor reaches its limit, or where
    // the formula stops growing with the gap (2G/e per gap), if sooner.
    double longestGap() const {
        double hi = shape_.gaps * 2 * shape_.height / std::numbers::e, lo = 0;
        if (fringingFactor(hi, shape_, row_.ae) <= kMaxFringing)
            return hi;
        for (int i = 0; i < 60; ++i) {
            const double mid = (lo + hi) / 2;
            (fringingFactor(mid, shape_, row_.ae) <= kMaxFringing ? lo : hi) = mid;
        }
        return lo;
    }

    // The gap that gives Lp with `turns`: 0 when even the ungapped set gives
    // no more, infinity when it would be longer than `longest`. The
    // inductance falls as the gap grows, which the bisection takes.
    double gapFor(int turns, double longest) const {
        if (inductance(turns, 0) <= op_.inductance)
            return 0;
        if (inductance(turns, longest) > op_.inductance)
            return std::numeric_limits<double>::infinity();
        double lo = 0, hi = longest;
        for (int i = 0; i < 60; ++i) {
            const double mid = (lo + hi) / 2;
            (inductance(turns, mid) > op_.inductance ? lo : hi) = mid;
        }
        return (lo + hi) / 2;
    }

    void record(CoreAdvice& a, int ns, double gap) const {
        a.secondaryTurns = ns;
        a.primaryTurns = primary(ns);
        a.bPeak = op_.inductance * op_.primaryPeak / (a.primaryTurns * row_.ae);
        a.bSwing = op_.inductance * (op_.primaryPeak - op_.primaryValley) / (a.primaryTurns * row_.ae);
        a.gap = gap;
        a.fringing = std::isfinite(gap) ? fringingFactor(gap, shape_, row_.ae) : kNaN;
        a.fill = fill(ns);
    }

    const FlybackPoint& op_;
    const Prepared& p_;
    const CoreCandidate& row_;
    const ShapeGeometry& shape_;
    double ferrite_; // the ferrite's path as a length of air, m
};

CoreAdvice adviseRow(const FlybackPoint& op, const Prepared& p, const CoreCandidate& row) {
    CoreAdvice a;
    a.loss.coreLoss = a.loss.copperLoss = a.loss.total = a.loss.rise = a.loss.coreTempC = kNaN;
    a.primaryWire = p.primaryWire;
    a.secondaryWire = p.secondaryWire;
    if (!positive(row.ae) || !positive(row.le) || !positive(row.ve) || !positive(row.aw) || !positive(row.al)) {
        a.verdict = Verdict::BadCoreData;
        return a;
    }
    const char* shapeName = iecShapeOfType(row.type);
    if (!shapeName || !*shapeName) {
        a.verdict = Verdict::NoShape;
        return a;
    }
    a.shape = shapeName;
    const ShapeGeometry* shape = findShape(shapeName);
    if (!shape || shape->leg == Leg::None || !(shape->surface > 0)) {
        a.verdict = Verdict::ShapeNotModelled;
        return a;
    }
    const Saturation* sat = saturationOf(row.material);
    if (!sat || !knownMaterial(row.material)) {
        a.verdict = Verdict::UnknownMaterial;
        return a;
    }
    a.bsat100 = sat->at100C;
    a.bLimit = std::min(op.bpk, kSaturationMargin * sat->at100C);
    if (!rangeFor(row.material, op.frequency)) {
        a.verdict = Verdict::FrequencyOutside;
        return a;
    }
    RowAdviser(op, p, row, *shape).advise(a);
    return a;
}

} // namespace

PointInput badInput(const FlybackPoint& op) {
    if (!positive(op.inductance))
        return PointInput::Inductance;
    if (!positive(op.frequency))
        return PointInput::Frequency;
    if (!(op.duty > 0 && op.duty < 1))
        return PointInput::Duty;
    if (!positive(op.primaryPeak) || !(op.primaryValley >= 0 && op.primaryValley < op.primaryPeak))
        return PointInput::PrimaryCurrent;
    if (!positive(op.secondaryPeak) || !(op.secondaryValley >= 0 && op.secondaryValley <= op.secondaryPeak))
        return PointInput::SecondaryCurrent;
    if (!(op.secondaryShare > 0 && op.secondaryShare <= 1 - op.duty + 1e-9))
        return PointInput::SecondaryShare;
    if (!positive(op.turnsRatio))
        return PointInput::TurnsRatio;
    if (!positive(op.bpk))
        return PointInput::FluxDensity;
    for (const WireSize* w : {&op.primaryWire, &op.secondaryWire}) {
        if (wireGiven(*w) ? !wireUsable(*w) : !positive(op.currentDensity))
            return PointInput::Wire;
    }
    if (!(op.ambientC >= lowestLossDataTemperature() && op.ambientC < highestLossDataTemperature()))
        return PointInput::Ambient;
    return PointInput::None;
}

WireSize wireFor(double rmsCurrent, double currentDensity, double frequency) {
    const double area = rmsCurrent / currentDensity;
    const double diameter = std::sqrt(4 * area / std::numbers::pi);
    const double thickest = 2 * skinDepth(frequency, 20);
    const double strands = std::max(1.0, std::ceil(diameter * diameter / (thickest * thickest)));
    return {diameter / std::sqrt(strands), 0, int(strands)};
}

CoreCandidate catalogCore(std::string_view type, std::string_view material, double aeMm2, double awMm2,
                          double alNh, double leMm, double veMm3) {
    return {type, material, aeMm2 * 1e-6, leMm * 1e-3, veMm3 * 1e-9, awMm2 * 1e-6, alNh * 1e-9};
}

double fringingFactor(double gap, const ShapeGeometry& shape, double ae) {
    if (!(gap > 0))
        return 1;
    const double each = gap / std::max(shape.gaps, 1);
    return 1 + each / std::sqrt(ae) * std::log(2 * shape.height / each);
}

std::vector<CoreAdvice> adviseCores(const FlybackPoint& op, std::span<const CoreCandidate> rows) {
    std::vector<CoreAdvice> out(rows.size());
    if (badInput(op) != PointInput::None) {
        for (CoreAdvice& a : out)
            a.loss.coreLoss = a.loss.copperLoss = a.loss.total = a.loss.rise = a.loss.coreTempC = kNaN;
        return out;
    }
    const Prepared p = prepare(op);
    std::vector<size_t> fitting;
    for (size_t i = 0; i < rows.size(); ++i) {
        out[i] = adviseRow(op, p, rows[i]);
        if (out[i].verdict == Verdict::Fits)
            fitting.push_back(i);
    }
    std::stable_sort(fitting.begin(), fitting.end(), [&](size_t x, size_t y) {
        const auto& a = out[x].loss;
        const auto& b = out[y].loss;
        return a.rise != b.rise ? a.rise < b.rise : a.total < b.total;
    });
    for (size_t k = 0; k < fitting.size(); ++k)
        out[fitting[k]].rank = int(k + 1);
    return out;
}

std::vector<size_t> rankedOrder(std::span<const CoreAdvice> advice) {
    std::vector<size_t> order(advice.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        const int a = advice[x].rank, b = advice[y].rank;
        return a > 0 && (b == 0 || a < b);
    });
    return order;
}

const char* describe(Verdict v) {
    switch (v) {
    case Verdict::Fits: return "";
    case Verdict::BadPoint: return "the operating point is incomplete";
    case Verdict::BadCoreData: return "the core's Ae, le, Ve, AW or AL is missing";
    case Verdict::NoShape: return "no IEC shape is known for this core type";
    case Verdict::ShapeNotModelled: return "the winding geometry of this core shape is not modelled";
    case Verdict::UnknownMaterial: return "no saturation or loss data for this core material";
    case Verdict::FrequencyOutside: return "the switching frequency is outside the material's loss data";
    case Verdict::Saturates: return "the window cannot hold the turns that keep the peak flux within the limit";
    case Verdict::GapTooLong: return "the gap for the inductance would be too long";
    case Verdict::DoesNotFitWindow: return "the windings do not fit the core window";
    case Verdict::TooHot: return "it would run hotter than the loss data reach";
    case Verdict::OutsideLossData: return "the flux is outside the material's loss data";
    }
    return "";
}

} // namespace kv::magnetics
