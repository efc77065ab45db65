// Input conditions, operating currents, sense resistor, boost inductor.
#include "pfc_designer/Program.h"

using namespace kv::panels;

namespace k7350 {

namespace {

// A rejected field dims Calculate and Design; an accepted one makes
// Calculate usable again once all nine fields pass.
void judge(bool ok, const char* title, const char* text) {
    if (!ok) {
        MessagePopup(title, text);
        dim(PANEL_MAIN, MAIN_DESIGN, true);
        dim(PANEL_MAIN, MAIN_CALCULATE, true);
        return;
    }
    Spec s;
    s.Vin_min = getv(PANEL_MAIN, MAIN_VINMIN);
    s.Vin_max = getv(PANEL_MAIN, MAIN_VINMAX);
    s.Vout = getv(PANEL_MAIN, MAIN_VOUT);
    s.Pout = getv(PANEL_MAIN, MAIN_POUT);
    s.effic = getv(PANEL_MAIN, MAIN_EFFIC);
    s.pwm_freq = getv(PANEL_MAIN, MAIN_PWMFREQ);
    s.PFC = getv(PANEL_MAIN, MAIN_PFC);
    s.Tmax = getv(PANEL_MAIN, MAIN_TMAX);
    if (specOk(s)) dim(PANEL_MAIN, MAIN_CALCULATE, false);
}

} // namespace

K7350_CALLBACK(min_input_volt) {
    ON_COMMIT;
    dv.Vin_min = getv(PANEL_MAIN, MAIN_VINMIN);
    dv.Vin_max = getv(PANEL_MAIN, MAIN_VINMAX);
    judge(minInputVoltOk(dv.Vin_min, dv.Vin_max), "WARNING", "minimum input voltage value\nnot correct");
    return 0;
}

K7350_CALLBACK(max_input_volt) {
    ON_COMMIT;
    dv.Vin_max = getv(PANEL_MAIN, MAIN_VINMAX);
    dv.Vin_min = getv(PANEL_MAIN, MAIN_VINMIN);
    judge(maxInputVoltOk(dv.Vin_min, dv.Vin_max), "WARNING",
          "maximum input voltage value\nmust be higher than minimum");
    return 0;
}

K7350_CALLBACK(frequenza) {
    ON_COMMIT;
    dv.line_freq = getv(PANEL_MAIN, MAIN_LINEFREQ);
    return 0;
}

K7350_CALLBACK(V_uscita) {
    ON_COMMIT;
    dv.Vout = getv(PANEL_MAIN, MAIN_VOUT);
    dv.Vin_max = getv(PANEL_MAIN, MAIN_VINMAX);
    judge(outputVoltOk(dv.Vout, dv.Vin_max), "WARNING",
          "output voltage value\nmust be higher than\nsqrt(2)*Vin(max)");
    dv.Vin_max = getv(PANEL_MAIN, MAIN_VINMAX);
    return 0;
}

K7350_CALLBACK(P_uscita) {
    ON_COMMIT;
    dv.Pout = getv(PANEL_MAIN, MAIN_POUT);
    judge(outputPowerOk(dv.Pout), "Warning", "Reduce output power");
    return 0;
}

K7350_CALLBACK(eff) {
    ON_COMMIT;
    dv.effic = getv(PANEL_MAIN, MAIN_EFFIC);
    judge(efficiencyOk(dv.effic), "Warning", "Expected efficiency must be \nbetween 60% and 100%");
    return 0;
}

K7350_CALLBACK(min_pwm_freq) {
    ON_COMMIT;
    dv.pwm_freq = getv(PANEL_MAIN, MAIN_PWMFREQ);
    judge(switchingFreqOk(dv.pwm_freq), "Warning",
          "Minimum switching frequency must be \nbetween 13Khz and 300KHz");
    return 0;
}

K7350_CALLBACK(pow_fact) {
    ON_COMMIT;
    dv.PFC = getv(PANEL_MAIN, MAIN_PFC);
    judge(powerFactorOk(dv.PFC), "Warning", "Expected PF are in the range \nbetween 0.7 and 1");
    return 0;
}

K7350_CALLBACK(max_amb_temp) {
    ON_COMMIT;
    dv.Tmax = getv(PANEL_MAIN, MAIN_TMAX);
    judge(ambientTempOk(dv.Tmax), "Warning", "Maximum ambient temperature must be \nbetween 0C and 85C");
    return 0;
}

void conti() {
    dv.Vin_min = getv(PANEL_MAIN, MAIN_VINMIN);
    dv.Vin_max = getv(PANEL_MAIN, MAIN_VINMAX);
    dv.line_freq = getv(PANEL_MAIN, MAIN_LINEFREQ);
    dv.Vout = getv(PANEL_MAIN, MAIN_VOUT);
    dv.Pout = getv(PANEL_MAIN, MAIN_POUT);
    dv.effic = getv(PANEL_MAIN, MAIN_EFFIC);
    dv.pwm_freq = getv(PANEL_MAIN, MAIN_PWMFREQ);
    dv.PFC = getv(PANEL_MAIN, MAIN_PFC);
    dv.Tmax = getv(PANEL_MAIN, MAIN_TMAX);
    const Currents c = operatingCurrents(dv.spec());
    dv.Pin = c.Pin;
    dv.Iout = c.Iout;
    dv.Iin_rms = c.Iin_rms;
    dv.ILpk = c.ILpk;
    dv.ILrms = c.ILrms;
    dv.ILac = c.ILac;
    dv.Isw_rms = c.Isw_rms;
    dv.Id_rms = c.Id_rms;
    dv.Rout = c.Rout;
    setv(PANEL_CURR, CURR_PIN, dv.Pin);
    setv(PANEL_CURR, CURR_IOUT, dv.Iout);
    setv(PANEL_CURR, CURR_IINRMS, dv.Iin_rms);
    setv(PANEL_CURR, CURR_ILPK, dv.ILpk);
    setv(PANEL_CURR, CURR_ILRMS, dv.ILrms);
    setv(PANEL_CURR, CURR_ILAC, dv.ILac);
    setv(PANEL_CURR, CURR_ISWRMS, dv.Isw_rms);
    setv(PANEL_CURR, CURR_IDRMS, dv.Id_rms);
}

// ---- step 1: sense resistor ------------------------------------------------------

void resistenza_sense() {
    conti();
    dv.Rsx = maxSenseResistance(dv.ILpk);
    setv(PANEL_SENSE, SENSE_RSX, dv.Rsx);
    leggiRsns();
    setv(PANEL_SENSE, SENSE_RSENSE, dv.Rsense);
    leggiRsns();
    dv.Ps = dv.Isw_rms * dv.Isw_rms * dv.Rsense;
    setv(PANEL_SENSE, SENSE_PS, dv.Ps);
    leggiPK();
}

void leggiRsns() {
    dv.Rparallele = getv(PANEL_SENSE, SENSE_PARALLEL);
    dv.single = getv(PANEL_SENSE, SENSE_SINGLE);
    dv.Rsense = dv.single / dv.Rparallele;
    if (dv.Rsense > dv.Rsx) {
        MessagePopup("WARNING", "reduce Rsense value");
        dim(PANEL_SENSE, SENSE_CLOSE, true);
    } else {
        // No resistance yet (or none at all) cannot close the step either.
        dim(PANEL_SENSE, SENSE_CLOSE, !senseResistanceOk(dv.Rsense, dv.Rsx));
    }
}

void leggiPs() {
    dv.Rsense = dv.single / dv.Rparallele;
    setv(PANEL_SENSE, SENSE_RSENSE, dv.Rsense);
    dv.Ps = dv.Isw_rms * dv.Isw_rms * dv.Rsense / dv.Rparallele;
    setv(PANEL_SENSE, SENSE_PS, dv.Ps);
}

void leggiPK() {
    dv.maxIpk = currentLimit(dv.Rsense);
    setv(PANEL_SENSE, SENSE_MAXIPK, dv.maxIpk);
}

namespace {
void senseEdited() {
    dv.Rparallele = getv(PANEL_SENSE, SENSE_PARALLEL);
    dv.single = getv(PANEL_SENSE, SENSE_SINGLE);
    leggiRsns();
    leggiPs();
    leggiPK();
    dv.ant[0] = 1;
}
} // namespace

K7350_CALLBACK(R_parall) {
    ON_COMMIT;
    senseEdited();
    return 0;
}

K7350_CALLBACK(Rsingl) {
    ON_COMMIT;
    senseEdited();
    return 0;
}

// ---- step 2: boost inductor ----------------------------------------------------------

void boost_ind() {
    dim(PANEL_IND, IND_CLOSE, false);
    dim(PANEL_IND, IND_CHOKE, false);
    conti();
    leggiPK();
    min_ind();
    setv(PANEL_IND, IND_L, dv.L);
    setv(PANEL_IND, IND_TRUEL, dv.trueL);
    min_freq();
    setv(PANEL_IND, IND_F, dv.f);
}

void min_ind() { dv.L = maxInductance(dv.spec(), dv.Pin); }

void min_freq() {
    dv.trueL = getv(PANEL_IND, IND_TRUEL);
    dv.f = minFrequency(dv.spec(), dv.Pin, dv.trueL);
    setv(PANEL_IND, IND_F, dv.f);
    grafico_fpwm();
}

void grafico_fpwm() {
    static double hi[kFreqPoints], lo[kFreqPoints];
    const int h = hp[PANEL_IND];
    SetCtrlAttribute(h, IND_GRAPH, ATTR_GRID_COLOR, VAL_GREEN);
    RefreshGraph(h, IND_GRAPH);
    DeleteGraphPlot(h, IND_GRAPH, VAL_DELETE_ALL, VAL_IMMEDIATE_DRAW);
    frequencyCurve(dv.Vin_max, dv.Vout, dv.Pin, dv.trueL, hi);
    frequencyCurve(dv.Vin_min, dv.Vout, dv.Pin, dv.trueL, lo);
    PlotY(h, IND_GRAPH, hi, kFreqPoints, VAL_DOUBLE, VAL_THIN_LINE, VAL_EMPTY_SQUARE, VAL_SOLID, 1, VAL_RED);
    PlotY(h, IND_GRAPH, lo, kFreqPoints, VAL_DOUBLE, VAL_THIN_LINE, VAL_EMPTY_SQUARE, VAL_SOLID, 1, VAL_BLUE);
}

bool inductanceValid() { return inductanceOk(dv.trueL, dv.L); }

K7350_CALLBACK(sceL) {
    ON_COMMIT;
    dv.ant[1] = 1;
    dv.trueL = getv(PANEL_IND, IND_TRUEL);
    if (!inductanceValid()) {
        MessagePopup("WARNING", "check L value");
    } else {
        dim(PANEL_IND, IND_CLOSE, false);
        dim(PANEL_IND, IND_CHOKE, false);
    }
    min_freq();
    return 0;
}

K7350_CALLBACK(choke) {
    ON_COMMIT;
    dv.trueL = getv(PANEL_IND, IND_TRUEL);
    if (!inductanceValid()) {
        MessagePopup("WARNING", "check L value");
        dim(PANEL_IND, IND_CLOSE, true);
        dim(PANEL_IND, IND_CHOKE, true);
        return 0;
    }
    dim(PANEL_IND, IND_CLOSE, false);
    dim(PANEL_IND, IND_CHOKE, false);
    openPanel(PANEL_CORE, PANEL_IND);
    conti();
    return 0;
}

K7350_CALLBACK(close_ch) {
    ON_COMMIT;
    closePanel(PANEL_CORE, PANEL_IND);
    return 0;
}

// ---- core and winding --------------------------------------------------------------

void cioke() {
    dv.trueL = getv(PANEL_IND, IND_TRUEL);
    leggiPK();
    dv.Np = turns(dv.trueL, dv.maxIpk, dv.AE);
    setv(PANEL_CORE, CORE_NP, dv.Np);
}

void ciioke() {
    leggiPK();
    dv.Vmin = minCoreVolume(dv.maxIpk, dv.ML, dv.gap, dv.trueL);
    setv(PANEL_CORE, CORE_VMIN, dv.Vmin);
}

namespace {
bool inRange(double v, double hi) { return 0 <= v && v <= hi; }

// The close control comes back once all three entries are in range.
void coreAccepted() {
    dim(PANEL_CORE, CORE_AE, false);
    if (inRange(getv(PANEL_CORE, CORE_AE), 4) && inRange(getv(PANEL_CORE, CORE_GAP), 4) &&
        inRange(getv(PANEL_CORE, CORE_ML), 400))
        dim(PANEL_CORE, CORE_CLOSE, false);
}

void coreRejected(const char* text) {
    MessagePopup("WARNING", text);
    dim(PANEL_CORE, CORE_CLOSE, true);
}
} // namespace

K7350_CALLBACK(effar) {
    ON_COMMIT;
    dv.AE = getv(PANEL_CORE, CORE_AE);
    if (!inRange(dv.AE, 4)) {
        coreRejected("Core effective area value \nmust be between 0 and 4");
        return 0;
    }
    coreAccepted();
    cioke();
    return 0;
}

K7350_CALLBACK(gaplung) {
    ON_COMMIT;
    dv.gap = getv(PANEL_CORE, CORE_GAP);
    if (!inRange(dv.gap, 4)) {
        coreRejected("gap lenght must be\nbetween 0mm and 4mm");
        return 0;
    }
    coreAccepted();
    ciioke();
    return 0;
}

K7350_CALLBACK(lengmag) {
    ON_COMMIT;
    dv.ML = getv(PANEL_CORE, CORE_ML);
    if (!inRange(dv.ML, 400)) {
        coreRejected("Effective magnetic lenght \nmust be between 0 and 400");
        return 0;
    }
    coreAccepted();
    ciioke();
    return 0;
}

} // namespace k7350
