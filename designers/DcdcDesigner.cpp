#include "designers/DcdcDesigner.h"

#include "script/Bindings.h"

#include <cstdio>

namespace kv::designers {

namespace {
using D = dcdc::Design;
using R = Role;
using G = Range;

// In the order of the formula names, which is the order the interface file numbers the labels.
const Field<D> kFields[] = {
    // name     edit  label value        start  role         range
    {"VinMin",  1030, 1265, &D::VinMin,  18,    R::Input,    G::Positive},
    {"VinMax",  1040, 1266, &D::VinMax,  24,    R::Input,    G::Positive},
    {"Vo",      1047, 1250, &D::Vo,      12,    R::Input,    G::Positive},
    {"IoMax",   1041, 1267, &D::IoMax,   1,     R::Input,    G::Positive},
    {"Vsw",     1042, 1268, &D::Vsw,     1.5f,  R::Input,    G::NonNegative},
    {"Vdf",     1064, 1254, &D::Vdf,     0.5f,  R::Input,    G::NonNegative},
    {"f",       1044, 1252, &D::f,       150,   R::Input,    G::Positive},
    {"Ptd",     1046, 1215, &D::Ptd,     20,    R::Input,    G::Share},
    {"r",       1045, 1216, &D::r,       0.4f,  R::Input,    G::Positive},
    {"Bpk",     1048, 1270, &D::Bpk,     2500,  R::Input,    G::Positive},
    {"Bsat",    1049, 1271, &D::Bsat,    3000,  R::Input,    G::Positive},
    {"Cmil",    1027, 1257, &D::Cmil,    400,   R::Input,    G::Positive},
    {"Vopp",    1056, 1272, &D::Vopp,    50,    R::Input,    G::Positive},
    {"Ae",      1057, 1258, &D::Ae,      23,    R::Input,    G::Positive},
    {"L",       1031, 1273, &D::L,       0,     R::Result},
    {"Ipk",     1032, 1274, &D::Ipk,     0,     R::Result},
    {"Irms",    1033, 1275, &D::Irms,    0,     R::Result},
    {"DL",      1034, 1276, &D::DL,      0,     R::Result},
    {"NL",      1036, 1277, &D::NL,      0,     R::Result},
    {"Ton",     1058, 1278, &D::Ton,     0,     R::Result},
    {"Duty",    1038, 1279, &D::Duty,    0,     R::Result},
    {"Iswrms",  1061, 1280, &D::Iswrms,  0,     R::Result},
    {"Vswm",    1051, 1281, &D::Vswm,    0,     R::Result},
    {"Idrms",   1065, 1282, &D::Idrms,   0,     R::Result},
    {"Vdm",     1052, 1283, &D::Vdm,     0,     R::Result},
    {"Co",      1067, 1284, &D::Co,      0,     R::Result},
    {"Vc",      1054, 1285, &D::Vc,      0,     R::Result},
};

const Button<D> kButtons[] = {
    {.id = DcdcDesigner::kCalculate,
     .calc = dcdc::design,
     .incomplete = "请输入完整的设计条件！",
     // every result reads "0" for the formulas
     .zeroFill = {&D::L, &D::Ipk, &D::Irms, &D::DL, &D::NL, &D::Ton, &D::Duty, &D::Iswrms, &D::Vswm, &D::Idrms,
                  &D::Vdm, &D::Co, &D::Vc}},
};

const Message kMessages[] = {
    {dcdc::kBadConditions, "设计条件不正确，请检查！"},
    {dcdc::kAboveSaturation, "磁芯峰值磁通密度超过饱和磁通密度！"},
    {dcdc::kRippleTooLarge, "输入有误：连续模式下“{r}”不能大于2，否则电感电流断续，请检查输入！"},
};

const GroupColor kColors[] = {
    {1082, kRedCaption}, {1088, kBlueCaption}, {1087, kBlueCaption}, {1089, kNoteCaption}};

// The picture of each converter: bitmap, left edge, extra source columns.
struct Picture {
    int bitmap, x, marginW;
};
constexpr Picture kPictures[] = {{167, 369, 0}, {168, 370, 2}, {169, 370, 2}};
} // namespace

DcdcDesigner::DcdcDesigner(ui::Dialog* parent)
    : TableDesigner(script::kDcdcTemplate, parent, "DC-DC变换器", kFields, kButtons, kMessages) {
    setGroupColors(kColors);
}

int DcdcDesigner::converter() const {
    const int c = selected(kConverter);
    return c < 0 ? dcdc::kBuck : c;
}

void DcdcDesigner::fillModes() {
    clearItems(kConverter);
    for (const char* c : {"buck", "boost", "buck-boost"}) addItem(kConverter, c);
    select(kConverter, 0);
    clearItems(kMode);
    addItem(kMode, "连续(CCM)");
    addItem(kMode, "断续(DCM)");
    select(kMode, 0);
}

void DcdcDesigner::modeChanged() {
    enable(edit(&D::r), !dcm());
    enable(edit(&D::Ptd), dcm());
    const Picture& p = kPictures[converter()];
    setPicture(p.bitmap, kPictureGroup, p.x, 19, p.marginW, 10);
    invalidate(kPictureArea);
    showTips(false); // the results are gone
}

void DcdcDesigner::resultsShown(int, bool builtIn) { showTips(builtIn); }

void DcdcDesigner::showTips(bool withEsr) {
    std::string tips = control(kTips)->tpl.caption;
    if (withEsr) {
        // three digits, in mΩ or, from 1 Ω on, in Ω
        const double mOhm = design.ESR, ohm = mOhm / 1000;
        char line[80];
        if (mOhm < 1000) std::snprintf(line, sizeof line, "输出电容ESR≤%.3gmΩ。", mOhm);
        else std::snprintf(line, sizeof line, ohm < 1000 ? "输出电容ESR≤%.3gΩ。" : "输出电容ESR≤%.0fΩ。", ohm);
        tips += line;
    }
    setText(kTips, tips);
}

bool DcdcDesigner::onOtherCommand(int id, ui::Notify code) {
    if ((id != kConverter && id != kMode) || code != ui::Notify::SelChange) return false;
    // The results go; the labels stay as they are, the title follows the new formula file.
    changeMode({}, false);
    return true;
}

} // namespace kv::designers
