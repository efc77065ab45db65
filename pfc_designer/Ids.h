// Resource ids of the panels and ids of the controls the code addresses.
// K7350.uir holds the same numbers; tests/pfc checks that they agree.
#pragma once

namespace k7350 {

constexpr const char* kResourceFile = "K7350.uir";

// Panels, by resource id.
enum PanelId {
    PANEL_INCAP = 2, PANEL_OUTCAP = 3, PANEL_DIODE = 4, PANEL_FEED = 5,
    PANEL_HBOOSTIN = 6, PANEL_HCHOKE = 7, PANEL_HCIN = 8, PANEL_HCOUT = 9, PANEL_HDIODO = 10,
    PANEL_HFEED = 11, PANEL_HIN = 12, PANEL_HMOS = 13, PANEL_HMULT = 14, PANEL_HRSNS = 15,
    PANEL_HZCD = 16, PANEL_IND = 17, PANEL_MAIN = 18, PANEL_MOS = 19, PANEL_MULT = 20,
    PANEL_CORE = 21, PANEL_CURR = 22, PANEL_SENSE = 23, PANEL_BOM = 24, PANEL_ZCD = 25,
};
// Resource ids run below this.
constexpr int kPanelIds = 26;
// Start-up load order.
constexpr int kLoadOrder[] = {18, 22, 2, 19, 17, 20, 5, 4, 3, 23, 25, 24,
                              21, 12, 15, 6, 13, 8, 10, 9, 14, 16, 11, 7};

// Main panel.
enum {
    MAIN_TMAX = 2, MAIN_PFC = 3, MAIN_PWMFREQ = 4, MAIN_EFFIC = 5, MAIN_POUT = 6, MAIN_VOUT = 7,
    MAIN_VINMAX = 8, MAIN_VINMIN = 9, MAIN_LINEFREQ = 10, MAIN_CALCULATE = 11, MAIN_STEP1 = 12,
    MAIN_DESIGN = 13, MAIN_STEP9 = 14, MAIN_STEP6 = 15, MAIN_STEP7 = 16, MAIN_STEP8 = 17,
    MAIN_STEP5 = 18, MAIN_STEP2 = 19, MAIN_STEP3 = 20, MAIN_STEP4 = 21, MAIN_BOM = 22,
    MAIN_LOAD = 23, MAIN_SAVE = 24, MAIN_HELP = 25, MAIN_QUIT = 26,
};
// Step buttons 2 to 9, in chain order.
constexpr int kLaterSteps[] = {MAIN_STEP2, MAIN_STEP3, MAIN_STEP4, MAIN_STEP5,
                               MAIN_STEP6, MAIN_STEP7, MAIN_STEP8, MAIN_STEP9};

// Operating currents.
enum {
    CURR_IDRMS = 2, CURR_ISWRMS = 3, CURR_ILRMS = 4, CURR_ILAC = 5, CURR_ILPK = 6,
    CURR_IINRMS = 7, CURR_IOUT = 8, CURR_PIN = 9, CURR_CLOSE = 10,
};
// Sense resistor.
enum {
    SENSE_CLOSE = 3, SENSE_MAXIPK = 4, SENSE_PS = 5, SENSE_RSENSE = 6, SENSE_RSX = 7,
    SENSE_SINGLE = 8, SENSE_PARALLEL = 9,
};
// Boost inductor.
enum { IND_CHOKE = 2, IND_CLOSE = 3, IND_F = 4, IND_L = 5, IND_TRUEL = 6, IND_GRAPH = 7 };
// Core and winding.
enum {
    CORE_ML = 2, CORE_AE = 3, CORE_GAP = 4, CORE_VMIN = 5, CORE_NP = 6, CORE_CLOSE = 8,
    // the inductor's losses: their inputs, figures and note
    CORE_MATERIAL = 9, CORE_SHAPE = 10, CORE_AMBIENT = 11, CORE_CORELOSS = 12, CORE_COPPERLOSS = 13,
    CORE_TOTALLOSS = 14, CORE_RISE = 15, CORE_LOSSNOTE = 16,
};
// MOSFET.
enum {
    MOS_CLOSE = 2, MOS_RTHM = 3, MOS_PMAX = 4, MOS_BRDSS = 5, MOS_GRAPH = 6, MOS_CD = 7,
    MOS_TF = 8, MOS_RON = 9, MOS_LOSSES = 10,
};
// Boost diode.
enum { DIODE_CLOSE = 2, DIODE_RTHD = 3, DIODE_PDIOD = 4, DIODE_ID = 5, DIODE_VR = 6, DIODE_RD = 7, DIODE_VF = 8 };
// Input capacitor.
enum { INCAP_CLOSE = 2, INCAP_RIP = 3, INCAP_CIN = 4, INCAP_TRUCIN = 5 };
// Output capacitor.
enum {
    OUTCAP_CLOSE = 2, OUTCAP_TRUCOUT = 3, OUTCAP_VOMIN = 4, OUTCAP_THOLD = 5, OUTCAP_DELTA = 6,
    OUTCAP_ICO = 7, OUTCAP_COUT = 8,
};
// Multiplier divider.
enum { MULT_CLOSE = 2, MULT_RUP = 3, MULT_RLOW = 4, MULT_RUPSUG = 5, MULT_RLOWSUG = 6 };
// Zero-current detection.
enum {
    ZCD_CLOSE = 2, ZCD_CIRCUIT = 3, ZCD_RZ = 4, ZCD_NAUX = 5, ZCD_ACTR = 6, ZCD_RZCD = 7,
    ZCD_AUXTEXT = 11, ZCD_RC1 = 12, ZCD_RC2 = 13, ZCD_RC3 = 14, ZCD_AUXONLY = 20, ZCD_RC4 = 21,
};
// Feedback and OVP.
enum {
    FEED_CLOSE = 2, FEED_RLEFF = 3, FEED_RHEFF = 4, FEED_OVP = 5, FEED_PHASE = 6, FEED_GAIN = 7,
    FEED_R1 = 8, FEED_C2 = 9, FEED_C1 = 10, FEED_PO = 11, FEED_VAC = 12, FEED_VOUTNOM = 13,
    FEED_RL = 14, FEED_RH = 15, FEED_TOP = 16, FEED_LOAD = 17, FEED_START = 18,
    FEED_C1LABEL = 38, FEED_C2LABEL = 39, FEED_R1LABEL = 40, FEED_FC = 41, FEED_PM = 42,
};
// Bill of materials.
enum {
    BOM_CLOSE = 2, BOM_PRINT = 3, BOM_ZCDR = 4, BOM_ZCDN = 5, BOM_L = 6, BOM_RFL = 7, BOM_COUT = 8,
    BOM_RFH = 9, BOM_CIN = 10, BOM_RMLOW = 11, BOM_RMUP = 12, BOM_C1 = 13, BOM_R1 = 14,
    BOM_C2 = 15, BOM_RSENSE = 16, BOM_NOCOMP = 22, BOM_NOZCD = 25,
    BOM_MOS_V = 41, BOM_MOS_RON = 42, BOM_MOS_RTH = 43, BOM_DIODE_V = 44, BOM_DIODE_I = 45,
    BOM_DIODE_RTH = 46, BOM_CORE_LE = 47, BOM_CORE_AE = 48, BOM_GAP = 49, BOM_TURNS = 50,
    // the texts that go with the ZCD and compensation parts (a label, a unit)
    BOM_ZCD_DONE = 35, BOM_AUXRATIO_LABEL = 34, BOM_ZCDR_LABEL = 32, BOM_ZCDR_UNIT = 36,
    BOM_COUPLING_LABEL = 38, BOM_COUPLING_UNIT = 40, BOM_PULLDOWN_LABEL = 39,
    BOM_C1_LABEL = 26, BOM_C1_UNIT = 27, BOM_R1_LABEL = 28, BOM_R1_UNIT = 29, BOM_C2_LABEL = 30,
    BOM_C2_UNIT = 31,
};
// A help button on every step panel, a close button on every help panel.
constexpr int HELP_BUTTON = 30;
constexpr int HELP_CLOSE = 2;
// The note of a panel with checks: what its checks refuse (red) or warn of.
constexpr int NOTE = 60;

} // namespace k7350
