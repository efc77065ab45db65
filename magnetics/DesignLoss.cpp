#include "magnetics/DesignLoss.h"

#include "magnetics/CoreTables.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <vector>

namespace kv::magnetics {

namespace {
// A valley below this share of the peak is the rounding of a current that runs dry.
constexpr double kDryValley = 1e-4;

double primaryValley(const FlybackPrinted& p) {
    const double valley = p.primaryPeak - p.vin * p.onTime / p.lp;
    return valley > kDryValley * p.primaryPeak ? valley : 0.0;
}

// The secondary's valley: the primary's, in the ampere-turns of the currents' ratio.
double secondaryValley(const FlybackPrinted& p) {
    return primaryValley(p) * p.secondaryPeak / p.primaryPeak;
}

bool positive(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return v > 0 && std::isfinite(v); });
}

Winding winding(double turns, double wire, Waveform current) {
    return Winding{turns, wire, 0, 1, std::move(current)};
}
} // namespace

TableCore tableCore(std::string type, std::string material, double aeMm2, double awMm2, double alNh,
                    double leMm, double veMm3) {
    const CoreCandidate c = catalogCore(type, material, aeMm2, awMm2, alNh, leMm, veMm3);
    return {std::move(type), std::move(material), c.ae, c.le, c.ve, c.aw, c.al};
}

namespace {
std::string_view trimmedView(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Twelve digits: the unit change (mm² to m² and back) leaves noise in the last
// few, and a value read back then prints the same again.
std::string shortest(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 12);
    return std::string(buf, r.ptr);
}
} // namespace

std::string tableCoreText(const TableCore& c) {
    std::string s = c.type + "; " + c.material;
    for (const double v : {c.ae * 1e6, c.aw * 1e6, c.al * 1e9, c.le * 1e3, c.ve * 1e9}) s += "; " + shortest(v);
    return s;
}

std::optional<TableCore> readTableCore(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(';', from);
        parts.push_back(trimmedView(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from)));
        if (at == std::string_view::npos) break;
        from = at + 1;
    }
    if (parts.size() != 7 || parts[0].empty() || parts[1].empty()) return std::nullopt;
    double v[5] = {};
    for (int i = 0; i < 5; ++i) {
        const std::string_view n = parts[i + 2];
        const auto r = std::from_chars(n.data(), n.data() + n.size(), v[i]);
        if (r.ec != std::errc() || r.ptr != n.data() + n.size() || !std::isfinite(v[i])) return std::nullopt;
    }
    const double ae = v[0], aw = v[1], al = v[2], le = v[3], ve = v[4];
    if (!(ae > 0) || !(le > 0) || !(ve > 0) || aw < 0 || al < 0) return std::nullopt;
    return tableCore(std::string(parts[0]), std::string(parts[1]), ae, aw, al, le, ve);
}

Waveform currentPulse(double from, double to, double start, double width, double periodS) {
    Waveform w{{0, 0}};
    if (start > 0)
        w.push_back({start, 0});
    const double end = start + width;
    w.insert(w.end(), {{start, from}, {end, to}, {end, 0}});
    if (end < periodS)
        w.push_back({periodS, 0});
    return w;
}

Waveform inductorCurrent(double valley, double peak, double rise, double fall, double periodS) {
    Waveform w{{0, valley}, {rise, peak}, {rise + fall, valley}};
    if (rise + fall < periodS)
        w.push_back({periodS, valley});
    return w;
}

bool complete(const FlybackPrinted& p) {
    return positive({p.vin, p.onTime, p.period, p.secondaryTime, p.lp, p.primaryPeak, p.secondaryPeak, p.np, p.ns,
                     p.primaryWire, p.secondaryWire, p.ae});
}

bool complete(const ForwardPrinted& p) {
    return positive({p.vin, p.onTime, p.period, p.primaryCurrent, p.secondaryCurrent, p.np, p.ns, p.primaryWire,
                     p.secondaryWire, p.ae});
}

bool complete(const InductorPrinted& p) {
    return p.valley >= 0 && p.valley < p.peak &&
           positive({p.peak, p.rise, p.fall, p.period, p.inductance, p.turns, p.wire, p.ae});
}

