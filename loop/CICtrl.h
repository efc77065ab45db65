// Loop page "电流模式控制环路补偿": the current-mode plant with slope
// compensation and its type II amplifier.
#pragma once

#include "loop/ICtrlCalc.h"
#include "loop/LoopPage.h"

namespace kv::loop {

// CICtrl (current control): the current-mode page.
class CICtrl : public LoopPage {
public:
    enum : int {
        kCalc = 1000, kType = 1189,
        kVo = 1030, kIo = 1031, kCo = 1032, kResr = 1033, kD = 1034, kVin = 1035, kL = 1036, kVs = 1037,
        kRi = 1038, kFs = 1039, kFc = 1040, kR1 = 1043, kGm = 1050, kVref = 1052,
        kGain = 1044, kC1 = 1045, kR2 = 1046, kC2 = 1047, kFp = 1048, kFz = 1049, kFop = 1051, kRhp = 1053,
        kPictureGroup = 1190, kSlopeGroup = 1191, kInputGroup = 1192, kResultGroup = 1193, kEsrLink = 1229,
    };
    static constexpr const char* kIncomplete = "   请输入完整的参数!  ";

    explicit CICtrl(ui::Dialog* parent = nullptr);
    void onInitDialog() override;
    bool transconductance() const { return selected(kType) != 1; }

    icmode::Inputs in;
    icmode::Results out;

private:
    bool check() override;
    void compute() override;
    void finished(const form::Run& r) override;
    bool uses(int id) const override;
    bool onOtherCommand(int id, ui::Notify code) override;
    void paintPictures(ui::Canvas& c) override;
};

// The slope compensation leaves the current loop unstable: mc·(1 − D) = damping.
std::string subharmonicMessage(double damping);
// The crossover asked lies above the limit (Hz) the RHP zero or the sampling sets.
std::string rhpLimitMessage(double limitHz);
std::string samplingLimitMessage(double limitHz);

} // namespace kv::loop
