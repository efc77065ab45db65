#include "loop/CType3.h"

#include "services/Templates.h"

namespace kv::loop {

using form::Range;
using form::Role;

namespace {
using T = CType3;
constexpr LoopPage::Caption kCaptions[] = {
    {T::kInputGroup, ui::kRed},
    {T::kResultGroup, ui::kBlue},
    {T::kNetworkGroup, {200, 0, 128}},
    {T::kPlacementGroup, ui::kPurple},
};
constexpr LoopPage::Link kLinks[] = {{T::kPlacementLink, tpl::kTypeThreeTip, {90, 504, 293, 504}}};
} // namespace

CType3::CType3(ui::Dialog* parent) : LoopPage(tpl::kTypeThree, parent, {{.button = kCalc, .incomplete = kIncomplete, .culprit = kG}}, kCaptions, kLinks, kC1) {
    setFields({
        {"fp1", kFp1, in.fp1, Role::Input, Range::Positive},
        {"fp2", kFp2, in.fp2, Role::Input, Range::Positive},
        {"fz1", kFz1, in.fz1, Role::Input, Range::Positive},
        {"fz2", kFz2, in.fz2, Role::Input, Range::Positive},
        {"fc", kFc, in.fc, Role::Input, Range::Positive},
        {"G", kG, in.G, Role::Input, Range::Positive},
        {"R1", kR1, in.R1, Role::Input, Range::Positive},
        {"C1", kC1, out.C1, Role::Result},
        {"C2", kC2, out.C2, Role::Result},
        {"C3", kC3, out.C3, Role::Result},
        {"R2", kR2, out.R2, Role::Result},
        {"R3", kR3, out.R3, Role::Result},
        {"fop", kFop, out.fop, Role::Result},
    });
    // Each pole above the zero it pairs with, or R3, C2 and C3 come out negative or infinite.
    setOrders({{kFz2, kFp1, true}, {kFz1, kFp2, true}});
}

void CType3::compute() { out = type3::compensate(in); }

void CType3::finished(const form::Run& r) {
    if (r.shown != form::Shown::None) showLoop(type3::response(in, out), in.fc * 1000.0);
}

void CType3::paintPictures(ui::Canvas& c) {
    stretchInto(c, 207, kNetworkGroup, 480, 19);
    stretchInto(c, 206, kPlacementGroup, 480, 325);
}

} // namespace kv::loop
