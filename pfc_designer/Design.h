// The program-wide design values shared by all callbacks (one design at a time).
#pragma once

#include "pfc_designer/Ids.h"
#include "pfc_designer/InductorLossCalc.h"
#include "pfc_designer/PfcCalc.h"
#include "pfc_designer/ProjectFile.h"

#include <array>

namespace k7350 {

// The choice flags `ant`, one per step where the user may put his own value
// in place of the computed one; the bill of materials lists his value when
// the flag is kChosen. Calculate sets every flag back to kNotChosen.
enum Choice {
    ANT_SENSE,      // the sense resistors edited: Rsense instead of Rsx
    ANT_INDUCTANCE, // the inductance edited: trueL instead of L
    ANT_INPUT_CAP,  // the input capacitance edited: truCin instead of Cin
    ANT_OUTPUT_CAP, // the output capacitance accepted: truCout instead of Cout
    ANT_TOPOLOGY,   // a compensation topology chosen: the compensation parts
    ANT_C1,         // the compensation capacitor C1 edited: the compensation parts
    ANT_ZCD,        // the ZCD step opened or its circuit changed: the ZCD parts
    kChoices
};
constexpr double kChosen = 1, kNotChosen = 0.1;
using Choices = std::array<double, kChoices>;
constexpr Choices kNoChoices = {kNotChosen, kNotChosen, kNotChosen, kNotChosen,
                                kNotChosen, kNotChosen, kNotChosen};

struct Design {
    // input conditions
    double Vin_min = 90, Vin_max = 264, line_freq = 50, Vout = 400, Pout = 100, effic = 95,
           pwm_freq = 40, PFC = 0.99, Tmax = 50;
    // operating currents
    double Pin = 0, Iout = 0, Iin_rms = 0, ILpk = 0, ILrms = 0, ILac = 0, Isw_rms = 0, Id_rms = 0,
           Rout = 0;
    // sense resistor
    double Rsx = 0, Rsense = 0, single = 0, Rparallele = 0, Ps = 0, maxIpk = 0;
    // boost inductor and core
    double L = 0, trueL = 0, f = 0, AE = 0, ML = 0, gap = 0, Np = 0, Vmin = 0;
    // the inductor's loss inputs: ring indices (0: not chosen) and °C
    double coreMaterial = 0, coreShape = 0, lossAmbient = kLossAmbient;
    // MOSFET
    int BRdss = 0;
    double Ron = 0, Tf = 0, Cd = 0, Pmax = 0, Rthm = 0;
    // diode
    double Vr = 0, Id = 0, Vf = 0, Rd = 0, Pdiod = 0, Rthd = 0;
    // capacitors
    double rip = 0, Cin = 0, truCin = 0;
    double Thold = 0, delta = 0, Vomin = 0, C1 = 0, C2 = 0, Cout = 0, truCout = 0, ICo = 0;
    // multiplier
    double Kp = 0, Rlwmult = 0, Rupmult = 0, Rlowmult = 0, trueRupmult = 0, effKp = 0;
    // zero-current detection
    double zcd = 0, naux = 0, actR = 0, Rz = 0, Rzcd = 0;
    // feedback, OVP and loop
    double OVP = kPresetOvp, Rh = 0, RL = 0, RHeff = 0, RLeff = 0, Voutnom = 0, VAC = 0, Po = 0;
    int load = 0, top = 0;
    double R1 = 0, KM = 0;
    Choices ant = kNoChoices;
    // The project file as last loaded or saved: its 100 slots (the program's
    // double_array; slots 41–99 go back as they were read) and the values after them.
    Project file;
    // the user's edits counted at the last save or load
    unsigned long savedEdits = 0;

    Spec spec() const {
        return {Vin_min, Vin_max, line_freq, Vout, Pout, effic, pwm_freq, PFC, Tmax};
    }
    void setSpec(const Spec& s) {
        Vin_min = s.Vin_min;
        Vin_max = s.Vin_max;
        line_freq = s.line_freq;
        Vout = s.Vout;
        Pout = s.Pout;
        effic = s.effic;
        pwm_freq = s.pwm_freq;
        PFC = s.PFC;
        Tmax = s.Tmax;
    }
};

extern Design dv;
// Panel handles by resource id (0 for none).
extern int hp[kPanelIds];

} // namespace k7350
