// The program frame: start-up, the nine-step chain, help panels, quitting.
//
// The Italian names the program keeps, in English:
//   dv          the design values (Design): the inputs and every step's results
//   ant         the choice flags (Choice): a step whose own value the user chose
//   hp          the panel handles, by resource id
//   conti       "calculations": the operating currents from the input conditions
//   frequenza, V_uscita, P_uscita, eff ...  the main panel's input fields (line
//               frequency, output voltage, output power, efficiency ...)
//   calcola     Calculate: the currents panel; the choice flags back to "not chosen"
//   leggiRsns   reads the sense resistors (count and value); leggiPs their
//               dissipation, leggiPK the current limit they set
//   resistenza_sense  the largest sense resistance; R_parall, Rsingl its fields
//   boost_ind, min_ind, min_freq  the inductance and the least switching frequency
//   sceL        the inductance chosen; grafico_fpwm its frequency graph
//   choke, cioke, ciioke  the core panel; the turns (from the area) and the least
//               core volume (from the path and the gap); effar, lengmag, gaplung
//               the area, the magnetic length and the gap entered
//   inductorLoss  the inductor's core loss, total and rise; lossinput its
//               material, shape and ambient entered
//   powmos, calcoloPmos, perd  the MOSFET's ratings and its losses (perdite);
//               chanR, cur_fall_time, drainC its entries; grafico_losses the graph
//   diodo, Vrev, Irat, calcolaPdiodo  the diode's reverse voltage, current rating
//               and loss; diodoVf, diodoRd its entries
//   inputCap, calcolaCin, aggiornaCin  the input capacitor (aggiorna: update)
//   outputCap, calcolaCout, calcolaRMS  the output capacitor and its ripple current;
//               minout, hold, deltaV the hold-up entries
//   multNET, calcolaKp, Ralta  the multiplier divider (Ralta: the upper resistor);
//               res_low, res_hightrue the resistors chosen
//   ZCDc, ZCDscelto, auxW, RC  the zero-current detection and the circuit chosen
//               (scelto): auxiliary winding or RC network; circ_ZCD, Rturn,
//               scelta_rzcd its entries
//   feedandOVP, feedpercomp  the feedback divider and the OVP (vover); calcolaRh,
//               calcolaRl, calcolaVout the divider; effRH, effRL the resistors chosen
//   calcola_set the loop's operating point; setpointRMS, setpointPout its entries
//   elementi    the compensation parts (elementi) the topology shows; Comptop,
//               loadC, C1C, R1R, C2C its entries
//   calcFTpow, calcFDTcomp, calcF  the power stage's and the compensation's
//               transfer functions and the loop gain; Cstart computes them;
//               grafmodulo, graffase the magnitude and phase graphs
//   mostra      shows (mostra) the bill of materials; componenti fills it
//   stampa      prints; print_show its button
//   CARICA, SALVA  Load and Save (load_file, save_file)
//   ESCI        Quit (esci: exit)
//   panel_..., close_...  open and close a step's panel; ...help, closeH... its help
#include "pfc_designer/Program.h"

#include <iterator>

using namespace kv::panels;

