#include "designers/FlybackDesigner.h"

#include "services/Templates.h"

namespace kv::designers {

namespace {
using D = flyback::Design;
using R = Role;
using G = Range;

constexpr script::FormulaFile kFormulaFiles[] = {{"CCM反激变换器 cfg.txt", "CCM 反激"}, {"DCM反激变换器 cfg.txt", "DCM 反激"}};

const form::Message kMessages[] = {
    {flyback::kNoClampMargin, "输入有误：开关管耐压扣除耐压裕量后不高于最高交流输入的峰值，无法计算！"},
    {flyback::kShortDeadTime, "提示：死区时间建议设置大于工作周期的20%，以保证工作于断续模式 ！"},
    {flyback::kFluxAboveSat, "注意：实际磁通密度峰值已经超过最大值！"},
    {flyback::kValleyFluxAboveSat, "注意：输入电容电压在谷点(峰值的75%)时，磁通密度峰值已经超过饱和磁密！"},
};

const GroupColor kColors[] = {
    {1069, ui::kRed},  {1071, ui::kRed},  {1074, ui::kRed},  {1070, ui::kBlue},
    {1051, ui::kBlue}, {1072, ui::kBlue}, {1073, ui::kBlue},
};
} // namespace

const script::DesignerFiles FlybackDesigner::kFiles{tpl::kFlyback, "Flyback Interface.txt", "反激变换器",
                                                    "反激变换器.JPG", kFormulaFiles};

std::vector<form::Field> FlybackDesigner::fieldsOf(D& d) {
    return {
        // name     edit  label value    role         range
        {"Po",      1016, 1296, d.Po,    R::Input,    G::Positive},
        {"Vo",      1017, 1250, d.Vo,    R::Input,    G::Positive},
        {"Eff",     1019, 1253, d.Eff,   R::Input,    G::Percent},
        {"VacMin",  1020, 1248, d.VacMin, R::Input,   G::Positive},
        {"VacMax",  1021, 1249, d.VacMax, R::Input,   G::Positive},
        {"Vswm",    1023, 1281, d.Vswm,  R::Input,    G::Positive},
        {"Vswr",    1055, 1290, d.Vswr,  R::Input,    G::NonNegative},
        {"f",       1024, 1252, d.f,     R::Input,    G::Positive},
        {"Vdf",     1030, 1254, d.Vdf,   R::Input,    G::NonNegative},
        {"r",       1025, 1216, d.r,     R::Input,    G::Positive},
        {"Ptd",     1026, 1215, d.Ptd,   R::Input,    G::Share},
        {"Cmil",    1027, 1257, d.Cmil,  R::Input,    G::Positive},
        {"Vopp",    1060, 1272, d.Vopp,  R::Input,    G::Positive},
        {"Ve",      1049, 1052, d.Ve,    R::Optional},
        {"Lp",      1022, 1291, d.Lp,    R::Result},
        {"Ls",      1028, 1292, d.Ls,    R::Result},
        {"Np",      1034, 1259, d.Np,    R::Result},
        {"Ns",      1036, 1247, d.Ns,    R::Result},
        {"Dp",      1037, 1260, d.Dp,    R::Result},
        {"Ds",      1038, 1261, d.Ds,    R::Result},
        {"Zc",      1039, 1297, d.Zc,    R::Result},
        {"Iin",     1040, 1298, d.Iin,   R::Result},
        {"Ipkp",    1041, 1293, d.Ipkp,  R::Result},
        {"Irmsp",   1042, 1262, d.Irmsp, R::Result},
        {"Iswe",    1061, 1299, d.Iswe,  R::Result},
        {"Ton",     1058, 1278, d.Ton,   R::Result},
        {"Cin",     1059, 1300, d.Cin,   R::Result},
        {"Ae",      1029, 1258, d.Ae,    R::Optional, G::Positive},
        {"Le",      1031, 1066, d.Le,    R::Optional, G::Positive},
        {"Bpk",     1033, 1270, d.Bpk,   R::Input,    G::Positive},
        {"Bsat",    1032, 1271, d.Bsat,  R::Input,    G::Positive},
        {"Irmss",   1062, 1263, d.Irmss, R::Result},
        {"Ipks",    1063, 1294, d.Ipks,  R::Result},
        {"Vdm",     1064, 1283, d.Vdm,   R::Result},
        {"Idm",     1065, 1301, d.Idm,   R::Result},
        {"Co",      1067, 1284, d.Co,    R::Result},
        {"Vcm",     1068, 1302, d.Vcm,   R::Result},
        {"Per",     1048, 1303, d.Per,   R::Input,    G::Positive},
        {"Clk",     1056, 1304, d.Clk,   R::Result},
        {"Rlk",     1057, 1305, d.Rlk,   R::Result},
        ambientField(d.Ta),
    };
}

FlybackDesigner::FlybackDesigner(ui::Dialog* parent)
    : TableDesigner(kFiles, parent, "反激变换器 Flyback", fieldsOf) {
    const D& d = design;
    setCalculations({
        {.button = kEstimate,
         .run = builtin(flyback::estimate),
         .incomplete = "请输入完整的设计条件！！",
         .blankAsZero = {controlOf(d.Ve), controlOf(d.Ae), controlOf(d.Le)},
         .produced = {controlOf(d.Ve)},
         .standIns = {controlOf(d.Ae), controlOf(d.Le)}},
        {.button = kVerify,
         .run = builtin(flyback::verify),
         .incomplete = "请输入完整的设计条件!",
         .blankAsZero = {controlOf(d.Ve), controlOf(d.Ae), controlOf(d.Le)},
         .blankAfter = {controlOf(d.Clk), controlOf(d.Rlk)},
         .first = {form::Precondition::Kind::Filled, {controlOf(d.Ae), controlOf(d.Le)}, "请先输入你选择的磁芯参数！"},
         .standIns = {controlOf(d.Ve)}},
        {.button = kSnubber,
         .run = builtin(flyback::snubber),
         .incomplete = " 请输入完整的设计条件!",
         .results = {controlOf(d.Rlk), controlOf(d.Clk)},
         .blankAsZero = {controlOf(d.Ve)},
         .first = {form::Precondition::Kind::NonZero, {controlOf(d.Lp)}, "没有足够的信息，请先计算电感量！"},
         .formulaMustSucceed = false},
    });
    setMessages(kMessages);
    setGroupColors(kColors);
    setPicture({kPicture, kPictureGroup, 432, 20});
}

std::optional<magnetics::MagneticDesign> FlybackDesigner::magnetic() const {
    const auto p = flyback::printed(design, mode());
    if (!p) return std::nullopt;
    return magnetics::flybackMagnetic(*p, design.Ta);
}

LossDesigner::CoreEdits FlybackDesigner::coreEdits() const {
    return {controlOf(design.Ae), controlOf(design.Le), kVerify};
}

std::optional<magnetics::FlybackPoint> FlybackDesigner::adviserPoint() {
    std::optional<magnetics::FlybackPoint> point;
    withTypedInputs([&] { point = flyback::adviserPoint(design, mode()); });
    return point;
}

bool FlybackDesigner::onOtherCommand(int id, ui::Notify code) {
    if (LossDesigner::onOtherCommand(id, code)) return true;
    if (id != kMode || code != ui::Notify::SelChange) return false;
    const int core[] = {controlOf(design.Ae), controlOf(design.Le), controlOf(design.Ve)};
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
    enable(controlOf(design.r), !dcm());
    enable(controlOf(design.Ptd), dcm());
    setText(kEstimateGroup, dcm() ? "估算所需磁芯面积乘积Ae*Aw" : "估算所需磁芯体积Ve=Ae*Le");
    setText(kVeLabel, dcm() ? "磁芯面积乘积(mm4)" : "磁芯体积Ve(mm2)");
    setText(kVeNote, "(铁氧体)经验公式");
}

void FlybackDesigner::labelsApplied(bool custom) {
    if (custom) setText(kEstimateGroup, "磁芯参数:");
}

} // namespace kv::designers
