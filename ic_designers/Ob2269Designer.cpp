#include "ic_designers/Ob2269Designer.h"

namespace kv::ic {

namespace {

using D = Ob2269Design;
constexpr Role In = Role::Input, Out = Role::Result;

const Field<D> kFields[] = {
    {1440, &D::vmin, In, Range::Positive},  {1441, &D::vo, In, Range::Positive},
    {1033, &D::io, In, Range::Positive},    {1421, &D::f, In, Range::Positive},
    {1019, &D::eff, In, Range::Percent},    {1036, &D::vor, In, Range::Positive},
    {1037, &D::k, In, Range::Positive},     {Ob2269Designer::kAe, &D::ae, In, Range::Positive},
    {1039, &D::b, In, Range::Positive},     {1040, &D::vfb, In, Range::NonNegative},
    {1088, &D::lp, Out}, {1044, &D::np, Out}, {1045, &D::ns, Out}, {1046, &D::na, Out},
    {1047, &D::n, Out},  {1048, &D::ipk, Out}, {1049, &D::r, Out},  {1050, &D::dmax, Out},
    {Ob2269Designer::kCin, &D::cin, Out},
};

const Button<D> kButtons[] = {{Ob2269Designer::kCalculate, &ob2269Calc, Ob2269Designer::kBadInput}};

const Message kMessages[] = {
    {kObNotFinite, Ob2269Designer::kBadInput},
    {kObNoHoldUp, Ob2269Designer::kNoHoldUp},
};

} // namespace

Ob2269Designer::Ob2269Designer(ui::Dialog* parent)
    : RecordDesigner(kTemplate, parent, kFields, kButtons, kMessages, CorePick{kCore, kAe, kCalculate, true}) {}

} // namespace kv::ic
