// Toolbox page "集肤效应": skin depth of copper at a frequency and temperature.
#pragma once

#include "form/Form.h"

namespace kv::toolbox {

// CJifu (集肤, "skin"): the skin-depth page.
class CJifu : public form::FormWindow {
public:
    enum : int { kCalc = 1000, kFreq = 1030, kTemp = 1031, kDepth = 1032 };

    explicit CJifu(ui::Dialog* parent = nullptr);

    float freq = 200; // kHz
    float temp = 80;  // °C
    float depth = 0;  // mm

private:
    void compute() override;
};

} // namespace kv::toolbox
