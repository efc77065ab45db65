// Toolbox page "DM饱和电流计算": mean, peak and RMS current of a bridge
// rectifier with a reservoir capacitor, the current a differential-mode choke
// must carry.
#pragma once

#include "form/Form.h"

namespace kv::toolbox {

// CEMIDM (EMI, differential mode): the rectifier-current page for a differential-mode choke.
class CEMIDM : public form::FormWindow {
public:
    enum : int {
        kCalc = 1328, kPower = 1325, kCin = 1371, kVoltage = 1030, kFreq = 1033, kFreqLabel = 1326,
        kMean = 1036, kPeak = 1032, kRms = 1035,
    };

    explicit CEMIDM(ui::Dialog* parent = nullptr);

    double power = 100;  // W
    double cin = 330;    // μF
    double voltage = 90; // Vrms
    double freq = 50;    // Hz
    float mean = 0;      // A
    double peak = 0;     // A
    double rms = 0;      // A

private:
    bool check() override;
    void compute() override;
};

} // namespace kv::toolbox
