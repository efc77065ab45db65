// From a designer's printed results to the losses of its magnetic: the core
// of the core table it was given, the flux and winding currents its own
// results define (flyback transformer, forward transformer, inductor), and
// what a window shows, or why it shows nothing.
#pragma once

#include "magnetics/CoreAdviser.h"
#include "magnetics/MagneticLoss.h"

#include <optional>
#include <string>
#include <string_view>

namespace kv::magnetics {

// A core of the core table as a design holds it: its type and material as
// the table names them, its effective values in SI.
struct TableCore {
    std::string type, material;
    double ae = 0, le = 0, ve = 0; // m², m, m³
    double aw = 0, al = 0;         // window of the set m², ungapped H per turn²
};
// A row as the workbook lists it: mm², mm², nH, mm, mm³.
TableCore tableCore(std::string type, std::string material, double aeMm2, double awMm2, double alNh,
                    double leMm, double veMm3);

// A picked core as a design file keeps it, in the workbook's units:
// "ETD44; N87; Ae mm²; Aw mm²; AL nH; le mm; Ve mm³". Reading gives nothing
// for a text that is not one (wrong count, a blank name, a number that is not
// a finite value, Ae, le or Ve not positive, Aw or AL negative).
std::string tableCoreText(const TableCore& c);
std::optional<TableCore> readTableCore(std::string_view text);

// The ambient a window starts with, °C.
inline constexpr double kDefaultAmbient = 40;

// One period of a winding current that is `from` at `start`, runs straight to
// `to` at start + width and is zero the rest of the period.
Waveform currentPulse(double from, double to, double start, double width, double periodS);
// An inductor's current: from `valley` up to `peak` in `rise`, back to the
// valley in `fall`, at the valley (0 when it runs dry) to the period's end.
Waveform inductorCurrent(double valley, double peak, double rise, double fall, double periodS);

// A flyback transformer as a designer prints it (SI).
struct FlybackPrinted {
    double vin = 0;           // the input the on-time is designed at, V
    double onTime = 0;        // s
    double period = 0;        // s
    double secondaryTime = 0; // s the secondary conducts after the on-time
    double lp = 0;            // H
    double primaryPeak = 0, secondaryPeak = 0; // A
    double np = 0, ns = 0;    // turns
    double primaryWire = 0, secondaryWire = 0; // bare copper diameters, m
    double ae = 0;            // m²
};
// True when every value is a finite number above zero: results a window can
// take the operating point from.
bool complete(const FlybackPrinted& p);
// The primary ramps up from its valley (the peak less vin·on/Lp, 0 in DCM)
// during the on-time; the secondary ramps down from its peak to the valley
// the same ampere-turns give. The flux swings by vin·on/(Np·Ae) (Faraday)
// up with the primary and back with the secondary.
MagneticDesign flybackMagnetic(const FlybackPrinted& p, double ambientC);
// The core adviser's operating point of the same transformer: its wires,
// the turns ratio of its currents and the designer's peak flux `bpk` (T).
FlybackPoint flybackPoint(const FlybackPrinted& p, double bpk, double ambientC);

// A single-switch forward transformer as its designer prints it (SI). The
// reset winding has the primary's turns, of a thin wire carrying only the
// magnetising current (its loss left out; its room in the window counted).
struct ForwardPrinted {
    double vin = 0, onTime = 0, period = 0;
    double primaryCurrent = 0, secondaryCurrent = 0; // A, flat over the on-time
    double np = 0, ns = 0;
    double primaryWire = 0, secondaryWire = 0; // m
    double ae = 0;
};
bool complete(const ForwardPrinted& p);
// The reset winding's wire: 30 AWG.
inline constexpr double kResetWire = 0.255e-3;
// The flux rises by vin·on/(Np·Ae) and resets at the same volts over the
// same time (the rest of the period when that is shorter).
MagneticDesign forwardMagnetic(const ForwardPrinted& p, double ambientC);

// An inductor as a designer prints it (SI).
struct InductorPrinted {
    double valley = 0, peak = 0; // A
    double rise = 0, fall = 0, period = 0; // s
    double inductance = 0;       // H
    double turns = 0, wire = 0;  // m
    double ae = 0;
};
// True when every value is finite, the valley at least 0 and below the peak
// and the others above zero.
bool complete(const InductorPrinted& p);
// The flux follows the current: B = L·i/(N·Ae).
MagneticDesign inductorMagnetic(const InductorPrinted& p, double ambientC);

// Why a window shows no loss figures.
enum class LossGap {
    None,      // the figures stand
    NoResults, // no results yet to take the operating point from
    TypedCore, // the core was typed in: its material, shape and volume are not known
    NoShape,   // its core type has no IEC shape, or that shape's winding is not modelled
    Model,     // the loss model's own reason (loss.reason)
};
struct WindowLoss {
    LossGap gap = LossGap::NoResults;
    MagneticLossResult loss;
    bool shown() const { return gap == LossGap::None; }
};

// The losses of `d` (flux or line cycle, windings and ambient filled in) on
// `core` (nullptr: a typed core): its material, the IEC shape of its type
// and its volume. A flux below the loss data is taken at the data's lowest
// (an upper bound, flagged).
WindowLoss lossOn(const TableCore* core, MagneticDesign d);

// What a window without results shows.
WindowLoss noResults();

// The frequencies (Hz) and temperatures (°C) a material's loss data cover,
// over all its fitted ranges; nothing for a material without data.
struct DataSpan {
    double fMin, fMax, tMin, tMax;
};
std::optional<DataSpan> dataSpan(std::string_view material);

} // namespace kv::magnetics
