// Project files, the bill of materials and printing.
#include "pfc_designer/Program.h"
#include "pfc_designer/ProjectFile.h"

#include "platform/panels/ArrayFile.h"

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
constexpr int kFlagSlot = 34;
static_assert(std::size(kSlotTable) == kFlagSlot);
static_assert(kFlagSlot + 7 == kUsedSlots);

const char* const kFileSpec = "*.ini";
const char* const kFileTypes = "*.ini;*.txt";

} // namespace

void load_file() {
    std::string path;
    if (FileSelectPopup("", kFileSpec, kFileTypes, "Load settings", VAL_LOAD_BUTTON, 0, 0, 1, 1, path) ==
        VAL_NO_FILE_SELECTED)
        return;
    // Nothing changes unless the whole file is good.
    std::string text, reason;
    Slots slots{};
    if (!ReadTextFile(path, kMaxProjectBytes, text, reason) || !parseProject(text, slots, reason)) {
        MessagePopup("Error", ("This file cannot be loaded as a K7350 project:\n" + reason).c_str());
        return;
    }
    dv.double_array = slots;
    for (int i = 0; i < kFlagSlot; ++i) {
        const SlotDef& s = kSlotTable[i];
        if (s.integer) {
            dv.*s.integer = int(slots[i]);
            SetCtrlVal(hp[s.panel], s.ctrl, dv.*s.integer);
        } else {
            dv.*s.value = slots[i];
            setv(s.panel, s.ctrl, slots[i]);
        }
    }
    setv(PANEL_BOM, BOM_CIN, dv.truCin);
    for (int k = 0; k < 7; ++k) dv.ant[k] = slots[kFlagSlot + k];
    SetPanelAttribute(hp[PANEL_MAIN], ATTR_TITLE, SplitPathFileName(path).c_str());
    for (int c : {MAIN_BOM, MAIN_STEP2, MAIN_STEP3, MAIN_STEP4, MAIN_STEP5, MAIN_STEP6, MAIN_STEP7,
                  MAIN_STEP8, MAIN_STEP9, MAIN_STEP1, MAIN_DESIGN})
        dim(PANEL_MAIN, c, false);
    elementi();
    conti();
    componenti();
}

