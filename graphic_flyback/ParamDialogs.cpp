#include "graphic_flyback/ParamDialogs.h"

#include "services/CorePick.h"
#include "services/Settings.h"

namespace kv::graphic {

using D = FlybackDesign;

// The policy does not matter here: a parameter dialog runs no calculation.
ParamDialog::ParamDialog(int templateId, FlybackDesign& design, ui::Dialog* parent)
    : FormWindow(templateId, parent, form::kClassic), design_(design), copy_(design) {}

void ParamDialog::onInitDialog() {
    copy_ = design_;
    FormWindow::onInitDialog();
}

void ParamDialog::onOk() {
    store();
    endDialog(ui::IdOk);
}

bool ParamDialog::onOtherCommand(int id, ui::Notify code) {
    // The AC dialog's OK button has its own identifier.
    if (id == 1346 && code == ui::Notify::Clicked && templateId() == 240) {
        onOk();
        return true;
    }
    return false;
}

AcInputDialog::AcInputDialog(D& d, ui::Dialog* p)
    : ParamDialog(240, d, p) {
    setFields({{1347, copy_.VacMin}, {1348, copy_.VacMax}, {1349, copy_.fLine}});
}

EfficiencyDialog::EfficiencyDialog(D& d, ui::Dialog* p)
    : ParamDialog(241, d, p) {
    setFields({{1030, copy_.Efficiency}});
}

// ---------------------------------------------------------------- input capacitor

InputCapacitorDialog::InputCapacitorDialog(D& d, ui::Dialog* p)
    : ParamDialog(242, d, p) {}

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

bool InputCapacitorDialog::onOtherCommand(int id, ui::Notify code) {
    if (id == kWay && code == ui::Notify::SelChange) {
        showWay(selected(kWay) == 1);
        return true;
    }
    return false;
}

void InputCapacitorDialog::store() {
    const bool capacitance = selected(kWay) == 1;
    setFields({{kEdit, capacitance ? copy_.Cin : copy_.PerVinpp}});
    readFields();
    copy_.CinMode = capacitance ? 1 : 0;
    design_ = copy_;
}

// ---------------------------------------------------------------- IC output

IcOutputDialog::IcOutputDialog(D& d, ui::Dialog* p)
    : ParamDialog(243, d, p) {
    setFields({{1030, copy_.fosc}, {1031, copy_.Dmax}});
}

void IcOutputDialog::onInitDialog() {
    ParamDialog::onInitDialog();
    setText(1356, "工作频率");
    for (int label : {1369, 1370}) setText(label, "---------");
    for (int edit : {1368, 1033}) {
        writeInt(edit, 0);
        enable(edit, false);
    }
}

SwitchDialog::SwitchDialog(D& d, ui::Dialog* p)
    : ParamDialog(244, d, p) {
    setFields({{1030, copy_.VMos}, {1031, copy_.Vswy}});
}

LeakageDialog::LeakageDialog(D& d, ui::Dialog* p)
    : ParamDialog(245, d, p) {
    setFields({{1030, copy_.PerLLK}, {1031, copy_.Vz}});
}

OutputDiodeDialog::OutputDiodeDialog(D& d, ui::Dialog* p)
    : ParamDialog(247, d, p) {
    setFields({{1030, copy_.Vdo}});
}

OutputCapacitorDialog::OutputCapacitorDialog(D& d, ui::Dialog* p)
    : ParamDialog(248, d, p) {
    setFields({{1030, copy_.Esr}});
}

OutputDialog::OutputDialog(D& d, ui::Dialog* p)
    : ParamDialog(250, d, p) {
    setFields({{1041, copy_.Io}, {1047, copy_.Vo}, {1056, copy_.Vopp}});
}

AuxDiodeDialog::AuxDiodeDialog(D& d, ui::Dialog* p)
    : ParamDialog(251, d, p) {
    setFields({{1030, copy_.Vdf}});
}

AuxVoltageDialog::AuxVoltageDialog(D& d, ui::Dialog* p)
    : ParamDialog(252, d, p) {
    setFields({{1030, copy_.Vf}});
}

// ---------------------------------------------------------------- transformer

TransformerDialog::TransformerDialog(D& d, ui::Dialog* p)
    : ParamDialog(246, d, p) {
    setFields({{kAe, copy_.Ae}, {kBpk, copy_.Bpk}, {kBsat, copy_.Bsat}, {kLe, copy_.Le}, {kRipple, copy_.r},
               {kVor, copy_.Vor}, {kCmil, copy_.Cmil}});
}

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
    for (const form::Field& f : fields())
        if (f.control != kRipple) writeField(f);
    showMode(selected(kMode) == 1);
    setText(kCore, copy_.CoreName);
}

bool TransformerDialog::onOtherCommand(int id, ui::Notify code) {
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
    fieldOf(kRipple)->value = dcm ? form::Number(copy_.Tdie) : form::Number(copy_.r);
    readFields();
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
