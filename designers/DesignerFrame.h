// The classic topology designers on the form: the title with its interface
// and formula suffixes, the labels an interface file renames, the user's
// formula file of the current mode computing instead of the built-in
// formulas, the topology picture and the mode list. A designer is its tables
// (fields over its design record, buttons, messages, files), its pure
// calculations and its particulars.
#pragma once

#include "form/Form.h"
#include "script/DesignerFiles.h"
#include "script/FieldTarget.h"

#include <span>
#include <string>
#include <vector>

namespace kv::designers {

using form::Range;
using form::Role;

inline constexpr const char* kSystemLabels = "   <界面:系统";
inline constexpr const char* kCustomLabels = "   <界面:自定义";
inline constexpr const char* kBuiltinFormulas = "   公式:内置>";
inline constexpr const char* kCustomFormulas = "   公式:自定义>";

// Caption colour of the designers' note groups (the others are red or blue).
inline constexpr ui::Color kNoteCaption{200, 0, 255};

struct GroupColor {
    int group;
    ui::Color color;
};

// The topology picture, stretched into group box `group` with its top-left
// corner at (x, y); the source rectangle is the bitmap grown by the margins.
struct Picture {
    int bitmap = 0, group = 0, x = 0, y = 0, marginW = 10, marginH = 10;
};

class DesignerFrame : public form::FormWindow, public script::FieldTarget, private form::FormulaHook {
public:
    // The field shown in edit `control`: the formula runner's view.
    float* field(int control) override;
    // The value of the field shown in `control` (0 for none).
    float value(int control) const;
    const script::DesignerFiles& files() const { return files_; }

    const std::string& interfaceSuffix() const { return interfaceSuffix_; }
    const std::string& formulaSuffix() const { return formulaSuffix_; }
    bool labelsCustom() const { return interfaceSuffix_ == kCustomLabels; }

    void onPaint(ui::Canvas& c) override;
    // Modeless: Cancel, Esc and the close box destroy the window.
    void onCancel() override { close(); }

protected:
    DesignerFrame(const script::DesignerFiles& files, ui::Dialog* parent, std::string baseTitle);

    // Caption colours set when the window opens.
    void setGroupColors(std::span<const GroupColor> colors) { groupColors_ = colors; }
    void setPicture(Picture p) { picture_ = p; }

    // ---- particulars ----------------------------------------------------------
    // The index of the current mode's formula file.
    virtual int mode() const { return 0; }
    // Fill the mode list, where there is one.
    virtual void fillModes() {}
    // Enable the inputs of the current mode and set its group texts.
    virtual void modeChanged() {}
    // After the interface file was (or was not) applied.
    virtual void labelsApplied(bool /*custom*/) {}
    // After the formula suffix was set: whether the mode's formula file is the user's.
    virtual void formulasChosen(bool /*custom*/) {}

    // Mode change: results (and `alsoCleared`) to 0 and blank, inputs switched,
    // the labels again (unless `relabel` is false) and the title.
    void changeMode(std::span<const int> alsoCleared = {}, bool relabel = true);

private:
    void opened() override;
    bool formulaInUse() override;
    bool runFormula(const form::Calculation& c) override;
    std::string formulaFile() const;
    void applyLabels();
    void refreshTitle();

    const script::DesignerFiles& files_;
    std::string baseTitle_;
    std::string interfaceSuffix_ = kSystemLabels;
    std::string formulaSuffix_ = kBuiltinFormulas;
    std::span<const GroupColor> groupColors_;
    Picture picture_;
};

// A designer over a design record D, whose members are the fields; on the
// frame, or on a frame that adds to it (Base).
template <class D, class Base = DesignerFrame>
class TableDesigner : public Base {
public:
    using Record = D;
    D design;

protected:
    TableDesigner(const script::DesignerFiles& files, ui::Dialog* parent, std::string baseTitle,
                  std::vector<form::Field> (*fields)(D&))
        : Base(files, parent, std::move(baseTitle)) {
        this->setFields(fields(design));
    }

    // The built-in formulas `calc` of the current mode, on a trial copy of the design.
    std::function<form::Outcome()> builtin(form::Outcome (*calc)(D&, int mode)) {
        return [this, calc] { return form::onTrial(design, [&](D& trial) { return calc(trial, this->mode()); }); };
    }
};

// The edit of formula name `name` in designer W, without a window; 0 for none.
template <class W>
int editOf(std::string_view name) {
    typename W::Record record;
    for (const form::Field& f : W::fieldsOf(record))
        if (f.name && name == f.name) return f.control;
    return 0;
}

// What the formula language knows of a classic designer: its files, its
// formula names and the labels its interface file numbers, from its fields.
void registerScript(const script::DesignerFiles& files, const std::vector<form::Field>& fields);

} // namespace kv::designers
