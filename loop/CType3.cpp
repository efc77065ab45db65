#include "loop/CType3.h"

namespace kv::loop {

using services::Range;

namespace {
using T = CType3;
constexpr LoopPage::Caption kCaptions[] = {
    {T::kInputGroup, {255, 0, 0}},
    {T::kResultGroup, {0, 0, 255}},
    {T::kNetworkGroup, {200, 0, 128}},
    {T::kPlacementGroup, {64, 0, 128}},
};
constexpr LoopPage::Link kLinks[] = {{T::kPlacementLink, 208, {90, 504, 293, 504}}};
} // namespace

CType3::CType3(ui::Dialog* parent) : LoopPage(205, parent, {{kCalc, kIncomplete, kG, true}}, kCaptions, kLinks, kC1) {
    bind(kFp1, in.fp1, Range::Positive);
    bind(kFp2, in.fp2, Range::Positive);
    bind(kFz1, in.fz1, Range::Positive);
    bind(kFz2, in.fz2, Range::Positive);
    bind(kFc, in.fc, Range::Positive);
    bind(kG, in.G, Range::Positive);
    bind(kR1, in.R1, Range::Positive);
    bindResult(kC1, out.C1);
    bindResult(kC2, out.C2);
    bindResult(kC3, out.C3);
    bindResult(kR2, out.R2);
    bindResult(kR3, out.R3);
    bindResult(kFop, out.fop);
}

// Each pole above the zero it pairs with, or R3, C2 and C3 come out negative or infinite.
bool CType3::check() {
    if (!(in.fp1 > in.fz2)) return refuse(services::orderMessage(labelOf(kFp1), labelOf(kFz2)));
    if (!(in.fp2 > in.fz1)) return refuse(services::orderMessage(labelOf(kFp2), labelOf(kFz1)));
    return true;
}

void CType3::compute() { out = type3::compensate(in); }

void CType3::shown() { showLoop(type3::response(in, out), in.fc * 1000.0); }

void CType3::paintPictures(ui::Canvas& c) {
    stretchInto(c, 207, kNetworkGroup, 480, 19);
    stretchInto(c, 206, kPlacementGroup, 480, 325);
}

} // namespace kv::loop
