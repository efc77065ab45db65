// The twelve parameter dialogs of the graphical flyback: forms over a copy
// of the design record, shown as they open and read in order on OK.
#pragma once

#include "graphic_flyback/FlybackDesign.h"
#include "form/Form.h"
#include "services/CorePick.h"

#include <memory>
#include <vector>

namespace kv::graphic {

class ParamDialog : public form::FormWindow {
public:
    ParamDialog(int templateId, FlybackDesign& design, ui::Dialog* parent);
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

class AcInputDialog : public ParamDialog {
public:
    AcInputDialog(FlybackDesign& d, ui::Dialog* parent);
};

class EfficiencyDialog : public ParamDialog {
public:
    EfficiencyDialog(FlybackDesign& d, ui::Dialog* parent);
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

class SwitchDialog : public ParamDialog {
public:
    SwitchDialog(FlybackDesign& d, ui::Dialog* parent);
};

class LeakageDialog : public ParamDialog {
public:
    LeakageDialog(FlybackDesign& d, ui::Dialog* parent);
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

class OutputDiodeDialog : public ParamDialog {
public:
    OutputDiodeDialog(FlybackDesign& d, ui::Dialog* parent);
};

class OutputCapacitorDialog : public ParamDialog {
public:
    OutputCapacitorDialog(FlybackDesign& d, ui::Dialog* parent);
};

class OutputDialog : public ParamDialog {
public:
    OutputDialog(FlybackDesign& d, ui::Dialog* parent);
};

class AuxDiodeDialog : public ParamDialog {
public:
    AuxDiodeDialog(FlybackDesign& d, ui::Dialog* parent);
};

class AuxVoltageDialog : public ParamDialog {
public:
    AuxVoltageDialog(FlybackDesign& d, ui::Dialog* parent);
};

// The parameter dialog of a template (240 to 252), or nullptr.
std::unique_ptr<ParamDialog> makeParamDialog(int templateId, FlybackDesign& d, ui::Dialog* parent);

} // namespace kv::graphic
