// The twelve parameter dialogs of the graphical flyback: each copies its
// fields from the design record, and on OK reads its edits in order back.
#pragma once

#include "graphic_flyback/FlybackDesign.h"
#include "platform/ui/Dialog.h"
#include "services/CorePick.h"

#include <memory>
#include <vector>

namespace kv::graphic {

class ParamDialog : public ui::Dialog {
public:
    struct Binding {
        int control;
        float FlybackDesign::*field;
    };
    ParamDialog(int templateId, FlybackDesign& design, ui::Dialog* parent, std::vector<Binding> bindings);
    void onInitDialog() override;
    void onOk() override;
    bool onCommand(int id, ui::Notify code) override;

protected:
    // Reads the edits in order into the dialog's copy; stops at the first that
    // holds no number (the ones read before keep their new values).
    void readEdits();
    // Reads the edits and copies the values into the design.
    virtual void store() {
        readEdits();
        design_ = copy_;
    }

    FlybackDesign& design_;
    FlybackDesign copy_;
    std::vector<Binding> bindings_;
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
    bool onCommand(int id, ui::Notify code) override;

private:
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
    bool onCommand(int id, ui::Notify code) override;
    // The core database hands a picked core over through these.
    void takeCore(float ae, float le) override;
    void setCoreName(const std::string& text) override;

private:
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
