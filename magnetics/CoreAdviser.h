// The core adviser of a flyback transformer: every core of the database at
// one operating point, with its turns, gap, peak flux, window fill, losses and
// temperature rise, or the reason it does not fit; the cores that fit ranked
// by their temperature rise.
#pragma once

#include "magnetics/MagneticLoss.h"

#include <span>
#include <string_view>
#include <vector>

namespace kv::magnetics {

// Peak flux at most this share of the material's saturation at 100 °C
// (room for the tolerance of Lp, the current limit and a core above 100 °C).
inline constexpr double kSaturationMargin = 0.8;
// Bare copper over the core window, room left for the coil former, the
// insulation between windings and the margins (McLyman's Ku of round wire).
inline constexpr double kMaxWindowFill = 0.4;
// The gap at least this many times the ferrite's own path (μ0·Ae/AL): the
// ferrite then holds at most a fifth of the reluctance, and the ±25 % of its
// AL moves Lp by at most about 5 %.
inline constexpr double kMinGapOverFerrite = 4;
// The longest gap: where the fringing flux carries as much as the gap's own.
inline constexpr double kMaxFringing = 2;

struct WireSize {
    double diameter = 0;      // bare copper, m; 0: chosen from the current density
    double outerDiameter = 0; // with insulation, m; 0: 1.08 × the bare diameter
    int strands = 1;          // wires in parallel
};

// A flyback's operating point at full load and lowest input. Currents are
// trapezoids (CCM) or triangles (DCM, valley 0): the primary rises from its
// valley to its peak during the on-time, the secondary falls from its peak to
// its valley over its conduction share right after it.
struct FlybackPoint {
    double inductance = 0;      // Lp, H
    double frequency = 0;       // Hz
    double duty = 0;            // on-time over the period
    double primaryPeak = 0;     // A
    double primaryValley = 0;   // A
    double secondaryPeak = 0;   // A
    double secondaryValley = 0; // A
    double secondaryShare = 0;  // conduction time of the secondary over the period (1 − duty in CCM)
    double turnsRatio = 0;      // n = Np / Ns
    double bpk = 0;             // the designer's peak flux density, T
    double currentDensity = 0;  // A/m², for a winding whose wire is not given
    WireSize primaryWire, secondaryWire;
    double ambientC = 40;
};

// The first input of a point that cannot be used, None when all can.
enum class PointInput {
    None, Inductance, Frequency, Duty, PrimaryCurrent, SecondaryCurrent, SecondaryShare,
    TurnsRatio, FluxDensity, Wire, Ambient,
};
PointInput badInput(const FlybackPoint& op);

// The wire a winding of `rmsCurrent` gets at `currentDensity`: its copper
// area, split into equal strands no thicker than twice the skin depth of
// copper at 20 °C at the switching frequency.
WireSize wireFor(double rmsCurrent, double currentDensity, double frequency);

// One row of the core database, in SI units.
struct CoreCandidate {
    std::string_view type, material;
    double ae = 0; // m²
    double le = 0; // m
    double ve = 0; // m³
    double aw = 0; // window area of the set, m²
    double al = 0; // ungapped, H per turn²
};
// A row as the workbook lists it: mm², mm², nH, mm, mm³.
CoreCandidate catalogCore(std::string_view type, std::string_view material, double aeMm2, double awMm2,
                          double alNh, double leMm, double veMm3);

enum class Verdict {
    Fits,
    BadPoint,         // the operating point cannot be used (badInput)
    BadCoreData,      // Ae, le, Ve, AW or AL of the row not above zero
    NoShape,          // no IEC shape for the row's type
    ShapeNotModelled, // its shape's winding geometry or surface is not modelled
    UnknownMaterial,  // no saturation or loss data for its material
    FrequencyOutside, // the switching frequency is outside the material's loss data
    Saturates,        // its window cannot hold the turns that keep the peak flux within the limit (bAtMostTurns)
    GapTooLong,       // Lp needs a gap longer than the fringing allows at those turns
    DoesNotFitWindow, // the wires, or the turns the shortest gap needs, do not fit the window
    TooHot,           // it would settle above the loss data's temperatures
    OutsideLossData,  // its flux is outside the material's loss data (lossReason says how)
};
const char* describe(Verdict v);

struct CoreAdvice {
    Verdict verdict = Verdict::BadPoint;
    int rank = 0;            // 1 for the coolest core that fits, 0 for a core that does not
    const char* shape = "";  // IEC shape, "" when none
    double bsat100 = 0;      // T
    double bLimit = 0;       // the lower of Bpk and the margin below Bsat at 100 °C, T
    // The design, where it got so far (0 before):
    int primaryTurns = 0, secondaryTurns = 0;
    double bPeak = 0, bSwing = 0; // T
    double gap = 0;          // total air in the path, m (centre leg; both legs of a U pair)
    double fringing = 1;     // the gap's fringing factor: Lp = F·μ0·Np²·Ae/(gap + μ0·Ae/AL)
    double fill = 0;         // bare copper over AW
    WireSize primaryWire, secondaryWire;
    // Saturates: the most primary turns the window holds and the peak flux with them.
    int mostPrimaryTurns = 0;
    double bAtMostTurns = 0;
    // The losses and the rise; not a number unless the core fits.
    MagneticLossResult loss;
};

// The advice for every row, in the rows' order.
std::vector<CoreAdvice> adviseCores(const FlybackPoint& op, std::span<const CoreCandidate> rows);
// Indexes of `advice` in the adviser's order: the cores that fit by rank
// (the coolest first), then those that do not, as they came.
std::vector<size_t> rankedOrder(std::span<const CoreAdvice> advice);

// McLyman's fringing factor of a gap ground into the centre leg (a U pair:
// half of it in each leg): F = 1 + (g/√Ae)·ln(2G/g) per gap, G the window height.
double fringingFactor(double gap, const ShapeGeometry& shape, double ae);

} // namespace kv::magnetics
