#include "graphic_flyback/ParamDialogs.h"

#include "services/CorePick.h"
#include "services/Settings.h"

namespace kv::graphic {

using D = FlybackDesign;

ParamDialog::ParamDialog(int templateId, FlybackDesign& design, ui::Dialog* parent,
                         std::vector<Binding> bindings)
    : Dialog(templateId, parent), design_(design), copy_(design), bindings_(std::move(bindings)) {}

void ParamDialog::onInitDialog() {
    copy_ = design_;
    for (const Binding& b : bindings_) writeFloat(b.control, copy_.*b.field);
}

void ParamDialog::readEdits() {
    for (const Binding& b : bindings_) {
        float v = 0;
        if (!readFloat(b.control, v)) return;
        copy_.*b.field = v;
    }
}

void ParamDialog::onOk() {
    store();
    endDialog(ui::IdOk);
}

bool ParamDialog::onCommand(int id, ui::Notify code) {
    // The AC dialog's OK button has its own identifier.
    if (id == 1346 && code == ui::Notify::Clicked && templateId() == 240) {
        onOk();
        return true;
    }
    return false;
}

AcInputDialog::AcInputDialog(D& d, ui::Dialog* p)
    : ParamDialog(240, d, p, {{1347, &D::VacMin}, {1348, &D::VacMax}, {1349, &D::fLine}}) {}

EfficiencyDialog::EfficiencyDialog(D& d, ui::Dialog* p) : ParamDialog(241, d, p, {{1030, &D::Efficiency}}) {}

// ---------------------------------------------------------------- input capacitor

InputCapacitorDialog::InputCapacitorDialog(D& d, ui::Dialog* p) : ParamDialog(242, d, p, {}) {}

void InputCapacitorDialog::onInitDialog() {
    copy_ = design_;
    addItem(kWay, "纹波百分比");
    addItem(kWay, "指定容量");
    select(kWay, 0);
    setText(kLabel, "电压纹波百分比");
    setText(kUnit, "%");
    writeFloat(kEdit, copy_.PerVinpp);
}

void InputCapacitorDialog::showWay(bool capacitance) {
    setText(kLabel, capacitance ? "电容容量" : "纹波百分比");
    setText(kUnit, capacitance ? "uF" : "%");
    writeFloat(kEdit, capacitance ? copy_.Cin : copy_.PerVinpp);
}

bool InputCapacitorDialog::onCommand(int id, ui::Notify code) {
    if (id == kWay && code == ui::Notify::SelChange) {
        showWay(selected(kWay) == 1);
        return true;
    }
    return false;
}

void InputCapacitorDialog::store() {
    const bool capacitance = selected(kWay) == 1;
    bindings_ = {{kEdit, capacitance ? &D::Cin : &D::PerVinpp}};
    readEdits();
    copy_.CinMode = capacitance ? 1 : 0;
    design_ = copy_;
}

// ---------------------------------------------------------------- IC output

IcOutputDialog::IcOutputDialog(D& d, ui::Dialog* p)
    : ParamDialog(243, d, p, {{1030, &D::fosc}, {1031, &D::Dmax}}) {}

void IcOutputDialog::onInitDialog() {
    ParamDialog::onInitDialog();
    setText(1356, "工作频率");
    for (int label : {1369, 1370}) setText(label, "---------");
    for (int edit : {1368, 1033}) {
        writeInt(edit, 0);
        enable(edit, false);
    }
}

SwitchDialog::SwitchDialog(D& d, ui::Dialog* p) : ParamDialog(244, d, p, {{1030, &D::VMos}, {1031, &D::Vswy}}) {}

LeakageDialog::LeakageDialog(D& d, ui::Dialog* p)
    : ParamDialog(245, d, p, {{1030, &D::PerLLK}, {1031, &D::Vz}}) {}

OutputDiodeDialog::OutputDiodeDialog(D& d, ui::Dialog* p) : ParamDialog(247, d, p, {{1030, &D::Vdo}}) {}

OutputCapacitorDialog::OutputCapacitorDialog(D& d, ui::Dialog* p) : ParamDialog(248, d, p, {{1030, &D::Esr}}) {}

OutputDialog::OutputDialog(D& d, ui::Dialog* p)
    : ParamDialog(250, d, p, {{1041, &D::Io}, {1047, &D::Vo}, {1056, &D::Vopp}}) {}

AuxDiodeDialog::AuxDiodeDialog(D& d, ui::Dialog* p) : ParamDialog(251, d, p, {{1030, &D::Vdf}}) {}

AuxVoltageDialog::AuxVoltageDialog(D& d, ui::Dialog* p) : ParamDialog(252, d, p, {{1030, &D::Vf}}) {}

// ---------------------------------------------------------------- transformer

TransformerDialog::TransformerDialog(D& d, ui::Dialog* p)
    : ParamDialog(246, d, p,
                  {{kAe, &D::Ae}, {kBpk, &D::Bpk}, {kBsat, &D::Bsat}, {kLe, &D::Le}, {kRipple, &D::r},
                   {kVor, &D::Vor}, {kCmil, &D::Cmil}}) {}

void TransformerDialog::onInitDialog() {
    copy_ = design_;
    addItem(kMode, "连续(CCM)");
    addItem(kMode, "断续(DCM)");
    select(kMode, copy_.Mode == 1 ? 1 : 0);
    setTextColor(kCore, {255, 0, 0});
    refresh();
}

void TransformerDialog::showMode(bool dcm) {
    setText(kRippleLabel, dcm ? "死区比例" : "纹波率");
    setText(kRange, dcm ? "%" : "0-2");
    writeFloat(kRipple, dcm ? copy_.Tdie : copy_.r);
}

void TransformerDialog::refresh() {
    for (const Binding& b : bindings_)
        if (b.control != kRipple) writeFloat(b.control, copy_.*b.field);
    showMode(selected(kMode) == 1);
    setText(kCore, copy_.CoreName);
}

bool TransformerDialog::onCommand(int id, ui::Notify code) {
    if (id == kMode && code == ui::Notify::SelChange) {
        showMode(selected(kMode) == 1);
        return true;
    }
    if ((id == kAe || id == kLe) && code == ui::Notify::Changed) {
        // Typing a core by hand: it is no longer the picked one.
        copy_.CoreName = kUserCore;
        setText(kCore, copy_.CoreName);
        return true;
    }
    if (id == kPick && code == ui::Notify::Clicked) {
        pickCore();
        return true;
    }
    return false;
}

void TransformerDialog::takeCore(float ae, float le) {
    copy_.Ae = ae;
    copy_.Le = le;
}

void TransformerDialog::setCoreName(const std::string& text) { copy_.CoreName = text; }

void TransformerDialog::pickCore() {
    services::pickCoreInto(*this);
    refresh();
}

void TransformerDialog::store() {
    const bool dcm = selected(kMode) == 1;
    for (Binding& b : bindings_)
        if (b.control == kRipple) b.field = dcm ? &D::Tdie : &D::r;
    readEdits();
    copy_.Mode = dcm ? 1 : 0;
    design_ = copy_;
}

std::unique_ptr<ParamDialog> makeParamDialog(int templateId, FlybackDesign& d, ui::Dialog* parent) {
    switch (templateId) {
    case 240: return std::make_unique<AcInputDialog>(d, parent);
    case 241: return std::make_unique<EfficiencyDialog>(d, parent);
    case 242: return std::make_unique<InputCapacitorDialog>(d, parent);
    case 243: return std::make_unique<IcOutputDialog>(d, parent);
    case 244: return std::make_unique<SwitchDialog>(d, parent);
    case 245: return std::make_unique<LeakageDialog>(d, parent);
    case 246: return std::make_unique<TransformerDialog>(d, parent);
    case 247: return std::make_unique<OutputDiodeDialog>(d, parent);
    case 248: return std::make_unique<OutputCapacitorDialog>(d, parent);
    case 250: return std::make_unique<OutputDialog>(d, parent);
    case 251: return std::make_unique<AuxDiodeDialog>(d, parent);
    case 252: return std::make_unique<AuxVoltageDialog>(d, parent);
    default: return nullptr;
    }
}

} // namespace kv::graphic
