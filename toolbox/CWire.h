// Toolbox page "导线计算": strands of a wire that carry an RMS current.
#pragma once

#include "form/Form.h"

namespace kv::toolbox {

// CWire: the wire page, strands for an RMS current.
class CWire : public form::FormWindow {
public:
    enum : int { kCalc = 1000, kCurrent = 1030, kDiameter = 1031, kDensity = 1032, kStrands = 1033 };

    explicit CWire(ui::Dialog* parent = nullptr);

    float current = 5;     // A
    float diameter = 0.6f; // mm
    float density = 400;   // cmil/A
    float strands = 0;

private:
    void compute() override;
};

} // namespace kv::toolbox
