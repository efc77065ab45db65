// Input conditions, operating currents, sense resistor, boost inductor.
#include "pfc_designer/Program.h"
#include "platform/ui/Numbers.h"

#include <cmath>

using namespace kv::panels;

namespace k7350 {

namespace {

// Buttons that act on the design the steps were computed from.
constexpr int kChainButtons[] = {MAIN_DESIGN, MAIN_STEP1, MAIN_STEP2, MAIN_STEP3, MAIN_STEP4, MAIN_STEP5,
                                 MAIN_STEP6, MAIN_STEP7, MAIN_STEP8, MAIN_STEP9, MAIN_BOM};

Spec panelSpec() {
    Spec s;
    s.Vin_min = getv(PANEL_MAIN, MAIN_VINMIN);
    s.Vin_max = getv(PANEL_MAIN, MAIN_VINMAX);
    s.line_freq = getv(PANEL_MAIN, MAIN_LINEFREQ);
    s.Vout = getv(PANEL_MAIN, MAIN_VOUT);
    s.Pout = getv(PANEL_MAIN, MAIN_POUT);
    s.effic = getv(PANEL_MAIN, MAIN_EFFIC);
    s.pwm_freq = getv(PANEL_MAIN, MAIN_PWMFREQ);
    s.PFC = getv(PANEL_MAIN, MAIN_PFC);
    s.Tmax = getv(PANEL_MAIN, MAIN_TMAX);
    return s;
}

// A field of the main panel was committed. A changed value makes every step
// stale: the chain starts again from Calculate.
void inputCommitted() {
    const Spec s = panelSpec();
    if (s != dv.spec())
        for (int b : kChainButtons) dim(PANEL_MAIN, b, true);
    dv.setSpec(s);
    judgeInputs();
}

} // namespace

bool judgeInputs() {
    const Spec s = panelSpec();
    Verdicts v;
    v.refuse(!minInputVoltOk(s.Vin_min, s.Vin_max), "minimum input voltage value\nnot correct");
    v.refuse(!maxInputVoltOk(s.Vin_min, s.Vin_max), "maximum input voltage value\nmust be higher than minimum");
    v.refuse(!lineFreqOk(s.line_freq), "Mains frequency must be \nbetween 40Hz and 400Hz");
    v.refuse(!outputVoltOk(s.Vout, s.Vin_max), "output voltage value\nmust be higher than\nsqrt(2)*Vin(max)");
    v.refuse(!outputPowerOk(s.Pout), s.Pout > 0 ? "Reduce output power" : "Output power must be \nhigher than 0W");
    v.refuse(!efficiencyOk(s.effic), "Expected efficiency must be \nbetween 60% and 100%");
    v.refuse(!switchingFreqOk(s.pwm_freq), "Minimum switching frequency must be \nbetween 13Khz and 300KHz");
    v.refuse(!powerFactorOk(s.PFC), "Expected PF are in the range \nbetween 0.7 and 1");
    v.refuse(!ambientTempOk(s.Tmax), "Maximum ambient temperature must be \nbetween 0C and 85C");
    showNote(PANEL_MAIN, v);
    // A value out of range blocks Calculate and Design until it is corrected;
    // Design comes back through the operating currents.
    dim(PANEL_MAIN, MAIN_CALCULATE, !v.ok());
    if (!v.ok()) dim(PANEL_MAIN, MAIN_DESIGN, true);
    return v.ok();
}

#define INPUT_FIELD(name)      \
    K7350_CALLBACK(name) {     \
        ON_COMMIT;             \
        inputCommitted();      \
        return 0;              \
    }
INPUT_FIELD(min_input_volt)
INPUT_FIELD(max_input_volt)
INPUT_FIELD(frequenza)
INPUT_FIELD(V_uscita)
INPUT_FIELD(P_uscita)
INPUT_FIELD(eff)
INPUT_FIELD(min_pwm_freq)
INPUT_FIELD(pow_fact)
INPUT_FIELD(max_amb_temp)
#undef INPUT_FIELD

void conti() {
    dv.setSpec(panelSpec());
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
    // The dissipation of each resistor, as every edit shows it.
    leggiPs();
    leggiPK();
}

void leggiRsns() {
    dv.Rparallele = getv(PANEL_SENSE, SENSE_PARALLEL);
    dv.single = getv(PANEL_SENSE, SENSE_SINGLE);
    dv.Rsense = senseResistance(dv.single, dv.Rparallele);
    judgeSense();
}

void judgeSense() {
    Verdicts v;
    const bool count = parallelCountOk(dv.Rparallele);
    v.refuse(!count, "The number of resistors in parallel\nmust be a whole number from 1 up");
    v.refuse(count && dv.Rsense > dv.Rsx, "reduce Rsense value");
    showNote(PANEL_SENSE, v);
    // No resistance yet cannot close the step either.
    dim(PANEL_SENSE, SENSE_CLOSE, !v.ok() || !senseResistanceOk(dv.Rsense, dv.Rsx));
}

void leggiPs() {
    dv.Rsense = senseResistance(dv.single, dv.Rparallele);
    setv(PANEL_SENSE, SENSE_RSENSE, dv.Rsense);
    dv.Ps = senseDissipation(dv.Isw_rms, dv.Rsense, dv.Rparallele);
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
    dv.ant[ANT_SENSE] = kChosen;
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
    conti();
    leggiPK();
    min_ind();
    setv(PANEL_IND, IND_L, dv.L);
    setv(PANEL_IND, IND_TRUEL, dv.trueL);
    min_freq();
    setv(PANEL_IND, IND_F, dv.f);
    judgeInductor();
}

void min_ind() { dv.L = maxInductance(dv.spec(), dv.Pin); }

void min_freq() {
    dv.trueL = getv(PANEL_IND, IND_TRUEL);
    dv.f = minFrequency(dv.spec(), dv.Pin, dv.trueL);
    setv(PANEL_IND, IND_F, dv.f);
    grafico_fpwm();
}

void grafico_fpwm() {
    static double hi[kFreqPoints], lo[kFreqPoints], angle[kFreqPoints];
    const int h = hp[PANEL_IND];
    SetCtrlAttribute(h, IND_GRAPH, ATTR_GRID_COLOR, VAL_GREEN);
    SetCtrlAttribute(h, IND_GRAPH, ATTR_SHOW_LEGEND, 1);
    RefreshGraph(h, IND_GRAPH);
    DeleteGraphPlot(h, IND_GRAPH, VAL_DELETE_ALL, VAL_IMMEDIATE_DRAW);
    frequencyCurve(dv.Vin_max, dv.Vout, dv.Pin, dv.trueL, hi);
    frequencyCurve(dv.Vin_min, dv.Vout, dv.Pin, dv.trueL, lo);
    for (int i = 0; i < kFreqPoints; ++i) angle[i] = halfCycleDegrees(i);
    const struct {
        const double* y;
        double V;
        int color;
    } curves[] = {{hi, dv.Vin_max, VAL_RED}, {lo, dv.Vin_min, VAL_BLUE}};
    for (const auto& c : curves) {
        const int p = PlotXY(h, IND_GRAPH, angle, c.y, kFreqPoints, VAL_DOUBLE, VAL_DOUBLE, VAL_THIN_LINE,
                             VAL_EMPTY_SQUARE, VAL_SOLID, 1, c.color);
        SetPlotName(h, IND_GRAPH, p, ("at " + kv::ui::formatNumber(c.V) + " V rms").c_str());
    }
}

bool inductanceValid() { return inductanceOk(dv.trueL, dv.L); }

void judgeInductor() {
    Verdicts v;
    v.refuse(entered(PANEL_IND, IND_TRUEL) && !inductanceValid(), "check L value");
    showNote(PANEL_IND, v);
    dim(PANEL_IND, IND_CLOSE, !inductanceValid());
    dim(PANEL_IND, IND_CHOKE, !inductanceValid());
}

K7350_CALLBACK(sceL) {
    ON_COMMIT;
    dv.ant[ANT_INDUCTANCE] = kChosen;
    dv.trueL = getv(PANEL_IND, IND_TRUEL);
    min_freq();
    judgeInductor();
    return 0;
}

K7350_CALLBACK(choke) {
    ON_COMMIT;
    dv.trueL = getv(PANEL_IND, IND_TRUEL);
    if (!inductanceValid()) {
        MessagePopup("WARNING", "check L value");
        judgeInductor();
        return 0;
    }
    openPanel(PANEL_CORE, PANEL_IND);
    conti();
    readCore();
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
} // namespace

void readCore() {
    dv.ML = getv(PANEL_CORE, CORE_ML);
    dv.AE = getv(PANEL_CORE, CORE_AE);
    dv.gap = getv(PANEL_CORE, CORE_GAP);
    if (inRange(dv.AE, kMaxCoreArea)) cioke();
    if (inRange(dv.ML, kMaxPathLength) && inRange(dv.gap, kMaxGap)) ciioke();
    judgeCore();
    inductorLoss();
}

namespace {
// The entry a ring shows at `index`; "" for its first ("not chosen") or none
// (a project file may hold any number there).
std::string ringItem(int panelId, int ctrl, double index) {
    const std::vector<std::string>& items = panel(hp[panelId])->find(ctrl)->def.items;
    if (!(index >= 1) || index >= double(items.size())) return "";
    return items[std::size_t(index)];
}
} // namespace

void inductorLoss() {
    dv.coreMaterial = getv(PANEL_CORE, CORE_MATERIAL);
    dv.coreShape = getv(PANEL_CORE, CORE_SHAPE);
    dv.lossAmbient = getv(PANEL_CORE, CORE_AMBIENT);
    const std::string material = ringItem(PANEL_CORE, CORE_MATERIAL, dv.coreMaterial);
    const std::string shape = ringItem(PANEL_CORE, CORE_SHAPE, dv.coreShape);
    InductorLossInputs in;
    in.spec = dv.spec();
    in.Pin = dv.Pin;
    in.trueL = dv.trueL;
    in.turns = wholeTurns(dv.Np);
    in.AE = dv.AE;
    in.ML = dv.ML;
    in.material = material;
    in.shape = shape;
    in.ambient = dv.lossAmbient;
    const InductorLoss l = boostInductorLoss(in);
    setv(PANEL_CORE, CORE_CORELOSS, l.loss.coreLoss);
    setv(PANEL_CORE, CORE_COPPERLOSS, l.loss.copperLoss);
    setv(PANEL_CORE, CORE_TOTALLOSS, l.loss.total);
    setv(PANEL_CORE, CORE_RISE, l.loss.rise);
    SetCtrlVal(hp[PANEL_CORE], CORE_LOSSNOTE, inductorLossNote(l).c_str());
}

void judgeCore() {
    Verdicts v;
    v.refuse(!inRange(getv(PANEL_CORE, CORE_ML), kMaxPathLength), "Effective magnetic lenght \nmust be between 0 and 400");
    v.refuse(!inRange(getv(PANEL_CORE, CORE_AE), kMaxCoreArea), "Core effective area value \nmust be between 0 and 4");
    v.refuse(!inRange(getv(PANEL_CORE, CORE_GAP), kMaxGap), "gap lenght must be\nbetween 0mm and 4mm");
    showNote(PANEL_CORE, v);
    dim(PANEL_CORE, CORE_CLOSE, !v.ok());
}

K7350_CALLBACK(effar) {
    ON_COMMIT;
    dv.AE = getv(PANEL_CORE, CORE_AE);
    if (inRange(dv.AE, kMaxCoreArea)) cioke();
    judgeCore();
    inductorLoss();
    return 0;
}

K7350_CALLBACK(gaplung) {
    ON_COMMIT;
    dv.gap = getv(PANEL_CORE, CORE_GAP);
    if (inRange(dv.gap, kMaxGap)) ciioke();
    judgeCore();
    inductorLoss();
    return 0;
}

K7350_CALLBACK(lossinput) {
    ON_COMMIT;
    inductorLoss();
    return 0;
}

K7350_CALLBACK(lengmag) {
    ON_COMMIT;
    dv.ML = getv(PANEL_CORE, CORE_ML);
    if (inRange(dv.ML, kMaxPathLength)) ciioke();
    judgeCore();
    inductorLoss();
    return 0;
}

} // namespace k7350
