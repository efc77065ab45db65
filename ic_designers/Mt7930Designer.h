// "Korvane For 美芯晟MT7930": the MT7930 LED driver designer. Recomputes on
// every edit, judges the design against the controller's limits and writes
// the verdict, or a tip for the input in focus, into its tips panel.
#pragma once

#include "ic_designers/LiveDesigner.h"
#include "ic_designers/Mt7930Calc.h"
#include "services/Templates.h"

namespace kv::ic {

class Mt7930Designer : public LiveDesigner {
public:
    enum : int {
        kTemplate = tpl::kMt7930, kCore = 1389, kTips = 1306, kFrame = 1415, kPicture = 279,
        kVacMin = 1361, kVacMax = 1362, kVo = 1413, kIo = 1414, kVdd = 1365, kD = 1366, kVor = 1367,
        kVmos = 1368, kVf = 1369, kVov = 1370, kEff = 1371, kAe = 1372, kBpk = 1373, kJ = 1374,
        kL = 1390, kNp = 1391, kNs = 1392, kNaux = 1393, kN = 1394, kDp = 1395, kDs = 1396, kTonMin = 1397,
        kTdem = 1398, kTidle = 1399, kFmin = 1400, kFmax = 1401, kIpk = 1402, kIspk = 1403, kRcs = 1411,
        kKdsen = 1412,
    };
    static constexpr const char* kUnreadable = "输入参数错误!";
    static constexpr const char* kError = "Error!输入的什么参数?无法识别,请检查!";
    static constexpr const char* kFresh = "注意:仅仅针对MT7930应用!";
    static constexpr const char* kOk = "OK !    Korvane For MT7930!     GoodLuck!";
    static constexpr const char* kVerdictStart = "o'My God!   ";

    explicit Mt7930Designer(ui::Dialog* parent = nullptr);
    void onPaint(ui::Canvas& c) override;

    // The inputs drawn red for the limits the last computation found broken.
    bool flagged(int edit) const;

    mt7930::Inputs in;
    mt7930::Results out;

private:
    void opened() override;
    void compute() override;
    void finished(const form::Run& r) override;
    bool onOtherCommand(int id, ui::Notify code) override;

    std::vector<int> flagged_;
    bool fresh_ = false; // the note of a fresh window stands until the first recomputation
};

} // namespace kv::ic
