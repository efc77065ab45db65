// The classic flyback designer: CCM or DCM transformer, component ratings and
// the RCD leakage snubber.
#pragma once

#include "designers/DesignerFrame.h"
#include "designers/FlybackCalc.h"

namespace kv::designers {

class FlybackDesigner : public DesignerFrame {
public:
    enum : int {
        kMode = 1035,
        kPo = 1016, kVo = 1017, kEff = 1019, kVacMin = 1020, kVacMax = 1021, kVswm = 1023,
        kVswr = 1055, kF = 1024, kVdf = 1030, kR = 1025, kPtd = 1026, kCmil = 1027, kVopp = 1060,
        kAe = 1029, kLe = 1031, kBpk = 1033, kBsat = 1032, kVe = 1049, kPer = 1048,
        kLp = 1022, kLs = 1028, kNp = 1034, kNs = 1036, kDp = 1037, kDs = 1038, kZc = 1039,
        kIin = 1040, kIpkp = 1041, kIrmsp = 1042, kIswe = 1061, kTon = 1058, kCin = 1059,
        kIrmss = 1062, kIpks = 1063, kVdm = 1064, kIdm = 1065, kCo = 1067, kVcm = 1068,
        kClk = 1056, kRlk = 1057,
        kEstimate = 3, kVerify = 4, kSnubber = 1047,
        kEstimateGroup = 1051, kVeLabel = 1052, kVeNote = 1086, kPictureGroup = 1078,
    };
    static constexpr int kPicture = 320;

    explicit FlybackDesigner(ui::Dialog* parent);
    void onInitDialog() override;
    bool onCommand(int id, ui::Notify code) override;
    bool dcm() const { return selected(kMode) == 1; }

private:
    static const ui::MessageEntry<FlybackDesigner> kMessageMap[];
    std::string formulaFile(int mode) const override;
    int mode() const override { return dcm() ? 1 : 0; }
    void fillModes() override;
    void modeChanged() override;
    void labelsApplied(bool custom) override;

    void onEstimate();
    void onVerify();
    void onSnubber();
    void onModeChange();

    flyback::Inputs inputs() const;
    // A zero input that the formulas divide by: its message, and false.
    bool nonZero(std::initializer_list<int> controls);
    bool finiteResults();
    void put(const flyback::Results& r);
};

} // namespace kv::designers
