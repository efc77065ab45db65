// Toolbox page "磁芯计算2": flyback core volume from the output power and frequency.
#pragma once

#include "form/Form.h"

namespace kv::toolbox {

// CCore2: the second core page, flyback core volume.
class CCore2 : public form::FormWindow {
public:
    enum : int { kCalc = 1000, kPower = 1030, kFreq = 1031, kVolume = 1032 };

    explicit CCore2(ui::Dialog* parent = nullptr);

    float power = 30;  // W
    float freq = 100;  // kHz
    float volume = 0;  // mm³

private:
    void compute() override;
};

} // namespace kv::toolbox
