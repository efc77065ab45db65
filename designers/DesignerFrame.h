// The frame shared by the classic topology designers: design fields bound to
// edit controls, the title with its interface and formula suffixes, the
// interface file, and the whole protocol of a computation button. A designer
// is its tables (see FieldTable.h), its pure calculations and its particulars.
#pragma once

#include "designers/FieldTable.h"
#include "platform/ui/Dialog.h"
#include "script/FieldTarget.h"

#include <cmath>
#include <span>
#include <string>
#include <vector>

namespace kv::designers {

inline constexpr const char* kSystemLabels = "   <界面:系统";
inline constexpr const char* kCustomLabels = "   <界面:自定义";
inline constexpr const char* kBuiltinFormulas = "   公式:内置>";
inline constexpr const char* kCustomFormulas = "   公式:自定义>";

// Caption colours of the designers' group boxes.
inline constexpr ui::Color kRedCaption{255, 0, 0};
inline constexpr ui::Color kBlueCaption{0, 0, 255};
inline constexpr ui::Color kNoteCaption{200, 0, 255};

struct GroupColor {
    int group;
    ui::Color color;
};

// A field row with its value pointer resolved by the designer.
struct FieldInfo {
    const char* name;
    int edit;
    int label;
    Role role;
    Range range;
};

// A button row with its fields given by their edit controls.
struct ButtonInfo {
    int id;
    const char* incomplete;
    std::vector<int> optional, produced, standIns, zeroFill, blankAfter;
    Check firstKind = Check::None;
    std::vector<int> firstFields;
    const char* firstMessage = nullptr;
    bool formulaMustSucceed = true;
};

class DesignerFrame : public ui::Dialog, public script::FieldTarget {
public:
    // The field shown in edit `control` (the formula runner's view too).
    float* field(int control) override;
    float value(int control) const;
    const std::vector<FieldInfo>& fieldRows() const { return fields_; }
    // Edit control of formula name `name`, or 0.
    int editOf(const char* name) const;

    const std::string& interfaceSuffix() const { return interfaceSuffix_; }
    const std::string& formulaSuffix() const { return formulaSuffix_; }
    bool labelsCustom() const { return interfaceSuffix_ == kCustomLabels; }

    void onInitDialog() override;
    void onPaint(ui::Canvas& c) override;
    bool onCommand(int id, ui::Notify code) override;
    // Modeless: Cancel, Esc and the close box destroy the window.
    void onCancel() override { close(); }

    // Stop code of results that are not finite (the frame's own message).
    static constexpr int kStopNotFinite = -1;
    // Messages of the frame's own checks.
    static constexpr const char* kNotFinite = "输入有误：这组设计条件得不到有效的计算结果，请检查输入！";
    static constexpr const char* kFormulaNotFinite =
        "注意：公式计算结果中有无效数值（无穷大或非数），这些结果已留空！";
    // The designers that size a part at the highest input refuse a range upside down.
    static constexpr const char* kMaxBelowMin = "输入有误：“{VinMax}”低于“{VinMin}”，请检查输入！";

protected:
    DesignerFrame(int templateId, ui::Dialog* parent, std::string baseTitle);

    // ---- set-up by the designer ---------------------------------------------
    void setTables(std::vector<FieldInfo> fields, std::vector<ButtonInfo> buttons,
                   std::span<const Message> messages);
    // Caption colours set when the window opens.
    void setGroupColors(std::span<const GroupColor> colors) { groupColors_ = colors; }
    // The topology picture, stretched into group box `groupId` with its top-left
    // corner at (x, y); the source rectangle is the bitmap grown by the margins.
    void setPicture(int bitmapId, int groupId, int x, int y, int marginW = 10, int marginH = 10);
    // The value behind field row `row`.
    virtual float* slot(std::size_t row) = 0;
    // Built-in formulas of button `id` in `mode`: the results go into the
    // fields only when the outcome has no stop and every value is finite.
    virtual Outcome builtin(int buttonId, int mode) = 0;

