// MOSFET, boost diode, input and output capacitors.
#include "pfc_designer/Program.h"

#include <cmath>

using namespace kv::panels;

namespace k7350 {

namespace {
MosfetLosses g_losses;

bool within(double v, double lo, double hi) { return lo <= v && v <= hi; }
bool ronOk(double v) { return within(v, 0.001, 1000); }
bool tfOk(double v) { return within(v, 0.001, 200); }
bool cdOk(double v) { return within(v, 0.001, 2000); }

// An accepted entry recomputes and frees the close control once all three
// entries are in range; a rejected one blocks it.
void mosEntry(bool ok, const char* text) {
    if (!ok) {
        dim(PANEL_MOS, MOS_CLOSE, true);
        MessagePopup("Warning", text);
        return;
    }
    if (ronOk(getv(PANEL_MOS, MOS_RON)) && tfOk(getv(PANEL_MOS, MOS_TF)) && cdOk(getv(PANEL_MOS, MOS_CD))) {
        dim(PANEL_MOS, MOS_CLOSE, false);
        calcoloPmos();
    }
}
} // namespace

const MosfetLosses& lastLosses() { return g_losses; }

void powmos() {
    conti();
    const double b = 1.2 * dv.Vout;
    if (std::isfinite(b) && std::abs(b) < 2e9) {
        dv.BRdss = int(b);
        SetCtrlVal(hp[PANEL_MOS], MOS_BRDSS, dv.BRdss);
    } else {
        dv.BRdss = 0;
        setv(PANEL_MOS, MOS_BRDSS, NAN);
    }
    calcoloPmos();
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
        const int p = PlotY(h, MOS_GRAPH, c.y, kLossPoints, VAL_DOUBLE, c.style, VAL_EMPTY_SQUARE,
                            VAL_SOLID, 1, c.color);
        SetPlotName(h, MOS_GRAPH, p, c.name);
    }
}

K7350_CALLBACK(chanR) {
    ON_COMMIT;
    dv.Ron = getv(PANEL_MOS, MOS_RON);
    mosEntry(ronOk(dv.Ron), "Rds(on) value must be in the range \nfrom 0 to 1000mhoms");
    return 0;
}

K7350_CALLBACK(cur_fall_time) {
    ON_COMMIT;
    dv.Tf = getv(PANEL_MOS, MOS_TF);
    mosEntry(tfOk(dv.Tf), "Falling time value must be in \nthe range from 0 to 200ns");
    return 0;
}

K7350_CALLBACK(drainC) {
    ON_COMMIT;
    dv.Cd = getv(PANEL_MOS, MOS_CD);
    mosEntry(cdOk(dv.Cd), "Drain capacitance value must be in \nthe range from 0 to 2000nF");
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
    dv.Pmax = worstLoss(g_losses);
    dv.Rthm = thermalResistance(dv.Tmax, dv.Pmax);
    dim(PANEL_MOS, MOS_PMAX, false);
    dim(PANEL_MOS, MOS_RTHM, false);
    setv(PANEL_MOS, MOS_PMAX, dv.Pmax);
    setv(PANEL_MOS, MOS_RTHM, dv.Rthm);
    return 0;
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
    dv.Vr = 1.2 * dv.Vout;
    setv(PANEL_DIODE, DIODE_VR, dv.Vr);
}

void Irat() {
    dv.Id = 3 * dv.Iout;
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
    dim(PANEL_INCAP, INCAP_CLOSE, true);
    conti();
    min_freq();
    calcolaCin();
    aggiornaCin();
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
    return 0;
}

K7350_CALLBACK(Cintrue) {
    ON_COMMIT;
    dv.truCin = getv(PANEL_INCAP, INCAP_TRUCIN);
    dv.ant[2] = 1;
    const double computed = getv(PANEL_INCAP, INCAP_CIN);
    dim(PANEL_INCAP, INCAP_CLOSE, false);
    if (computed > dv.truCin)
        MessagePopup("WARNING", "You will have HF ripple\n higher than the specified value\nSee HELP");
    dv.Cin = getv(PANEL_INCAP, INCAP_TRUCIN);
    return 0;
}

// ---- step 6: output capacitor --------------------------------------------------------

void outputCap() {
    dv.truCout = getv(PANEL_OUTCAP, OUTCAP_TRUCOUT);
    if (dv.truCout < 1) dim(PANEL_OUTCAP, OUTCAP_CLOSE, true);
    conti();
    calcolaCout();
    calcolaRMS();
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
    return 0;
}

K7350_CALLBACK(deltaV) {
    ON_COMMIT;
    dv.delta = getv(PANEL_OUTCAP, OUTCAP_DELTA);
    calcolaCout();
    return 0;
}

K7350_CALLBACK(minout) {
    ON_COMMIT;
    dv.Vomin = getv(PANEL_OUTCAP, OUTCAP_VOMIN);
    if (dv.Vomin > dv.Vout)
        MessagePopup("WARNING", "Min. output voltage value\nmust be higher than\noutput voltage");
    dv.Vomin = getv(PANEL_OUTCAP, OUTCAP_VOMIN);
    if (dv.Vomin < 0.8 * dv.Vout)
        MessagePopup("WARNING", "Min. output voltage is lower\n than 0.8*Vout\nDo you want to confirm?");
    calcolaCout();
    return 0;
}

K7350_CALLBACK(Couttrue) {
    ON_COMMIT;
    dv.truCout = getv(PANEL_OUTCAP, OUTCAP_TRUCOUT);
    if (!(dv.truCout >= dv.Cout)) {
        dim(PANEL_OUTCAP, OUTCAP_CLOSE, true);
        MessagePopup("WARNING", "Increase capacitor value \n or relax section specs.\n See the HELP file");
    } else {
        dim(PANEL_OUTCAP, OUTCAP_CLOSE, false);
        dv.ant[3] = 1;
    }
    return 0;
}

} // namespace k7350
