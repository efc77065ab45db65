// Winding loss: DC resistance from the turns and the mean turn length of the
// core shape's window, AC resistance by Dowell's method for the layers the
// window gives, applied to each harmonic of the winding current.
#pragma once

#include "magnetics/Reason.h"
#include "magnetics/Waveform.h"

#include <numbers>
#include <span>
#include <string_view>
#include <vector>

namespace kv::magnetics {

inline constexpr double kMu0 = 4e-7 * std::numbers::pi; // H/m

enum class Leg { None, Round, Rect };

// Winding geometry of an IEC core shape (metres): the centre leg (diameter,
// or width × depth), the radial room beside it and the window height of the
// set; the outer surface of the set (m², its box or cylinder) and the gaps in
// its magnetic path (two for a U pair, one ground into the centre leg else).
struct ShapeGeometry {
    const char* name;
    Leg leg;
    double legWidth, legDepth, room, height;
    double surface;
    int gaps;
};

// The shape of that IEC name (e.g. "ETD 34/17/11"); nullptr when unknown.
const ShapeGeometry* findShape(std::string_view name);

// The coil former the window gives: its wall takes this share of the radial
// room on the leg side and the same at the outside, its flanges this share of
// the window height at each end.
inline constexpr double kFormerRoomShare = 0.10;
inline constexpr double kFormerFlangeShare = 0.05;
// Harmonics of a winding current summed one by one; the rest of the AC power
// is taken at the last one's resistance factor.
inline constexpr int kHarmonics = 100;

// Copper resistivity (Ω·m) at tempC.
double copperResistivity(double tempC);
// Skin depth of copper (m) at frequency f and tempC.
double skinDepth(double frequency, double tempC);
// Dowell's AC-to-DC resistance factor of a winding of `layers` layers whose
// conductors are `delta` skin depths thick (foil, or round wire as its
// equivalent foil with the layer's porosity taken in).
double dowellFactor(double delta, double layers);

struct Winding {
    double turns = 0;
    double wireDiameter = 0;  // bare copper, m
    double outerDiameter = 0; // with insulation, m (0: 1.08 × the bare diameter)
    int strands = 1;          // wires in parallel, wound side by side
    Waveform current;         // one period, A
};

struct WindingLoss {
    double meanTurn = 0; // m
    double layers = 0;
    double turnsPerLayer = 0;
    double rdc = 0;      // Ω at the given temperature
    double rmsCurrent = 0;
    double dcLoss = 0;   // W: the RMS current in the DC resistance
    double loss = 0;     // W: every harmonic in its own AC resistance
};

struct WindingsLoss {
    std::vector<WindingLoss> windings;
    double total = 0;
    Reason reason = Reason::None;
};

// Where the windings lie in the former. Windings are given from the centre
// leg out; each one fills whole layers of the former's breadth and the next
// starts on top of it.
struct WindingPlace {
    double turnsPerLayer = 0;
    double layers = 0;
    double meanTurn = 0; // m
};
struct WindingsLayout {
    std::vector<WindingPlace> windings;
    double build = 0;    // radial build of them all, m
    double room = 0;     // radial room of the former, m
    Reason reason = Reason::None; // BadInput, ShapeNotSupported or WindingDoesNotFit
};
WindingsLayout layWindings(const ShapeGeometry& shape, std::span<const Winding> windings);

// What of the winding loss does not change with temperature: the layout, the
// DC resistance over the resistivity and the power of each current harmonic.
struct WindingPlan {
    WindingLoss place;      // mean turn, layers, turns per layer, RMS current
    double rdcPerRho = 0;   // 1/m
    double foil = 0;        // equivalent foil thickness, m
    double fundamental = 0; // Hz
    double dcSquared = 0;   // A²
    std::vector<double> harmonicPower; // A² of harmonic 1, 2, ... (RMS squared)
    double rest = 0;        // A² beyond the last one
};
struct WindingsPlan {
    std::vector<WindingPlan> windings;
    Reason reason = Reason::None;
};
WindingsPlan planWindings(const ShapeGeometry& shape, std::span<const Winding> windings);
WindingsLoss windingLoss(const WindingsPlan& plan, double tempC);

WindingsLoss windingLoss(const ShapeGeometry& shape, std::span<const Winding> windings, double tempC);

} // namespace kv::magnetics
