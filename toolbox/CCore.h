// Toolbox page "磁芯计算1": core cross-section from the input power, any topology.
#pragma once

#include "form/Form.h"

namespace kv::toolbox {

// CCore: the first core page, core cross-section of any topology.
class CCore : public form::FormWindow {
public:
    enum : int { kCalc = 1000, kPower = 1030, kArea = 1031 };

    explicit CCore(ui::Dialog* parent = nullptr);

    float power = 80; // W
    float area = 0;   // mm²

private:
    void compute() override;
};

} // namespace kv::toolbox
