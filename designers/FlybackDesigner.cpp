#include "designers/FlybackDesigner.h"

namespace kv::designers {

namespace {
using D = flyback::Design;
using R = Role;
using G = Range;

constexpr ui::Color kRed{255, 0, 0};
constexpr ui::Color kBlue{0, 0, 255};

// In the order of the formula names, which is the order the interface file numbers the labels.
const Field<D> kFields[] = {
    // name     edit  label value        start  role         range
    {"Po",      1016, 1296, &D::Po,      74,    R::Input,    G::Positive},
    {"Vo",      1017, 1250, &D::Vo,      5,     R::Input,    G::Positive},
    {"Eff",     1019, 1253, &D::Eff,     70,    R::Input,    G::Percent},
    {"VacMin",  1020, 1248, &D::VacMin,  90,    R::Input,    G::Positive},
    {"VacMax",  1021, 1249, &D::VacMax,  270,   R::Input,    G::Positive},
    {"Vswm",    1023, 1281, &D::Vswm,    600,   R::Input,    G::Positive},
    {"Vswr",    1055, 1290, &D::Vswr,    115,   R::Input,    G::NonNegative},
    {"f",       1024, 1252, &D::f,       150,   R::Input,    G::Positive},
    {"Vdf",     1030, 1254, &D::Vdf,     0.6f,  R::Input,    G::NonNegative},
    {"r",       1025, 1216, &D::r,       0.5f,  R::Input,    G::Positive},
    {"Ptd",     1026, 1215, &D::Ptd,     20,    R::Input,    G::Share},
    {"Cmil",    1027, 1257, &D::Cmil,    400,   R::Input,    G::Positive},
    {"Vopp",    1060, 1272, &D::Vopp,    50,    R::Input,    G::Positive},
    {"Ve",      1049, 1052, &D::Ve,      0,     R::Optional},
    {"Lp",      1022, 1291, &D::Lp,      0,     R::Result},
    {"Ls",      1028, 1292, &D::Ls,      0,     R::Result},
    {"Np",      1034, 1259, &D::Np,      0,     R::Result},
    {"Ns",      1036, 1247, &D::Ns,      0,     R::Result},
    {"Dp",      1037, 1260, &D::Dp,      0,     R::Result},
    {"Ds",      1038, 1261, &D::Ds,      0,     R::Result},
    {"Zc",      1039, 1297, &D::Zc,      0,     R::Result},
    {"Iin",     1040, 1298, &D::Iin,     0,     R::Result},
    {"Ipkp",    1041, 1293, &D::Ipkp,    0,     R::Result},
    {"Irmsp",   1042, 1262, &D::Irmsp,   0,     R::Result},
    {"Iswe",    1061, 1299, &D::Iswe,    0,     R::Result},
    {"Ton",     1058, 1278, &D::Ton,     0,     R::Result},
    {"Cin",     1059, 1300, &D::Cin,     0,     R::Result},
    {"Ae",      1029, 1258, &D::Ae,      0,     R::Optional, G::Positive},
    {"Le",      1031, 1066, &D::Le,      0,     R::Optional, G::Positive},
    {"Bpk",     1033, 1270, &D::Bpk,     2500,  R::Input,    G::Positive},
    {"Bsat",    1032, 1271, &D::Bsat,    3000,  R::Input,    G::Positive},
    {"Irmss",   1062, 1263, &D::Irmss,   0,     R::Result},
    {"Ipks",    1063, 1294, &D::Ipks,    0,     R::Result},
    {"Vdm",     1064, 1283, &D::Vdm,     0,     R::Result},
    {"Idm",     1065, 1301, &D::Idm,     0,     R::Result},
    {"Co",      1067, 1284, &D::Co,      0,     R::Result},
    {"Vcm",     1068, 1302, &D::Vcm,     0,     R::Result},
    {"Per",     1048, 1303, &D::Per,     5,     R::Input,    G::Positive},
    {"Clk",     1056, 1304, &D::Clk,     0,     R::Result},
    {"Rlk",     1057, 1305, &D::Rlk,     0,     R::Result},
};

const Button<D> kButtons[] = {
    {.id = FlybackDesigner::kEstimate,
     .calc = flyback::estimate,
     .incomplete = "请输入完整的设计条件！！",
     .optional = {&D::Ve, &D::Ae, &D::Le},
     .produced = {&D::Ve},
     .standIns = {&D::Ae, &D::Le}},
    {.id = FlybackDesigner::kVerify,
     .calc = flyback::verify,
     .incomplete = "请输入完整的设计条件!",
     .optional = {&D::Ve, &D::Ae, &D::Le},
     .standIns = {&D::Ve},
     .blankAfter = {&D::Clk, &D::Rlk},
     .first = {Check::Filled, {&D::Ae, &D::Le}, "请先输入你选择的磁芯参数！"}},
    {.id = FlybackDesigner::kSnubber,
     .calc = flyback::snubber,
     .incomplete = " 请输入完整的设计条件!",
     .optional = {&D::Ve},
     .zeroFill = {&D::Rlk, &D::Clk},
     .first = {Check::NonZero, {&D::Lp}, "没有足够的信息，请先计算电感量！"},
     .formulaMustSucceed = false},
};

const Message kMessages[] = {
    {flyback::kNoClampMargin, "输入有误：开关管耐压扣除耐压裕量后不高于最高交流输入的峰值，无法计算！"},
    {flyback::kShortDeadTime, "提示：死区时间建议设置大于工作周期的20%，以保证工作于断续模式 ！"},
    {flyback::kFluxAboveSat, "注意：实际磁通密度峰值已经超过最大值！"},
    {flyback::kValleyFluxAboveSat, "注意：输入电容电压在谷点(峰值的75%)时，磁通密度峰值已经超过饱和磁密！"},
};
} // namespace

FlybackDesigner::FlybackDesigner(ui::Dialog* parent)
    : TableDesigner(129, parent, "反激变换器 Flyback", kFields, kButtons, kMessages) {
    setPicture(kPicture, kPictureGroup, 432, 20);
}

int FlybackDesigner::controlOf(const char* name) {
    for (const Field<D>& f : kFields)
        if (std::string_view(f.name) == name) return f.edit;
    return 0;
}

void FlybackDesigner::onInitDialog() {
    for (int g : {1069, 1071, 1074}) setTextColor(g, kRed);
    for (int g : {1070, 1051, 1072, 1073}) setTextColor(g, kBlue);
    DesignerFrame::onInitDialog();
}

bool FlybackDesigner::onOtherCommand(int id, ui::Notify code) {
    if (id != kMode || code != ui::Notify::SelChange) return false;
    const int core[] = {edit(&D::Ae), edit(&D::Le), edit(&D::Ve)};
    changeMode(core);
    return true;
}

void FlybackDesigner::fillModes() {
    clearItems(kMode);
    addItem(kMode, "连续(CCM)");
    addItem(kMode, "断续(DCM)");
    select(kMode, 0);
}

void FlybackDesigner::modeChanged() {
    enable(edit(&D::r), !dcm());
    enable(edit(&D::Ptd), dcm());
    setText(kEstimateGroup, dcm() ? "估算所需磁芯面积乘积Ae*Aw" : "估算所需磁芯体积Ve=Ae*Le");
    setText(kVeLabel, dcm() ? "磁芯面积乘积(mm4)" : "磁芯体积Ve(mm2)");
    setText(kVeNote, "(铁氧体)经验公式");
}

void FlybackDesigner::labelsApplied(bool custom) {
    if (custom) setText(kEstimateGroup, "磁芯参数:");
}

} // namespace kv::designers