SaveResult save_file() {
    std::string path;
    if (FileSelectPopup("", kFileSpec, kFileTypes, "Save settings", VAL_SAVE_BUTTON, 0, 0, 1, 1, path) ==
        VAL_NO_FILE_SELECTED)
        return SaveResult::Cancelled;
    for (int i = 0; i < kFlagSlot; ++i) {
        const SlotDef& s = kSlotTable[i];
        if (s.integer) {
            dv.*s.integer = geti(s.panel, s.ctrl);
            dv.double_array[i] = dv.*s.integer;
        } else {
            dv.*s.value = getv(s.panel, s.ctrl);
            dv.double_array[i] = dv.*s.value;
        }
    }
    for (int k = 0; k < 7; ++k) dv.double_array[kFlagSlot + k] = dv.ant[k];
    std::string reason;
    switch (ArrayToFile(path, dv.double_array.data(), kSlots, kFieldWidth, reason)) {
    case ArrayFileError::None: return SaveResult::Saved;
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
bool chosen(int flag) { return dv.ant[flag] >= 1; }

void show(std::initializer_list<int> ids, bool on) {
    for (int c : ids) showCtrl(PANEL_BOM, c, on);
}
} // namespace

void componenti() {
    conti();
    resistenza_sense();
    setv(PANEL_BOM, BOM_RSENSE, chosen(0) ? dv.Rsense : dv.Rsx);
    boost_ind();
    setv(PANEL_BOM, BOM_L, chosen(1) ? dv.trueL : dv.L);
    inputCap();
    dv.Cin = inputCapacitance(dv.Iin_rms, dv.pwm_freq, dv.rip, dv.Vin_min);
    setv(PANEL_BOM, BOM_CIN, chosen(2) ? dv.truCin : dv.Cin);
    outputCap();
    setv(PANEL_BOM, BOM_COUT, chosen(3) ? dv.truCout : dv.Cout);
    multNET();
    const bool ownDivider = dv.trueRupmult >= 0.001 && dv.Rlowmult >= 0.001;
    setv(PANEL_BOM, BOM_RMLOW, ownDivider ? dv.Rlowmult : dv.Rlwmult);
    setv(PANEL_BOM, BOM_RMUP, ownDivider ? dv.trueRupmult : dv.Rupmult);

    dv.zcd = getv(PANEL_ZCD, ZCD_CIRCUIT);
    if (!chosen(6)) {
        show({BOM_NOZCD}, true);
        show({34, 40, 35, 32, 36, 38, 39, BOM_ZCDN, BOM_ZCDR}, false);
    } else {
        show({BOM_NOZCD}, false);
        show({38, BOM_ZCDR, BOM_ZCDN}, true);
        if (dv.zcd >= 1) {
            setv(PANEL_BOM, BOM_ZCDN, 33);
            setv(PANEL_BOM, BOM_ZCDR, 330);
            show({34, 32}, false);
            show({40, 35, 36, 38, 39}, true);
        } else {
            setv(PANEL_BOM, BOM_ZCDN, getv(PANEL_ZCD, ZCD_ACTR));
            setv(PANEL_BOM, BOM_ZCDR, getv(PANEL_ZCD, ZCD_RZCD));
            show({34, 32, 35, 36}, true);
            show({40, 38, 39}, false);
        }
    }

    feedpercomp(false);
    const bool ownFeedback = dv.RHeff >= 0.001 && dv.RLeff >= 0.001;
    setv(PANEL_BOM, BOM_RFL, ownFeedback ? dv.RLeff : dv.RL);
    setv(PANEL_BOM, BOM_RFH, ownFeedback ? dv.RHeff : dv.Rh);

    // Labels 26 … 31 name C1, R1 and C2 (a label and a unit each); they go with their values.
    if (!chosen(5) && !chosen(4)) {
        show({BOM_NOCOMP}, true);
        show({BOM_C1, BOM_C2, BOM_R1, 26, 27, 28, 29, 30, 31}, false);
        return;
    }
    show({BOM_NOCOMP}, false);
    dv.C1 = getv(PANEL_FEED, FEED_C1);
    dv.R1 = getv(PANEL_FEED, FEED_R1);
    dv.C2 = getv(PANEL_FEED, FEED_C2);
    setv(PANEL_BOM, BOM_C1, dv.C1);
    setv(PANEL_BOM, BOM_R1, dv.R1);
    setv(PANEL_BOM, BOM_C2, dv.C2);
    switch (dv.top) {
    case 0:
        show({BOM_C1, 26, 27}, true);
        show({BOM_C2, BOM_R1, 28, 29, 30, 31}, false);
        break;
    case 1:
        show({BOM_C1, BOM_R1, 26, 27, 28, 29}, true);
        show({BOM_C2, 30, 31}, false);
        break;
    case 2: show({BOM_C1, BOM_C2, BOM_R1, 26, 27, 28, 29, 30, 31}, true); break;
    default: break;
    }
}

// ---- printing ------------------------------------------------------------------------

void stampa() {
    SetPrintAttribute(ATTR_PRINT_DATE_TIME, 1);
    SetPrintAttribute(ATTR_PRINT_EJECT_AFTER, 0);
    SetPrintAttribute(ATTR_PRINT_FIT_PAGE, 1);
    // A cancelled print dialog cancels the whole printout.
    if (PrintPanel(hp[PANEL_MAIN]) == 0) {
        SetPrintAttribute(ATTR_PRINT_EJECT_AFTER, 1);
        PrintPanel(hp[PANEL_BOM]);
    }
    SetPanelAttribute(hp[PANEL_MAIN], ATTR_DIMMED, 0);
}

} // namespace k7350
