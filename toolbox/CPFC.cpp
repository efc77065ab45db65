#include "toolbox/CPFC.h"

#include "services/CorePick.h"

#include <cmath>

namespace kv::toolbox {

using services::Range;

CPFC::CPFC(ui::Dialog* parent) : CalcPage(229, parent, {kCalc, kBadInput, kVo, true}) {
    bind(kVacMin, in.vacMin, Range::Positive);
    bind(kVacMax, in.vacMax, Range::Positive);
    bind(kLine, line);
    bind(kVoMin, in.voMin, Range::NonNegative);
    bind(kVo, in.vo, Range::Positive);
    bind(kPo, in.po, Range::Positive);
    bind(kEff, in.eff, Range::Percent);
    bind(kFMin, in.fMin, Range::Positive);
    bind(kAe, in.ae, Range::Positive);
    bind(kB, in.b, Range::Positive);
    bind(kHold, in.hold, Range::NonNegative);
    bindResult(kL, out.L);
    bindResult(kNp, out.np);
    bindResult(kNaux, out.naux);
    bindResult(kCMin, out.cMin);
}

void CPFC::onInitDialog() {
    CalcPage::onInitDialog();
    calculate();
}

// Without boost headroom or with the PFC voltage range upside down the
// formulas give a negative inductance or a capacitor without bound.
bool CPFC::check() {
    if (pfc::check(in) == pfc::Stop::None) return true;
    setResults("");
    messageBox(kBadInput, ui::kAppName, ui::Icon::Warning);
    return false;
}

void CPFC::compute() { out = pfc::design(in); }

bool CPFC::onPageCommand(int id, ui::Notify code) {
    if (id != kCore || code != ui::Notify::Clicked) return false;
    pickCore();
    return true;
}

// The chosen core's Ae replaces the field; the inputs typed meanwhile stay.
void CPFC::pickCore() {
    const std::optional<double> ae = services::pickCoreAe(*this);
    if (!ae || !std::isfinite(*ae) || *ae <= 0) return;
    writeFloat(kAe, float(*ae));
    calculate();
}

} // namespace kv::toolbox
