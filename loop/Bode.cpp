#include "loop/Bode.h"

#include "services/Constants.h"

#include <algorithm>
#include <cmath>

namespace kv::loop::bode {

namespace {
constexpr double kTwoPi = 2 * services::kPi;
constexpr double kDeg = 180 / services::kPi;

Complex jw(double f) { return {0, kTwoPi * f}; }
} // namespace

Complex Transfer::at(double f) const {
    Complex v = 1;
    const Complex s = jw(f);
    for (const Factor& k : factors) v *= k(s);
    return v;
}

double Transfer::gainDb(double f) const { return 20 * std::log10(std::abs(at(f))); }

double Transfer::phaseDeg(double f) const {
    double p = 0;
    const Complex s = jw(f);
    for (const Factor& k : factors) p += std::arg(k(s));
    return p * kDeg;
}

Factor gain(double k) {
    return [k](Complex) { return Complex(k); };
}
Factor zero(double f) {
    const double w = kTwoPi * f;
    return [w](Complex s) { return 1.0 + s / w; };
}
Factor pole(double f) {
    const double w = kTwoPi * f;
    return [w](Complex s) { return 1.0 / (1.0 + s / w); };
}
Factor rhpZero(double f) {
    const double w = kTwoPi * f;
    return [w](Complex s) { return 1.0 - s / w; };
}
Factor lcPole(double f0, double fq) {
    const double w0 = kTwoPi * f0, wq = kTwoPi * fq;
    return [w0, wq](Complex s) { return 1.0 / (1.0 + s / wq + (s / w0) * (s / w0)); };
}

Response sweep(const Transfer& plant, const Transfer& compensator, std::pair<double, double> range, int n) {
    Response r;
    const double a = std::log10(range.first), b = std::log10(range.second);
    r.f.resize(std::size_t(n));
    for (Curve* c : {&r.loop, &r.plant, &r.compensator}) {
        c->gain.resize(std::size_t(n));
        c->phase.resize(std::size_t(n));
    }
    for (int i = 0; i < n; ++i) {
        const double f = std::pow(10.0, a + (b - a) * i / (n - 1));
        const std::size_t k = std::size_t(i);
        r.f[k] = f;
        r.plant.gain[k] = plant.gainDb(f);
        r.plant.phase[k] = plant.phaseDeg(f);
        r.compensator.gain[k] = compensator.gainDb(f);
        r.compensator.phase[k] = compensator.phaseDeg(f);
        r.loop.gain[k] = r.plant.gain[k] + r.compensator.gain[k];
        r.loop.phase[k] = r.plant.phase[k] + r.compensator.phase[k];
    }
    const auto loopDb = [&](double f) { return plant.gainDb(f) + compensator.gainDb(f); };
    // Where the loop gain passes 0 dB between samples i and i + 1.
    const auto through = [&](std::size_t j) {
        double lo = std::log(r.f[j]), hi = std::log(r.f[j + 1]);
        const bool falling = r.loop.gain[j] > 0;
        for (int k = 0; k < 60; ++k) {
            const double mid = (lo + hi) / 2;
            ((loopDb(std::exp(mid)) > 0) == falling ? lo : hi) = mid;
        }
        return std::exp((lo + hi) / 2);
    };
    std::size_t i = 0;
    for (; i + 1 < r.f.size(); ++i) {
        if (!(r.loop.gain[i] > 0 && r.loop.gain[i + 1] <= 0)) continue;
        r.crossed = true;
        r.crossover = through(i);
        r.phase = plant.phaseDeg(r.crossover) + compensator.phaseDeg(r.crossover);
        r.margin = 180 + r.phase;
        break;
    }
    for (++i; r.crossed && i + 1 < r.f.size(); ++i) {
        if (!(r.loop.gain[i] <= 0 && r.loop.gain[i + 1] > 0)) continue;
        r.regain = through(i);
        break;
    }
    return r;
}

std::pair<double, double> span(double centre, std::initializer_list<double> corners) {
    double lo = centre, hi = centre;
    for (double c : corners) {
        if (!(c > 0) || !std::isfinite(c)) continue;
        lo = std::min(lo, c);
        hi = std::max(hi, c);
    }
    double dlo = std::floor(std::log10(lo)) - 1, dhi = std::ceil(std::log10(hi)) + 1;
    if (dhi - dlo > 8) {
        const double c = std::round(std::log10(centre));
        dlo = std::max(dlo, c - 4);
        dhi = std::min(dhi, c + 4);
    }
    return {std::pow(10.0, dlo), std::pow(10.0, dhi)};
}

} // namespace kv::loop::bode
