// Toolbox page "磁芯计算3": core volume of forward-type topologies.
#pragma once

#include "form/Form.h"

namespace kv::toolbox {

// CCore3: the third core page, core volume of forward-type topologies.
class CCore3 : public form::FormWindow {
public:
    enum : int { kCalc = 1000, kTopology = 1324, kPower = 1325, kSwing = 1200, kFreq = 1326, kVolume = 1049 };

    explicit CCore3(ui::Dialog* parent = nullptr);
    void onInitDialog() override;

    float power = 250;  // W
    float swing = 0.15f; // T
    float freq = 100;   // kHz
    float volume = 0;   // mm³

private:
    void compute() override;
};

} // namespace kv::toolbox
