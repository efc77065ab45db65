#include "magnetics/Winding.h"

#include <cmath>
#include <numbers>

namespace kv::magnetics {

namespace {

constexpr ShapeGeometry kShapes[] = {
#include "magnetics/IecShapes.inc"
};

constexpr double kMu0 = 4e-7 * std::numbers::pi;
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
    const double x = 2 * delta;
    const double skin = (std::sinh(x) + std::sin(x)) / (std::cosh(x) - std::cos(x));
    const double prox = (std::sinh(delta) - std::sin(delta)) / (std::cosh(delta) + std::cos(delta));
    return delta * (skin + 2 * (m2 - 1) / 3 * prox);
}

WindingsLoss windingLoss(const ShapeGeometry& shape, std::span<const Winding> windings, double tempC) {
    WindingsLoss out;
    if (shape.leg == Leg::None) {
        out.reason = Reason::ShapeNotSupported;
        return out;
    }
    const double breadth = shape.height * (1 - 2 * kFormerFlangeShare);
    const double room = shape.room * (1 - 2 * kFormerRoomShare);
    const double wall = shape.room * kFormerRoomShare;
    const double rho = copperResistivity(tempC);
    double built = 0; // radial build of the windings inside this one
    for (const auto& w : windings) {
        const double od = w.outerDiameter > 0 ? w.outerDiameter : kInsulationShare * w.wireDiameter;
        if (!positive(w.turns) || !positive(w.wireDiameter) || w.strands < 1 || od < w.wireDiameter ||
            !isPeriodic(w.current) || !std::isfinite(tempC)) {
            out.reason = Reason::BadInput;
            return out;
        }
        WindingLoss r;
        r.turnsPerLayer = std::floor(breadth / od);
        if (r.turnsPerLayer < 1) {
            out.reason = Reason::WindingDoesNotFit;
            return out;
        }
        const double conductors = std::ceil(w.turns) * w.strands;
        r.layers = std::ceil(conductors / r.turnsPerLayer);
        const double build = r.layers * od;
        const double offset = wall + built + build / 2; // leg surface to the mean turn
        r.meanTurn = shape.leg == Leg::Round ? std::numbers::pi * (shape.legWidth + 2 * offset)
                                             : 2 * (shape.legWidth + shape.legDepth) + 2 * std::numbers::pi * offset;
        built += build;
        if (built > room) {
            out.reason = Reason::WindingDoesNotFit;
            return out;
        }
        const double area = w.strands * std::numbers::pi * w.wireDiameter * w.wireDiameter / 4;
        r.rdc = rho * w.turns * r.meanTurn / area;
        // Round wire as foil: its equivalent square, spread over the layer.
        const double porosity = w.wireDiameter * std::min(conductors, r.turnsPerLayer) / breadth;
        const double foil = std::pow(std::numbers::pi / 4, 0.75) * w.wireDiameter * std::sqrt(porosity);
        const double dc = mean(w.current);
        const double rmsI = rms(w.current);
        r.rmsCurrent = rmsI;
        r.dcLoss = r.rdc * rmsI * rmsI;
        double acLeft = rmsI * rmsI - dc * dc;
        double loss = r.rdc * dc * dc;
        const double f0 = 1 / period(w.current);
        double factor = 1;
        for (int n = 1; n <= kHarmonics && acLeft > 0; ++n) {
            const double in2 = 2 * std::norm(harmonic(w.current, n));
            factor = dowellFactor(foil / skinDepth(n * f0, tempC), r.layers);
            loss += r.rdc * factor * in2;
            acLeft -= in2;
        }
        if (acLeft > 0)
            loss += r.rdc * factor * acLeft;
        r.loss = loss;
        out.total += loss;
        out.windings.push_back(r);
    }
    return out;
}

} // namespace kv::magnetics
