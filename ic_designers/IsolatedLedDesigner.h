// "LED-高P/低P隔离": the transformer of a primary-side constant-current
// flyback LED driver, without PFC or as a single-stage PFC; each family has
// its own inputs and defaults.
#pragma once

#include "ic_designers/IsolatedLedCalc.h"
#include "ic_designers/LiveDesigner.h"
#include "services/Templates.h"

namespace kv::ic {

class IsolatedLedDesigner : public LiveDesigner {
public:
    enum : int {
        kTemplate = tpl::kIsolatedLed, kCalc = ui::IdOk, kCore = 3, kFamily = 1451, kFamilyNote = 1447, kFamilyLabel = 1459,
        kVacMin = 1448, kVacMax = 1449, kVled = 1450, kIo = 1033, kFmin = 1034, kVor = 1035, kVorLabel = 1455,
        kVfb = 1036, kEff = 1037, kAe = 1038, kBpk = 1039, kDmax = 1040, kDmaxLabel = 1452, kDout = 1041,
        kDoutLabel = 1453, kVbmin = 1042, kVbminLabel = 1456, kVf = 1043,
        kL = 1201, kNp = 1202, kNs = 1203, kNfb = 1046, kN = 1047, kIpk = 1048, kIspk = 1049, kLast = 1050,
        kLastLabel = 1454,
    };
    static constexpr const char* kUnreadable = "输入错误，请更正后重新计算!";

    explicit IsolatedLedDesigner(ui::Dialog* parent = nullptr);
    isoled::Family family() const { return family_; }

    isoled::Inputs in;
    isoled::Results out;
    float last = 0; // the reflected voltage (no PFC) or the highest frequency (single-stage PFC)

private:
    void opened() override;
    void compute() override;
    bool onOtherCommand(int id, ui::Notify code) override;
    void beforePick() override;
    void familyChanged();

    isoled::Family family_ = isoled::Family::NoPfc;
};

} // namespace kv::ic