MagneticDesign flybackMagnetic(const FlybackPrinted& p, double ambientC) {
    MagneticDesign d;
    const double swing = p.vin * p.onTime / (p.np * p.ae);
    d.flux = trapezoid(swing, p.period, p.onTime, 0, p.secondaryTime);
    d.windings = {
        winding(p.np, p.primaryWire, currentPulse(primaryValley(p), p.primaryPeak, 0, p.onTime, p.period)),
        winding(p.ns, p.secondaryWire,
                currentPulse(p.secondaryPeak, secondaryValley(p), p.onTime, p.secondaryTime, p.period)),
    };
    d.ambientC = ambientC;
    return d;
}

FlybackPoint flybackPoint(const FlybackPrinted& p, double bpk, double ambientC) {
    FlybackPoint op;
    op.inductance = p.lp;
    op.frequency = 1 / p.period;
    op.duty = p.onTime / p.period;
    op.primaryPeak = p.primaryPeak;
    op.primaryValley = primaryValley(p);
    op.secondaryPeak = p.secondaryPeak;
    op.secondaryValley = secondaryValley(p);
    op.secondaryShare = p.secondaryTime / p.period;
    op.turnsRatio = p.secondaryPeak / p.primaryPeak;
    op.bpk = bpk;
    op.primaryWire = {p.primaryWire, 0, 1};
    op.secondaryWire = {p.secondaryWire, 0, 1};
    op.ambientC = ambientC;
    return op;
}

MagneticDesign forwardMagnetic(const ForwardPrinted& p, double ambientC) {
    MagneticDesign d;
    const double swing = p.vin * p.onTime / (p.np * p.ae);
    d.flux = trapezoid(swing, p.period, p.onTime, 0, std::min(p.onTime, p.period - p.onTime));
    const Waveform none{{0, 0}, {p.period, 0}};
    d.windings = {
        winding(p.np, p.primaryWire, currentPulse(p.primaryCurrent, p.primaryCurrent, 0, p.onTime, p.period)),
        winding(p.np, kResetWire, none),
        winding(p.ns, p.secondaryWire, currentPulse(p.secondaryCurrent, p.secondaryCurrent, 0, p.onTime, p.period)),
    };
    d.ambientC = ambientC;
    return d;
}

MagneticDesign inductorMagnetic(const InductorPrinted& p, double ambientC) {
    MagneticDesign d;
    const double swing = p.inductance * (p.peak - p.valley) / (p.turns * p.ae);
    d.flux = trapezoid(swing, p.period, p.rise, 0, p.fall);
    d.windings = {winding(p.turns, p.wire, inductorCurrent(p.valley, p.peak, p.rise, p.fall, p.period))};
    d.ambientC = ambientC;
    return d;
}

WindowLoss lossOn(const TableCore* core, MagneticDesign d) {
    WindowLoss w;
    if (!core) {
        w.gap = LossGap::TypedCore;
        return w;
    }
    const char* shape = iecShapeOfType(core->type);
    const ShapeGeometry* geometry = shape && *shape ? findShape(shape) : nullptr;
    if (!geometry || geometry->leg == Leg::None || !(geometry->surface > 0)) {
        w.gap = LossGap::NoShape;
        return w;
    }
    d.material = core->material;
    d.shape = geometry->name;
    d.ve = core->ve;
    d.lowFlux = LowFlux::UpperBound;
    w.loss = magneticLoss(d);
    w.gap = w.loss.reason == Reason::None ? LossGap::None : LossGap::Model;
    return w;
}

WindowLoss noResults() {
    return {};
}

std::optional<DataSpan> dataSpan(std::string_view material) {
    std::optional<DataSpan> s;
    for (const LossRange& r : lossRanges()) {
        if (material != r.material)
            continue;
        if (!s)
            s = DataSpan{r.fMin, r.fMax, r.tMin, r.tMax};
        s->fMin = std::min(s->fMin, r.fMin);
        s->fMax = std::max(s->fMax, r.fMax);
        s->tMin = std::min(s->tMin, r.tMin);
        s->tMax = std::max(s->tMax, r.tMax);
    }
    return s;
}

} // namespace kv::magnetics
