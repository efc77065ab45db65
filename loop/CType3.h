// Loop page "电压模式Ⅲ型补偿网络": the type III network's parts from the
// poles and zeros the user places.
#pragma once

#include "loop/LoopPage.h"
#include "loop/Type3Calc.h"

namespace kv::loop {

// CType3: the voltage-mode type III page.
class CType3 : public LoopPage {
public:
    enum : int {
        kCalc = 1235,
        kFp1 = 1211, kFp2 = 1196, kFz1 = 1214, kFz2 = 1198, kFc = 1199, kG = 1200, kR1 = 1206,
        kC1 = 1201, kC2 = 1202, kC3 = 1203, kR2 = 1204, kR3 = 1205, kFop = 1207,
        kPlacementLink = 1236, kInputGroup = 1237, kResultGroup = 1238, kNetworkGroup = 1239,
        kPlacementGroup = 1240,
    };
    static constexpr const char* kIncomplete = "  请输入完整的条件!  ";

    explicit CType3(ui::Dialog* parent = nullptr);

    type3::Inputs in;
    type3::Results out;

private:
    void compute() override;
    void finished(const form::Run& r) override;
    void paintPictures(ui::Canvas& c) override;
};

} // namespace kv::loop
