// Built-in flyback transformer formulas, in single precision.
#pragma once

#include <string>

namespace kv::designers::flyback {

struct Inputs {
    float Po = 74, Vo = 5, Eff = 70, VacMin = 90, VacMax = 270, Vswm = 600, Vswr = 115, f = 150,
          Vdf = 0.6f, r = 0.5f, Ptd = 20, Cmil = 400, Vopp = 50;
    float Ae = 0, Le = 0, Bpk = 2500, Bsat = 3000, Per = 5;
};

struct Results {
    float Lp = 0, Ls = 0, Np = 0, Ns = 0, Dp = 0, Ds = 0, Zc = 0;
    float Iin = 0, Ipkp = 0, Irmsp = 0, Iswe = 0, Ton = 0, Cin = 0;
    float Irmss = 0, Ipks = 0, Vdm = 0, Idm = 0, Co = 0, Vcm = 0;
    bool fluxAboveSaturation = false; // CCM only
};

// The mains peak is formed with this constant, not with the square root of two.
inline constexpr float kSqrt2 = 1.414f;

// Reflected-voltage turns ratio: ((Vswm - Vswr - 1.414 VacMax) / 1.4) / (Vo + Vdf).
float turnsRatio(const Inputs& in);
// DCM duty cycle of the core estimate.
float estimateDuty(const Inputs& in);

// Core estimate: CCM core volume Ve (mm3); DCM area product (mm4).
float estimateCcm(const Inputs& in);
float estimateDcm(const Inputs& in);

Results verifyCcm(const Inputs& in);
Results verifyDcm(const Inputs& in);

struct Snubber {
    float Rlk = 0; // kOhm
    float Clk = 0; // nF
};
Snubber snubber(const Inputs& in, float Lp, float Ipkp);

// Ns: Np0 / n rounded up when it has a fraction; Np: n x Ns rounded to the
// nearest whole number, half rounding down.
void roundTurns(float np0, float n, float& np, float& ns);

} // namespace kv::designers::flyback
