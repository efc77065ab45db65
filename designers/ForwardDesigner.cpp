#include "designers/ForwardDesigner.h"

#include "services/Templates.h"

namespace kv::designers {

namespace {
using D = forward::Design;
using R = Role;
using G = Range;

const script::FormulaFile kFormulaFiles[] = {{"正激变换器 cfg.txt", "正激变换器"}};

const form::Message kMessages[] = {
    {forward::kResetDuty, "提示：如果复位绕组和初级匝数相等，请设置最大占空比小于0.5！"},
};

const GroupColor kColors[] = {
    {1109, ui::kRed},  {1071, ui::kRed},  {1110, ui::kBlue},
    {1112, ui::kBlue}, {1139, ui::kBlue}, {1113, kNoteCaption},
};
} // namespace

const script::DesignerFiles ForwardDesigner::kFiles{tpl::kForward, "Forward Interface.txt", "正激变换器",
                                                    "正激变换器.JPG", kFormulaFiles};

// In the order the interface file numbers the labels; the area product has no label of its own.
std::vector<form::Field> ForwardDesigner::fieldsOf(D& d) {
    return {
    // name     edit  label value     role         range
    {"VinMin",  1097, 1248, d.VinMin,  R::Input,    G::Positive},
    {"VinMax",  1098, 1249, d.VinMax,  R::Input,    G::Positive},
    {"Vo",      1031, 1250, d.Vo,      R::Input,    G::Positive},
    {"Io",      1099, 1251, d.Io,      R::Input,    G::Positive},
    {"f",       1032, 1252, d.f,       R::Input,    G::Positive},
    {"Eff",     1033, 1253, d.Eff,     R::Input,    G::Percent},
    {"Vdf",     1035, 1254, d.Vdf,     R::Input,    G::NonNegative},
    {"Dmax",    1100, 1255, d.Dmax,    R::Input,    G::Fraction},
    {"Bpk",     1101, 1270, d.Bpk,     R::Input,    G::Positive},
    {"Cmil",    1102, 1257, d.Cmil,    R::Input,    G::Positive},
    {"Kw",      1061, 1286, d.Kw,      R::Input,    G::Positive},
    {"Np",      1103, 1259, d.Np,      R::Result},
    {"Ns",      1104, 1247, d.Ns,      R::Result},
    {"Dp",      1105, 1260, d.Dp,      R::Result},
    {"Ds",      1038, 1261, d.Ds,      R::Result},
    {"Irmsp",   1108, 1262, d.Irmsp,   R::Result},
    {"Irmss",   1044, 1263, d.Irmss,   R::Result},
    {"Lo",      1045, 1264, d.Lo,      R::Result},
    {"Ae",      1046, 1258, d.Ae,      R::Optional, G::Positive},
    {"Ap",      1094, 0,    d.Ap,      R::Optional},
    ambientField(d.Ta),
    };
}

ForwardDesigner::ForwardDesigner(ui::Dialog* parent)
    : TableDesigner(kFiles, parent, "正激变换器 Forward", fieldsOf) {
    const D& d = design;
    // The winding results: "0" for every read, and blank again after the area product.
    const std::vector<int> winding = {controlOf(d.Np),    controlOf(d.Ns),    controlOf(d.Dp), controlOf(d.Ds),
                                      controlOf(d.Irmsp), controlOf(d.Irmss), controlOf(d.Lo)};
    setCalculations({
        {.button = kAreaProduct,
         .run = builtin(forward::areaProduct),
         .incomplete = "请输入完整的设计条件！！",
         .results = winding,
         .blankAsZero = {controlOf(d.Ap), controlOf(d.Ae)},
         .produced = {controlOf(d.Ap)},
         .blankAfter = winding,
         .standIns = {controlOf(d.Ae)}},
        {.button = kVerify,
         .run = builtin(forward::verify),
         .incomplete = "请输入完整的设计条件!",
         .results = winding,
         .blankAsZero = {controlOf(d.Ap)},
         .first = {form::Precondition::Kind::Filled, {controlOf(d.Ae)}, "请先输入你选择的磁芯参数！"},
         .standIns = {controlOf(d.Ap)}},
    });
    setMessages(kMessages);
    setPicture({kPicture, kPictureGroup, 405, 19, 1, 11});
    setGroupColors(kColors);
}

std::optional<magnetics::MagneticDesign> ForwardDesigner::magnetic() const {
    const auto p = forward::printed(design);
    if (!p) return std::nullopt;
    return magnetics::forwardMagnetic(*p, design.Ta);
}

} // namespace kv::designers
