// The frame shared by the classic topology designers: design fields bound to
// edit controls, the title with its interface and formula suffixes, the
// interface file, and the protocol of a computation button.
#pragma once

#include "platform/ui/Dialog.h"
#include "script/FieldTarget.h"

#include <map>
#include <span>
#include <string>
#include <vector>

namespace kv::designers {

inline constexpr const char* kSystemLabels = "   <界面:系统";
inline constexpr const char* kCustomLabels = "   <界面:自定义";
inline constexpr const char* kBuiltinFormulas = "   公式:内置>";
inline constexpr const char* kCustomFormulas = "   公式:自定义>";

class DesignerFrame : public ui::Dialog, public script::FieldTarget {
public:
    float* field(int controlId) override;
    float value(int controlId) const;
    const std::string& interfaceSuffix() const { return interfaceSuffix_; }
    const std::string& formulaSuffix() const { return formulaSuffix_; }
    bool labelsCustom() const { return interfaceSuffix_ == kCustomLabels; }

    void onInitDialog() override;
    void onPaint(ui::Canvas& c) override;
    // Modeless: Cancel, Esc and the close box destroy the window.
    void onCancel() override { close(); }

protected:
    DesignerFrame(int templateId, ui::Dialog* parent, std::string baseTitle);

    // ---- set-up by the topology ------------------------------------------
    // A design field shown in `control`; a result starts blank.
    void addField(int control, float initial, bool result);
    void setPicture(int bitmapId, int groupId, int x, int y);
    void setGroupColor(int groupId, ui::Color c);

    // ---- hooks -----------------------------------------------------------
    virtual std::string formulaFile(int mode) const = 0;
    virtual int mode() const { return 0; }
    // Fill the mode list, where there is one.
    virtual void fillModes() {}
    // Enable the inputs of the current mode and set its group texts.
    virtual void modeChanged() {}
    // After the interface file was (or was not) applied.
    virtual void labelsApplied(bool /*custom*/) {}

    // ---- the frame's steps -------------------------------------------------
    void writeFields();
    // Reads every control into its field; false at the first that holds no number.
    bool readFields();
    void writeField(int control) { writeFloat(control, *field(control)); }
    // Re-applies the interface file and recomputes the title.
    void refreshTitle();
    // Mode change: results cleared, inputs switched, labels and title again.
    void changeMode(std::span<const int> alsoCleared = {});

    // The blanks of one computation.
    struct Blanks {
        std::vector<int> filled;   // blank controls given "0"
        std::vector<int> optional; // optional inputs that were blank
    };
    // Steps 1 and 2 of a computation button: fill blank results and blank
    // optional inputs with "0" and read all fields. On a non-number the
    // blanks come back, `incomplete` is shown, and false returned.
    bool begin(std::span<const int> optional, const char* incomplete, Blanks& b);
    // Whether the current mode's formula file is to run (first byte not '#').
    bool formulaInUse();
    // Runs the current mode's formula file on the fields.
    bool runFormulas();
    // Step 4: blank the zero-filled controls, the calculating box, all fields
    // to their controls. Step 5: blank optional inputs come back.
    void show(const Blanks& b);
    void restoreOptional(const Blanks& b);
    // Blanks result controls (fields untouched).
    void blank(std::span<const int> controls);
    // A finite check of every field: false (with a message naming nothing in
    // particular) when a result is not a number.
    bool allFinite() const;

    // All field values, to put back after a computation that went wrong.
    using Snapshot = std::map<int, float>;
    Snapshot snapshot() const { return fields_; }
    void restore(const Snapshot& s) {
        for (const auto& [c, v] : s) fields_[c] = v;
    }

    std::vector<int> results_; // result controls in order

private:
    std::string baseTitle_;
    std::string interfaceSuffix_ = kSystemLabels;
    std::string formulaSuffix_ = kBuiltinFormulas;
    std::map<int, float> fields_; // node-based: field pointers stay valid
    std::vector<int> order_;
    int picture_ = 0, pictureGroup_ = 0, pictureX_ = 0, pictureY_ = 0;
    bool firstExchangeDone_ = false;
};

} // namespace kv::designers
