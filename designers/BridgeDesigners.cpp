#include "designers/BridgeDesigners.h"

#include "script/Bindings.h"

#include <array>
#include <iterator>

namespace kv::designers {

namespace {
using D = bridge::Design;
using T = bridge::Topology;
using R = Role;
using G = Range;

// One row per field, with its edit in each window; the label controls are the same in all three.
struct Row {
    const char* name;
    int edit[3]; // push-pull, half bridge, full bridge
    int label;
    float D::*value;
    Role role;
    Range range = Range::Any;
};

// In the order the interface files number the labels.
const Row kRows[] = {
    // name     push-pull  half  full   label value         role       range
    {"VinMin",  {1116,     1143, 1164}, 1248, &D::VinMin,   R::Input,  G::Positive},
    {"VinMax",  {1117,     1144, 1165}, 1249, &D::VinMax,   R::Input,  G::Positive},
    {"Vo",      {1118,     1145, 1166}, 1250, &D::Vo,       R::Input,  G::Positive},
    {"Io",      {1119,     1146, 1167}, 1251, &D::Io,       R::Input,  G::Positive},
    {"f",       {1120,     1147, 1168}, 1252, &D::f,        R::Input,  G::Positive},
    {"Eff",     {1121,     1148, 1169}, 1253, &D::Eff,      R::Input,  G::Percent},
    {"Vdf",     {1122,     1149, 1170}, 1254, &D::Vdf,      R::Input,  G::NonNegative},
    {"Dmax",    {1123,     1150, 1171}, 1255, &D::Dmax,     R::Input,  G::Fraction},
    {"DB",      {1124,     1151, 1172}, 1256, &D::DB,       R::Input,  G::Positive},
    {"Cmil",    {1125,     1152, 1173}, 1257, &D::Cmil,     R::Input,  G::Positive},
    {"Ae",      {1126,     1153, 1174}, 1258, &D::Ae,       R::Input,  G::Positive},
    {"Np",      {1127,     1154, 1175}, 1259, &D::Np,       R::Result},
    {"Ns",      {1128,     1155, 1176}, 1247, &D::Ns,       R::Result},
    {"Dp",      {1129,     1156, 1177}, 1260, &D::Dp,       R::Result},
    {"Ds",      {1130,     1157, 1178}, 1261, &D::Ds,       R::Result},
    {"Irmsp",   {1133,     1158, 1179}, 1262, &D::Irmsp,    R::Result},
    {"Irmss",   {1135,     1159, 1180}, 1263, &D::Irmss,    R::Result},
    {"Lo",      {1136,     1160, 1183}, 1264, &D::Lo,       R::Result},
};

using FieldSet = std::array<Field<D>, std::size(kRows)>;

FieldSet fieldsOf(T t) {
    const D start = bridge::startValues(t);
    FieldSet out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        const Row& r = kRows[i];
        out[i] = {r.name, r.edit[int(t)], r.label, r.value, start.*r.value, r.role, r.range};
    }
    return out;
}

const FieldSet& fields(T t) {
    static const FieldSet sets[] = {fieldsOf(T::PushPull), fieldsOf(T::HalfBridge), fieldsOf(T::FullBridge)};
    return sets[int(t)];
}

constexpr const char* kIncomplete = " 请输入完整的设计条件！！";
// Every result reads "0" for the formulas.
const std::vector<float D::*> kResults = {&D::Np, &D::Ns, &D::Dp, &D::Ds, &D::Irmsp, &D::Irmss, &D::Lo};

const Button<D> kButtons[][1] = {
    {{.id = BridgeDesigner::kCalculate, .calc = bridge::pushPull, .incomplete = kIncomplete, .zeroFill = kResults}},
    {{.id = BridgeDesigner::kCalculate, .calc = bridge::halfBridge, .incomplete = kIncomplete, .zeroFill = kResults}},
    {{.id = BridgeDesigner::kCalculate, .calc = bridge::fullBridge, .incomplete = kIncomplete, .zeroFill = kResults}},
};

const Message kMessages[] = {
    {bridge::kLongDuty, " 建议留最大占空比设置为小于0.8，留0.2的余量！"},
    {bridge::kMaxBelowMin, DesignerFrame::kMaxBelowMin},
};

const GroupColor kPushPullColors[] = {
    {1140, kRedCaption}, {1141, kBlueCaption}, {1087, kBlueCaption}, {1036, kNoteCaption}};
const GroupColor kHalfBridgeColors[] = {
    {1161, kRedCaption}, {1162, kBlueCaption}, {1087, kBlueCaption}, {1086, kNoteCaption}};
const GroupColor kFullBridgeColors[] = {
    {1181, kRedCaption}, {1182, kBlueCaption}, {1087, kBlueCaption}, {1086, kNoteCaption}};

const BridgeLayout kPushPull{script::kPushPullTemplate, "推挽变换器 Push Pull", T::PushPull, kPushPullColors,
                             174, 1142, 400, 19, 2, 9};
const BridgeLayout kHalfBridge{script::kHalfBridgeTemplate, "半桥变换器 Half Bridge", T::HalfBridge,
                               kHalfBridgeColors, 175, 1185, 400, 20, 1, 11};
const BridgeLayout kFullBridge{script::kFullBridgeTemplate, "全桥变换器 Full Bridge", T::FullBridge,
                               kFullBridgeColors, 176, 1184, 396, 20, 1, 11};
} // namespace

BridgeDesigner::BridgeDesigner(const BridgeLayout& l, ui::Dialog* parent)
    : TableDesigner(l.templateId, parent, l.title, fields(l.topology), kButtons[int(l.topology)], kMessages) {
    setPicture(l.picture, l.pictureGroup, l.pictureX, l.pictureY, l.marginW, l.marginH);
    setGroupColors(l.colors);
}

PushPullDesigner::PushPullDesigner(ui::Dialog* parent) : BridgeDesigner(kPushPull, parent) {}
HalfBridgeDesigner::HalfBridgeDesigner(ui::Dialog* parent) : BridgeDesigner(kHalfBridge, parent) {}
FullBridgeDesigner::FullBridgeDesigner(ui::Dialog* parent) : BridgeDesigner(kFullBridge, parent) {}

} // namespace kv::designers