    // ---- particulars ----------------------------------------------------------
    virtual int mode() const { return 0; }
    // Fill the mode list, where there is one.
    virtual void fillModes() {}
    // Enable the inputs of the current mode and set its group texts.
    virtual void modeChanged() {}
    // After the interface file was (or was not) applied.
    virtual void labelsApplied(bool /*custom*/) {}
    // After the formula suffix was set: whether the mode's formula file is the user's.
    virtual void formulasChosen(bool /*custom*/) {}
    // Other commands than the computation buttons.
    virtual bool onOtherCommand(int /*id*/, ui::Notify /*code*/) { return false; }
    // After button `id` showed its results, from the built-in formulas or a formula file.
    virtual void resultsShown(int /*id*/, bool /*builtIn*/) {}

    // ---- steps the particulars use ---------------------------------------------
    void writeFields();
    void blank(std::span<const int> controls);
    // Mode change: results (and `alsoCleared`) to 0 and blank, inputs switched,
    // the labels again (unless `relabel` is false) and the title.
    void changeMode(std::span<const int> alsoCleared = {}, bool relabel = true);
    // The computation-button protocol for button `b`.
    void runButton(const ButtonInfo& b);
    // The message text of a calculation's code; "{Name}" in a message stands
    // for the current label of the field with formula name Name.
    std::string messageOf(int code) const;

private:
    void writeField(std::size_t row);
    bool readFields();
    // The first input outside its range, named in a message; false then.
    bool inputsInRange(const std::vector<int>& blankOptional);
    void applyLabels();
    void refreshTitle();
    bool formulaInUse();
    bool runFormulas(const ButtonInfo& b);
    int rowOf(int control) const;

    std::string baseTitle_;
    std::string interfaceSuffix_ = kSystemLabels;
    std::string formulaSuffix_ = kBuiltinFormulas;
    std::vector<FieldInfo> fields_;
    std::vector<ButtonInfo> buttons_;
    std::span<const Message> messages_;
    std::span<const GroupColor> groupColors_;
    int picture_ = 0, pictureGroup_ = 0, pictureX_ = 0, pictureY_ = 0, marginW_ = 10, marginH_ = 10;
    bool firstExchangeDone_ = false;
};

// A designer over a design record D: the fields are D's members.
template <class D>
class TableDesigner : public DesignerFrame {
public:
    D design;

protected:
    TableDesigner(int templateId, ui::Dialog* parent, std::string baseTitle, std::span<const Field<D>> fields,
                  std::span<const Button<D>> buttons, std::span<const Message> messages)
        : DesignerFrame(templateId, parent, std::move(baseTitle)), rows_(fields), buttons_(buttons) {
        std::vector<FieldInfo> info;
        for (const Field<D>& f : fields) {
            info.push_back({f.name, f.edit, f.label, f.role, f.range});
            design.*f.value = f.role == Role::Input ? f.start : 0.0f;
        }
        std::vector<ButtonInfo> bs;
        for (const Button<D>& b : buttons) {
            bs.push_back({b.id, b.incomplete, edits(b.optional), edits(b.produced), edits(b.standIns),
                          edits(b.zeroFill), edits(b.blankAfter), b.first.kind, edits(b.first.fields),
                          b.first.message, b.formulaMustSucceed});
        }
        setTables(std::move(info), std::move(bs), messages);
    }

    // Edit control of member `m`.
    int edit(float D::*m) const {
        for (const Field<D>& f : rows_)
            if (f.value == m) return f.edit;
        return 0;
    }

    float* slot(std::size_t row) override { return &(design.*rows_[row].value); }

    Outcome builtin(int buttonId, int mode) override {
        for (const Button<D>& b : buttons_) {
            if (b.id != buttonId) continue;
            D trial = design;
            Outcome o = b.calc(trial, mode);
            if (o.stop) return o;
            for (const Field<D>& f : rows_)
                if (!std::isfinite(trial.*f.value)) return Outcome::stopped(kStopNotFinite);
            design = trial;
            return o;
        }
        return {};
    }

private:
    std::vector<int> edits(const std::vector<float D::*>& ms) const {
        std::vector<int> out;
        for (auto m : ms) out.push_back(edit(m));
        return out;
    }

    std::span<const Field<D>> rows_;
    std::span<const Button<D>> buttons_;
};

} // namespace kv::designers
