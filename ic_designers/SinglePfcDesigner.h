// "K7350单级PFC": the single-stage PFC flyback designer. Recomputes on every
// edit and draws the switching frequency over half a mains cycle at the
// lowest and the highest input, coarse at once and fine a second later.
#pragma once

#include "ic_designers/LiveDesigner.h"
#include "ic_designers/SinglePfcCalc.h"
#include "services/CorePick.h"
#include "services/Templates.h"

namespace kv::ic {

class SinglePfcDesigner : public LiveDesigner, public services::CoreOpener {
public:
    enum : int {
        kTemplate = tpl::kSinglePfc, kCore = 1380, kStatus = 1060, kPicture = 274, kFineTimer = 1,
        kVinMin = 1361, kVinMax = 1362, kLine = 1381, kVo = 1033, kIo = 1034, kRipple = 1035, kFmin = 1036,
        kVor = 1037, kVf = 1038, kVds = 1039, kVbr = 1040, kEff = 1041, kJ = 1042, kAe = 1069, kBpk = 1070,
        kVmult = 1043, kRup = 1044, kRlow = 1045,
        kVcs = 1046, kRs = 1047, kPRs = 1055, kL = 1048, kIpk = 1049, kIrms = 1050, kIspk = 1051,
        kIsrms = 1052, kNp = 1064, kNs = 1065, kDp = 1056, kDs = 1054, kVD = 1058, kID = 1059, kPD = 1066,
        kCo = 1067, kVmargin = 1068,
    };
    static constexpr const char* kUnreadable = "错误:请输入正确的参数!!";

    explicit SinglePfcDesigner(ui::Dialog* parent = nullptr);

    void onTimer(int id) override;
    void onPaint(ui::Canvas& c) override;
    // The core database asks for the inputs of the recommended AP; it hands Ae back through temp.txt only.
    std::optional<services::ApInputs> apInputs() const override;
    void takeCore(float, float) override {}
    void setCoreName(const std::string&) override {}

    bool finePending() const { return fine_; }

    singlepfc::Inputs in;
    singlepfc::Results out;

private:
    void compute() override;
    void finished(const form::Run& r) override;
    void edited(int id) override;
    // The multiplier divider: Vmult with its checks, or one resistor from the other.
    void multChanged();
    void resistorChanged(int id);
    void paintPlot(ui::Canvas& c);

    bool plotted_ = false; // the last computation gave results to plot
    bool fine_ = false;
};

} // namespace kv::ic
