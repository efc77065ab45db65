#include "ic_designers/QrDesigner.h"

namespace kv::ic {

namespace {

using D = QrDesign;
constexpr Role In = Role::Input, Out = Role::Result;

const Field<D> kFields[] = {
    {1469, &D::vl, In, Range::Positive},     {1470, &D::vh, In, Range::Positive},
    {1468, &D::vo, In, Range::Positive},     {1033, &D::io, In, Range::Positive},
    {1034, &D::eff, In, Range::Percent},     {1035, &D::n, In, Range::Positive},
    {1036, &D::lp, In, Range::Positive},     {QrDesigner::kAe, &D::ae, In, Range::Positive},
    {1038, &D::b, In, Range::Positive},      {1039, &D::vfb, In, Range::NonNegative},
    {1040, &D::coss, In, Range::Positive},   {1048, &D::vd, In, Range::NonNegative},
    {1041, &D::np, Out},  {1042, &D::ns, Out}, {1043, &D::na, Out},
    {QrDesigner::kLowLine, &D::fl, Out},     {QrDesigner::kHighLine, &D::fh, Out},
    {1046, &D::dl, Out},  {1047, &D::dh, Out}, {1049, &D::ipk, Out}, {1050, &D::vor, Out},
};

const Button<D> kButtons[] = {{QrDesigner::kCalculate, &qrCalc, QrDesigner::kBadInput}};

const Message kMessages[] = {{kQrNotFinite, QrDesigner::kBadInput}};

} // namespace

QrDesigner::QrDesigner(ui::Dialog* parent)
    : RecordDesigner(kTemplate, parent, kFields, kButtons, kMessages, CorePick{kCore, kAe, kCalculate, true}) {}

ui::Color QrDesigner::colorOf(Band b) {
    switch (b) {
    case Band::Green: return {0, 150, 0};
    case Band::Orange: return {255, 128, 0};
    case Band::Red: break;
    }
    return {255, 0, 0};
}

void QrDesigner::refreshColours() {
    setTextColor(kLowLine, colorOf(lowLineBand(design.fl, design.fh)));
    setTextColor(kHighLine, colorOf(highLineBand(design.fh)));
}

} // namespace kv::ic
