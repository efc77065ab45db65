#include "designers/RccDesigner.h"

#include "script/Bindings.h"

namespace kv::designers {

namespace {
using D = rcc::Design;
using R = Role;
using G = Range;

// In the order of the formula names, which is the order the interface file numbers the labels.
const Field<D> kFields[] = {
    // name     edit  label value        start  role         range
    {"VacMin",  1027, 1248, &D::VacMin,  90,    R::Input,    G::Positive},
    {"VacMax",  1028, 1249, &D::VacMax,  260,   R::Input,    G::Positive},
    {"Vo",      1029, 1250, &D::Vo,      5,     R::Input,    G::Positive},
    {"IoMax",   1030, 1267, &D::IoMax,   1,     R::Input,    G::Positive},
    {"IoMin",   1052, 1287, &D::IoMin,   0.1f,  R::Input,    G::Positive},
    {"fMin",    1031, 1288, &D::fMin,    60,    R::Input,    G::Positive},
    {"Eff",     1032, 1253, &D::Eff,     75,    R::Input,    G::Percent},
    {"Vswm",    1033, 1281, &D::Vswm,    600,   R::Input,    G::Positive},
    {"Vswr",    1034, 1290, &D::Vswr,    150,   R::Input,    G::NonNegative},
    {"Vsw",     1043, 1268, &D::Vsw,     1.5f,  R::Input,    G::NonNegative},
    {"Vdf",     1044, 1254, &D::Vdf,     0.6f,  R::Input,    G::NonNegative},
    {"Bpk",     1045, 1270, &D::Bpk,     2500,  R::Input,    G::Positive},
    {"Ae",      1046, 1258, &D::Ae,      19.2f, R::Input,    G::Positive},
    {"Cmil",    1047, 1257, &D::Cmil,    500,   R::Input,    G::Positive},
    {"Lp",      1091, 1291, &D::Lp,      0,     R::Result},
    {"Ls",      1035, 1292, &D::Ls,      0,     R::Result},
    {"Ipkp",    1036, 1293, &D::Ipkp,    0,     R::Result},
    {"Ipks",    1037, 1294, &D::Ipks,    0,     R::Result},
    {"Irmsp",   1038, 1262, &D::Irmsp,   0,     R::Result},
    {"Irmss",   1039, 1263, &D::Irmss,   0,     R::Result},
    {"Np",      1040, 1259, &D::Np,      0,     R::Result},
    {"Ns",      1041, 1247, &D::Ns,      0,     R::Result},
    {"Dp",      1042, 1260, &D::Dp,      0,     R::Result},
    {"Ds",      1048, 1261, &D::Ds,      0,     R::Result},
    {"fMax",    1049, 1295, &D::fMax,    0,     R::Result},
};

const Button<D> kButtons[] = {
    {.id = RccDesigner::kCalculate,
     .calc = rcc::design,
     .incomplete = " 请输入完整的设计条件！",
     // every result reads "0" for the formulas
     .zeroFill = {&D::Lp, &D::Ls, &D::Ipkp, &D::Ipks, &D::Irmsp, &D::Irmss, &D::Np, &D::Ns, &D::Dp, &D::Ds,
                  &D::fMax}},
};

const Message kMessages[] = {
    {rcc::kNoVoltageBudget, "输入有误：“{Vswm}”扣除“{Vswr}”后不高于“{VacMax}”的峰值，没有留给反射电压的余量，无法计算！"},
};

const GroupColor kColors[] = {{1090, kRedCaption}, {1092, kBlueCaption}};
} // namespace

RccDesigner::RccDesigner(ui::Dialog* parent)
    : TableDesigner(script::kRccTemplate, parent, "Ringing Choke Converter", kFields, kButtons, kMessages) {
    setPicture(kPicture, kPictureGroup, 254, 19, 1, 10);
    setGroupColors(kColors);
}

} // namespace kv::designers
