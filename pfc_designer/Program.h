// K7350: the callbacks of its panels and the functions they share. Every
// callback acts on the commit event only and returns 0.
#pragma once

#include "pfc_designer/Design.h"
#include "pfc_designer/Ids.h"
#include "platform/panels/Panels.h"

#include <span>
#include <string>
#include <vector>

// First line of every callback.
#define ON_COMMIT \
    if (event != kv::panels::EVENT_COMMIT) return 0

#define K7350_CALLBACK(name) \
    int name(int panel, int control, int event, void* callbackData, int eventData1, int eventData2)

namespace k7350 {

// Start-up to the end of the event loop; the program's exit code.
int run();
// Forgets the design values and the panels (a fresh start in the same process).
void resetProgram();
// Every callback the resource file may name.
std::span<const kv::panels::CallbackEntry> callbackTable();

// ---- helpers over the panel run-time --------------------------------------------
double getv(int panelId, int ctrl);
int geti(int panelId, int ctrl);
void setv(int panelId, int ctrl, double v);
void dim(int panelId, int ctrl, bool dimmed);
void showCtrl(int panelId, int ctrl, bool visible);
void openPanel(int sub, int parent);
void closePanel(int sub, int parent);
void popup(const char* title, const char* text);
// Committed by the user, or restored from a project.
bool entered(int panelId, int ctrl);
void markEntered(int panelId, int ctrl);

// What a panel's checks found: a refusal blocks the panel's close control
// (on the main panel, Calculate and Design), a warning does not.
struct Verdicts {
    std::vector<std::string> refusals, warnings;
    void refuse(bool failed, std::string text) {
        if (failed) refusals.push_back(std::move(text));
    }
    void warn(bool failed, std::string text) {
        if (failed) warnings.push_back(std::move(text));
    }
    bool ok() const { return refusals.empty(); }
};
// Shows them in the panel's note (NOTE): red with a refusal, amber with
// warnings only, empty when every check passes. A check waits until its
// field has been entered, so nothing is shown about a field not reached yet.
void showNote(int panelId, const Verdicts& v);

// ---- input conditions, sense resistor, boost inductor ---------------------------
// The main panel's checks over all nine fields: the note, Calculate and
// Design. True when all pass.
bool judgeInputs();
void conti();
void resistenza_sense();
void leggiRsns();
void leggiPs();
void leggiPK();
void boost_ind();
void min_ind();
void min_freq();
void grafico_fpwm();
void cioke();
void ciioke();
// The core entered on its panel, with the turns and volume they give.
void readCore();
// The inductor's losses from the core panel's fields.
void inductorLoss();
bool inductanceValid();
// Each step's checks: its note and its close control.
void judgeSense();
void judgeInductor();
void judgeCore();

// ---- MOSFET, diode, capacitors -------------------------------------------------------
// The last loss sweep (what the graph shows).
const MosfetLosses& lastLosses();
void powmos();
void calcoloPmos();
void grafico_losses();
bool mosfetEntriesOk();
// The worst-case loss and the thermal resistance it allows, shown.
void showLossResult();
void judgeMosfet();
void judgeInputCap();
void judgeOutputCap();
void diodo();
void Vrev();
void Irat();
void calcolaPdiodo();
void inputCap();
void calcolaCin();
void aggiornaCin();
void outputCap();
void calcolaCout();
void calcolaRMS();

// ---- multiplier, ZCD, feedback --------------------------------------------------------
void multNET();
void calcolaKp();
void Ralta();
bool multiplierValid();
void judgeMultiplier();
void ZCDc();
void ZCDscelto();
void RC();
void auxW();
void calcolaZCD();
void calcolaRZCD();
bool zcdValid();
void judgeZcd();
void feedandOVP();
// Opening step 9 presets the loop's set point and the OVP margin; the bill of
// materials and loading leave them as they are.
void feedpercomp(bool presets);
void calcolaRh();
void calcolaRl();
void calcolaVout();
void calcola_set();
void elementi();
void calcFTpow();
void calcFDTcomp();
void calcF();
void grafmodulo();
void graffase();
void judgeFeedback();
// A loop input changed: a loop shown is computed again, or cleared when the
// inputs are no longer complete; with `start` a loop is computed from
// complete inputs even when none is shown.
void loopInputChanged(bool start = false);

// ---- project, bill of materials, printing ------------------------------------------
enum class SaveResult { Saved, Cancelled, Failed };
void load_file();
SaveResult save_file();
// True when the user changed a value since the project was saved or loaded.
bool projectChanged();
void componenti();
void stampa();

K7350_CALLBACK(calcola); K7350_CALLBACK(close_curr); K7350_CALLBACK(design);
K7350_CALLBACK(panel_senseres); K7350_CALLBACK(close_Rsns); K7350_CALLBACK(panel_boost_ind);
K7350_CALLBACK(close_ind); K7350_CALLBACK(panel_m); K7350_CALLBACK(close_mos);
K7350_CALLBACK(panel_boost_diode); K7350_CALLBACK(close_diodo); K7350_CALLBACK(panel_in_cap);
K7350_CALLBACK(close_incap); K7350_CALLBACK(panel_out_cap); K7350_CALLBACK(close_outcap);
K7350_CALLBACK(panel_mult); K7350_CALLBACK(close_mult); K7350_CALLBACK(panel_zcd);
K7350_CALLBACK(close_ZCD); K7350_CALLBACK(panel_feed); K7350_CALLBACK(close_feed);
K7350_CALLBACK(mostra); K7350_CALLBACK(close_show); K7350_CALLBACK(CARICA); K7350_CALLBACK(SALVA);
K7350_CALLBACK(print_show); K7350_CALLBACK(ESCI);
K7350_CALLBACK(inhelp); K7350_CALLBACK(Rsnshelp); K7350_CALLBACK(boostinhelp);
K7350_CALLBACK(chokehelp); K7350_CALLBACK(moshelp); K7350_CALLBACK(diodohelp);
K7350_CALLBACK(Cinhelp); K7350_CALLBACK(Couthelp); K7350_CALLBACK(multhelp);
K7350_CALLBACK(zcdhelp); K7350_CALLBACK(feedhelp);
K7350_CALLBACK(closeHin); K7350_CALLBACK(closeHRsns); K7350_CALLBACK(closeHboostin);
K7350_CALLBACK(closeHchoke); K7350_CALLBACK(closeHmos); K7350_CALLBACK(closeHdiodo);
K7350_CALLBACK(closeHCin); K7350_CALLBACK(closeHCout); K7350_CALLBACK(closeHmult);
K7350_CALLBACK(closeHzcd); K7350_CALLBACK(closeHfeed);

K7350_CALLBACK(min_input_volt); K7350_CALLBACK(max_input_volt); K7350_CALLBACK(frequenza);
K7350_CALLBACK(V_uscita); K7350_CALLBACK(P_uscita); K7350_CALLBACK(eff);
K7350_CALLBACK(min_pwm_freq); K7350_CALLBACK(pow_fact); K7350_CALLBACK(max_amb_temp);
K7350_CALLBACK(R_parall); K7350_CALLBACK(Rsingl); K7350_CALLBACK(sceL); K7350_CALLBACK(choke);
K7350_CALLBACK(effar); K7350_CALLBACK(gaplung); K7350_CALLBACK(lengmag); K7350_CALLBACK(close_ch);
K7350_CALLBACK(lossinput);

K7350_CALLBACK(chanR); K7350_CALLBACK(cur_fall_time); K7350_CALLBACK(drainC); K7350_CALLBACK(perd);
K7350_CALLBACK(diodoVf); K7350_CALLBACK(diodoRd); K7350_CALLBACK(ripple); K7350_CALLBACK(Cintrue);
K7350_CALLBACK(Couttrue); K7350_CALLBACK(minout); K7350_CALLBACK(hold); K7350_CALLBACK(deltaV);

K7350_CALLBACK(res_low); K7350_CALLBACK(res_hightrue); K7350_CALLBACK(circ_ZCD);
K7350_CALLBACK(Rturn); K7350_CALLBACK(scelta_rzcd); K7350_CALLBACK(vover); K7350_CALLBACK(effRH);
K7350_CALLBACK(effRL); K7350_CALLBACK(setpointRMS); K7350_CALLBACK(setpointPout);
K7350_CALLBACK(Comptop); K7350_CALLBACK(loadC); K7350_CALLBACK(C1C); K7350_CALLBACK(C2C);
K7350_CALLBACK(R1R); K7350_CALLBACK(Cstart);

} // namespace k7350
