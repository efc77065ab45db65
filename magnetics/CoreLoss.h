// Core loss of the ferrites of the core table: the improved generalised
// Steinmetz equation over a piecewise-linear flux waveform, with k, α, β and
// the loss-against-temperature curve fitted per material and frequency range
// (tools/fit_core_loss.py, data/core_loss_points.csv).
#pragma once

#include "magnetics/Reason.h"
#include "magnetics/Waveform.h"

#include <functional>
#include <span>
#include <string_view>

namespace kv::magnetics {

// One fitted range: Pv = k·f^α·B^β·ct(T) in W/m³ (f in Hz, B peak in T),
// ct(T) = 1 + c1·(T − 25) + c2·(T − 25)², valid inside the box of f, B and T
// its data points cover.
struct LossRange {
    const char* material;
    double fMin, fMax, bMin, bMax, tMin, tMax;
    double k, alpha, beta, c1, c2;
    int points;
    int measured;         // measured points among them; 0: fitted to published fits only
    double largestError;  // of the model at the measured points (the fitted ones where none), as a fraction
    double shareWithin15; // of those points within ±15 %
};

std::span<const LossRange> lossRanges();
bool knownMaterial(std::string_view material);
// The range of `material` whose frequencies hold f; nullptr when none does.
const LossRange* rangeFor(std::string_view material, double frequency);

double temperatureFactor(const LossRange& r, double tempC);
// The plain Steinmetz equation for a sine of peak `bPeak` (W/m³).
double steinmetz(const LossRange& r, double frequency, double bPeak, double tempC);
// The iGSE over one period of a piecewise-linear B(t) (T), with the major
// loop's peak-to-peak swing (W/m³). Flat parts lose nothing.
double igse(const LossRange& r, std::span<const Corner> flux, double tempC);

struct CoreLoss {
    double pv = 0;           // W/m³; not a number unless reason is None
    Reason reason = Reason::None;
    double outsideValue = 0; // the model's value where reason says the point is outside its data
    double outsideShare = 0; // share of a line-cycle average from points outside the data
    bool bound = false;      // pv is the loss at the data's lowest flux: an upper bound
};

// What a peak flux below the lowest of the data gives: FluxOutside, or the
// loss of the same waveform scaled up to that lowest flux, an upper bound
// (the loss of a ferrite only grows with the flux).
enum class LowFlux { Refuse, UpperBound };

// Loss density of a flux waveform, checked against the fitted range: the
// fundamental frequency, the peak flux (half the swing) and the temperature.
CoreLoss coreLossDensity(std::string_view material, std::span<const Corner> flux, double tempC,
                         LowFlux lowFlux = LowFlux::Refuse);

// Transition-mode boost PFC inductor: triangular ripple from zero to the peak
// of the line current, on-time constant over the half line cycle.
struct TmBoost {
    double vrms = 0;       // line voltage, V RMS
    double vout = 0;       // output voltage, V
    double pin = 0;        // input power, W
    double inductance = 0; // H
    double turns = 0;
    double ae = 0;         // effective area, m²
};
// The line-cycle average of the iGSE loss density; points of the half cycle
// outside the fitted range carrying more than 5 % of it make the result
// outside (their share is reported either way).
CoreLoss tmBoostLineAverage(std::string_view material, const TmBoost& op, double tempC, int samples = 180);

// One switching period of a line cycle: a triangle of flux.
struct TrianglePeriod {
    double swing = 0;     // T peak to peak
    double frequency = 0; // Hz
    double duty = 0;      // share of the period spent rising
};
// The average over a half line cycle of the iGSE loss density of the period
// `at(θ)` gives (θ in 0 … π, taken at `samples` midpoints), under the same
// 5 % rule for points outside the data as above.
CoreLoss lineCycleAverage(std::string_view material, const std::function<TrianglePeriod(double)>& at, double tempC,
                          int samples);

} // namespace kv::magnetics
