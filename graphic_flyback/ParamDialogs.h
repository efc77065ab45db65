// The twelve parameter dialogs of the graphical flyback: forms over a copy
// of the design record, shown as they open and read in order on OK. Nine
// only show and read their fields; three have particulars of their own.
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
    // A dialog of `fields` over the copy, or none yet.
    ParamDialog(int templateId, FlybackDesign& design, ui::Dialog* parent,
                std::vector<form::Field> (*fields)(FlybackDesign& copy) = nullptr);
    void onInitDialog() override;
    void onOk() override;

protected:
    bool onOtherCommand(int id, ui::Notify code) override;
    // Reads the edits in order into the dialog's copy (up to the first that
    // holds no number) and copies the values into the design.
    virtual void store() {
        readFields();
        design_ = copy_;
    }

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
    void store() override;
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
        kVor = 1039, kCmil = 1027, kRippleLabel = 1216, kRange = 1351, kCore = 1374, kPick = 3,
    };
    TransformerDialog(FlybackDesign& d, ui::Dialog* parent);
    void onInitDialog() override;
    // The core database hands a picked core over through these.
    void takeCore(float ae, float le) override;
    void setCoreName(const std::string& text) override;

private:
    bool onOtherCommand(int id, ui::Notify code) override;
    void showMode(bool dcm);
    void refresh();
    void store() override;
    void pickCore();
};

// The parameter dialog of a template (tpl::kAcInput to tpl::kAuxVoltage), or nullptr.
std::unique_ptr<ParamDialog> makeParamDialog(int templateId, FlybackDesign& d, ui::Dialog* parent);

} // namespace kv::graphic
