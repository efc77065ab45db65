// Winding loss: DC resistance from the turns and the mean turn length of the
// core shape's window, AC resistance by Dowell's method for the layers the
// window gives, applied to each harmonic of the winding current.
#pragma once

#include "magnetics/Reason.h"
#include "magnetics/Waveform.h"

#include <span>
#include <string_view>
#include <vector>

namespace kv::magnetics {

enum class Leg { None, Round, Rect };

// Winding geometry of an IEC core shape (metres): the centre leg (diameter,
// or width × depth), the radial room beside it and the window height of the set.
struct ShapeGeometry {
    const char* name;
    Leg leg;
    double legWidth, legDepth, room, height;
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

// Windings are given from the centre leg out; each one fills whole layers of
// the former's breadth and the next starts on top of it.
WindingsLoss windingLoss(const ShapeGeometry& shape, std::span<const Winding> windings, double tempC);

} // namespace kv::magnetics
