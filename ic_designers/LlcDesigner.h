// The LLC resonant half-bridge designer (dialog 282): the tank by
// first-harmonic approximation, the K7395 timing parts, the gain family
// with its cursor readout, and the circuit picture.
#pragma once

#include "ic_designers/LlcCalc.h"
#include "ic_designers/RecordDesigner.h"
#include "services/Templates.h"

namespace kv::ic {

class LlcDesigner : public RecordDesigner<LlcDesign> {
public:
    static constexpr int kTemplate = tpl::kLlc;
    static constexpr int kTank = 1444;        // "计算谐振腔(&C)"
    static constexpr int kController = 1446;  // "计算K7395(&L)"
    static constexpr int kCore = 1465;        // "选择磁芯"
    static constexpr int kAe = 1038;
    static constexpr int kVinMax = 1362, kVinNom = 1033, kVinMin = 1361;
    static constexpr int kFswLow = 1087, kFswHigh = 1088, kFss = 1090;
    static constexpr int kNpSet = 1085, kNpMin = 1066, kNp = 1084; // turns: preset, least, wound
    static constexpr int kScanQ = 1086;       // "扫描Q值曲线"
    static constexpr int kReadout = 1464;
    static constexpr int kPictureFrame = 1443;
    static constexpr int kPicture = 293;      // bitmap of the LLC circuit
    static constexpr const char* kBadTank = "注意：参数有错误，请更正后重新计算!";
    static constexpr const char* kBadController = "参数错误,请检查!";
    static constexpr const char* kBadScan = "输入错误!";

    explicit LlcDesigner(ui::Dialog* parent);

    void onInitDialog() override;
    void onPaint(ui::Canvas& c) override;
    void onMouseMove(int x, int y) override;

    bool plotValid() const { return plot_; }
    bool controllerValid() const { return controller_; }

protected:
    void finished(const form::Run& r) override;
    void corePicked(bool taken) override;
    void resultsStale() override;
    bool onOtherCommand(int id, ui::Notify code) override;

private:
    void invalidatePlot();
    bool plot_ = false;        // the tank results are drawn
    bool controller_ = false;  // the K7395 parts are drawn
};

} // namespace kv::ic
