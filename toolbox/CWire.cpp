#include "toolbox/CWire.h"

#include "toolbox/WireCalc.h"

namespace kv::toolbox {

const ui::MessageEntry<CWire> CWire::kMessageMap[] = {
    {CWire::kCalc, ui::Notify::Clicked, &CWire::onCalc},
};

CWire::CWire(ui::Dialog* parent) : CalcPage(228, parent) {
    bind(kCurrent, current);
    bind(kDiameter, diameter);
    bind(kDensity, density);
    bind(kStrands, strands, true);
}

bool CWire::onCommand(int id, ui::Notify code) { return ui::dispatchMap(this, kMessageMap, id, code); }

void CWire::onCalc() {
    if (!readFields("请输入完整的条件!")) return;
    pause();
    wire::StrandInputs in;
    in.I = current;
    in.d = diameter;
    in.J = density;
    strands = wire::strands(in).n;
    writeFields();
}

} // namespace kv::toolbox
