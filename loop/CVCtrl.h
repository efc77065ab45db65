// Loop page "电压模式Ⅱ型补偿网络": the control-to-output characteristic of
// a DCM flyback or a forward-type converter (step 2) and the type II
// amplifier's parts (step 4).
#pragma once

#include "loop/LoopPage.h"
#include "loop/VCtrlCalc.h"

namespace kv::loop {

// CVCtrl (voltage control): the voltage-mode type II page.
class CVCtrl : public LoopPage {
public:
    enum : int {
        kStep2 = 1000, kStep4 = 1001, kForm = 1194,
        kVo = 1195, kIrated = 1196, kImin = 1197, kVinmax = 1198, kVinmin = 1199, kFs = 1200, kCo = 1201,
        kResr = 1202, kVref = 1203, kVramp = 1204, kL = 1205, kDmax = 1206,
        kPole = 1208, kFesr = 1209, kG = 1210,
        kFp1Label = 1211, kFp1 = 1213, kFz1Label = 1214, kFz1 = 1215, kPmLabel = 1217, kFc = 1218,
        kPmWant = 1219, kR1 = 1220,
        kC1 = 1221, kC2 = 1222, kR2 = 1223, kPm = 1224,
        kNetworkGroup = 1225, kPlacementGroup = 1226, kNoteLink = 1207, kCriteriaLink = 1227,
        kLLabel = 1228, kPoleLabel = 1230,
        kStep1Group = 1231, kStep2Group = 1232, kStep3Group = 1233, kStep4Group = 1234,
    };
    static constexpr const char* kStep2Incomplete = "  请输入完整的参数!  ";
    static constexpr const char* kStep4Incomplete = " 请输入完整的参数! ";

    explicit CVCtrl(ui::Dialog* parent = nullptr);
    void onInitDialog() override;
    vmode::Form form() const { return selected(kForm) == 0 ? vmode::Form::DcmFlyback : vmode::Form::Forward; }
    bool forward() const { return form() == vmode::Form::Forward; }

    float vinMin = 10; // V, shown but not used: a fixed input at the highest, where the loop is designed
    vmode::PlantInputs in;
    vmode::Plant plant;
    vmode::Placement place;
    vmode::Network net;

private:
    bool uses(int id) const override;
    bool check() override;
    void compute() override;
    void finished(const form::Run& r) override;
    bool onOtherCommand(int id, ui::Notify code) override;
    void paintPictures(ui::Canvas& c) override;
    void formChanged();
};

// The forward branch finds no K for the wanted phase margin.
std::string noMarginMessage(float largest);

} // namespace kv::loop
