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
        {"vl", 1469, d.vl, In, Range::Positive},     {"vh", 1470, d.vh, In, Range::Positive},
        {"vo", 1468, d.vo, In, Range::Positive},     {"io", 1033, d.io, In, Range::Positive},
        {"eff", 1034, d.eff, In, Range::Percent},     {"n", 1035, d.n, In, Range::Positive},
        {"lp", 1036, d.lp, In, Range::Positive},     {"ae", kAe, d.ae, In, Range::Positive},
        {"b", 1038, d.b, In, Range::Positive},      {"vfb", 1039, d.vfb, In, Range::NonNegative},
        {"coss", 1040, d.coss, In, Range::Positive},   {"vd", 1048, d.vd, In, Range::NonNegative},
        {"np", 1041, d.np, Out},  {"ns", 1042, d.ns, Out}, {"na", 1043, d.na, Out},
        {"fl", kLowLine, d.fl, Out},                 {"fh", kHighLine, d.fh, Out},
        {"dl", 1046, d.dl, Out},  {"dh", 1047, d.dh, Out}, {"ipk", 1049, d.ipk, Out}, {"vor", 1050, d.vor, Out},
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
