// Toolbox page "EMI参数计算": second-order EMI filter stage, common or
// differential mode, from the attenuation wanted at the switching frequency.
#pragma once

#include "form/Form.h"

namespace kv::toolbox {

// CEMI: the EMI filter page.
class CEMI : public form::FormWindow {
public:
    enum : int {
        kCalc = 1000, kType = 1318, kFs = 1034, kAtten = 1035, kImpedance = 1036, kDamping = 1033,
        kCorner = 1030, kInductance = 1031, kCapacitance = 1032, kCapLabel = 1320,
    };

    explicit CEMI(ui::Dialog* parent = nullptr);
    void onInitDialog() override;
    bool commonMode() const { return selected(kType) != 1; }

    float fs = 20;        // kHz
    float atten = -24;    // dB
    float impedance = 50; // Ω
    float damping = 0.707f;
    float corner = 0;      // kHz
    float inductance = 0;  // μH
    float capacitance = 0; // μF

private:
    void compute() override;
    bool onOtherCommand(int id, ui::Notify code) override;
};

} // namespace kv::toolbox
