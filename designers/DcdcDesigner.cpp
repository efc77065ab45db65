#include "designers/DcdcDesigner.h"

#include "services/Templates.h"

namespace kv::designers {

namespace {
using D = dcdc::Design;
using R = Role;
using G = Range;

// DC-DC modes: converter (buck, boost, buck-boost) times two plus one for DCM.
constexpr script::FormulaFile kFormulaFiles[] = {
    {"CCM Buck cfg.txt", "CCM Buck"},           {"DCM Buck cfg.txt", "DCM Buck"},
    {"CCM Boost cfg.txt", "CCM Boost"},         {"DCM Boost cfg.txt", "DCM Boost"},
    {"CCM Buck-Boost cfg.txt", "CCM Buck-Boost"}, {"DCM Buck-Boost cfg.txt", "DCM Buck-Boost"},
};

// The converter's conditions: its own words, then the fields by name.
const form::Message kMessages[] = {
    {dcdc::kBuckNotBelow, "设计条件不正确，请检查！\n降压（buck）时“{Vo}”必须低于“{VinMin}”减去“{Vsw}”。"},
    {dcdc::kBoostNotAbove, "设计条件不正确，请检查！\n升压（boost）时“{Vo}”必须高于“{VinMax}”。"},
    {dcdc::kSwitchDropTooLarge, "设计条件不正确，请检查！\n“{VinMin}”必须高于“{Vsw}”。"},
    {dcdc::kAboveSaturation, "磁芯峰值磁通密度超过饱和磁通密度！"},
    {dcdc::kRippleTooLarge, "输入有误：连续模式下“{r}”不能大于2，否则电感电流断续，请检查输入！"},
};

const GroupColor kColors[] = {
    {1082, ui::kRed}, {1088, ui::kBlue}, {1087, ui::kBlue}, {1089, kNoteCaption}};

// The picture of each converter: bitmap, left edge, extra source columns.
struct ConverterPicture {
    int bitmap, x, marginW;
};
constexpr ConverterPicture kPictures[] = {{167, 369, 0}, {168, 370, 2}, {169, 370, 2}};
} // namespace

const script::DesignerFiles DcdcDesigner::kFiles{tpl::kDcdc, "DC-DC Interface.txt", "DC-DC变换器",
                                                 "DC-DC变换器.JPG", kFormulaFiles};

// In the order of the formula names, which is the order the interface file numbers the labels.
std::vector<form::Field> DcdcDesigner::fieldsOf(D& d) {
    return {
    // name     edit  label value     role         range
    {"VinMin",  1030, 1265, d.VinMin,  R::Input,    G::Positive},
    {"VinMax",  1040, 1266, d.VinMax,  R::Input,    G::Positive},
    {"Vo",      1047, 1250, d.Vo,      R::Input,    G::Positive},
    {"IoMax",   1041, 1267, d.IoMax,   R::Input,    G::Positive},
    {"Vsw",     1042, 1268, d.Vsw,     R::Input,    G::NonNegative},
    {"Vdf",     1064, 1254, d.Vdf,     R::Input,    G::NonNegative},
    {"f",       1044, 1252, d.f,       R::Input,    G::Positive},
    {"Ptd",     1046, 1215, d.Ptd,     R::Input,    G::Share},
    {"r",       1045, 1216, d.r,       R::Input,    G::Positive},
    {"Bpk",     1048, 1270, d.Bpk,     R::Input,    G::Positive},
    {"Bsat",    1049, 1271, d.Bsat,    R::Input,    G::Positive},
    {"Cmil",    1027, 1257, d.Cmil,    R::Input,    G::Positive},
    {"Vopp",    1056, 1272, d.Vopp,    R::Input,    G::Positive},
    {"Ae",      1057, 1258, d.Ae,      R::Input,    G::Positive},
    {"L",       1031, 1273, d.L,       R::Result},
    {"Ipk",     1032, 1274, d.Ipk,     R::Result},
    {"Irms",    1033, 1275, d.Irms,    R::Result},
    {"DL",      1034, 1276, d.DL,      R::Result},
    {"NL",      1036, 1277, d.NL,      R::Result},
    {"Ton",     1058, 1278, d.Ton,     R::Result},
    {"Duty",    1038, 1279, d.Duty,    R::Result},
    {"Iswrms",  1061, 1280, d.Iswrms,  R::Result},
    {"Vswm",    1051, 1281, d.Vswm,    R::Result},
    {"Idrms",   1065, 1282, d.Idrms,   R::Result},
    {"Vdm",     1052, 1283, d.Vdm,     R::Result},
    {"Co",      1067, 1284, d.Co,      R::Result},
    {"Vc",      1054, 1285, d.Vc,      R::Result},
    ambientField(d.Ta),
    };
}

DcdcDesigner::DcdcDesigner(ui::Dialog* parent) : TableDesigner(kFiles, parent, "DC-DC变换器", fieldsOf) {
    const D& d = design;
    setCalculations({
        {.button = kCalculate,
         .run = builtin(dcdc::design),
         .incomplete = "请输入完整的设计条件！",
         // every result reads "0" for the formulas
         .results = {controlOf(d.L), controlOf(d.Ipk), controlOf(d.Irms), controlOf(d.DL), controlOf(d.NL),
                     controlOf(d.Ton), controlOf(d.Duty), controlOf(d.Iswrms), controlOf(d.Vswm), controlOf(d.Idrms),
                     controlOf(d.Vdm), controlOf(d.Co), controlOf(d.Vc)}},
    });
    setMessages(kMessages);
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
    enable(controlOf(design.r), !dcm());
    enable(controlOf(design.Ptd), dcm());
    const ConverterPicture& p = kPictures[converter()];
    setPicture({p.bitmap, kPictureGroup, p.x, 19, p.marginW, 10});
    invalidate(kPictureArea);
    showTips(false); // the results are gone
}

void DcdcDesigner::finished(const form::Run& r) {
    LossDesigner::finished(r);
    if (r.shown != form::Shown::None) showTips(!r.byFormula);
    // A design its conditions refuse, or whose core would saturate, shows no results at all.
    else if (r.outcome.stop) {
        blankResults();
        showTips(false);
    }
}

std::optional<magnetics::MagneticDesign> DcdcDesigner::magnetic() const {
    const auto p = dcdc::printed(design, mode());
    if (!p) return std::nullopt;
    return magnetics::inductorMagnetic(*p, design.Ta);
}

void DcdcDesigner::showTips(bool withEsr) {
    std::string tips = control(kTips)->tpl.caption;
    if (withEsr) {
        // three digits, in mΩ or, from 1 Ω on, in Ω
        const double mOhm = design.ESR, ohm = mOhm / 1000;
        const std::string esr = mOhm < 1000 ? ui::formatNumber(mOhm, 3) + "mΩ"
                                : ohm < 1000 ? ui::formatNumber(ohm, 3) + "Ω"
                                             : ui::formatNumber(ohm, 0, ui::Notation::Fixed) + "Ω";
        tips += "输出电容ESR≤" + esr + "。";
    }
    setText(kTips, tips);
}

bool DcdcDesigner::onOtherCommand(int id, ui::Notify code) {
    if (LossDesigner::onOtherCommand(id, code)) return true;
    if ((id != kConverter && id != kMode) || code != ui::Notify::SelChange) return false;
    // The results go; the labels stay as they are, the title follows the new formula file.
    changeMode({}, false);
    return true;
}

} // namespace kv::designers
