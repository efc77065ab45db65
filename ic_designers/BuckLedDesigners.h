// "士兰 SD670X…" and "士兰 SD690X…": the non-isolated buck LED driver
// designers, with and without a bulk capacitor. Both compute on their button
// and refuse an LED voltage at or above the crest of the lowest mains.
#pragma once

#include "ic_designers/BuckLedCalc.h"
#include "ic_designers/LiveDesigner.h"
#include "services/Templates.h"

namespace kv::ic {

class BuckLedDesigner : public LiveDesigner {
public:
    // Controls both windows share.
    enum : int { kVin = 1361, kVinMax = 1362, kVo = 1047, kEff = 1019, kAe = 1029, kCore = 1461 };

protected:
    // The controls of the inputs whose place differs between the two windows.
    struct Places {
        int calc, io, fmin, b;
    };
    BuckLedDesigner(int templateId, ui::Dialog* parent, Places places, const char* unreadable,
                    buckled::Inputs& in, std::vector<form::Field> own);
    // The driver's own formulas, once the LED voltage is under the crest.
    virtual void design() = 0;

private:
    // An LED voltage at or above the crest of the lowest mains stops, naming both.
    void compute() override;
    buckled::Inputs& in_;
};

class Sd670xDesigner : public BuckLedDesigner {
public:
    enum : int { kTemplate = tpl::kSd670x, kCalc = 1416, kIo = 1033, kFmin = 1035, kB = 1037, kL = 1031, kN = 1034 };
    static constexpr const char* kUnreadable = "参数错误!";

    explicit Sd670xDesigner(ui::Dialog* parent = nullptr);

    buckled::Sd670xInputs in;
    buckled::Sd670xResults out;

private:
    void design() override;
};

class Sd690xDesigner : public BuckLedDesigner {
public:
    enum : int {
        kTemplate = tpl::kSd690x, kCalc = 1363, kIo = 1041, kFmin = 1462, kB = 1463, kVfb = 1050,
        kL = 1031, kN = 1034, kNa = 1040, kIpk = 1032,
    };
    static constexpr const char* kUnreadable = "输入参数错误，请更正后重新计算！";

    explicit Sd690xDesigner(ui::Dialog* parent = nullptr);

    buckled::Sd690xInputs in;
    buckled::Sd690xResults out;

private:
    void design() override;
};

} // namespace kv::ic
