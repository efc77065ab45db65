#include "ic_designers/Mt7930Designer.h"

#include "platform/ui/Canvas.h"

#include <algorithm>

namespace kv::ic {

namespace {
using M = Mt7930Designer;
using mt7930::Flag;
using mt7930::Limit;

struct LimitText {
    Limit limit;
    const char* text;
};
const LimitText kLimitTexts[] = {
    {Limit::DmaxHigh, "Dmax太大!   "},     {Limit::DmaxLow, "Dmax太小!   "},
    {Limit::IdleShort, "空闲时间太小! "},  {Limit::EffHigh, "效率太高!   "},
    {Limit::EffLow, "效率太低!   "},       {Limit::FluxHigh, "峰值磁密太高! "},
    {Limit::FluxLow, "峰值磁密太低! "},    {Limit::UnderVoltage, "欠压保护!  "},
    {Limit::OverVoltage, "过压保护!  "},
};

// The field a warning flag draws red.
struct FlagEdit {
    Flag flag;
    int edit;
};
const FlagEdit kFlagEdits[] = {
    {Flag::Dmax, M::kD}, {Flag::Efficiency, M::kEff}, {Flag::Flux, M::kBpk}, {Flag::Idle, M::kTidle}, {Flag::Supply, M::kVdd},
};

struct FocusTip {
    int edit;
    const char* text;
};
const FocusTip kFocusTips[] = {
    {M::kVacMin, "输入最低交流电压!"},
    {M::kVacMax, "输入最高交流电压!"},
    {M::kVor, "次级折射到初级的电压，单端反激Vor一般75-100V，除小功率PSR电源需要设置较低外!!"},
    {M::kVmos, "MOS导通压降，几伏左右!"},
    {M::kVf, "输出二极管的导通压降!"},
    {M::kVov, "这是空载电压参数!"},
    {M::kEff, "估计的变换器效率!"},
    {M::kBpk, "峰值磁通密度最好设置在3000GS也就是0.3T内!"},
    {M::kJ, "电流密度，1cmil/A即每安培多少圆密尔，圆密尔即直径1mil的圆的面积，1mil=0.0254mm!"},
};
} // namespace

Mt7930Designer::Mt7930Designer(ui::Dialog* parent) : LiveDesigner(kTemplate, parent) {
    using form::Role;
    setFields({
        {"vacMin", kVacMin, in.vacMin},
        {"vacMax", kVacMax, in.vacMax},
        {"vo", kVo, in.vo},
        {"io", kIo, in.io},
        {"vdd", kVdd, in.vdd},
        {"d", kD, in.d},
        {"vor", kVor, in.vor},
        {"vmos", kVmos, in.vmos},
        {"vf", kVf, in.vf},
        {"vov", kVov, in.vov},
        {"eff", kEff, in.eff},
        {"ae", kAe, in.ae},
        {"bpk", kBpk, in.bpk},
        {"j", kJ, in.j},
        {"L", kL, out.L, Role::Result},
        {"np", kNp, out.np, Role::Result},
        {"ns", kNs, out.ns, Role::Result},
        {"naux", kNaux, out.naux, Role::Result},
        {"n", kN, out.n, Role::Result},
        {"dp", kDp, out.dp, Role::Result},
        {"ds", kDs, out.ds, Role::Result},
        {"tonMin", kTonMin, out.tonMin, Role::Result},
        {"tdem", kTdem, out.tdem, Role::Result},
        {"tidle", kTidle, out.tidle, Role::Result},
        {"fmin", kFmin, out.fmin, Role::Result},
        {"fmax", kFmax, out.fmax, Role::Result},
        {"ipk", kIpk, out.ipk, Role::Result},
        {"ispk", kIspk, out.ispk, Role::Result},
        {"rcs", kRcs, out.rcs, Role::Result},
        {"kdsen", kKdsen, out.kdsen, Role::Result},
    });
    setResultDigits(7);
    setCalculations({{.incomplete = kError}});
    setLive(kTips);
    setCorePick({.button = kCore, .ae = kAe, .unreadable = kUnreadable});
    setOrders({{kVacMin, kVacMax}});
}

// A fresh window computes its defaults and then names the controller it is for.
void Mt7930Designer::opened() {
    setTextColor(kTips, ui::kRed);
    LiveDesigner::opened();
    setStatus(kFresh);
    fresh_ = true;
}

void Mt7930Designer::compute() { out = mt7930::design(in); }

bool Mt7930Designer::flagged(int edit) const {
    return std::find(flagged_.begin(), flagged_.end(), edit) != flagged_.end();
}

// The limits are checked after every computation that had numbers to work
// with; results that are not finite turn the verdict into the error text.
void Mt7930Designer::finished(const form::Run& r) {
    fresh_ = false;
    if (r.shown != form::Shown::None) {
        flagged_.clear();
        std::string verdict = kVerdictStart;
        for (Limit l : mt7930::brokenLimits(in, out)) {
            for (const LimitText& t : kLimitTexts)
                if (t.limit == l) verdict += t.text;
            for (const FlagEdit& f : kFlagEdits)
                if (f.flag == mt7930::flagOf(l) && !flagged(f.edit)) flagged_.push_back(f.edit);
        }
        for (const FlagEdit& f : kFlagEdits) setTextColor(f.edit, flagged(f.edit) ? ui::kRed : ui::kBlack);
        setStatus(r.shown == form::Shown::Partly ? kError : flagged_.empty() ? kOk : verdict);
    }
    invalidate();
}

bool Mt7930Designer::onOtherCommand(int id, ui::Notify code) {
    if (code != ui::Notify::SetFocus) return false;
    // A tip only while no limit is broken, and not over the note of a fresh window
    // (the first field takes the focus when the window shows).
    if (!flagged_.empty() || fresh_) return true;
    for (const FocusTip& t : kFocusTips)
        if (t.edit == id) setStatus(t.text);
    return true;
}

void Mt7930Designer::onPaint(ui::Canvas& c) {
    const ui::ControlState* frame = control(kFrame);
    const ui::BitmapInfo* b = ui::findBitmap(kPicture);
    if (!frame || !b) return;
    const ui::ControlTemplate& t = frame->tpl;
    c.stretchBitmap(kPicture, {532, 30, ui::dluToPxX(t.x + t.w), ui::dluToPxY(t.y + t.h)}, {0, 0, b->width, b->height});
}

} // namespace kv::ic
