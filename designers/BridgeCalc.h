// Built-in formulas of the converters with a centre-tapped secondary fed from
// a DC bus: push-pull, half bridge and full bridge, in single precision. They
// differ in the voltage across the primary and in its RMS current.
#pragma once

#include "form/Outcome.h"

namespace kv::designers::bridge {

// Every field of the three designers. Inputs carry the bridges' start values.
struct Design {
    // design conditions; Dmax is the duty of both switches together
    float VinMin = 250, VinMax = 360, Vo = 12, Io = 20, f = 60, Eff = 80, Vdf = 0.8f, Dmax = 0.8f, DB = 1600,
          Cmil = 500, Ae = 144;
    // results: Np and Ns of the push-pull are the turns of one half winding
    float Np = 0, Ns = 0, Dp = 0, Ds = 0, Irmsp = 0, Irmss = 0, Lo = 0;
};

enum class Topology { PushPull, HalfBridge, FullBridge };

enum Code : int {
    kLongDuty = 1, // notice: a push-pull Dmax above 0.8 leaves no margin
};

// The output inductor keeps conducting down to this share of the full load.
inline constexpr float kBoundaryLoad = 0.1f;

// The start values of a topology's designer.
Design startValues(Topology t);
// Share of the input voltage across the primary (one half of it for the push-pull).
float primaryShare(Topology t);

form::Outcome design(Design& d, Topology t);
// The same, as a computation button runs it.
form::Outcome pushPull(Design& d, int mode);
form::Outcome halfBridge(Design& d, int mode);
form::Outcome fullBridge(Design& d, int mode);

} // namespace kv::designers::bridge
