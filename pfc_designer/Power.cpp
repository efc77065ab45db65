// MOSFET, boost diode, input and output capacitors.
#include "pfc_designer/Program.h"

#include <cmath>

using namespace kv::panels;

namespace k7350 {

namespace {
MosfetLosses g_losses;

// The worst case, once shown, follows the entries: computed again, or taken
// away while an entry is out of range.
void lossResultFollows() {
    int hidden = 0;
    GetCtrlAttribute(hp[PANEL_MOS], MOS_PMAX, ATTR_DIMMED, &hidden);
    if (hidden) return;
    if (mosfetEntriesOk()) {
        showLossResult();
        return;
    }
    for (int c : {MOS_PMAX, MOS_RTHM}) {
        setv(PANEL_MOS, c, NAN);
        dim(PANEL_MOS, c, true);
    }
}

// An entry recomputes the losses once all three entries are in range.
void mosEntry() {
    if (mosfetEntriesOk()) calcoloPmos();
    lossResultFollows();
    judgeMosfet();
}
} // namespace

const MosfetLosses& lastLosses() { return g_losses; }

bool mosfetEntriesOk() {
    return ronOk(getv(PANEL_MOS, MOS_RON)) && fallTimeOk(getv(PANEL_MOS, MOS_TF)) && drainCapOk(getv(PANEL_MOS, MOS_CD));
}

void judgeMosfet() {
    Verdicts v;
    v.refuse(entered(PANEL_MOS, MOS_RON) && !ronOk(getv(PANEL_MOS, MOS_RON)),
             "Rds(on) value must be in the range \nfrom 0 to 1000mhoms");
    v.refuse(entered(PANEL_MOS, MOS_TF) && !fallTimeOk(getv(PANEL_MOS, MOS_TF)),
             "Falling time value must be in \nthe range from 0 to 200ns");
    v.refuse(entered(PANEL_MOS, MOS_CD) && !drainCapOk(getv(PANEL_MOS, MOS_CD)),
             "Drain capacitance value must be in \nthe range from 0 to 2000nF");
    showNote(PANEL_MOS, v);
    dim(PANEL_MOS, MOS_CLOSE, !v.ok());
}

void powmos() {
    conti();
    // An integer field: the rating truncated to whole volts.
    const double b = ratedVoltage(dv.Vout);
    if (std::isfinite(b) && std::abs(b) < kIntRange) {
        dv.BRdss = int(b);
        SetCtrlVal(hp[PANEL_MOS], MOS_BRDSS, dv.BRdss);
    } else {
        dv.BRdss = 0;
        setv(PANEL_MOS, MOS_BRDSS, NAN);
    }
    calcoloPmos();
    lossResultFollows();
    judgeMosfet();
}

void calcoloPmos() {
    dv.Cd = getv(PANEL_MOS, MOS_CD);
    dv.Ron = getv(PANEL_MOS, MOS_RON);
    dv.Tf = getv(PANEL_MOS, MOS_TF);
    mosfetLosses(dv.spec(), dv.Pin, dv.trueL, dv.Ron, dv.Tf, dv.Cd, g_losses);
    grafico_losses();
}

void grafico_losses() {
    const int h = hp[PANEL_MOS];
    // Each sample against its mains voltage.
    SetCtrlAttribute(h, MOS_GRAPH, ATTR_GRID_COLOR, VAL_GREEN);
    SetCtrlAttribute(h, MOS_GRAPH, ATTR_SHOW_LEGEND, 1);
    DeleteGraphPlot(h, MOS_GRAPH, VAL_DELETE_ALL, VAL_IMMEDIATE_DRAW);
    struct Curve {
        const double* y;
        int style, color;
        const char* name;
    };
    const Curve curves[] = {
        {g_losses.Pcond.data(), VAL_THIN_LINE, VAL_RED, "Pcond"},
        {g_losses.Pcap.data(), VAL_THIN_LINE, VAL_BLUE, "Pcap"},
        {g_losses.Psw.data(), VAL_THIN_LINE, VAL_MAGENTA, "Psw"},
        {g_losses.Ptot.data(), VAL_FAT_LINE, VAL_BLACK, "Ptot"},
    };
    for (const Curve& c : curves) {
        const int p = PlotXY(h, MOS_GRAPH, g_losses.in.data(), c.y, kLossPoints, VAL_DOUBLE, VAL_DOUBLE,
                             c.style, VAL_EMPTY_SQUARE, VAL_SOLID, 1, c.color);
        SetPlotName(h, MOS_GRAPH, p, c.name);
    }
}

K7350_CALLBACK(chanR) {
    ON_COMMIT;
    dv.Ron = getv(PANEL_MOS, MOS_RON);
    mosEntry();
    return 0;
}

K7350_CALLBACK(cur_fall_time) {
    ON_COMMIT;
    dv.Tf = getv(PANEL_MOS, MOS_TF);
    mosEntry();
    return 0;
}

K7350_CALLBACK(drainC) {
    ON_COMMIT;
    dv.Cd = getv(PANEL_MOS, MOS_CD);
    mosEntry();
    return 0;
}

K7350_CALLBACK(perd) {
    ON_COMMIT;
    dv.Ron = getv(PANEL_MOS, MOS_RON);
    dv.Tf = getv(PANEL_MOS, MOS_TF);
    dv.Cd = getv(PANEL_MOS, MOS_CD);
    if (!(dv.Ron > 0) || !(dv.Tf > 0) || !(dv.Cd > 0)) {
        MessagePopup("WARNING", "ALL mosfet parameters must be\n higher than 0");
        return 0;
    }
    calcoloPmos();
    showLossResult();
    return 0;
}

void showLossResult() {
    dv.Pmax = worstLoss(g_losses);
    dv.Rthm = thermalResistance(dv.Tmax, dv.Pmax);
    dim(PANEL_MOS, MOS_PMAX, false);
    dim(PANEL_MOS, MOS_RTHM, false);
    setv(PANEL_MOS, MOS_PMAX, dv.Pmax);
    setv(PANEL_MOS, MOS_RTHM, dv.Rthm);
}

// ---- step 4: boost diode ------------------------------------------------------------

void diodo() {
    conti();
    Vrev();
    Irat();
    calcolaPdiodo();
}

void Vrev() {
    conti();
    dv.Vr = ratedVoltage(dv.Vout);
    setv(PANEL_DIODE, DIODE_VR, dv.Vr);
}

void Irat() {
    dv.Id = diodeCurrentRating(dv.Iout);
    setv(PANEL_DIODE, DIODE_ID, dv.Id);
}

void calcolaPdiodo() {
    dv.Vf = getv(PANEL_DIODE, DIODE_VF);
    dv.Rd = getv(PANEL_DIODE, DIODE_RD);
    dv.Pdiod = diodeLoss(dv.Id_rms, dv.Rd, dv.Iout, dv.Vf);
    setv(PANEL_DIODE, DIODE_PDIOD, dv.Pdiod);
    dv.Rthd = thermalResistance(dv.Tmax, dv.Pdiod);
    setv(PANEL_DIODE, DIODE_RTHD, dv.Rthd);
}

K7350_CALLBACK(diodoVf) {
    ON_COMMIT;
    dv.Vf = getv(PANEL_DIODE, DIODE_VF);
    calcolaPdiodo();
    return 0;
}

K7350_CALLBACK(diodoRd) {
    ON_COMMIT;
    dv.Rd = getv(PANEL_DIODE, DIODE_RD);
    calcolaPdiodo();
    return 0;
}

// ---- step 5: input capacitor ---------------------------------------------------------

void inputCap() {
    conti();
    min_freq();
    calcolaCin();
    aggiornaCin();
    judgeInputCap();
}

void judgeInputCap() {
    Verdicts v;
    const bool chosen = entered(PANEL_INCAP, INCAP_TRUCIN);
    v.refuse(entered(PANEL_INCAP, INCAP_RIP) && !(getv(PANEL_INCAP, INCAP_RIP) > 0),
             "The allowed HF ripple must be\nhigher than 0%");
    v.warn(chosen && getv(PANEL_INCAP, INCAP_CIN) > getv(PANEL_INCAP, INCAP_TRUCIN),
           "You will have HF ripple\n higher than the specified value\nSee HELP");
    showNote(PANEL_INCAP, v);
    // Closes once a capacitance has been chosen.
    dim(PANEL_INCAP, INCAP_CLOSE, !chosen || !v.ok());
}

void calcolaCin() {
    dv.rip = getv(PANEL_INCAP, INCAP_RIP);
    dv.Cin = inputCapacitance(dv.Iin_rms, dv.f, dv.rip, dv.Vin_min);
    setv(PANEL_INCAP, INCAP_CIN, dv.Cin);
}

void aggiornaCin() { dv.Cin = getv(PANEL_INCAP, INCAP_TRUCIN); }

K7350_CALLBACK(ripple) {
    ON_COMMIT;
    dv.rip = getv(PANEL_INCAP, INCAP_RIP);
    min_freq();
    calcolaCin();
    judgeInputCap();
    return 0;
}

K7350_CALLBACK(Cintrue) {
    ON_COMMIT;
    dv.truCin = getv(PANEL_INCAP, INCAP_TRUCIN);
    dv.ant[ANT_INPUT_CAP] = kChosen;
    dv.Cin = getv(PANEL_INCAP, INCAP_TRUCIN);
    judgeInputCap();
    return 0;
}

// ---- step 6: output capacitor --------------------------------------------------------

void outputCap() {
    dv.truCout = getv(PANEL_OUTCAP, OUTCAP_TRUCOUT);
    conti();
    calcolaCout();
    calcolaRMS();
    judgeOutputCap();
}

void judgeOutputCap() {
    Verdicts v;
    const bool vomin = entered(PANEL_OUTCAP, OUTCAP_VOMIN);
    v.refuse(entered(PANEL_OUTCAP, OUTCAP_THOLD) && dv.Thold < 0, "The hold-up time cannot be negative");
    v.refuse(entered(PANEL_OUTCAP, OUTCAP_DELTA) && !(dv.delta > 0),
             "The allowed low-frequency ripple\nmust be higher than 0V");
    // (The message means: lower than the output voltage.)
    v.refuse(vomin && dv.Vomin > dv.Vout, "Min. output voltage value\nmust be higher than\noutput voltage");
    v.warn(vomin && holdUpMinimumLow(dv.Vomin, dv.Vout), "Min. output voltage is lower\n than 0.8*Vout\nDo you want to confirm?");
    v.refuse(entered(PANEL_OUTCAP, OUTCAP_TRUCOUT) && !(dv.truCout >= dv.Cout),
             "Increase capacitor value \n or relax section specs.\n See the HELP file");
    showNote(PANEL_OUTCAP, v);
    dim(PANEL_OUTCAP, OUTCAP_CLOSE, !v.ok() || dv.truCout < kLeastOutputCap);
}

void calcolaCout() {
    dv.Thold = getv(PANEL_OUTCAP, OUTCAP_THOLD);
    dv.delta = getv(PANEL_OUTCAP, OUTCAP_DELTA);
    dv.Vomin = getv(PANEL_OUTCAP, OUTCAP_VOMIN);
    const OutputCap c = outputCapacitance(dv.spec(), dv.Iout, dv.Thold, dv.delta, dv.Vomin);
    dv.C1 = c.C1;
    dv.C2 = c.C2;
    dv.Cout = c.Cout;
    setv(PANEL_OUTCAP, OUTCAP_COUT, dv.Cout);
}

void calcolaRMS() {
    dv.ICo = outputCapRipple(dv.Id_rms, dv.Iout);
    setv(PANEL_OUTCAP, OUTCAP_ICO, dv.ICo);
}

K7350_CALLBACK(hold) {
    ON_COMMIT;
    dv.Thold = getv(PANEL_OUTCAP, OUTCAP_THOLD);
    calcolaCout();
    judgeOutputCap();
    return 0;
}

K7350_CALLBACK(deltaV) {
    ON_COMMIT;
    dv.delta = getv(PANEL_OUTCAP, OUTCAP_DELTA);
    calcolaCout();
    judgeOutputCap();
    return 0;
}

K7350_CALLBACK(minout) {
    ON_COMMIT;
    dv.Vomin = getv(PANEL_OUTCAP, OUTCAP_VOMIN);
    calcolaCout();
    judgeOutputCap();
    return 0;
}

K7350_CALLBACK(Couttrue) {
    ON_COMMIT;
    dv.truCout = getv(PANEL_OUTCAP, OUTCAP_TRUCOUT);
    judgeOutputCap();
    int blocked = 0;
    GetCtrlAttribute(hp[PANEL_OUTCAP], OUTCAP_CLOSE, ATTR_DIMMED, &blocked);
    if (!blocked) dv.ant[ANT_OUTPUT_CAP] = kChosen;
    return 0;
}

} // namespace k7350
