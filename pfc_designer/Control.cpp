// Multiplier divider, zero-current detection, feedback, OVP and the voltage loop.
#include "pfc_designer/Program.h"
#include "platform/ui/Numbers.h"

#include <cmath>

using namespace kv::panels;

namespace k7350 {

namespace {
Loop g_loop;
}

// ---- step 7: multiplier divider --------------------------------------------------------

void multNET() {
    conti();
    leggiRsns();
    const Multiplier m = multiplierDivider(dv.spec(), dv.ILpk, dv.Rsense);
    dv.Kp = m.Kp;
    dv.Rlwmult = m.Rlwmult;
    dv.Rupmult = m.Rupmult;
    setv(PANEL_MULT, MULT_RUPSUG, dv.Rupmult);
    setv(PANEL_MULT, MULT_RLOWSUG, dv.Rlwmult);
    // A lower resistor chosen before keeps the upper one suggested for it.
    if (entered(PANEL_MULT, MULT_RLOW)) Ralta();
    else judgeMultiplier();
}

void calcolaKp() {
    dv.Rlowmult = getv(PANEL_MULT, MULT_RLOW);
    dv.trueRupmult = getv(PANEL_MULT, MULT_RUP);
    dv.effKp = dividerRatio(dv.Rlowmult, dv.trueRupmult);
    judgeMultiplier();
}

void judgeMultiplier() {
    Verdicts v;
    const bool upper = entered(PANEL_MULT, MULT_RUP), lower = entered(PANEL_MULT, MULT_RLOW);
    const bool enough = getv(PANEL_MULT, MULT_RUP) >= dv.Rupmult;
    v.refuse(upper && !enough, "increase high resistor value \n below the maximum \nor reduce low resistor value");
    v.warn(upper && lower && enough && multiplierUnderused(dv.effKp, dv.Kp),
           "You are exploiting less than 70% \n of multiplier dynamics.\nReduce high resistor value");
    showNote(PANEL_MULT, v);
    dim(PANEL_MULT, MULT_CLOSE, !multiplierValid());
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
    return multiplierDividerOk(dv.trueRupmult, dv.Rupmult, dv.Rlowmult);
}

K7350_CALLBACK(res_low) {
    ON_COMMIT;
    dv.Rlowmult = getv(PANEL_MULT, MULT_RLOW);
    Ralta();
    return 0;
}

K7350_CALLBACK(res_hightrue) {
    ON_COMMIT;
    dv.trueRupmult = getv(PANEL_MULT, MULT_RUP);
    calcolaKp();
    return 0;
}

// ---- step 8: zero-current detection ------------------------------------------------------

void ZCDc() {
    conti();
    ZCDscelto();
    calcolaZCD();
    calcolaRZCD();
    judgeZcd();
}

void ZCDscelto() {
    dv.zcd = getv(PANEL_ZCD, ZCD_CIRCUIT);
    dv.ant[ANT_ZCD] = kChosen;
    if (dv.zcd == kZcdWinding) auxW();
    else RC();
    judgeZcd();
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
    dv.Rz = minZcdResistor(dv.Vout, dv.Vin_max, dv.actR);
    setv(PANEL_ZCD, ZCD_RZ, dv.Rz);
}

bool zcdValid() {
    dv.actR = getv(PANEL_ZCD, ZCD_ACTR);
    if (dv.zcd != kZcdWinding) return true;
    return zcdWindingOk(dv.Rzcd, dv.Rz, dv.actR, dv.naux);
}

void judgeZcd() {
    Verdicts v;
    if (dv.zcd == kZcdWinding) {
        const bool ratio = entered(PANEL_ZCD, ZCD_ACTR);
        v.refuse(ratio && dv.actR > dv.naux, "Actual turn ratio must be lower \n than showed maximum");
        // The smallest resistor follows the turns ratio: it waits for one.
        v.refuse(ratio && given(dv.actR) && entered(PANEL_ZCD, ZCD_RZCD) && !(dv.Rzcd >= dv.Rz),
                 "Rzcd value must be higher \n than showed minimum");
    }
    showNote(PANEL_ZCD, v);
    dim(PANEL_ZCD, ZCD_CLOSE, !v.ok() || !zcdValid());
}

K7350_CALLBACK(Rturn) {
    ON_COMMIT;
    dv.actR = getv(PANEL_ZCD, ZCD_ACTR);
    if (!(dv.actR > dv.naux)) calcolaRZCD();
    judgeZcd();
    return 0;
}

K7350_CALLBACK(scelta_rzcd) {
    ON_COMMIT;
    dv.Rzcd = getv(PANEL_ZCD, ZCD_RZCD);
    judgeZcd();
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
    loopInputChanged();
}

void feedpercomp(bool presets) {
    conti();
    leggiRsns();
    // The set point and the margin start from the input conditions; what the
    // user entered (or a project restored) stays while it is valid.
    if (presets) {
        if (!entered(PANEL_FEED, FEED_VAC) || !setPointVoltageOk(getv(PANEL_FEED, FEED_VAC), dv.Vin_min, dv.Vin_max))
            setv(PANEL_FEED, FEED_VAC, dv.Vin_max);
        if (!entered(PANEL_FEED, FEED_PO) || !setPointPowerOk(getv(PANEL_FEED, FEED_PO), dv.Pout))
            setv(PANEL_FEED, FEED_PO, dv.Pout);
        if (!entered(PANEL_FEED, FEED_OVP)) setv(PANEL_FEED, FEED_OVP, kPresetOvp);
    }
    calcolaRh();
    setv(PANEL_FEED, FEED_RH, dv.Rh);
    calcolaRl();
    setv(PANEL_FEED, FEED_RL, dv.RL);
    calcolaVout();
}

void calcolaRh() {
    conti();
    dv.OVP = getv(PANEL_FEED, FEED_OVP);
    dv.Rh = upperFeedback(dv.OVP);
    setv(PANEL_FEED, FEED_RH, dv.Rh);
}

void calcolaRl() {
    dv.RHeff = getv(PANEL_FEED, FEED_RHEFF);
    dv.RL = lowerFeedback(given(dv.RHeff) ? dv.RHeff : dv.Rh, dv.Vout);
    setv(PANEL_FEED, FEED_RL, dv.RL);
}

void calcolaVout() {
    dv.RHeff = getv(PANEL_FEED, FEED_RHEFF);
    dv.RLeff = getv(PANEL_FEED, FEED_RLEFF);
    if (!feedbackGiven(dv.RHeff, dv.RLeff)) {
        dv.Voutnom = 0;
        return;
    }
    dv.Voutnom = dividerOutput(dv.RHeff, dv.RLeff);
    setv(PANEL_FEED, FEED_VOUTNOM, dv.Voutnom);
}

K7350_CALLBACK(vover) {
    ON_COMMIT;
    dv.OVP = getv(PANEL_FEED, FEED_OVP);
    calcolaRh();
    judgeFeedback();
    return 0;
}

K7350_CALLBACK(effRH) {
    ON_COMMIT;
    dv.RHeff = getv(PANEL_FEED, FEED_RHEFF);
    calcolaRl();
    calcolaVout();
    loopInputChanged();
    return 0;
}

K7350_CALLBACK(effRL) {
    ON_COMMIT;
    dv.RLeff = getv(PANEL_FEED, FEED_RLEFF);
    calcolaVout();
    loopInputChanged();
    return 0;
}

K7350_CALLBACK(setpointRMS) {
    ON_COMMIT;
    dv.VAC = getv(PANEL_FEED, FEED_VAC);
    if (setPointVoltageOk(dv.VAC, dv.Vin_min, dv.Vin_max)) calcola_set();
    loopInputChanged();
    return 0;
}

K7350_CALLBACK(setpointPout) {
    ON_COMMIT;
    dv.Po = getv(PANEL_FEED, FEED_PO);
    if (setPointPowerOk(dv.Po, dv.Pout)) calcola_set();
    loopInputChanged();
    return 0;
}

namespace {
Crossover g_crossover; // of the loop shown (not ok: none shown)

void clearLoop() {
    for (int g : {FEED_GAIN, FEED_PHASE}) {
        DeleteGraphPlot(hp[PANEL_FEED], g, VAL_DELETE_ALL, VAL_IMMEDIATE_DRAW);
        SetCursorPosition(hp[PANEL_FEED], g, 1, NAN, NAN);
    }
    setv(PANEL_FEED, FEED_FC, NAN);
    setv(PANEL_FEED, FEED_PM, NAN);
    g_crossover = {};
}

bool loopShown() { return !panel(hp[PANEL_FEED])->find(FEED_GAIN)->plot->series().empty(); }

bool partsComplete() { return compensationComplete(dv.top, dv.C1, dv.R1, dv.C2); }

void readLoopInputs() {
    dv.C1 = getv(PANEL_FEED, FEED_C1);
    dv.R1 = getv(PANEL_FEED, FEED_R1);
    dv.C2 = getv(PANEL_FEED, FEED_C2);
    dv.load = geti(PANEL_FEED, FEED_LOAD);
    dv.top = geti(PANEL_FEED, FEED_TOP);
    dv.RHeff = getv(PANEL_FEED, FEED_RHEFF);
    dv.RLeff = getv(PANEL_FEED, FEED_RLEFF);
}
} // namespace

void judgeFeedback() {
    Verdicts v;
    v.refuse(!setPointVoltageOk(getv(PANEL_FEED, FEED_VAC), dv.Vin_min, dv.Vin_max), "this value is outside the input range\n set in input panel");
    v.refuse(!setPointPowerOk(getv(PANEL_FEED, FEED_PO), dv.Pout), "this value is higher than that the value\n set in input panel");
    v.warn(entered(PANEL_FEED, FEED_RHEFF) && getv(PANEL_FEED, FEED_RHEFF) > dv.Rh,
           "This value will cause an OVP threshold \nhigher than the selected value.\n"
           "Reduce high resistor value or increase\n the overvoltage value.");
    v.warn(feedbackGiven(dv.RHeff, dv.RLeff) && !outputVoltageInBand(dv.Voutnom, dv.Vout),
           "The obtanied output voltage is outside \nthe nominal value +/-10%");
    v.warn(!std::isfinite(dv.KM), "No operating point of the multiplier\nfor this input voltage and power");
    if (loopShown()) {
        const double fmax = maxCrossover(dv.line_freq);
        v.warn(!g_crossover.ok, "The loop gain does not cross 0 dB between 0.1 Hz and 1 kHz");
        v.warn(g_crossover.ok && g_crossover.margin < kMinPhaseMargin,
               "Phase margin below " + kv::ui::formatNumber(kMinPhaseMargin) + "°: the output voltage rings or oscillates");
        v.warn(g_crossover.ok && g_crossover.f > fmax,
               "Crossover above " + kv::ui::formatNumber(fmax) + " Hz, a quarter of the " + kv::ui::formatNumber(rippleFrequency(dv.line_freq)) +
                   " Hz ripple: the loop follows the ripple and distorts the input current");
    }
    showNote(PANEL_FEED, v);
    dim(PANEL_FEED, FEED_CLOSE, !v.ok());
    // The figures the rules find wrong, in the warning colour.
    const bool fcHigh = g_crossover.ok && g_crossover.f > maxCrossover(dv.line_freq);
    const bool pmLow = g_crossover.ok && g_crossover.margin < kMinPhaseMargin;
    SetCtrlAttribute(hp[PANEL_FEED], FEED_FC, ATTR_TEXT_COLOR, fcHigh ? VAL_DK_RED : -1);
    SetCtrlAttribute(hp[PANEL_FEED], FEED_PM, ATTR_TEXT_COLOR, pmLow ? VAL_DK_RED : -1);
}

void loopInputChanged(bool start) {
    if (start || loopShown()) {
        readLoopInputs();
        if (feedbackGiven(dv.RHeff, dv.RLeff) && partsComplete() && knownTopology(dv.top) &&
            std::isfinite(dv.KM)) {
            calcFDTcomp();
            calcFTpow();
            calcF();
        } else {
            clearLoop();
        }
    }
    judgeFeedback();
}

void calcola_set() {
    dv.VAC = getv(PANEL_FEED, FEED_VAC);
    dv.Po = getv(PANEL_FEED, FEED_PO);
    // The chosen divider's ratio, whatever step set it last (a load sets none).
    dv.effKp = dividerRatio(getv(PANEL_MULT, MULT_RLOW), getv(PANEL_MULT, MULT_RUP));
    const OperatingPoint op = operatingPoint(dv.Rsense, dv.Po, dv.effic, dv.PFC, dv.VAC, dv.effKp);
    if (!op.ok) {
        dv.KM = NAN;
        clearLoop();
        return;
    }
    dv.KM = op.KM;
}

void elementi() {
    dv.top = geti(PANEL_FEED, FEED_TOP);
    const bool r1 = knownTopology(dv.top) && usesR1(dv.top), c2 = knownTopology(dv.top) && usesC2(dv.top);
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
    dv.ant[ANT_TOPOLOGY] = kChosen;
    elementi();
    calcFDTcomp();
    loopInputChanged();
    return 0;
}

K7350_CALLBACK(loadC) {
    ON_COMMIT;
    dv.load = geti(PANEL_FEED, FEED_LOAD);
    calcFTpow();
    loopInputChanged();
    return 0;
}

#define PART(name, ctrl, member, flag)     \
    K7350_CALLBACK(name) {                 \
        ON_COMMIT;                         \
        dv.member = getv(PANEL_FEED, ctrl); \
        flag;                              \
        calcFDTcomp();                     \
        dim(PANEL_FEED, FEED_START, false); \
        loopInputChanged();                \
        return 0;                          \
    }
PART(C1C, FEED_C1, C1, dv.ant[ANT_C1] = kChosen)
PART(C2C, FEED_C2, C2, (void)0)
PART(R1R, FEED_R1, R1, (void)0)
#undef PART

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
    g_crossover = c;
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
    readLoopInputs();
    if (!feedbackGiven(dv.RHeff, dv.RLeff)) {
        MessagePopup("WARNING", "Insert feedback resistor values");
        clearLoop();
        judgeFeedback();
        return 0;
    }
    if (!knownTopology(dv.top)) return 0;
    if (!partsComplete()) {
        MessagePopup("WARNING", "All parameters must be\ngrater than 0");
        dim(PANEL_FEED, FEED_START, true);
        clearLoop();
        judgeFeedback();
        return 0;
    }
    dim(PANEL_FEED, FEED_START, false);
    calcola_set(); // the operating point of the divider and set point in force now
    if (std::isfinite(dv.KM)) {
        calcFDTcomp();
        calcFTpow();
        calcF();
    }
    judgeFeedback();
    return 0;
}

} // namespace k7350
