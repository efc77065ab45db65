// Multiplier divider, zero-current detection, feedback, OVP and the voltage loop.
#include "pfc_designer/Program.h"

#include <cmath>

using namespace kv::panels;

namespace k7350 {

namespace {
Loop g_loop;
}

const Loop& lastLoop() { return g_loop; }

// ---- step 7: multiplier divider --------------------------------------------------------

void multNET() {
    conti();
    leggiRsns();
    dim(PANEL_MULT, MULT_CLOSE, true);
    const Multiplier m = multiplierDivider(dv.spec(), dv.ILpk, dv.Rsense);
    dv.Vmult_max = m.Vmult_max;
    dv.Kp = m.Kp;
    dv.Rlwmult = m.Rlwmult;
    dv.Rupmult = m.Rupmult;
    setv(PANEL_MULT, MULT_RUPSUG, dv.Rupmult);
    setv(PANEL_MULT, MULT_RLOWSUG, dv.Rlwmult);
}

void calcolaKp() {
    dv.Rlowmult = getv(PANEL_MULT, MULT_RLOW);
    dv.trueRupmult = getv(PANEL_MULT, MULT_RUP);
    dv.effKp = dividerRatio(dv.Rlowmult, dv.trueRupmult);
    if (dv.effKp < 0.7 * dv.Kp)
        MessagePopup("WARNING", "You are exploiting less than 70% \n of multiplier dynamics.\nReduce high resistor value");
}

void Ralta() {
    dv.Rlowmult = getv(PANEL_MULT, MULT_RLOW);
    dv.Rupmult = upperResistor(dv.Kp, dv.Rlowmult);
    setv(PANEL_MULT, MULT_RUPSUG, dv.Rupmult);
    calcolaKp();
}

bool multiplierValid() {
    dv.Rlowmult = getv(PANEL_MULT, MULT_RLOW);
    dv.trueRupmult = getv(PANEL_MULT, MULT_RUP);
    return dv.trueRupmult >= dv.Rupmult && dv.Rlowmult >= 0.001;
}

K7350_CALLBACK(res_low) {
    ON_COMMIT;
    dv.Rlowmult = getv(PANEL_MULT, MULT_RLOW);
    Ralta();
    calcolaKp();
    return 0;
}

K7350_CALLBACK(res_hightrue) {
    ON_COMMIT;
    dv.trueRupmult = getv(PANEL_MULT, MULT_RUP);
    if (!(dv.trueRupmult >= dv.Rupmult)) {
        MessagePopup("WARNING", "increase high resistor value \n below the maximum \nor reduce low resistor value");
        dim(PANEL_MULT, MULT_CLOSE, true);
    } else {
        dim(PANEL_MULT, MULT_CLOSE, false);
        calcolaKp();
    }
    return 0;
}

// ---- step 8: zero-current detection ------------------------------------------------------

void ZCDc() {
    conti();
    ZCDscelto();
    calcolaZCD();
    calcolaRZCD();
}

void ZCDscelto() {
    dv.zcd = getv(PANEL_ZCD, ZCD_CIRCUIT);
    dv.ant[6] = 1;
    if (dv.zcd == 0) auxW();
    else RC();
    dim(PANEL_ZCD, ZCD_CLOSE, false);
}

void auxW() {
    calcolaZCD();
    calcolaRZCD();
    for (int c : {ZCD_NAUX, ZCD_RZ, ZCD_RZCD, ZCD_ACTR}) dim(PANEL_ZCD, c, false);
    showCtrl(PANEL_ZCD, ZCD_AUXTEXT, true);
    for (int c : {ZCD_RC1, ZCD_RC2, ZCD_RC3, ZCD_RC4}) dim(PANEL_ZCD, c, true);
    dim(PANEL_ZCD, ZCD_AUXONLY, false);
}

void RC() {
    for (int c : {ZCD_NAUX, ZCD_RZ, ZCD_ACTR, ZCD_RZCD}) dim(PANEL_ZCD, c, true);
    showCtrl(PANEL_ZCD, ZCD_AUXTEXT, false);
    for (int c : {ZCD_RC1, ZCD_RC2, ZCD_RC3, ZCD_RC4}) dim(PANEL_ZCD, c, false);
    dim(PANEL_ZCD, ZCD_AUXONLY, true);
}

void calcolaZCD() {
    dv.naux = maxAuxRatio(dv.Vout, dv.Vin_max);
    setv(PANEL_ZCD, ZCD_NAUX, dv.naux);
    calcolaRZCD();
}

void calcolaRZCD() {
    dv.Rz1 = (dv.Vout / dv.actR - 4.7) / 3;
    dv.Rz2 = (std::sqrt(2.0) * dv.Vin_max / dv.actR + 1) / 3;
    dv.Rz = minZcdResistor(dv.Vout, dv.Vin_max, dv.actR);
    setv(PANEL_ZCD, ZCD_RZ, dv.Rz);
}

bool zcdValid() {
    dv.actR = getv(PANEL_ZCD, ZCD_ACTR);
    if (dv.zcd != 0) return true;
    return dv.Rzcd >= dv.Rz && dv.actR >= 0.001;
}

K7350_CALLBACK(Rturn) {
    ON_COMMIT;
    dv.actR = getv(PANEL_ZCD, ZCD_ACTR);
    if (dv.actR > dv.naux) {
        MessagePopup("WARNING", "Actual turn ratio must be lower \n than showed maximum");
        dim(PANEL_ZCD, ZCD_CLOSE, true);
    } else {
        dim(PANEL_ZCD, ZCD_CLOSE, false);
        calcolaRZCD();
    }
    return 0;
}

K7350_CALLBACK(scelta_rzcd) {
    ON_COMMIT;
    dv.Rzcd = getv(PANEL_ZCD, ZCD_RZCD);
    if (!(dv.Rzcd >= dv.Rz)) {
        MessagePopup("WARNING", "Rzcd value must be higher \n than showed minimum");
        dim(PANEL_ZCD, ZCD_CLOSE, true);
    } else {
        dim(PANEL_ZCD, ZCD_CLOSE, false);
    }
    return 0;
}

K7350_CALLBACK(circ_ZCD) {
    ON_COMMIT;
    dv.zcd = getv(PANEL_ZCD, ZCD_CIRCUIT);
    ZCDscelto();
    return 0;
}

// ---- step 9: feedback, OVP and the loop -------------------------------------------------

void feedandOVP() {
    feedpercomp(true);
    calcola_set();
    for (int g : {FEED_GAIN, FEED_PHASE}) {
        SetCtrlAttribute(hp[PANEL_FEED], g, ATTR_GRID_COLOR, VAL_GREEN);
        SetCtrlAttribute(hp[PANEL_FEED], g, ATTR_SHOW_LEGEND, 1);
    }
}

void feedpercomp(bool presets) {
    conti();
    leggiRsns();
    if (presets) {
        setv(PANEL_FEED, FEED_VAC, dv.Vin_max);
        setv(PANEL_FEED, FEED_PO, dv.Pout);
        setv(PANEL_FEED, FEED_OVP, 40);
    }
    calcolaRh();
    setv(PANEL_FEED, FEED_RH, dv.Rh);
    calcolaRl();
    setv(PANEL_FEED, FEED_RL, dv.RL);
}

void calcolaRh() {
    conti();
    dv.OVP = getv(PANEL_FEED, FEED_OVP);
    dv.Rh = upperFeedback(dv.OVP);
    setv(PANEL_FEED, FEED_RH, dv.Rh);
}

void calcolaRl() {
    dv.RHeff = getv(PANEL_FEED, FEED_RHEFF);
    dv.RL = lowerFeedback(dv.RHeff >= 0.001 ? dv.RHeff : dv.Rh, dv.Vout);
    setv(PANEL_FEED, FEED_RL, dv.RL);
}

void calcolaVout() {
    dv.RHeff = getv(PANEL_FEED, FEED_RHEFF);
    dv.RLeff = getv(PANEL_FEED, FEED_RLEFF);
    if (dv.RHeff < 0.001 || dv.RLeff < 0.001) {
        dv.Voutnom = 0;
        return;
    }
    dv.Voutnom = dividerOutput(dv.RHeff, dv.RLeff);
    setv(PANEL_FEED, FEED_VOUTNOM, dv.Voutnom);
    if (dv.Voutnom < 0.9 * dv.Vout || dv.Voutnom > 1.1 * dv.Vout)
        MessagePopup("WARNING", "The obtanied output voltage is outside \nthe nominal value +/-10%");
}

K7350_CALLBACK(vover) {
    ON_COMMIT;
    dv.OVP = getv(PANEL_FEED, FEED_OVP);
    calcolaRh();
    return 0;
}

K7350_CALLBACK(effRH) {
    ON_COMMIT;
    dv.RHeff = getv(PANEL_FEED, FEED_RHEFF);
    if (dv.RHeff > dv.Rh)
        MessagePopup("WARNING", "This value will cause an OVP threshold \nhigher than the selected value.\n"
                                "Reduce high resistor value or increase\n the overvoltage value.");
    calcolaRl();
    calcolaVout();
    return 0;
}

K7350_CALLBACK(effRL) {
    ON_COMMIT;
    dv.RLeff = getv(PANEL_FEED, FEED_RLEFF);
    calcolaVout();
    return 0;
}

K7350_CALLBACK(setpointRMS) {
    ON_COMMIT;
    dv.VAC = getv(PANEL_FEED, FEED_VAC);
    if (!(dv.Vin_min <= dv.VAC && dv.VAC <= dv.Vin_max)) {
        MessagePopup("WARNING", "this value is outside the input range\n set in input panel");
        dim(PANEL_FEED, FEED_CLOSE, true);
        return 0;
    }
    dim(PANEL_FEED, FEED_CLOSE, false);
    calcola_set();
    return 0;
}

K7350_CALLBACK(setpointPout) {
    ON_COMMIT;
    dv.Po = getv(PANEL_FEED, FEED_PO);
    if (!(dv.Po <= dv.Pout)) {
        MessagePopup("WARNING", "this value is higher than that the value\n set in input panel");
        dim(PANEL_FEED, FEED_CLOSE, true);
        return 0;
    }
    dim(PANEL_FEED, FEED_CLOSE, false);
    calcola_set();
    return 0;
}

namespace {
void clearLoop() {
    for (int g : {FEED_GAIN, FEED_PHASE}) {
        DeleteGraphPlot(hp[PANEL_FEED], g, VAL_DELETE_ALL, VAL_IMMEDIATE_DRAW);
        SetCursorPosition(hp[PANEL_FEED], g, 1, NAN, NAN);
    }
    setv(PANEL_FEED, FEED_FC, NAN);
    setv(PANEL_FEED, FEED_PM, NAN);
}
} // namespace

void calcola_set() {
    dv.VAC = getv(PANEL_FEED, FEED_VAC);
    dv.Po = getv(PANEL_FEED, FEED_PO);
    // The chosen divider's ratio, whatever step set it last (a load sets none).
    dv.effKp = dividerRatio(getv(PANEL_MULT, MULT_RLOW), getv(PANEL_MULT, MULT_RUP));
    const OperatingPoint op = operatingPoint(dv.Rsense, dv.Po, dv.effic, dv.PFC, dv.VAC, dv.effKp);
    if (!op.ok) {
        dv.KM = NAN;
        dv.V2 = NAN;
        MessagePopup("WARNING", "No operating point of the multiplier\nfor this input voltage and power");
        clearLoop();
        return;
    }
    dv.V2 = op.V2;
    dv.KM = op.KM;
}

void elementi() {
    dv.top = geti(PANEL_FEED, FEED_TOP);
    const bool r1 = dv.top == 1 || dv.top == 2, c2 = dv.top == 2;
    showCtrl(PANEL_FEED, FEED_C1, true);
    showCtrl(PANEL_FEED, FEED_C1LABEL, true);
    showCtrl(PANEL_FEED, FEED_C2, c2);
    showCtrl(PANEL_FEED, FEED_C2LABEL, c2);
    showCtrl(PANEL_FEED, FEED_R1, r1);
    showCtrl(PANEL_FEED, FEED_R1LABEL, r1);
}

K7350_CALLBACK(Comptop) {
    ON_COMMIT;
    dv.top = geti(PANEL_FEED, FEED_TOP);
    dv.ant[4] = 1;
    elementi();
    calcFDTcomp();
    return 0;
}

K7350_CALLBACK(loadC) {
    ON_COMMIT;
    dv.load = geti(PANEL_FEED, FEED_LOAD);
    calcFTpow();
    return 0;
}

K7350_CALLBACK(C1C) {
    ON_COMMIT;
    dv.C1 = getv(PANEL_FEED, FEED_C1);
    dv.ant[5] = 1;
    calcFDTcomp();
    dim(PANEL_FEED, FEED_START, false);
    return 0;
}

K7350_CALLBACK(C2C) {
    ON_COMMIT;
    dv.C2 = getv(PANEL_FEED, FEED_C2);
    calcFDTcomp();
    dim(PANEL_FEED, FEED_START, false);
    return 0;
}

K7350_CALLBACK(R1R) {
    ON_COMMIT;
    dv.R1 = getv(PANEL_FEED, FEED_R1);
    calcFDTcomp();
    dim(PANEL_FEED, FEED_START, false);
    return 0;
}

void calcFTpow() {
    frequencyGrid(g_loop);
    powerStage(g_loop, dv.load, dv.KM, dv.VAC, dv.Vout, dv.Rsense, dv.truCout, dv.Rout);
}

void calcFDTcomp() {
    frequencyGrid(g_loop);
    compensation(g_loop, dv.top, dv.C1, dv.R1, dv.C2);
}

void calcF() {
    loopGain(g_loop, dv.RHeff);
    grafmodulo();
    graffase();
    const Crossover c = crossover(g_loop);
    setv(PANEL_FEED, FEED_FC, c.ok ? c.f : NAN);
    setv(PANEL_FEED, FEED_PM, c.ok ? c.margin : NAN);
    for (int g : {FEED_GAIN, FEED_PHASE})
        SetCursorPosition(hp[PANEL_FEED], g, 1, c.ok ? c.f : NAN, 0);
}

namespace {
void plotLoop(int graph, const double* y) {
    const int h = hp[PANEL_FEED];
    RefreshGraph(h, graph);
    DeleteGraphPlot(h, graph, VAL_DELETE_ALL, VAL_IMMEDIATE_DRAW);
    SetCursorAttribute(h, graph, 1, ATTR_CURSOR_SNAP, 1);
    PlotXY(h, graph, g_loop.ff.data(), y, kLoopPoints, VAL_DOUBLE, VAL_DOUBLE, VAL_THIN_LINE,
           VAL_EMPTY_SQUARE, VAL_SOLID, 1, VAL_RED);
}
} // namespace

void grafmodulo() { plotLoop(FEED_GAIN, g_loop.MF.data()); }
void graffase() { plotLoop(FEED_PHASE, g_loop.FF.data()); }

K7350_CALLBACK(Cstart) {
    ON_COMMIT;
    dv.C1 = getv(PANEL_FEED, FEED_C1);
    dv.R1 = getv(PANEL_FEED, FEED_R1);
    dv.C2 = getv(PANEL_FEED, FEED_C2);
    dv.load = geti(PANEL_FEED, FEED_LOAD);
    dv.RHeff = getv(PANEL_FEED, FEED_RHEFF);
    if (dv.RHeff < 0.001 || dv.RLeff < 0.001) {
        MessagePopup("WARNING", "Insert feedback resistor values");
        dim(PANEL_FEED, FEED_CLOSE, true);
        return 0;
    }
    dim(PANEL_FEED, FEED_CLOSE, false);
    if (dv.top < 0 || dv.top > 2) return 0;
    const bool ok = dv.C1 >= 0.001 && (dv.top < 1 || dv.R1 >= 0.001) && (dv.top < 2 || dv.C2 >= 0.001);
    if (!ok) {
        MessagePopup("WARNING", "All parameters must be\ngrater than 0");
        dim(PANEL_FEED, FEED_START, true);
        return 0;
    }
    dim(PANEL_FEED, FEED_START, false);
    calcola_set(); // the operating point of the divider and set point in force now
    if (!std::isfinite(dv.KM)) return 0;
    calcFDTcomp();
    calcFTpow();
    calcF();
    return 0;
}

} // namespace k7350
