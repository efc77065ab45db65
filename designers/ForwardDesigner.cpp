#include "designers/ForwardDesigner.h"

#include "script/Bindings.h"

namespace kv::designers {

namespace {
using D = forward::Design;
using R = Role;
using G = Range;

// In the order the interface file numbers the labels; the area product has no label of its own.
const Field<D> kFields[] = {
    // name     edit  label value        start  role         range
    {"VinMin",  1097, 1248, &D::VinMin,  250,   R::Input,    G::Positive},
    {"VinMax",  1098, 1249, &D::VinMax,  360,   R::Input,    G::Positive},
    {"Vo",      1031, 1250, &D::Vo,      13.8f, R::Input,    G::Positive},
    {"Io",      1099, 1251, &D::Io,      20,    R::Input,    G::Positive},
    {"f",       1032, 1252, &D::f,       60,    R::Input,    G::Positive},
    {"Eff",     1033, 1253, &D::Eff,     80,    R::Input,    G::Percent},
    {"Vdf",     1035, 1254, &D::Vdf,     0.8f,  R::Input,    G::NonNegative},
    {"Dmax",    1100, 1255, &D::Dmax,    0.38f, R::Input,    G::Fraction},
    {"Bpk",     1101, 1270, &D::Bpk,     2000,  R::Input,    G::Positive},
    {"Cmil",    1102, 1257, &D::Cmil,    600,   R::Input,    G::Positive},
    {"Kw",      1061, 1286, &D::Kw,      0.3f,  R::Input,    G::Positive},
    {"Np",      1103, 1259, &D::Np,      0,     R::Result},
    {"Ns",      1104, 1247, &D::Ns,      0,     R::Result},
    {"Dp",      1105, 1260, &D::Dp,      0,     R::Result},
    {"Ds",      1038, 1261, &D::Ds,      0,     R::Result},
    {"Irmsp",   1108, 1262, &D::Irmsp,   0,     R::Result},
    {"Irmss",   1044, 1263, &D::Irmss,   0,     R::Result},
    {"Lo",      1045, 1264, &D::Lo,      0,     R::Result},
    {"Ae",      1046, 1258, &D::Ae,      0,     R::Optional, G::Positive},
    {"Ap",      1094, 0,    &D::Ap,      0,     R::Optional},
};

// The winding results: "0" for every read, and blank again after the area product.
const std::vector<float D::*> kWinding = {&D::Np, &D::Ns, &D::Dp, &D::Ds, &D::Irmsp, &D::Irmss, &D::Lo};

const Button<D> kButtons[] = {
    {.id = ForwardDesigner::kAreaProduct,
     .calc = forward::areaProduct,
     .incomplete = "请输入完整的设计条件！！",
     .optional = {&D::Ap, &D::Ae},
     .produced = {&D::Ap},
     .standIns = {&D::Ae},
     .zeroFill = kWinding,
     .blankAfter = kWinding},
    {.id = ForwardDesigner::kVerify,
     .calc = forward::verify,
     .incomplete = "请输入完整的设计条件!",
     .optional = {&D::Ap},
     .standIns = {&D::Ap},
     .zeroFill = kWinding,
     .first = {Check::Filled, {&D::Ae}, "请先输入你选择的磁芯参数！"}},
};

const Message kMessages[] = {
    {forward::kResetDuty, "提示：如果复位绕组和初级匝数相等，请设置最大占空比小于0.5！"},
    {forward::kMaxBelowMin, DesignerFrame::kMaxBelowMin},
};

const GroupColor kColors[] = {
    {1109, kRedCaption},  {1071, kRedCaption},  {1110, kBlueCaption},
    {1112, kBlueCaption}, {1139, kBlueCaption}, {1113, kNoteCaption},
};
} // namespace

ForwardDesigner::ForwardDesigner(ui::Dialog* parent)
    : TableDesigner(script::kForwardTemplate, parent, "正激变换器 Forward", kFields, kButtons, kMessages) {
    setPicture(kPicture, kPictureGroup, 405, 19, 1, 11);
    setGroupColors(kColors);
}

} // namespace kv::designers
