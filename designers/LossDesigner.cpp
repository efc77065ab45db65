#include "designers/LossDesigner.h"

#include "services/LossText.h"

#include <cmath>

namespace kv::designers {

namespace {
// A button's caption without its accelerator: "选择磁芯(&M)" reads "选择磁芯".
std::string plainCaption(std::string caption) {
    if (const auto open = caption.find("(&"); open != std::string::npos) caption.erase(open);
    std::erase(caption, '&');
    return caption;
}

// The design file's line of the picked core.
constexpr const char* kCoreLine = "lossCore";

bool same(float shown, double value) {
    return std::fabs(double(shown) - value) <= 1e-5 * std::fabs(value);
}
} // namespace

form::Field LossDesigner::ambientField(float& ambient) { return {kAmbient, ambient, Role::Input, Range::Any}; }

LossDesigner::LossDesigner(const script::DesignerFiles& files, ui::Dialog* parent, std::string baseTitle)
    : DesignerFrame(files, parent, std::move(baseTitle)) {
    setTextColor(kLossGroup, ui::kBlue);
    setTextColor(kLossNote, kNoteCaption);
}

void LossDesigner::takeCore(float ae, float le) {
    const CoreEdits e = coreEdits();
    for (auto [edit, v] : {std::pair{e.ae, ae}, std::pair{e.le, le}}) {
        if (form::Field* f = edit ? fieldOf(edit) : nullptr) {
            f->value.set(v);
            writeField(*f);
        }
    }
}

void LossDesigner::setCoreName(const std::string& text) {
    // An OK without a row: the core is the typed one again.
    if (text == services::kTypedCore) core_.reset();
    showCore();
}

void LossDesigner::takeTableCore(const magnetics::TableCore& core) {
    core_ = core;
    showCore();
}

bool LossDesigner::coreShown() const {
    if (!core_) return false;
    // The edits as they read now: a design being opened has written them
    // before its first calculation reads them.
    const auto shows = [this](int edit, double value) {
        double v = 0;
        return ui::parseNumber(text(edit), v) && same(float(v), value);
    };
    const CoreEdits e = coreEdits();
    return shows(e.ae, core_->ae * 1e6) && (!e.le || shows(e.le, core_->le * 1e3));
}

void LossDesigner::showCore() { setText(kCoreCaption, services::coreCaption(core())); }

void LossDesigner::dropStaleCore() {
    if (core_ && !coreShown()) {
        core_.reset();
        showCore();
    }
}

void LossDesigner::showLoss() {
    dropStaleCore();
    const std::optional<magnetics::MagneticDesign> m = magnetic();
    loss_ = m ? magnetics::lossOn(core(), *m) : magnetics::noResults();
    const magnetics::MagneticLossResult& l = loss_.loss;
    const bool shown = loss_.shown();
    setText(kCoreLoss, shown ? services::lossText(l.coreLoss) : "");
    setText(kCopperLoss, shown ? services::lossText(l.copperLoss) : "");
    setText(kTotalLoss, shown ? services::lossText(l.total) : "");
    setText(kRise, shown ? services::lossText(l.rise) : "");
    setText(kLossNote, services::lossNote(loss_, core(), plainCaption(text(kPickCore))));
}

void LossDesigner::finished(const form::Run& r) {
    if (r.shown != form::Shown::None) showLoss();
}

void LossDesigner::resultsBlanked() {
    for (int id : {kCoreLoss, kCopperLoss, kTotalLoss, kRise, kLossNote}) setText(id, "");
    loss_ = magnetics::noResults();
    // A mode change blanks the core's values too: the picked core goes with them.
    dropStaleCore();
}

std::vector<form::DesignLine> LossDesigner::extraInputs() const {
    return {{kCoreLine, core_ ? magnetics::tableCoreText(*core_) : std::string()}};
}

std::optional<std::string> LossDesigner::extraMisfit(const form::DesignLine& line) const {
    if (line.value.empty() || magnetics::readTableCore(line.value)) return std::nullopt;
    return services::coreLineMisfit(line.name, line.value);
}

void LossDesigner::restoreExtra(const form::DesignLine& line) {
    if (line.value.empty()) core_.reset();
    else core_ = magnetics::readTableCore(line.value);
    showCore();
}

bool LossDesigner::onOtherCommand(int id, ui::Notify code) {
    if (id == kPickCore && code == ui::Notify::Clicked) {
        pickCore();
        return true;
    }
    const CoreEdits e = coreEdits();
    if (code == ui::Notify::Changed && id != 0 && (id == e.ae || id == e.le)) {
        // Typing a core by hand: it is no longer the picked one.
        core_.reset();
        showCore();
        return true;
    }
    return false;
}

void LossDesigner::pickCore() {
    if (services::pickCoreInto(*this) && core_) run(coreEdits().rerun);
}

bool LossDesigner::withTypedInputs(const std::function<void()>& use) {
    const std::vector<double> saved = values();
    bool ok = true;
    for (const form::Field& f : fields()) {
        if (f.role != Role::Input || !enabled(f.control)) continue;
        double v = 0;
        if (!ui::parseNumber(text(f.control), v)) {
            ok = false;
            break;
        }
        fieldOf(f.control)->value.set(v);
    }
    if (ok) use();
    setValues(saved);
    return ok;
}

} // namespace kv::designers
