#include "ic_designers/Ob2269Designer.h"

namespace kv::ic {

namespace {

using form::Range;
constexpr form::Role In = form::Role::Input, Out = form::Role::Result;

const form::Message kMessages[] = {
    {kObNotFinite, Ob2269Designer::kBadInput},
    {kObNoHoldUp, Ob2269Designer::kNoHoldUp},
};

} // namespace

Ob2269Designer::Ob2269Designer(ui::Dialog* parent) : RecordDesigner(kTemplate, parent) {
    Ob2269Design& d = design;
    setFields({
        {1440, d.vmin, In, Range::Positive},  {1441, d.vo, In, Range::Positive},
        {1033, d.io, In, Range::Positive},    {1421, d.f, In, Range::Positive},
        {1019, d.eff, In, Range::Percent},    {1036, d.vor, In, Range::Positive},
        {1037, d.k, In, Range::Positive},     {kAe, d.ae, In, Range::Positive},
        {1039, d.b, In, Range::Positive},     {1040, d.vfb, In, Range::NonNegative},
        {1088, d.lp, Out}, {1044, d.np, Out}, {1045, d.ns, Out}, {1046, d.na, Out},
        {1047, d.n, Out},  {1048, d.ipk, Out}, {1049, d.r, Out},  {1050, d.dmax, Out},
        {kCin, d.cin, Out},
    });
    setCalculations({{.button = kCalculate, .run = onDesign(ob2269Calc), .incomplete = kBadInput, .group = 0}});
    setMessages(kMessages);
    setCorePick({.button = kCore, .ae = kAe, .rerun = kCalculate, .blankFirst = true});
}

} // namespace kv::ic
