#include "designers/FlybackDesigner.h"

#include "platform/ui/Canvas.h"
#include "shell/Popups.h"

#include <cmath>

namespace kv::designers {

namespace {
constexpr ui::Color kRed{255, 0, 0};
constexpr ui::Color kBlue{0, 0, 255};

// Label control of each input, for messages that name it.
int labelOf(int control) {
    switch (control) {
    case FlybackDesigner::kPo: return 1296;
    case FlybackDesigner::kVo: return 1250;
    case FlybackDesigner::kEff: return 1253;
    case FlybackDesigner::kVacMin: return 1248;
    case FlybackDesigner::kVacMax: return 1249;
    case FlybackDesigner::kVswm: return 1281;
    case FlybackDesigner::kF: return 1252;
    case FlybackDesigner::kR: return 1216;
    case FlybackDesigner::kCmil: return 1257;
    case FlybackDesigner::kVopp: return 1272;
    case FlybackDesigner::kAe: return 1258;
    case FlybackDesigner::kLe: return 1066;
    case FlybackDesigner::kBpk: return 1270;
    case FlybackDesigner::kPer: return 1303;
    default: return -1;
    }
}
} // namespace

using F = FlybackDesigner;
const ui::MessageEntry<F> F::kMessageMap[] = {
    {F::kEstimate, ui::Notify::Clicked, &F::onEstimate},
    {F::kVerify, ui::Notify::Clicked, &F::onVerify},
    {F::kSnubber, ui::Notify::Clicked, &F::onSnubber},
    {F::kMode, ui::Notify::SelChange, &F::onModeChange},
};

FlybackDesigner::FlybackDesigner(ui::Dialog* parent) : DesignerFrame(129, parent, "反激变换器 Flyback") {
    const flyback::Inputs d;
    const std::pair<int, float> inputs[] = {
        {kPo, d.Po}, {kVo, d.Vo}, {kEff, d.Eff}, {kVacMin, d.VacMin}, {kVacMax, d.VacMax},
        {kVswm, d.Vswm}, {kVswr, d.Vswr}, {kF, d.f}, {kVdf, d.Vdf}, {kR, d.r}, {kPtd, d.Ptd},
        {kCmil, d.Cmil}, {kVopp, d.Vopp}, {kAe, 0}, {kLe, 0}, {kBpk, d.Bpk}, {kBsat, d.Bsat},
        {kVe, 0}, {kPer, d.Per}};
    for (auto [c, v] : inputs) addField(c, v, false);
    for (int c : {kLp, kLs, kNp, kNs, kDp, kDs, kZc, kIin, kIpkp, kIrmsp, kIswe, kTon, kCin, kIrmss,
                  kIpks, kVdm, kIdm, kCo, kVcm, kClk, kRlk})
        addField(c, 0, true);
    setPicture(kPicture, kPictureGroup, 432, 20);
}

bool FlybackDesigner::onCommand(int id, ui::Notify code) { return ui::dispatchMap(this, kMessageMap, id, code); }

void FlybackDesigner::onInitDialog() {
    for (int g : {1069, 1071, 1074}) setGroupColor(g, kRed);
    for (int g : {1070, 1051, 1072, 1073}) setGroupColor(g, kBlue);
    DesignerFrame::onInitDialog();
    const int noCore[] = {kAe, kLe, kVe};
    blank(noCore);
}

std::string FlybackDesigner::formulaFile(int mode) const {
    return mode == 1 ? "DCM反激变换器 cfg.txt" : "CCM反激变换器 cfg.txt";
}

void FlybackDesigner::fillModes() {
    clearItems(kMode);
    addItem(kMode, "连续(CCM)");
    addItem(kMode, "断续(DCM)");
    select(kMode, 0);
}

void FlybackDesigner::modeChanged() {
    enable(kR, !dcm());
    enable(kPtd, dcm());
    setText(kEstimateGroup, dcm() ? "估算所需磁芯面积乘积Ae*Aw" : "估算所需磁芯体积Ve=Ae*Le");
    setText(kVeLabel, dcm() ? "磁芯面积乘积(mm4)" : "磁芯体积Ve(mm2)");
    setText(kVeNote, "(铁氧体)经验公式");
}

void FlybackDesigner::labelsApplied(bool custom) {
    if (custom) setText(kEstimateGroup, "磁芯参数:");
}

void FlybackDesigner::onModeChange() {
    const int core[] = {kAe, kLe, kVe};
    changeMode(core);
}

flyback::Inputs FlybackDesigner::inputs() const {
    flyback::Inputs in;
    in.Po = value(kPo);
    in.Vo = value(kVo);
    in.Eff = value(kEff);
    in.VacMin = value(kVacMin);
    in.VacMax = value(kVacMax);
    in.Vswm = value(kVswm);
    in.Vswr = value(kVswr);
    in.f = value(kF);
    in.Vdf = value(kVdf);
    in.r = value(kR);
    in.Ptd = value(kPtd);
    in.Cmil = value(kCmil);
    in.Vopp = value(kVopp);
    in.Ae = value(kAe);
    in.Le = value(kLe);
    in.Bpk = value(kBpk);
    in.Bsat = value(kBsat);
    in.Per = value(kPer);
    return in;
}

bool FlybackDesigner::nonZero(std::initializer_list<int> controls) {
    for (int c : controls)
        if (value(c) == 0.0f) {
            messageBox("输入有误：“" + text(labelOf(c)) + "”不能为0，无法计算！", ui::kAppName,
                       ui::Icon::Warning);
            return false;
        }
    return true;
}

bool FlybackDesigner::finiteResults() {
    if (allFinite()) return true;
    messageBox("输入有误：这组设计条件得不到有效的计算结果，请检查输入！", ui::kAppName, ui::Icon::Warning);
    return false;
}

void FlybackDesigner::put(const flyback::Results& r) {
    const std::pair<int, float> out[] = {
        {kLp, r.Lp},   {kLs, r.Ls},       {kNp, r.Np},   {kNs, r.Ns},       {kDp, r.Dp},
        {kDs, r.Ds},   {kZc, r.Zc},       {kIin, r.Iin}, {kIpkp, r.Ipkp},   {kIrmsp, r.Irmsp},
        {kIswe, r.Iswe}, {kTon, r.Ton},   {kCin, r.Cin}, {kIrmss, r.Irmss}, {kIpks, r.Ipks},
        {kVdm, r.Vdm}, {kIdm, r.Idm},     {kCo, r.Co},   {kVcm, r.Vcm}};
    for (auto [c, v] : out) *field(c) = v;
}

void FlybackDesigner::onEstimate() {
    Blanks b;
    const int optional[] = {kVe, kAe, kLe};
    if (!begin(optional, "请输入完整的设计条件！！", b)) return;
    // The estimate's own result is not an input to blank again.
    std::erase(b.optional, int(kVe));
    if (!formulaInUse()) {
        const flyback::Inputs in = inputs();
        if (!dcm()) {
            if (!nonZero({kR, kEff, kF})) return restoreOptional(b), blank(b.filled);
            *field(kVe) = flyback::estimateCcm(in);
        } else {
            if (!nonZero({kEff, kF, kCmil, kVo})) return restoreOptional(b), blank(b.filled);
            if (in.Ptd < 20)
                messageBox("提示：死区时间建议设置大于工作周期的20%，以保证工作于断续模式 ！", ui::kAppName,
                           ui::Icon::Warning);
            const float ve = flyback::estimateDcm(in);
            if (!std::isfinite(ve)) {
                messageBox("输入有误：开关管耐压扣除裕量后低于输入电压峰值，无法估算！", ui::kAppName,
                           ui::Icon::Warning);
                return restoreOptional(b), blank(b.filled);
            }
            *field(kVe) = ve;
        }
        if (!finiteResults()) return restoreOptional(b), blank(b.filled);
    } else {
        // The formulas must not see a blank core as zero.
        const float ae = value(kAe), le = value(kLe);
        *field(kAe) = 1;
        *field(kLe) = 1;
        const bool ok = runFormulas();
        *field(kAe) = ae;
        *field(kLe) = le;
        if (!ok) return restoreOptional(b), blank(b.filled);
    }
    show(b);
}

void FlybackDesigner::onVerify() {
    if (text(kAe).empty() || text(kLe).empty()) {
        messageBox("请先输入你选择的磁芯参数！", ui::kAppName, ui::Icon::Warning);
        return;
    }
    Blanks b;
    const int optional[] = {kVe, kAe, kLe};
    if (!begin(optional, "请输入完整的设计条件!", b)) return;
    const auto fail = [&] {
        blank(b.filled);
        restoreOptional(b);
    };
    if (!formulaInUse()) {
        const flyback::Inputs in = inputs();
        if (!nonZero({kEff, kVacMin, kVo, kF, kAe, kLe, kBpk, kVopp})) return fail();
        if (!dcm() && !nonZero({kR})) return fail();
        if (flyback::turnsRatio(in) <= 0.0f) {
            messageBox("输入有误：开关管耐压扣除裕量后低于输入电压峰值，无法计算匝比！", ui::kAppName,
                       ui::Icon::Warning);
            return fail();
        }
        const flyback::Results r = dcm() ? flyback::verifyDcm(in) : flyback::verifyCcm(in);
        if (r.Ipks == in.Po / in.Vo) {
            messageBox("输入有误：次级电流峰值等于输出电流，无法计算输出电容！", ui::kAppName, ui::Icon::Warning);
            return fail();
        }
        const Snapshot keep = snapshot();
        put(r);
        if (!finiteResults()) {
            restore(keep);
            return fail();
        }
        if (!dcm() && r.fluxAboveSaturation)
            messageBox("注意：实际磁通密度峰值已经超过最大值！", ui::kAppName, ui::Icon::Warning);
    } else {
        const float ve = value(kVe);
        *field(kVe) = 1;
        const bool ok = runFormulas();
        *field(kVe) = ve;
        if (!ok) return fail();
    }
    show(b);
    const int snub[] = {kClk, kRlk};
    blank(snub);
}

void FlybackDesigner::onSnubber() {
    if (value(kLp) == 0.0f) {
        messageBox("没有足够的信息，请先计算电感量！", ui::kAppName, ui::Icon::Warning);
        return;
    }
    const bool veBlank = text(kVe).empty();
    setText(kRlk, "0");
    setText(kClk, "0");
    if (veBlank) setText(kVe, "0");
    const int snub[] = {kClk, kRlk};
    const auto putBackVe = [&] {
        if (veBlank) setText(kVe, "");
    };
    if (!readFields()) {
        blank(snub);
        putBackVe();
        messageBox(" 请输入完整的设计条件!", ui::kAppName, ui::Icon::Warning);
        return;
    }
    if (formulaInUse()) {
        runFormulas();
    } else {
        if (!nonZero({kF, kPer})) return blank(snub), putBackVe();
        const flyback::Inputs in = inputs();
        const flyback::Snubber s = flyback::snubber(in, value(kLp), value(kIpkp));
        if (!std::isfinite(s.Rlk) || !std::isfinite(s.Clk)) {
            messageBox("输入有误：开关管耐压扣除裕量后没有余量，无法计算吸收回路！", ui::kAppName,
                       ui::Icon::Warning);
            return blank(snub), putBackVe();
        }
        *field(kRlk) = s.Rlk;
        *field(kClk) = s.Clk;
    }
    blank(snub);
    shell::showCalculating(*this);
    writeFields();
    putBackVe();
}

} // namespace kv::designers
