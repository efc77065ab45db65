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
    std::vector<form::Order> orders = {};
};
enum : int { kVacMin = 1347, kVacMax = 1348 };
const Plain kPlain[] = {
    {tpl::kAcInput, [](D& c) -> Fields { return {{kVacMin, c.VacMin}, {kVacMax, c.VacMax}, {1349, c.fLine}}; },
     {{kVacMin, kVacMax}}},
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

// OK is the dialog's one calculation: read (each field named when it holds no
// number), the ranges, then the copy into the design. No pause box.
ParamDialog::ParamDialog(int templateId, FlybackDesign& design, ui::Dialog* parent, Fields (*fields)(D& copy),
                         std::vector<form::Order> orders)
    : FormWindow(templateId, parent, form::kClassic), design_(design), copy_(design) {
    if (fields) setFields(fields(copy_));
    setOrders(std::move(orders));
    setCalculations({{.button = okButton(),
                      .run =
                          [this] {
                              accepted();
                              design_ = copy_;
                              return form::Outcome{};
                          },
                      .pause = form::Pause::None}});
}

void ParamDialog::onInitDialog() {
    copy_ = design_;
    FormWindow::onInitDialog();
}

int ParamDialog::okButton() const { return templateId() == tpl::kAcInput ? kAcOk : ui::IdOk; }

// Enter is OK whatever the button's identifier.
void ParamDialog::onOk() { run(okButton()); }

void ParamDialog::finished(const form::Run& r) {
    if (r.shown != form::Shown::None) endDialog(ui::IdOk);
}

void ParamDialog::rebind(int control, form::Number value) {
    form::Field* f = fieldOf(control);
    double typed = 0;
    if (ui::parseNumber(text(control), typed)) f->value.set(typed);
    f->value = value;
    writeField(*f);
}

// ---------------------------------------------------------------- input capacitor

InputCapacitorDialog::InputCapacitorDialog(D& d, ui::Dialog* p)
    : ParamDialog(tpl::kInputCapacitor, d, p) {
    setFields({{kEdit, copy_.PerVinpp}});
}

void InputCapacitorDialog::onInitDialog() {
    copy_ = design_;
    for (const char* way : kCinWays) addItem(kWay, way);
    select(kWay, 0);
    FormWindow::onInitDialog();
    setText(kLabel, "电压纹波百分比");
    setText(kUnit, "%");
}

void InputCapacitorDialog::showWay(bool capacitance) {
    setText(kLabel, capacitance ? "电容容量" : "纹波百分比");
    setText(kUnit, capacitance ? "uF" : "%");
    rebind(kEdit, capacitance ? form::Number(copy_.Cin) : form::Number(copy_.PerVinpp));
}

bool InputCapacitorDialog::onOtherCommand(int id, ui::Notify code) {
    if (id == kWay && code == ui::Notify::SelChange) {
        showWay(selected(kWay) == 1);
        return true;
    }
    return false;
}

void InputCapacitorDialog::accepted() { copy_.CinMode = selected(kWay) == 1 ? 1 : 0; }

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
               {kVor, copy_.Vor}, {kCmil, copy_.Cmil}, {kAmbient, copy_.Ta}});
}

void TransformerDialog::onInitDialog() {
    copy_ = design_;
    for (const char* mode : kModeEntries) addItem(kMode, mode);
    const bool dcm = copy_.Mode == 1;
    select(kMode, dcm ? 1 : 0);
    fieldOf(kRipple)->value = dcm ? form::Number(copy_.Tdie) : form::Number(copy_.r);
    FormWindow::onInitDialog();
    showMode(dcm);
    setTextColor(kCore, ui::kRed);
    setText(kCore, copy_.CoreName);
}

void TransformerDialog::showMode(bool dcm) {
    setText(kRippleLabel, dcm ? "死区比例" : "纹波率");
    setText(kRange, dcm ? "%" : "0-2");
    rebind(kRipple, dcm ? form::Number(copy_.Tdie) : form::Number(copy_.r));
}

bool TransformerDialog::onOtherCommand(int id, ui::Notify code) {
    if (id == kMode && code == ui::Notify::SelChange) {
        showMode(selected(kMode) == 1);
        return true;
    }
    if ((id == kAe || id == kLe) && code == ui::Notify::Changed) {
        // Typing a core by hand: it is no longer the picked one.
        copy_.CoreName = kUserCore;
        copy_.Core.reset();
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

void TransformerDialog::setCoreName(const std::string& text) {
    copy_.CoreName = text;
    if (text == kUserCore) copy_.Core.reset();
}

void TransformerDialog::takeTableCore(const magnetics::TableCore& core) { copy_.Core = core; }

void TransformerDialog::bindRipple(bool dcm) {
    fieldOf(kRipple)->value = dcm ? form::Number(copy_.Tdie) : form::Number(copy_.r);
}

std::optional<magnetics::FlybackPoint> TransformerDialog::adviserPoint() {
    const FlybackDesign kept = copy_;
    const bool dcm = selected(kMode) == 1;
    bindRipple(dcm);
    readQuietly(); // the edits that hold numbers, up to the first that does not
    FlybackDesign trial = copy_;
    copy_ = kept;
    trial.Mode = dcm ? 1 : 0;
    recalculate(trial, Derive::FromVor);
    return graphic::adviserPoint(trial);
}

// A pick changes Ae, Le and the core's name only: whatever else was typed stays.
void TransformerDialog::pickCore() {
    if (services::pickCoreInto(*this)) {
        writeField(*fieldOf(kAe));
        writeField(*fieldOf(kLe));
    }
    setText(kCore, copy_.CoreName);
}

void TransformerDialog::accepted() { copy_.Mode = selected(kMode) == 1 ? 1 : 0; }

std::unique_ptr<ParamDialog> makeParamDialog(int templateId, FlybackDesign& d, ui::Dialog* parent) {
    switch (templateId) {
    case tpl::kInputCapacitor: return std::make_unique<InputCapacitorDialog>(d, parent);
    case tpl::kIcOutput: return std::make_unique<IcOutputDialog>(d, parent);
    case tpl::kTransformer: return std::make_unique<TransformerDialog>(d, parent);
    default: break;
    }
    for (const Plain& p : kPlain)
        if (p.templateId == templateId) return std::make_unique<ParamDialog>(templateId, d, parent, p.fields, p.orders);
    return nullptr;
}

} // namespace kv::graphic
