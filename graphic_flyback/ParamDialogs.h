// The twelve parameter dialogs of the graphical flyback: forms over a copy
// of the design record, shown as they open and read in order on OK. A field
// that holds no number, or a range upside down, is named and the dialog
// stays open; otherwise the copy goes into the design and the dialog closes.
// Nine only show and read their fields; three have particulars of their own.
#pragma once

#include "graphic_flyback/FlybackDesign.h"
#include "form/Form.h"
#include "services/CorePick.h"

#include <memory>
#include <vector>

namespace kv::graphic {

// The entries of the transformer's mode list (Mode 0, 1) and of the input
// capacitor's list of ways (CinMode 0, 1).
inline constexpr const char* kModeEntries[2] = {"连续(CCM)", "断续(DCM)"};
inline constexpr const char* kCinWays[2] = {"纹波百分比", "指定容量"};

class ParamDialog : public form::FormWindow {
public:
    // The AC dialog's OK button has its own identifier.
    static constexpr int kAcOk = 1346;
    // A dialog of `fields` over the copy (none yet when null), with the ranges they make.
    ParamDialog(int templateId, FlybackDesign& design, ui::Dialog* parent,
                std::vector<form::Field> (*fields)(FlybackDesign& copy) = nullptr,
                std::vector<form::Order> orders = {});
    void onInitDialog() override;
    void onOk() override;

protected:
    // The copy was read; what the dialog adds before it goes into the design.
    virtual void accepted() {}
    void finished(const form::Run& r) override;
    // Field `control` shows `value` from now on; what it holds now is kept in
    // the value it showed before, when it is a number.
    void rebind(int control, form::Number value);
    int okButton() const;

    FlybackDesign& design_;
    FlybackDesign copy_;
};

class InputCapacitorDialog : public ParamDialog {
public:
    enum : int { kWay = 1329, kLabel = 1382, kUnit = 1383, kEdit = 1030 };
    InputCapacitorDialog(FlybackDesign& d, ui::Dialog* parent);
    void onInitDialog() override;

private:
    bool onOtherCommand(int id, ui::Notify code) override;
    void showWay(bool capacitance);
    void accepted() override;
};

class IcOutputDialog : public ParamDialog {
public:
    IcOutputDialog(FlybackDesign& d, ui::Dialog* parent);
    void onInitDialog() override;
};

class TransformerDialog : public ParamDialog, public services::CoreOpener {
public:
    enum : int {
        kMode = 1350, kAe = 1029, kLe = 1031, kBpk = 1033, kBsat = 1037, kRipple = 1045,
        kVor = 1039, kCmil = 1027, kRippleLabel = 1216, kRange = 1351, kCore = 1374, kPick = 3, kAmbient = 1041,
    };
    TransformerDialog(FlybackDesign& d, ui::Dialog* parent);
    void onInitDialog() override;
    // The core database hands a picked core over through these.
    void takeCore(float ae, float le) override;
    void setCoreName(const std::string& text) override;
    void takeTableCore(const magnetics::TableCore& core) override;
    // The design as the dialog's edits would make it, recalculated.
    std::optional<magnetics::FlybackPoint> adviserPoint() override;

private:
    // The edit of the ripple ratio holds r in CCM, the dead time in DCM.
    void bindRipple(bool dcm);
    bool onOtherCommand(int id, ui::Notify code) override;
    void showMode(bool dcm);
    void accepted() override;
    void pickCore();
};

// The parameter dialog of a template (tpl::kAcInput to tpl::kAuxVoltage), or nullptr.
std::unique_ptr<ParamDialog> makeParamDialog(int templateId, FlybackDesign& d, ui::Dialog* parent);

} // namespace kv::graphic
