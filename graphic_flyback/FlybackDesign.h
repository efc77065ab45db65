// The design record of the graphical flyback designer and its computation.
#pragma once

#include "magnetics/DesignLoss.h"
#include "services/InputRange.h"

#include <optional>
#include <span>
#include <string>

namespace kv::graphic {

struct FlybackDesign {
    // inputs
    float VacMin = 90, VacMax = 270, fLine = 50, Efficiency = 70;
    int CinMode = 0; // 0: ripple given; 1: capacitance given
    float PerVinpp = 38, Cin = 0, fosc = 70, Dmax = 0.4f, VMos = 600, PerLLK = 5, Vz = 105;
    int Mode = 0;    // 0: CCM; 1: DCM
    float Ae = 17, Le = 35, Bpk = 2500, Bsat = 3000, r = 0.5f, Tdie = 20, Vor = 75, Cmil = 400;
    std::string CoreName = "磁芯:用户输入";
    // The picked core's row (type, material and values); none for a core typed in.
    std::optional<magnetics::TableCore> Core;
    float Vdo = 0.8f, Vo = 5, Io = 1, Vopp = 50, Vf = 6, Vdf = 0.6f;
    // the ambient of the transformer's losses (°C)
    float Ta = float(magnetics::kDefaultAmbient);
    // results
    float VdcMin = 0, Iin = 0, Ipkp = 0, Irmsp = 0, Lp = 0, Np = 0, dp = 0, Ipks = 0, Irmss = 0,
          Ls = 0, Ns = 0, ds = 0, Lgap = 0, Rlk = 0, Clk = 0, Vswy = 0, Isw = 0, VDon = 0, IDout = 0,
          VCout = 0, Esr = 0, Co = 0, Nf = 0;
};

inline constexpr const char* kUserCore = "磁芯:用户输入";

enum class Derive { FromDuty, FromVor };

struct Outcome {
    bool vorError = false;   // Vor >= Vz: the leakage spike is below the reflected voltage
    bool fluxWarning = false; // CCM: achieved peak flux density above Bsat
    bool bulkEmpties = false; // given Cin: it cannot carry the load to the next half wave at all
    float achievedFlux = 0;  // gauss, CCM
};

// A number the user gives, by its name in the design record, with what the
// formulas need of it.
struct DesignInput {
    const char* key;
    float FlybackDesign::*value;
    services::Range range;
    int only; // -1 always; else the CCM/DCM mode (0/1) or, for the capacitor, 10 + CinMode
};
// Every one of them.
std::span<const DesignInput> designInputs();

// An input the formulas cannot take: its name in the design record and what it needs.
struct InputProblem {
    const char* key;
    services::Range range;
};
// The first such input of the current mode, or nothing.
std::optional<InputProblem> firstBadInput(const FlybackDesign& d);

// Recomputes every result from the inputs; `Vor` or `Dmax` (by `how`),
// `PerVinpp` or `Cin`, `Esr` and `Vf` are written back too.
Outcome recalculate(FlybackDesign& d, Derive how);

// The lowest rectified voltage for a given capacitance: the 0.1 V grid search.
float searchVdcMin(const FlybackDesign& d);

// The transformer the results define at the lowest rectified voltage (SI);
// nothing when they are not numbers.
std::optional<magnetics::FlybackPrinted> printed(const FlybackDesign& d);
// Its losses and rise on the picked core, at the ambient Ta.
magnetics::WindowLoss losses(const FlybackDesign& d);
// The core adviser's operating point of the design as it stands.
std::optional<magnetics::FlybackPoint> adviserPoint(const FlybackDesign& d);

} // namespace kv::graphic
