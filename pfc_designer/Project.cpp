// Project files, the bill of materials and printing.
#include "pfc_designer/Program.h"
#include "pfc_designer/ProjectFile.h"

#include "platform/panels/ArrayFile.h"

#include <cmath>
#include <memory>

using namespace kv::panels;

namespace k7350 {

namespace {

// Where each slot of the project file lives.
struct SlotDef {
    int panel, ctrl;
    double Design::*value;
    int Design::*integer;
};
const SlotDef kSlotTable[] = {
    {PANEL_MAIN, MAIN_VINMIN, &Design::Vin_min, nullptr},
    {PANEL_MAIN, MAIN_VINMAX, &Design::Vin_max, nullptr},
    {PANEL_MAIN, MAIN_LINEFREQ, &Design::line_freq, nullptr},
    {PANEL_MAIN, MAIN_VOUT, &Design::Vout, nullptr},
    {PANEL_MAIN, MAIN_POUT, &Design::Pout, nullptr},
    {PANEL_MAIN, MAIN_EFFIC, &Design::effic, nullptr},
    {PANEL_MAIN, MAIN_PWMFREQ, &Design::pwm_freq, nullptr},
    {PANEL_MAIN, MAIN_PFC, &Design::PFC, nullptr},
    {PANEL_MAIN, MAIN_TMAX, &Design::Tmax, nullptr},
    {PANEL_SENSE, SENSE_PARALLEL, &Design::Rparallele, nullptr},
    {PANEL_SENSE, SENSE_SINGLE, &Design::single, nullptr},
    {PANEL_IND, IND_TRUEL, &Design::trueL, nullptr},
    {PANEL_MOS, MOS_RON, &Design::Ron, nullptr},
    {PANEL_MOS, MOS_TF, &Design::Tf, nullptr},
    {PANEL_MOS, MOS_CD, &Design::Cd, nullptr},
    {PANEL_DIODE, DIODE_VF, &Design::Vf, nullptr},
    {PANEL_DIODE, DIODE_RD, &Design::Rd, nullptr},
    {PANEL_INCAP, INCAP_TRUCIN, &Design::truCin, nullptr},
    {PANEL_OUTCAP, OUTCAP_TRUCOUT, &Design::truCout, nullptr},
    {PANEL_MULT, MULT_RLOW, &Design::Rlowmult, nullptr},
    {PANEL_MULT, MULT_RUP, &Design::trueRupmult, nullptr},
    {PANEL_ZCD, ZCD_CIRCUIT, &Design::zcd, nullptr},
    {PANEL_ZCD, ZCD_ACTR, &Design::actR, nullptr},
    {PANEL_ZCD, ZCD_RZCD, &Design::Rzcd, nullptr},
    {PANEL_FEED, FEED_OVP, &Design::OVP, nullptr},
    {PANEL_FEED, FEED_RHEFF, &Design::RHeff, nullptr},
    {PANEL_FEED, FEED_RLEFF, &Design::RLeff, nullptr},
    {PANEL_FEED, FEED_VAC, &Design::VAC, nullptr},
    {PANEL_FEED, FEED_PO, &Design::Po, nullptr},
    {PANEL_FEED, FEED_LOAD, nullptr, &Design::load},
    {PANEL_FEED, FEED_TOP, nullptr, &Design::top},
    {PANEL_FEED, FEED_C1, &Design::C1, nullptr},
    {PANEL_FEED, FEED_R1, &Design::R1, nullptr},
    {PANEL_FEED, FEED_C2, &Design::C2, nullptr},
};
// Then the choice flags.
constexpr int kFlagSlot = 34;
static_assert(std::size(kSlotTable) == kFlagSlot);
static_assert(kFlagSlot + kChoices == kUsedSlots);
// The values after the slots, in MoreValue order.
const SlotDef kMoreTable[] = {
    {PANEL_CORE, CORE_ML, &Design::ML, nullptr},
    {PANEL_CORE, CORE_AE, &Design::AE, nullptr},
    {PANEL_CORE, CORE_GAP, &Design::gap, nullptr},
    {PANEL_INCAP, INCAP_RIP, &Design::rip, nullptr},
    {PANEL_OUTCAP, OUTCAP_THOLD, &Design::Thold, nullptr},
    {PANEL_OUTCAP, OUTCAP_VOMIN, &Design::Vomin, nullptr},
    {PANEL_OUTCAP, OUTCAP_DELTA, &Design::delta, nullptr},
    {PANEL_CORE, CORE_MATERIAL, &Design::coreMaterial, nullptr},
    {PANEL_CORE, CORE_SHAPE, &Design::coreShape, nullptr},
    {PANEL_CORE, CORE_AMBIENT, &Design::lossAmbient, nullptr},
};
static_assert(std::size(kMoreTable) == kMoreValues);

const char* const kFileSpec = "*.ini";
const char* const kFileTypes = "*.ini;*.txt";

// Puts a saved value back in its field. A value the user had entered counts
// as entered again: its checks apply and no preset replaces it.
void restore(const SlotDef& s, double v) {
    if (s.integer) {
        dv.*s.integer = int(v);
        SetCtrlVal(hp[s.panel], s.ctrl, dv.*s.integer);
    } else {
        dv.*s.value = v;
        setv(s.panel, s.ctrl, v);
    }
    if (v != 0) markEntered(s.panel, s.ctrl);
}

double fetch(const SlotDef& s) {
    if (s.integer) return dv.*s.integer = geti(s.panel, s.ctrl);
    return dv.*s.value = getv(s.panel, s.ctrl);
}

void setTitle(const std::string& path) {
    SetPanelAttribute(hp[PANEL_MAIN], ATTR_TITLE, SplitPathFileName(path).c_str());
}

} // namespace

bool projectChanged() { return userEdits() != dv.savedEdits; }

void load_file() {
    std::string path;
    if (FileSelectPopup("", kFileSpec, kFileTypes, "Load settings", VAL_LOAD_BUTTON, 0, 0, 1, 1, path) ==
        VAL_NO_FILE_SELECTED)
        return;
    // Nothing changes unless the whole file is good.
    std::string text, reason;
    Project project;
    if (!ReadTextFile(path, kMaxProjectBytes, text, reason) || !parseProject(text, project, reason)) {
        MessagePopup("Error", ("This file cannot be loaded as a K7350 project:\n" + reason).c_str());
        return;
    }
    dv.file = std::move(project);
    for (int i = 0; i < kFlagSlot; ++i) restore(kSlotTable[i], dv.file.slot[i]);
    // An older file has no values after its slots: those fields stay as they
    // are, but the loss inputs start afresh (no material or shape: no losses).
    for (std::size_t k = 0; k < std::size(kMoreTable); ++k) {
        if (k < dv.file.more.size())
            restore(kMoreTable[k], dv.file.more[k]);
        else if (k >= MORE_MATERIAL)
            restore(kMoreTable[k], k == MORE_AMBIENT ? kLossAmbient : 0);
    }
    setv(PANEL_BOM, BOM_CIN, dv.truCin);
    for (int k = 0; k < kChoices; ++k) dv.ant[k] = dv.file.slot[kFlagSlot + k];
    setTitle(path);
    // Every step at once, unless the input conditions are refused (the note says why).
    const bool inputsOk = judgeInputs();
    for (int c : {MAIN_BOM, MAIN_STEP2, MAIN_STEP3, MAIN_STEP4, MAIN_STEP5, MAIN_STEP6, MAIN_STEP7,
                  MAIN_STEP8, MAIN_STEP9, MAIN_STEP1, MAIN_DESIGN})
        dim(PANEL_MAIN, c, !inputsOk);
    elementi();
    conti();
    componenti();
    // Every step as it was: the loop too, when its parts are there.
    calcola_set();
    loopInputChanged(true);
    dv.savedEdits = userEdits();
}

SaveResult save_file() {
    std::string path;
    if (FileSelectPopup("", kFileSpec, kFileTypes, "Save settings", VAL_SAVE_BUTTON, 0, 0, 1, 1, path) ==
        VAL_NO_FILE_SELECTED)
        return SaveResult::Cancelled;
    Slots& slot = dv.file.slot;
    for (int i = 0; i < kFlagSlot; ++i) slot[i] = fetch(kSlotTable[i]);
    for (int k = 0; k < kChoices; ++k) slot[kFlagSlot + k] = dv.ant[k];
    // Values of a later layout, read from a newer file, go back as they came.
    std::vector<double>& more = dv.file.more;
    if (more.size() < std::size(kMoreTable)) more.resize(std::size(kMoreTable));
    for (std::size_t k = 0; k < std::size(kMoreTable); ++k) more[k] = fetch(kMoreTable[k]);
    const std::vector<double> numbers = projectNumbers(dv.file);
    std::string reason;
    switch (ArrayToFile(path, numbers.data(), numbers.size(), kFieldWidth, reason)) {
    case ArrayFileError::None:
        setTitle(path);
        dv.savedEdits = userEdits();
        return SaveResult::Saved;
    case ArrayFileError::ReadOnly:
        MessagePopup("Error", "This file exists with Read Only attributes\nPlease use a different file name");
        return SaveResult::Failed;
    case ArrayFileError::Failed: break;
    }
    MessagePopup("Error", ("The project could not be saved:\n" + reason).c_str());
    return SaveResult::Failed;
}

// ---- bill of materials -----------------------------------------------------------------

namespace {
bool chosen(Choice flag) { return dv.ant[flag] >= kChosen; }

void show(std::initializer_list<int> ids, bool on) {
    for (int c : ids) showCtrl(PANEL_BOM, c, on);
}
} // namespace

void componenti() {
    conti();
    resistenza_sense();
    setv(PANEL_BOM, BOM_RSENSE, chosen(ANT_SENSE) ? dv.Rsense : dv.Rsx);
    boost_ind();
    setv(PANEL_BOM, BOM_L, chosen(ANT_INDUCTANCE) ? dv.trueL : dv.L);
    // The core entered in step 2; whole turns, at least as many as the flux allows.
    readCore();
    auto orNone = [](double v) { return v > 0 ? v : NAN; };
    setv(PANEL_BOM, BOM_CORE_LE, orNone(dv.ML));
    setv(PANEL_BOM, BOM_CORE_AE, orNone(dv.AE));
    setv(PANEL_BOM, BOM_GAP, orNone(dv.gap));
    setv(PANEL_BOM, BOM_TURNS, dv.AE > 0 && dv.AE <= kMaxCoreArea ? wholeTurns(dv.Np) : NAN);
    // The MOSFET and diode ratings, with the thermal resistance each may have.
    powmos();
    const bool mosfet = mosfetEntriesOk();
    if (mosfet) showLossResult();
    setv(PANEL_BOM, BOM_MOS_V, dv.BRdss);
    setv(PANEL_BOM, BOM_MOS_RON, mosfet ? dv.Ron : NAN);
    setv(PANEL_BOM, BOM_MOS_RTH, mosfet ? dv.Rthm : NAN);
    diodo();
    setv(PANEL_BOM, BOM_DIODE_V, dv.Vr);
    setv(PANEL_BOM, BOM_DIODE_I, dv.Id);
    setv(PANEL_BOM, BOM_DIODE_RTH, dv.Rthd);
    inputCap();
    dv.Cin = inputCapacitance(dv.Iin_rms, dv.pwm_freq, dv.rip, dv.Vin_min);
    setv(PANEL_BOM, BOM_CIN, chosen(ANT_INPUT_CAP) ? dv.truCin : dv.Cin);
    outputCap();
    setv(PANEL_BOM, BOM_COUT, chosen(ANT_OUTPUT_CAP) ? dv.truCout : dv.Cout);
    multNET();
    const bool ownDivider = given(dv.trueRupmult) && given(dv.Rlowmult);
    setv(PANEL_BOM, BOM_RMLOW, ownDivider ? dv.Rlowmult : dv.Rlwmult);
    setv(PANEL_BOM, BOM_RMUP, ownDivider ? dv.trueRupmult : dv.Rupmult);

    // The ZCD network as step 8 chose it: the auxiliary winding's ratio and
    // resistor, or the RC network's capacitor and pull-down resistor.
    dv.zcd = getv(PANEL_ZCD, ZCD_CIRCUIT);
    const bool zcdDone = chosen(ANT_ZCD), rc = zcdDone && dv.zcd >= kZcdRcNetwork, winding = zcdDone && !rc;
    if (rc) {
        setv(PANEL_BOM, BOM_ZCDN, kZcdRcCapacitance);
        setv(PANEL_BOM, BOM_ZCDR, kZcdRcResistance);
    } else if (winding) {
        setv(PANEL_BOM, BOM_ZCDN, getv(PANEL_ZCD, ZCD_ACTR));
        setv(PANEL_BOM, BOM_ZCDR, getv(PANEL_ZCD, ZCD_RZCD));
    }
    show({BOM_NOZCD}, !zcdDone);
    show({BOM_ZCD_DONE, BOM_ZCDN, BOM_ZCDR, BOM_ZCDR_UNIT}, zcdDone);
    show({BOM_AUXRATIO_LABEL, BOM_ZCDR_LABEL}, winding);
    show({BOM_COUPLING_LABEL, BOM_COUPLING_UNIT, BOM_PULLDOWN_LABEL}, rc);

    feedpercomp(false);
    const bool ownFeedback = feedbackGiven(dv.RHeff, dv.RLeff);
    setv(PANEL_BOM, BOM_RFL, ownFeedback ? dv.RLeff : dv.RL);
    setv(PANEL_BOM, BOM_RFH, ownFeedback ? dv.RHeff : dv.Rh);

    // The compensation parts the topology uses, each with its label and unit.
    const bool compDone = chosen(ANT_C1) || chosen(ANT_TOPOLOGY);
    show({BOM_NOCOMP}, !compDone);
    const std::initializer_list<int> c1 = {BOM_C1, BOM_C1_LABEL, BOM_C1_UNIT},
                                     r1 = {BOM_R1, BOM_R1_LABEL, BOM_R1_UNIT},
                                     c2 = {BOM_C2, BOM_C2_LABEL, BOM_C2_UNIT};
    if (!compDone) {
        for (auto part : {c1, r1, c2}) show(part, false);
        return;
    }
    dv.C1 = getv(PANEL_FEED, FEED_C1);
    dv.R1 = getv(PANEL_FEED, FEED_R1);
    dv.C2 = getv(PANEL_FEED, FEED_C2);
    setv(PANEL_BOM, BOM_C1, dv.C1);
    setv(PANEL_BOM, BOM_R1, dv.R1);
    setv(PANEL_BOM, BOM_C2, dv.C2);
    if (!knownTopology(dv.top)) return;
    show(c1, true);
    show(r1, usesR1(dv.top));
    show(c2, usesC2(dv.top));
}

// ---- printing ------------------------------------------------------------------------

namespace {
// A panel as a section of the printout: its fields, its graphs, its note.
void section(Document& doc, int panelId, const std::string& heading) {
    doc.heading(heading);
    doc.table(PanelRows(hp[panelId]));
    for (const Ctrl& c : panel(hp[panelId])->ctrls)
        if (c.plot && c.visible && !c.plot->series().empty())
            doc.graph(std::make_shared<const kv::plot::Plot>(*c.plot), "");
    const Ctrl* note = panel(hp[panelId])->find(NOTE);
    if (note && !note->caption.empty()) doc.paragraph("Note: " + note->caption);
}

std::string titleOf(int panelId) { return panel(hp[panelId])->title; }
} // namespace

void stampa() {
    Document doc;
    doc.title = "K7350 boost PFC pre-regulator: " + titleOf(PANEL_MAIN);
    section(doc, PANEL_MAIN, "Input conditions");
    section(doc, PANEL_CURR, titleOf(PANEL_CURR));
    // The steps the chain has reached, in its order.
    const struct {
        int button, panel;
    } steps[] = {{MAIN_STEP1, PANEL_SENSE}, {MAIN_STEP2, PANEL_IND},   {MAIN_STEP3, PANEL_MOS},
                 {MAIN_STEP4, PANEL_DIODE}, {MAIN_STEP5, PANEL_INCAP}, {MAIN_STEP6, PANEL_OUTCAP},
                 {MAIN_STEP7, PANEL_MULT},  {MAIN_STEP8, PANEL_ZCD},   {MAIN_STEP9, PANEL_FEED}};
    for (const auto& s : steps) {
        int dimmedStep = 0;
        GetCtrlAttribute(hp[PANEL_MAIN], s.button, ATTR_DIMMED, &dimmedStep);
        if (dimmedStep) continue;
        section(doc, s.panel, titleOf(s.panel));
        if (s.panel == PANEL_IND) section(doc, PANEL_CORE, titleOf(PANEL_CORE));
    }
    section(doc, PANEL_BOM, titleOf(PANEL_BOM));
    for (int c : {BOM_NOZCD, BOM_NOCOMP})
        if (panel(hp[PANEL_BOM])->find(c)->visible)
            doc.paragraph((c == BOM_NOZCD ? "Zero-current detection: " : "Compensation network: ") +
                          panel(hp[PANEL_BOM])->find(c)->caption);
    PrintDocument(doc);
    SetPanelAttribute(hp[PANEL_MAIN], ATTR_DIMMED, 0);
}

} // namespace k7350
