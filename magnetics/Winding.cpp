#include "magnetics/Winding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kv::magnetics {

namespace {

constexpr ShapeGeometry kShapes[] = {
#include "magnetics/IecShapes.inc"
};

constexpr double kRho20 = 1.724e-8;   // annealed copper at 20 °C, Ω·m
constexpr double kRhoTempCo = 0.00393; // per K
constexpr double kInsulationShare = 1.08;

bool positive(double x) {
    return x > 0 && std::isfinite(x);
}

} // namespace

const ShapeGeometry* findShape(std::string_view name) {
    for (const auto& s : kShapes) {
        if (name == s.name)
            return &s;
    }
    return nullptr;
}

double copperResistivity(double tempC) {
    return kRho20 * (1 + kRhoTempCo * (tempC - 20));
}

double skinDepth(double frequency, double tempC) {
    return std::sqrt(copperResistivity(tempC) / (std::numbers::pi * frequency * kMu0));
}

double dowellFactor(double delta, double layers) {
    const double m2 = layers * layers;
    if (delta < 0.01) // series of the closed form; its differences cancel here
        return 1 + (5 * m2 - 1) / 45 * std::pow(delta, 4);
    if (delta > 20) // the hyperbolic terms have gone to one
        return delta * (1 + 2 * (m2 - 1) / 3);
    // The hyperbolic and circular functions of Δ and 2Δ from one exponential
    // and one sine and cosine (e^Δ − 1 taken whole: it keeps sinh Δ exact).
    const double em = std::expm1(delta), e = em + 1, e2 = e * e;
    const double sh = em * (1 + 1 / e) / 2, ch = (e + 1 / e) / 2;
    const double sh2 = em * (e + 1) * (1 + 1 / e2) / 2, ch2 = (e2 + 1 / e2) / 2;
    const double sn = std::sin(delta), cs = std::cos(delta);
    const double sn2 = 2 * sn * cs, cs2 = cs * cs - sn * sn;
    const double skin = (sh2 + sn2) / (ch2 - cs2);
    const double prox = (sh - sn) / (ch + cs);
    return delta * (skin + 2 * (m2 - 1) / 3 * prox);
}

WindingsLayout layWindings(const ShapeGeometry& shape, std::span<const Winding> windings) {
    WindingsLayout out;
    if (shape.leg == Leg::None) {
        out.reason = Reason::ShapeNotSupported;
        return out;
    }
    const double breadth = shape.height * (1 - 2 * kFormerFlangeShare);
    const double wall = shape.room * kFormerRoomShare;
    out.room = shape.room * (1 - 2 * kFormerRoomShare);
    for (const auto& w : windings) {
        const double od = w.outerDiameter > 0 ? w.outerDiameter : kInsulationShare * w.wireDiameter;
        if (!positive(w.turns) || !positive(w.wireDiameter) || w.strands < 1 || od < w.wireDiameter) {
            out.reason = Reason::BadInput;
            return out;
        }
        WindingPlace p;
        p.turnsPerLayer = std::floor(breadth / od);
        if (p.turnsPerLayer < 1) {
            out.reason = Reason::WindingDoesNotFit;
            return out;
        }
        p.layers = std::ceil(std::ceil(w.turns) * w.strands / p.turnsPerLayer);
        const double build = p.layers * od;
        const double offset = wall + out.build + build / 2; // leg surface to the mean turn
        p.meanTurn = shape.leg == Leg::Round ? std::numbers::pi * (shape.legWidth + 2 * offset)
                                             : 2 * (shape.legWidth + shape.legDepth) + 2 * std::numbers::pi * offset;
        out.build += build;
        out.windings.push_back(p);
    }
    if (out.build > out.room)
        out.reason = Reason::WindingDoesNotFit;
    return out;
}

WindingsPlan planWindings(const ShapeGeometry& shape, std::span<const Winding> windings) {
    WindingsPlan out;
    const WindingsLayout layout = layWindings(shape, windings);
    if (layout.reason != Reason::None) {
        out.reason = layout.reason;
        return out;
    }
    const double breadth = shape.height * (1 - 2 * kFormerFlangeShare);
    for (size_t k = 0; k < windings.size(); ++k) {
        const Winding& w = windings[k];
        const WindingPlace& place = layout.windings[k];
        if (!isPeriodic(w.current)) {
            out.reason = Reason::BadInput;
            return out;
        }
        WindingPlan p;
        p.place.meanTurn = place.meanTurn;
        p.place.layers = place.layers;
        p.place.turnsPerLayer = place.turnsPerLayer;
        const double area = w.strands * std::numbers::pi * w.wireDiameter * w.wireDiameter / 4;
        p.rdcPerRho = w.turns * place.meanTurn / area;
        // Round wire as foil: its equivalent square, spread over the layer.
        const double conductors = std::ceil(w.turns) * w.strands;
        const double porosity = w.wireDiameter * std::min(conductors, place.turnsPerLayer) / breadth;
        p.foil = std::pow(std::numbers::pi / 4, 0.75) * w.wireDiameter * std::sqrt(porosity);
        const double dc = mean(w.current);
        p.place.rmsCurrent = rms(w.current);
        p.dcSquared = dc * dc;
        p.fundamental = 1 / period(w.current);
        double acLeft = p.place.rmsCurrent * p.place.rmsCurrent - p.dcSquared;
        if (acLeft > 0) {
            const auto c = harmonics(w.current, kHarmonics);
            for (size_t n = 0; n < c.size() && acLeft > 0; ++n) {
                p.harmonicPower.push_back(2 * std::norm(c[n]));
                acLeft -= p.harmonicPower.back();
            }
        }
        p.rest = std::max(acLeft, 0.0);
        out.windings.push_back(std::move(p));
    }
    return out;
}

WindingsLoss windingLoss(const WindingsPlan& plan, double tempC) {
    WindingsLoss out;
    out.reason = plan.reason;
    if (out.reason == Reason::None && !std::isfinite(tempC))
        out.reason = Reason::BadInput;
    if (out.reason != Reason::None)
        return out;
    const double rho = copperResistivity(tempC);
    for (const WindingPlan& p : plan.windings) {
        WindingLoss r = p.place;
        r.rdc = rho * p.rdcPerRho;
        r.dcLoss = r.rdc * r.rmsCurrent * r.rmsCurrent;
        // Skin depth of harmonic n is the fundamental's over √n.
        const double foilOverDepth = p.foil / skinDepth(p.fundamental, tempC);
        double loss = r.rdc * p.dcSquared;
        double factor = 1;
        for (size_t n = 0; n < p.harmonicPower.size(); ++n) {
            factor = dowellFactor(foilOverDepth * std::sqrt(double(n + 1)), r.layers);
            loss += r.rdc * factor * p.harmonicPower[n];
        }
        loss += r.rdc * factor * p.rest;
        r.loss = loss;
        out.total += loss;
        out.windings.push_back(r);
    }
    return out;
}

WindingsLoss windingLoss(const ShapeGeometry& shape, std::span<const Winding> windings, double tempC) {
    return windingLoss(planWindings(shape, windings), tempC);
}

} // namespace kv::magnetics
