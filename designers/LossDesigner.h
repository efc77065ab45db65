// A classic designer that shows the losses of the magnetic it designs: a
// button that picks the core from the database (its type, material and
// values come with it), the ambient temperature, then core loss, copper loss,
// total and temperature rise worked out from the designer's own results, and
// a note that says why they are blank. The controls are the same in every
// such designer's template.
#pragma once

#include "designers/DesignerFrame.h"
#include "magnetics/DesignLoss.h"
#include "services/CorePick.h"

#include <functional>
#include <optional>
#include <string>

namespace kv::designers {

class LossDesigner : public DesignerFrame, public services::CoreOpener {
public:
    enum : int {
        kPickCore = 1480, kCoreCaption = 1481, kAmbient = 1482, kCoreLoss = 1483, kCopperLoss = 1484,
        kTotalLoss = 1485, kRise = 1486, kLossNote = 1487, kLossGroup = 1488,
    };
    // The ambient's row of a designer's table: an input only the losses read
    // (no formula name, not numbered by the interface file).
    static form::Field ambientField(float& ambient);

    // What the window shows now, and the core it was worked out on (nullptr: typed).
    const magnetics::WindowLoss& loss() const { return loss_; }
    const magnetics::TableCore* core() const { return core_ ? &*core_ : nullptr; }

    // The core database hands the picked core over through these.
    void takeCore(float ae, float le) override;
    void setCoreName(const std::string& text) override;
    void takeTableCore(const magnetics::TableCore& core) override;

protected:
    LossDesigner(const script::DesignerFiles& files, ui::Dialog* parent, std::string baseTitle);

    // The magnetic the shown results define (flux, windings, ambient), or
    // nothing before there are results.
    virtual std::optional<magnetics::MagneticDesign> magnetic() const = 0;
    // The edits of the core's Ae and Le (0: the designer has no Le) and the
    // button of the calculation a pick runs.
    struct CoreEdits {
        int ae = 0, le = 0, rerun = 0;
    };
    virtual CoreEdits coreEdits() const = 0;

    void finished(const form::Run& r) override;
    void resultsBlanked() override;
    // A design file keeps the picked core with its material ("" for a typed one).
    std::vector<form::DesignLine> extraInputs() const override;
    std::optional<std::string> extraMisfit(const form::DesignLine& line) const override;
    void restoreExtra(const form::DesignLine& line) override;
    bool onOtherCommand(int id, ui::Notify code) override;

    // Runs `use` while the record holds the inputs as typed now, and puts the
    // record back; false (and `use` not run) when one of them holds no number.
    bool withTypedInputs(const std::function<void()>& use);

private:
    void showLoss();
    void showCore();
    void pickCore();
    // The picked core stands while Ae and Le show its values.
    bool coreShown() const;
    void dropStaleCore();

    std::optional<magnetics::TableCore> core_;
    magnetics::WindowLoss loss_;
};

} // namespace kv::designers
