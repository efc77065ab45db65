#include "graphic_flyback/ParamDialogs.h"

#include "services/CorePick.h"
#include "services/Settings.h"
#include "services/Templates.h"

namespace kv::graphic {

using D = FlybackDesign;

namespace {
using Fields = std::vector<form::Field>;

// The dialogs that only show their fields and read them back, with their fields over the copy.
struct Plain {
    int templateId;
    Fields (*fields)(D& copy);
};
const Plain kPlain[] = {
    {tpl::kAcInput, [](D& c) -> Fields { return {{1347, c.VacMin}, {1348, c.VacMax}, {1349, c.fLine}}; }},
    {tpl::kEfficiency, [](D& c) -> Fields { return {{1030, c.Efficiency}}; }},
    {tpl::kSwitch, [](D& c) -> Fields { return {{1030, c.VMos}, {1031, c.Vswy}}; }},
    {tpl::kLeakage, [](D& c) -> Fields { return {{1030, c.PerLLK}, {1031, c.Vz}}; }},
    {tpl::kOutputDiode, [](D& c) -> Fields { return {{1030, c.Vdo}}; }},
    {tpl::kOutputCapacitor, [](D& c) -> Fields { return {{1030, c.Esr}}; }},
    {tpl::kOutput, [](D& c) -> Fields { return {{1041, c.Io}, {1047, c.Vo}, {1056, c.Vopp}}; }},
    {tpl::kAuxDiode, [](D& c) -> Fields { return {{1030, c.Vdf}}; }},
    {tpl::kAuxVoltage, [](D& c) -> Fields { return {{1030, c.Vf}}; }},
};
} // namespace

// The policy does not matter here: a parameter dialog runs no calculation.
ParamDialog::ParamDialog(int templateId, FlybackDesign& design, ui::Dialog* parent, Fields (*fields)(D& copy))
    : FormWindow(templateId, parent, form::kClassic), design_(design), copy_(design) {
    if (fields) setFields(fields(copy_));
}

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
    if (id == 1346 && code == ui::Notify::Clicked && templateId() == tpl::kAcInput) {
        onOk();
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- input capacitor

InputCapacitorDialog::InputCapacitorDialog(D& d, ui::Dialog* p)
    : ParamDialog(tpl::kInputCapacitor, d, p) {}

void InputCapacitorDialog::onInitDialog() {
    copy_ = design_;
    for (const char* way : kCinWays) addItem(kWay, way);
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
    : ParamDialog(tpl::kIcOutput, d, p, [](D& c) -> Fields { return {{1030, c.fosc}, {1031, c.Dmax}}; }) {}

void IcOutputDialog::onInitDialog() {
    ParamDialog::onInitDialog();
    setText(1356, "工作频率");
    for (int label : {1369, 1370}) setText(label, "---------");
    for (int edit : {1368, 1033}) {
        writeInt(edit, 0);
        enable(edit, false);
    }
}

// ---------------------------------------------------------------- transformer

TransformerDialog::TransformerDialog(D& d, ui::Dialog* p)
    : ParamDialog(tpl::kTransformer, d, p) {
    setFields({{kAe, copy_.Ae}, {kBpk, copy_.Bpk}, {kBsat, copy_.Bsat}, {kLe, copy_.Le}, {kRipple, copy_.r},
               {kVor, copy_.Vor}, {kCmil, copy_.Cmil}});
}

void TransformerDialog::onInitDialog() {
    copy_ = design_;
    for (const char* mode : kModeEntries) addItem(kMode, mode);
    select(kMode, copy_.Mode == 1 ? 1 : 0);
    setTextColor(kCore, ui::kRed);
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
    case tpl::kInputCapacitor: return std::make_unique<InputCapacitorDialog>(d, parent);
    case tpl::kIcOutput: return std::make_unique<IcOutputDialog>(d, parent);
    case tpl::kTransformer: return std::make_unique<TransformerDialog>(d, parent);
    default: break;
    }
    for (const Plain& p : kPlain)
        if (p.templateId == templateId) return std::make_unique<ParamDialog>(templateId, d, parent, p.fields);
    return nullptr;
}

} // namespace kv::graphic
