// Toolbox page "一阶电路": the step response of a first-order RC or RL circuit,
// in double precision.
#pragma once

#include "form/Form.h"
#include "toolbox/PfcCalc.h"

namespace kv::toolbox {

// CYIJIE (一阶, "first order"): the first-order RC/RL circuit page.
class CYIJIE : public form::FormWindow {
public:
    enum : int {
        kCalc = 1328, kType = 1329, kF0 = 1330, kFInf = 1331, kR = 1332, kC = 1032, kCLabel = 1333,
        kL = 1031, kLLabel = 1334, kT = 1038, kFt = 1036, kTau = 1037,
    };

    explicit CYIJIE(ui::Dialog* parent = nullptr);
    void onInitDialog() override;

    firstorder::Inputs in;
    firstorder::Results out;

private:
    void compute() override;
    bool onOtherCommand(int id, ui::Notify code) override;
    void typeChanged();
};

} // namespace kv::toolbox
