// The dialog templates of Korvane (resources/*.dlg), each named once: the
// windows, their registrations and the windows that open them use these.
#pragma once

namespace kv::tpl {

enum : int {
    // start-up, launcher and the windows every designer shares
    kAbout = 100,
    kLauncher = 102,
    kSplash = 216,
    kCalculating = 217,
    kWelcome = 218,
    kProgressPause = 236,
    kFlybackMode = 253,
    kFont = 265,

    // classic topology designers
    kFlyback = 129,
    kForward = 130,
    kRcc = 134,
    kHalfBridge = 135,
    kFullBridge = 136,
    kPushPull = 137,
    kDcdc = 165,

    // graphical flyback and its parameter dialogs
    kGraphicFlyback = 238,
    kAcInput = 240,
    kEfficiency = 241,
    kInputCapacitor = 242,
    kIcOutput = 243,
    kSwitch = 244,
    kLeakage = 245,
    kTransformer = 246,
    kOutputDiode = 247,
    kOutputCapacitor = 248,
    kOutput = 250,
    kAuxDiode = 251,
    kAuxVoltage = 252,

    // toolbox pages and the core database
    kEditPage = 220,
    kEmi = 222,
    kCoreArea = 224,
    kWire = 228,
    kPfc = 229,
    kCoreVolume = 231,
    kForwardCoreVolume = 233,
    kSkinDepth = 234,
    kFirstOrder = 235,
    kSolutions = 257,
    kRectifierCurrent = 261,
    kCoreDatabase = 262,

    // loop sheet pages and their tip boxes
    kCurrentMode = 106,
    kTypeTwo = 107,
    kTypeThree = 205,
    kTypeTwoNote = 200,
    kStabilityTip = 201,
    kEsrTip = 202,
    kTypeThreeTip = 208,

    // controller designers
    kSinglePfc = 271,
    kMt7930 = 276,
    kSd670x = 280,
    kOb2269 = 281,
    kLlc = 282,
    kIsolatedLed = 294,
    kSd690x = 295,
    kQr = 297,
};

} // namespace kv::tpl
