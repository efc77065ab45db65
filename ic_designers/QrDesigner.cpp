#include "ic_designers/QrDesigner.h"

namespace kv::ic {

namespace {

using form::Range;
constexpr form::Role In = form::Role::Input, Out = form::Role::Result;

const form::Message kMessages[] = {{kQrNotFinite, QrDesigner::kBadInput}};

} // namespace

QrDesigner::QrDesigner(ui::Dialog* parent) : RecordDesigner(kTemplate, parent) {
    QrDesign& d = design;
    setFields({
        {1469, d.vl, In, Range::Positive},     {1470, d.vh, In, Range::Positive},
        {1468, d.vo, In, Range::Positive},     {1033, d.io, In, Range::Positive},
        {1034, d.eff, In, Range::Percent},     {1035, d.n, In, Range::Positive},
        {1036, d.lp, In, Range::Positive},     {kAe, d.ae, In, Range::Positive},
        {1038, d.b, In, Range::Positive},      {1039, d.vfb, In, Range::NonNegative},
        {1040, d.coss, In, Range::Positive},   {1048, d.vd, In, Range::NonNegative},
        {1041, d.np, Out},  {1042, d.ns, Out}, {1043, d.na, Out},
        {kLowLine, d.fl, Out},                 {kHighLine, d.fh, Out},
        {1046, d.dl, Out},  {1047, d.dh, Out}, {1049, d.ipk, Out}, {1050, d.vor, Out},
    });
    setCalculations({{.button = kCalculate, .run = onDesign(qrCalc), .incomplete = kBadInput, .group = 0}});
    setMessages(kMessages);
    setCorePick({.button = kCore, .ae = kAe, .rerun = kCalculate, .blankFirst = true});
    setOrders({{1469, 1470}}); // V_L, V_H
}

ui::Color QrDesigner::colorOf(Band b) {
    switch (b) {
    case Band::Green: return {0, 150, 0};
    case Band::Orange: return ui::kOrange;
    case Band::Red: break;
    }
    return ui::kRed;
}

void QrDesigner::refreshColours() {
    setTextColor(kLowLine, colorOf(lowLineBand(design.fl, design.fh)));
    setTextColor(kHighLine, colorOf(highLineBand(design.fh)));
}

} // namespace kv::ic
