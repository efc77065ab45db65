// Toolbox page "PFC设计(7350/7351)": boost inductor, its turns, the auxiliary
// winding and the least bulk capacitor of a transition-mode boost PFC stage.
#pragma once

#include "form/Form.h"
#include "toolbox/PfcCalc.h"

namespace kv::toolbox {

// CPFC: the transition-mode boost PFC page.
class CPFC : public form::FormWindow {
public:
    enum : int {
        kCalc = 1000, kCore = 1472, kVacMin = 1361, kVacMax = 1362, kLine = 1044, kVoMin = 1045, kVo = 1052,
        kPo = 1053, kEff = 1019, kFMin = 1041, kAe = 1471, kB = 1039, kHold = 1050,
        kL = 1022, kNp = 1034, kNaux = 1040, kCMin = 1371,
    };
    static constexpr const char* kBadInput = "输入参数有误，请检查更正!";

    explicit CPFC(ui::Dialog* parent = nullptr);
    // Computes once when the page first shows.
    void onInitDialog() override;

    pfc::Inputs in;
    float line = 50; // Hz, not used by the computation
    pfc::Results out;

private:
    void compute() override;
    bool check() override;
};

} // namespace kv::toolbox