namespace k7350 {

Design dv;
int hp[kPanelIds] = {};

namespace {
// The panel each panel was opened over, by resource id (0: none).
int g_parent[std::size(hp)] = {};

int idOf(int handle) {
    for (int id = 0; id < int(std::size(hp)); ++id)
        if (hp[id] == handle && handle > 0) return id;
    return 0;
}

// The close box or Esc on a panel whose close control is dimmed: back to the
// panel below, keeping what was typed; the chain goes no further.
void backOut(int handle) {
    const int id = idOf(handle);
    if (id && g_parent[id]) closePanel(id, g_parent[id]);
}
} // namespace

double getv(int panelId, int ctrl) {
    double v = 0;
    GetCtrlVal(hp[panelId], ctrl, &v);
    return v;
}

int geti(int panelId, int ctrl) {
    int v = 0;
    GetCtrlVal(hp[panelId], ctrl, &v);
    return v;
}

void setv(int panelId, int ctrl, double v) { SetCtrlVal(hp[panelId], ctrl, v); }
void dim(int panelId, int ctrl, bool on) { SetCtrlAttribute(hp[panelId], ctrl, ATTR_DIMMED, on); }
void showCtrl(int panelId, int ctrl, bool on) { SetCtrlAttribute(hp[panelId], ctrl, ATTR_VISIBLE, on); }

namespace {
// The panels a panel opened and that are still shown (its help) come back on
// top of it: a panel under its own help is dimmed and its close box does
// nothing, so it must never be the one on top.
void raiseOpened(int id, int depth = 0) {
    if (depth > int(std::size(hp))) return;
    for (int sub = 0; sub < int(std::size(hp)); ++sub) {
        if (sub == id || g_parent[sub] != id || !hp[sub]) continue;
        const Panel* p = panel(hp[sub]);
        if (!p || !p->visible) continue;
        DisplayPanel(hp[sub]);
        raiseOpened(sub, depth + 1);
    }
}
} // namespace

void openPanel(int sub, int parent) {
    g_parent[sub] = parent;
    DisplayPanel(hp[sub]);
    SetPanelAttribute(hp[parent], ATTR_DIMMED, 1);
    // Opened again (the main panel is free after a print) with its help still open.
    raiseOpened(sub);
}

void closePanel(int sub, int parent) {
    SetPanelAttribute(hp[sub], ATTR_VISIBLE, 0);
    SetPanelAttribute(hp[parent], ATTR_DIMMED, 0);
}

void popup(const char* title, const char* text) { MessagePopup(title, text); }

bool entered(int panelId, int ctrl) {
    int v = 0;
    GetCtrlAttribute(hp[panelId], ctrl, ATTR_USER_ENTERED, &v);
    return v != 0;
}

void markEntered(int panelId, int ctrl) { SetCtrlAttribute(hp[panelId], ctrl, ATTR_USER_ENTERED, 1); }

namespace {
// The note's text: each message on a line of its own, at most three.
std::string noteText(const Verdicts& v) {
    std::vector<std::string> all = v.refusals;
    all.insert(all.end(), v.warnings.begin(), v.warnings.end());
    std::string text;
    constexpr std::size_t kShown = 3;
    for (std::size_t k = 0; k < all.size() && k < kShown; ++k) {
        // The messages are written for popups: their line breaks become spaces.
        std::string line;
        for (char c : all[k]) {
            if (c == '\n') c = ' ';
            if (c == ' ' && (line.empty() || line.back() == ' ')) continue;
            line += c;
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        text += (k ? "\n" : "") + line;
    }
    if (all.size() > kShown) text += " (and " + std::to_string(all.size() - kShown) + " more)";
    return text;
}
} // namespace

void showNote(int panelId, const Verdicts& v) {
    SetCtrlVal(hp[panelId], NOTE, noteText(v).c_str());
    SetCtrlAttribute(hp[panelId], NOTE, ATTR_TEXT_COLOR, v.ok() ? VAL_DK_YELLOW : VAL_DK_RED);
}

namespace {
// The run-time's system attribute 1420, set to 0 before anything else.
constexpr int kSystemAttribute = 1420;
// A smaller screen is told, once the program has ended, to give at least this.
constexpr int kLeastScreenHeight = 600, kLeastScreenWidth = 800;
} // namespace

int run() {
    SetSystemAttribute(kSystemAttribute, 0);
    if (!host()) return -1;
    for (int id : kLoadOrder) {
        hp[id] = LoadPanel(0, kResourceFile, id);
        if (hp[id] < 0) return -1;
    }
    setBackOut(backOut);
    // Esc closes the panel on top, never the program.
    SetPanelAttribute(hp[PANEL_MAIN], ATTR_CLOSE_ON_ESCAPE, 0);
    DisplayPanel(hp[PANEL_MAIN]);
    SetPanelAttribute(hp[PANEL_MAIN], ATTR_TITLE, "new");
    RunUserInterface();
    int height = 0, width = 0;
    GetScreenSize(&height, &width);
    if (height < kLeastScreenHeight || width < kLeastScreenWidth)
        MessagePopup("WARNING", "for a good view, please, set your monitor \nresolution at least 600*800 pixels");
    return 0;
}

void resetProgram() {
    dv = Design{};
    for (int& h : hp) h = 0;
    for (int& p : g_parent) p = 0;
    resetRuntime();
}

// ---- the chain ----------------------------------------------------------------------

K7350_CALLBACK(calcola) {
    ON_COMMIT;
    openPanel(PANEL_CURR, PANEL_MAIN);
    conti();
    dv.ant = kNoChoices;
    return 0;
}

K7350_CALLBACK(close_curr) {
    ON_COMMIT;
    dim(PANEL_MAIN, MAIN_DESIGN, false);
    closePanel(PANEL_CURR, PANEL_MAIN);
    return 0;
}

K7350_CALLBACK(design) {
    ON_COMMIT;
    dim(PANEL_MAIN, MAIN_BOM, false);
    SetCtrlAttribute(hp[PANEL_MAIN], MAIN_BOM, ATTR_CMD_BUTTON_COLOR, VAL_WHITE);
    for (int b : kLaterSteps) dim(PANEL_MAIN, b, true);
    dim(PANEL_MAIN, MAIN_STEP1, false);
    conti();
    return 0;
}

// Opens a step over the main panel and runs its entry function.
#define STEP_OPEN(name, panelId, entry) \
    K7350_CALLBACK(name) {              \
        ON_COMMIT;                      \
        openPanel(panelId, PANEL_MAIN); \
        entry();                        \
        return 0;                       \
    }
// Closes a step and makes the next one usable.
#define STEP_CLOSE(name, panelId, next)  \
    K7350_CALLBACK(name) {               \
        ON_COMMIT;                       \
        closePanel(panelId, PANEL_MAIN); \
        dim(PANEL_MAIN, next, false);    \
        return 0;                        \
    }

STEP_OPEN(panel_senseres, PANEL_SENSE, resistenza_sense)
STEP_CLOSE(close_Rsns, PANEL_SENSE, MAIN_STEP2)
STEP_OPEN(panel_boost_ind, PANEL_IND, boost_ind)
STEP_OPEN(panel_m, PANEL_MOS, powmos)
STEP_CLOSE(close_mos, PANEL_MOS, MAIN_STEP4)
STEP_OPEN(panel_boost_diode, PANEL_DIODE, diodo)
STEP_CLOSE(close_diodo, PANEL_DIODE, MAIN_STEP5)
STEP_OPEN(panel_in_cap, PANEL_INCAP, inputCap)
STEP_CLOSE(close_incap, PANEL_INCAP, MAIN_STEP6)
STEP_OPEN(panel_out_cap, PANEL_OUTCAP, outputCap)
STEP_CLOSE(close_outcap, PANEL_OUTCAP, MAIN_STEP7)
STEP_OPEN(panel_mult, PANEL_MULT, multNET)
STEP_OPEN(panel_zcd, PANEL_ZCD, ZCDc)
STEP_OPEN(panel_feed, PANEL_FEED, feedandOVP)
STEP_OPEN(mostra, PANEL_BOM, componenti)

K7350_CALLBACK(close_ind) {
    ON_COMMIT;
    if (!inductanceValid()) {
        MessagePopup("WARNING", "check L value");
        dim(PANEL_IND, IND_CLOSE, true);
        return 0;
    }
    closePanel(PANEL_IND, PANEL_MAIN);
    dim(PANEL_MAIN, MAIN_STEP3, false);
    return 0;
}

K7350_CALLBACK(close_mult) {
    ON_COMMIT;
    if (!multiplierValid()) {
        MessagePopup("WARNING", "check resistors value");
        dim(PANEL_MULT, MULT_CLOSE, true);
        return 0;
    }
    dim(PANEL_MULT, MULT_CLOSE, false);
    calcolaKp();
    closePanel(PANEL_MULT, PANEL_MAIN);
    dim(PANEL_MAIN, MAIN_STEP8, false);
    return 0;
}

K7350_CALLBACK(close_ZCD) {
    ON_COMMIT;
    if (!zcdValid()) {
        MessagePopup("WARNING", "Insert all the required\n panel values");
        dim(PANEL_ZCD, ZCD_CLOSE, true);
        return 0;
    }
    dim(PANEL_ZCD, ZCD_CLOSE, false);
    closePanel(PANEL_ZCD, PANEL_MAIN);
    dim(PANEL_MAIN, MAIN_STEP9, false);
    return 0;
}

K7350_CALLBACK(close_feed) {
    ON_COMMIT;
    closePanel(PANEL_FEED, PANEL_MAIN);
    return 0;
}

K7350_CALLBACK(close_show) {
    ON_COMMIT;
    closePanel(PANEL_BOM, PANEL_MAIN);
    return 0;
}

// ---- help panels -------------------------------------------------------------------

#define HELP(open, shut, helpId, parentId) \
    K7350_CALLBACK(open) {                  \
        ON_COMMIT;                          \
        openPanel(helpId, parentId);        \
        return 0;                           \
    }                                       \
    K7350_CALLBACK(shut) {                  \
        ON_COMMIT;                          \
        closePanel(helpId, parentId);       \
        return 0;                           \
    }

HELP(inhelp, closeHin, PANEL_HIN, PANEL_MAIN)
HELP(Rsnshelp, closeHRsns, PANEL_HRSNS, PANEL_SENSE)
HELP(boostinhelp, closeHboostin, PANEL_HBOOSTIN, PANEL_IND)
HELP(chokehelp, closeHchoke, PANEL_HCHOKE, PANEL_CORE)
HELP(moshelp, closeHmos, PANEL_HMOS, PANEL_MOS)
HELP(diodohelp, closeHdiodo, PANEL_HDIODO, PANEL_DIODE)
HELP(Cinhelp, closeHCin, PANEL_HCIN, PANEL_INCAP)
HELP(Couthelp, closeHCout, PANEL_HCOUT, PANEL_OUTCAP)
HELP(multhelp, closeHmult, PANEL_HMULT, PANEL_MULT)
HELP(zcdhelp, closeHzcd, PANEL_HZCD, PANEL_ZCD)
HELP(feedhelp, closeHfeed, PANEL_HFEED, PANEL_FEED)

// ---- project, printing, quitting -----------------------------------------------------

K7350_CALLBACK(CARICA) {
    ON_COMMIT;
    load_file();
    return 0;
}

K7350_CALLBACK(SALVA) {
    ON_COMMIT;
    save_file();
    return 0;
}

K7350_CALLBACK(print_show) {
    ON_COMMIT;
    stampa();
    SetPanelAttribute(hp[PANEL_MAIN], ATTR_DIMMED, 0);
    return 0;
}

K7350_CALLBACK(ESCI) {
    ON_COMMIT;
    if (projectChanged()) {
        const int answer = ConfirmCancelPopup("WARNING", "Do you want to save the project?");
        if (answer < 0) return 0;
        // Nothing is lost: a save that did not happen keeps the program open.
        if (answer == 1 && save_file() != SaveResult::Saved) return 0;
    }
    QuitUserInterface(0);
    return 0;
}

// ---- the callback table ------------------------------------------------------------

#define E(name) {#name, &name}
namespace {
const CallbackEntry kCallbacks[] = {
    E(calcola), E(close_curr), E(design), E(panel_senseres), E(close_Rsns), E(panel_boost_ind),
    E(close_ind), E(panel_m), E(close_mos), E(panel_boost_diode), E(close_diodo), E(panel_in_cap),
    E(close_incap), E(panel_out_cap), E(close_outcap), E(panel_mult), E(close_mult), E(panel_zcd),
    E(close_ZCD), E(panel_feed), E(close_feed), E(mostra), E(close_show), E(CARICA), E(SALVA),
    E(print_show), E(ESCI),
    E(inhelp), E(Rsnshelp), E(boostinhelp), E(chokehelp), E(moshelp), E(diodohelp), E(Cinhelp),
    E(Couthelp), E(multhelp), E(zcdhelp), E(feedhelp),
    E(closeHin), E(closeHRsns), E(closeHboostin), E(closeHchoke), E(closeHmos), E(closeHdiodo),
    E(closeHCin), E(closeHCout), E(closeHmult), E(closeHzcd), E(closeHfeed),
    E(min_input_volt), E(max_input_volt), E(frequenza), E(V_uscita), E(P_uscita), E(eff),
    E(min_pwm_freq), E(pow_fact), E(max_amb_temp), E(R_parall), E(Rsingl), E(sceL), E(choke),
    E(effar), E(gaplung), E(lengmag), E(close_ch), E(lossinput),
    E(chanR), E(cur_fall_time), E(drainC), E(perd), E(diodoVf), E(diodoRd), E(ripple),
    E(Cintrue), E(Couttrue), E(minout), E(hold), E(deltaV),
    E(res_low), E(res_hightrue), E(circ_ZCD), E(Rturn), E(scelta_rzcd), E(vover), E(effRH),
    E(effRL), E(setpointRMS), E(setpointPout), E(Comptop), E(loadC), E(C1C), E(C2C), E(R1R),
    E(Cstart),
};
} // namespace
#undef E

std::span<const CallbackEntry> callbackTable() { return kCallbacks; }

} // namespace k7350
