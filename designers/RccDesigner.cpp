#include "designers/RccDesigner.h"

#include "services/Templates.h"

namespace kv::designers {

namespace {
using D = rcc::Design;
using R = Role;
using G = Range;

const script::FormulaFile kFormulaFiles[] = {{"RCC cfg.txt", "RCC 变换器"}};

const form::Message kMessages[] = {
    {rcc::kNoVoltageBudget, "输入有误：“{Vswm}”扣除“{Vswr}”后不高于“{VacMax}”的峰值，没有留给反射电压的余量，无法计算！"},
};

const GroupColor kColors[] = {{1090, ui::kRed}, {1092, ui::kBlue}};
} // namespace

const script::DesignerFiles RccDesigner::kFiles{tpl::kRcc, "RCC Interface.txt", "RCC变换器", "RCC变换器.JPG",
                                                kFormulaFiles};

// In the order of the formula names, which is the order the interface file numbers the labels.
std::vector<form::Field> RccDesigner::fieldsOf(D& d) {
    return {
    // name     edit  label value     role         range
    {"VacMin",  1027, 1248, d.VacMin,  R::Input,    G::Positive},
    {"VacMax",  1028, 1249, d.VacMax,  R::Input,    G::Positive},
    {"Vo",      1029, 1250, d.Vo,      R::Input,    G::Positive},
    {"IoMax",   1030, 1267, d.IoMax,   R::Input,    G::Positive},
    {"IoMin",   1052, 1287, d.IoMin,   R::Input,    G::Positive},
    {"fMin",    1031, 1288, d.fMin,    R::Input,    G::Positive},
    {"Eff",     1032, 1253, d.Eff,     R::Input,    G::Percent},
    {"Vswm",    1033, 1281, d.Vswm,    R::Input,    G::Positive},
    {"Vswr",    1034, 1290, d.Vswr,    R::Input,    G::NonNegative},
    {"Vsw",     1043, 1268, d.Vsw,     R::Input,    G::NonNegative},
    {"Vdf",     1044, 1254, d.Vdf,     R::Input,    G::NonNegative},
    {"Bpk",     1045, 1270, d.Bpk,     R::Input,    G::Positive},
    {"Ae",      1046, 1258, d.Ae,      R::Input,    G::Positive},
    {"Cmil",    1047, 1257, d.Cmil,    R::Input,    G::Positive},
    {"Lp",      1091, 1291, d.Lp,      R::Result},
    {"Ls",      1035, 1292, d.Ls,      R::Result},
    {"Ipkp",    1036, 1293, d.Ipkp,    R::Result},
    {"Ipks",    1037, 1294, d.Ipks,    R::Result},
    {"Irmsp",   1038, 1262, d.Irmsp,   R::Result},
    {"Irmss",   1039, 1263, d.Irmss,   R::Result},
    {"Np",      1040, 1259, d.Np,      R::Result},
    {"Ns",      1041, 1247, d.Ns,      R::Result},
    {"Dp",      1042, 1260, d.Dp,      R::Result},
    {"Ds",      1048, 1261, d.Ds,      R::Result},
    {"fMax",    1049, 1295, d.fMax,    R::Result},
    };
}

RccDesigner::RccDesigner(ui::Dialog* parent)
    : TableDesigner(kFiles, parent, "Ringing Choke Converter", fieldsOf) {
    const D& d = design;
    setCalculations({
        {.button = kCalculate,
         .run = builtin(rcc::design),
         .incomplete = " 请输入完整的设计条件！",
         // every result reads "0" for the formulas
         .results = {controlOf(d.Lp), controlOf(d.Ls), controlOf(d.Ipkp), controlOf(d.Ipks), controlOf(d.Irmsp),
                     controlOf(d.Irmss), controlOf(d.Np), controlOf(d.Ns), controlOf(d.Dp), controlOf(d.Ds),
                     controlOf(d.fMax)}},
    });
    setMessages(kMessages);
    setPicture({kPicture, kPictureGroup, 254, 19, 1, 10});
    setGroupColors(kColors);
}

} // namespace kv::designers
