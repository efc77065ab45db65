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
        {"vmin", 1440, d.vmin, In, Range::Positive},  {"vo", 1441, d.vo, In, Range::Positive},
        {"io", 1033, d.io, In, Range::Positive},    {"f", 1421, d.f, In, Range::Positive},
        {"eff", 1019, d.eff, In, Range::Percent},    {"vor", 1036, d.vor, In, Range::Positive},
        {"k", 1037, d.k, In, Range::Positive},     {"ae", kAe, d.ae, In, Range::Positive},
        {"b", 1039, d.b, In, Range::Positive},     {"vfb", 1040, d.vfb, In, Range::NonNegative},
        {"lp", 1088, d.lp, Out}, {"np", 1044, d.np, Out}, {"ns", 1045, d.ns, Out}, {"na", 1046, d.na, Out},
        {"n", 1047, d.n, Out},  {"ipk", 1048, d.ipk, Out}, {"r", 1049, d.r, Out},  {"dmax", 1050, d.dmax, Out},
        {"cin", kCin, d.cin, Out},
    });
    setCalculations({{.button = kCalculate, .run = onDesign(ob2269Calc), .incomplete = kBadInput, .group = 0}});
    setMessages(kMessages);
    setCorePick({.button = kCore, .ae = kAe, .rerun = kCalculate, .blankFirst = true});
}

} // namespace kv::ic
