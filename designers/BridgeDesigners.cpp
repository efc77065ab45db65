#include "designers/BridgeDesigners.h"

#include "services/Templates.h"

namespace kv::designers {

namespace {
using D = bridge::Design;
using T = bridge::Topology;
using R = Role;
using G = Range;

// In the order the interface files number the labels; the label controls are the same in all three.
std::vector<form::Field> fieldsOf(D& d, T t) {
    const auto edit = [t](int pushPull, int halfBridge, int fullBridge) {
        return t == T::PushPull ? pushPull : t == T::HalfBridge ? halfBridge : fullBridge;
    };
    return {
        // name   edit: push-pull half  full   label value      role       range
        {"VinMin", edit(1116, 1143, 1164), 1248, d.VinMin,  R::Input,  G::Positive},
        {"VinMax", edit(1117, 1144, 1165), 1249, d.VinMax,  R::Input,  G::Positive},
        {"Vo",     edit(1118, 1145, 1166), 1250, d.Vo,      R::Input,  G::Positive},
        {"Io",     edit(1119, 1146, 1167), 1251, d.Io,      R::Input,  G::Positive},
        {"f",      edit(1120, 1147, 1168), 1252, d.f,       R::Input,  G::Positive},
        {"Eff",    edit(1121, 1148, 1169), 1253, d.Eff,     R::Input,  G::Percent},
        {"Vdf",    edit(1122, 1149, 1170), 1254, d.Vdf,     R::Input,  G::NonNegative},
        {"Dmax",   edit(1123, 1150, 1171), 1255, d.Dmax,    R::Input,  G::Fraction},
        {"DB",     edit(1124, 1151, 1172), 1256, d.DB,      R::Input,  G::Positive},
        {"Cmil",   edit(1125, 1152, 1173), 1257, d.Cmil,    R::Input,  G::Positive},
        {"Ae",     edit(1126, 1153, 1174), 1258, d.Ae,      R::Input,  G::Positive},
        {"Np",     edit(1127, 1154, 1175), 1259, d.Np,      R::Result},
        {"Ns",     edit(1128, 1155, 1176), 1247, d.Ns,      R::Result},
        {"Dp",     edit(1129, 1156, 1177), 1260, d.Dp,      R::Result},
        {"Ds",     edit(1130, 1157, 1178), 1261, d.Ds,      R::Result},
        {"Irmsp",  edit(1133, 1158, 1179), 1262, d.Irmsp,   R::Result},
        {"Irmss",  edit(1135, 1159, 1180), 1263, d.Irmss,   R::Result},
        {"Lo",     edit(1136, 1160, 1183), 1264, d.Lo,      R::Result},
    };
}

constexpr const char* kIncomplete = " 请输入完整的设计条件！！";

const form::Message kMessages[] = {
    {bridge::kLongDuty, " 建议留最大占空比设置为小于0.8，留0.2的余量！"},
};

const GroupColor kPushPullColors[] = {
    {1140, ui::kRed}, {1141, ui::kBlue}, {1087, ui::kBlue}, {1036, kNoteCaption}};
const GroupColor kHalfBridgeColors[] = {
    {1161, ui::kRed}, {1162, ui::kBlue}, {1087, ui::kBlue}, {1086, kNoteCaption}};
const GroupColor kFullBridgeColors[] = {
    {1181, ui::kRed}, {1182, ui::kBlue}, {1087, ui::kBlue}, {1086, kNoteCaption}};

constexpr script::FormulaFile kPushPullFormulas[] = {{"推挽变换器 cfg.txt", "推挽变换器"}};
constexpr script::FormulaFile kHalfBridgeFormulas[] = {{"半桥变换器 cfg.txt", "半桥变换器"}};
constexpr script::FormulaFile kFullBridgeFormulas[] = {{"全桥变换器 cfg.txt", "全桥变换器"}};

form::Outcome (*const kCalcs[])(D&, int) = {bridge::pushPull, bridge::halfBridge, bridge::fullBridge};
} // namespace

const script::DesignerFiles PushPullDesigner::kFiles{tpl::kPushPull, "Push-Pull Interface.txt", "推挽变换器",
                                                     "推挽变换器.JPG", kPushPullFormulas};
const script::DesignerFiles HalfBridgeDesigner::kFiles{tpl::kHalfBridge, "Half Bridge Interface.txt",
                                                       "半桥变换器", "半桥变换器.JPG", kHalfBridgeFormulas};
const script::DesignerFiles FullBridgeDesigner::kFiles{tpl::kFullBridge, "Full Bridge Interface.txt",
                                                       "全桥变换器", "全桥变换器.JPG", kFullBridgeFormulas};

std::vector<form::Field> PushPullDesigner::fieldsOf(D& d) { return designers::fieldsOf(d, T::PushPull); }
std::vector<form::Field> HalfBridgeDesigner::fieldsOf(D& d) { return designers::fieldsOf(d, T::HalfBridge); }
std::vector<form::Field> FullBridgeDesigner::fieldsOf(D& d) { return designers::fieldsOf(d, T::FullBridge); }

namespace {
const BridgeLayout kPushPull{PushPullDesigner::kFiles, PushPullDesigner::fieldsOf, "推挽变换器 Push Pull",
                             T::PushPull, kPushPullColors, {174, 1142, 400, 19, 2, 9}};
const BridgeLayout kHalfBridge{HalfBridgeDesigner::kFiles, HalfBridgeDesigner::fieldsOf, "半桥变换器 Half Bridge",
                               T::HalfBridge, kHalfBridgeColors, {175, 1185, 400, 20, 1, 11}};
const BridgeLayout kFullBridge{FullBridgeDesigner::kFiles, FullBridgeDesigner::fieldsOf, "全桥变换器 Full Bridge",
                               T::FullBridge, kFullBridgeColors, {176, 1184, 396, 20, 1, 11}};
} // namespace

BridgeDesigner::BridgeDesigner(const BridgeLayout& l, ui::Dialog* parent)
    : TableDesigner(l.files, parent, l.title, l.fields) {
    design = bridge::startValues(l.topology);
    const D& d = design;
    setCalculations({
        {.button = kCalculate,
         .run = builtin(kCalcs[int(l.topology)]),
         .incomplete = kIncomplete,
         // Every result reads "0" for the formulas.
         .results = {controlOf(d.Np), controlOf(d.Ns), controlOf(d.Dp), controlOf(d.Ds), controlOf(d.Irmsp),
                     controlOf(d.Irmss), controlOf(d.Lo)}},
    });
    setMessages(kMessages);
    setPicture(l.picture);
    setGroupColors(l.colors);
}

PushPullDesigner::PushPullDesigner(ui::Dialog* parent) : BridgeDesigner(kPushPull, parent) {}
HalfBridgeDesigner::HalfBridgeDesigner(ui::Dialog* parent) : BridgeDesigner(kHalfBridge, parent) {}
FullBridgeDesigner::FullBridgeDesigner(ui::Dialog* parent) : BridgeDesigner(kFullBridge, parent) {}

} // namespace kv::designers
