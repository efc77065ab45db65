#include "designers/DesignerFrame.h"

#include "platform/ui/Canvas.h"
#include "platform/ui/Files.h"
#include "script/Bindings.h"
#include "script/DesignerFiles.h"
#include "script/FormulaRunner.h"
#include "script/InterfaceLoader.h"
#include "script/Reporter.h"
#include "services/Progress.h"

#include <algorithm>
#include <optional>

namespace kv::designers {

DesignerFrame::DesignerFrame(int templateId, ui::Dialog* parent, std::string baseTitle)
    : Dialog(templateId, parent), baseTitle_(std::move(baseTitle)) {}

void DesignerFrame::setTables(std::vector<FieldInfo> fields, std::vector<ButtonInfo> buttons,
                              std::span<const Message> messages) {
    fields_ = std::move(fields);
    buttons_ = std::move(buttons);
    messages_ = messages;
}

void DesignerFrame::setPicture(int bitmapId, int groupId, int x, int y, int marginW, int marginH) {
    picture_ = bitmapId;
    pictureGroup_ = groupId;
    pictureX_ = x;
    pictureY_ = y;
    marginW_ = marginW;
    marginH_ = marginH;
}

int DesignerFrame::rowOf(int control) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].edit == control) return int(i);
    return -1;
}

float* DesignerFrame::field(int control) {
    const int row = rowOf(control);
    return row < 0 ? nullptr : slot(std::size_t(row));
}

float DesignerFrame::value(int control) const {
    const int row = rowOf(control);
    return row < 0 ? 0.0f : *const_cast<DesignerFrame*>(this)->slot(std::size_t(row));
}

int DesignerFrame::editOf(const char* name) const {
    for (const FieldInfo& f : fields_)
        if (std::string_view(f.name) == name) return f.edit;
    return 0;
}

std::string DesignerFrame::messageOf(int code) const {
    std::string t = kNotFinite;
    for (const Message& m : messages_)
        if (m.code == code && code != kStopNotFinite) t = m.text;
    for (std::size_t open = t.find('{'); open != std::string::npos; open = t.find('{', open)) {
        const std::size_t close = t.find('}', open);
        if (close == std::string::npos) break;
        const std::string name = t.substr(open + 1, close - open - 1);
        std::string label = name;
        for (const FieldInfo& f : fields_)
            if (name == f.name && f.label) label = text(f.label);
        t.replace(open, close - open + 1, label);
        open += label.size();
    }
    return t;
}

void DesignerFrame::writeField(std::size_t row) {
    const float v = *slot(row);
    // A value that is not a number is never shown as one.
    if (std::isfinite(v)) writeFloat(fields_[row].edit, v);
    else setText(fields_[row].edit, "");
}

void DesignerFrame::writeFields() {
    for (std::size_t i = 0; i < fields_.size(); ++i) writeField(i);
}

bool DesignerFrame::readFields() {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (!readFloat(fields_[i].edit, *slot(i))) return false;
    return true;
}

void DesignerFrame::blank(std::span<const int> controls) {
    for (int c : controls) setText(c, "");
}

namespace {
// First byte of a file created empty when missing; nothing for an empty file.
std::optional<char> firstByte(const std::string& file, std::uint64_t* size = nullptr) {
    std::string head;
    ui::readAt(file, 0, 3, head);
    if (size) *size = head.size();
    if (head.empty()) return std::nullopt;
    return head[0];
}
} // namespace

void DesignerFrame::applyLabels() {
    bool custom = false;
    const std::string ifile(script::interfaceFileName(templateId()));
    if (!ifile.empty() && firstByte(ifile) != '#') {
        script::BoxReporter boxes;
        custom = script::InterfaceLoader(boxes).apply(ifile, *this, script::labelList(templateId()));
    }
    interfaceSuffix_ = custom ? kCustomLabels : kSystemLabels;
    labelsApplied(custom);
}

void DesignerFrame::refreshTitle() {
    // The title says custom only for a file of three bytes or more.
    std::uint64_t size = 0;
    const auto first = firstByte(std::string(script::formulaFileName(templateId(), mode())), &size);
    const bool custom = first && *first != '#' && size > 2;
    formulaSuffix_ = custom ? kCustomFormulas : kBuiltinFormulas;
    formulasChosen(custom);
    setTitle(baseTitle_ + interfaceSuffix_ + formulaSuffix_);
}

void DesignerFrame::onInitDialog() {
    if (firstExchangeDone_) return;
    firstExchangeDone_ = true;
    for (const GroupColor& g : groupColors_) setTextColor(g.group, g.color);
    writeFields();
    fillModes();
    modeChanged();
    for (const FieldInfo& f : fields_)
        if (f.role != Role::Input) setText(f.edit, "");
    applyLabels();
    refreshTitle();
}

bool DesignerFrame::onCommand(int id, ui::Notify code) {
    if (code == ui::Notify::Clicked)
        for (const ButtonInfo& b : buttons_)
            if (b.id == id) {
                runButton(b);
                return true;
            }
    return onOtherCommand(id, code);
}

void DesignerFrame::changeMode(std::span<const int> alsoCleared, bool relabel) {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].role == Role::Result) {
            *slot(i) = 0;
            setText(fields_[i].edit, "");
        }
    for (int c : alsoCleared) {
        if (float* v = field(c)) *v = 0;
        setText(c, "");
    }
    modeChanged();
    if (relabel) applyLabels();
    refreshTitle();
}

bool DesignerFrame::formulaInUse() {
    return firstByte(std::string(script::formulaFileName(templateId(), mode()))) != '#';
}

bool DesignerFrame::runFormulas(const ButtonInfo& b) {
    // The formulas must not see these as zero.
    std::vector<float> kept;
    for (int c : b.standIns) {
        kept.push_back(value(c));
        *field(c) = 1;
    }
    std::vector<float> before;
    for (std::size_t i = 0; i < fields_.size(); ++i) before.push_back(*slot(i));
    script::BoxReporter boxes;
    const bool ok = script::FormulaRunner(boxes).run(std::string(script::formulaFileName(templateId(), mode())), *this);
    for (std::size_t k = 0; k < b.standIns.size(); ++k) *field(b.standIns[k]) = kept[k];
    if (!ok && b.formulaMustSucceed) {
        // Nothing of a failed run stays behind.
        for (std::size_t i = 0; i < fields_.size(); ++i) *slot(i) = before[i];
        for (std::size_t k = 0; k < b.standIns.size(); ++k) *field(b.standIns[k]) = kept[k];
        return false;
    }
    return true;
}

bool DesignerFrame::inputsInRange(const std::vector<int>& blankOptional) {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const FieldInfo& f = fields_[i];
        if (f.role == Role::Result || f.range == Range::Any || !enabled(f.edit)) continue;
        if (std::find(blankOptional.begin(), blankOptional.end(), f.edit) != blankOptional.end()) continue;
        if (services::inRange(f.range, *slot(i))) continue;
        messageBox(services::rangeMessage(f.range, f.label ? text(f.label) : std::string(f.name)), ui::kAppName,
                   ui::Icon::Warning);
        return false;
    }
    return true;
}

void DesignerFrame::runButton(const ButtonInfo& b) {
    // A condition of the button itself.
    if (b.firstKind == Check::Filled) {
        for (int c : b.firstFields)
            if (text(c).empty()) return void(messageBox(b.firstMessage, ui::kAppName, ui::Icon::Warning));
    } else if (b.firstKind == Check::NonZero) {
        for (int c : b.firstFields)
            if (value(c) == 0.0f) return void(messageBox(b.firstMessage, ui::kAppName, ui::Icon::Warning));
    }

    // Blank results and blank optional inputs read as "0".
    std::vector<int> blankOptional, filled;
    for (int c : b.optional)
        if (text(c).empty()) blankOptional.push_back(c);
    if (b.zeroFill.empty()) {
        for (const FieldInfo& f : fields_)
            if (f.role == Role::Result && text(f.edit).empty()) filled.push_back(f.edit);
    } else {
        filled = b.zeroFill; // named results start again from "0"
    }
    filled.insert(filled.end(), blankOptional.begin(), blankOptional.end());
    std::vector<std::string> previous;
    for (int c : filled) {
        previous.push_back(text(c));
        setText(c, "0");
    }
    // Optional inputs this button computes are shown, not blanked again.
    std::vector<int> restore;
    for (int c : blankOptional)
        if (std::find(b.produced.begin(), b.produced.end(), c) == b.produced.end()) restore.push_back(c);
    // A computation that does not go through leaves every control as it was.
    const auto giveUp = [&] {
        for (std::size_t k = 0; k < filled.size(); ++k) setText(filled[k], previous[k]);
    };

    if (!readFields()) {
        giveUp();
        messageBox(b.incomplete, ui::kAppName, ui::Icon::Warning);
        return;
    }

    bool formulaOdd = false;
    const bool builtIn = !formulaInUse();
    if (!builtIn) {
        if (!runFormulas(b)) return giveUp();
        for (std::size_t i = 0; i < fields_.size(); ++i)
            if (!std::isfinite(*slot(i))) formulaOdd = true;
    } else {
        if (!inputsInRange(blankOptional)) return giveUp();
        const Outcome o = builtin(b.id, mode());
        if (o.stop) {
            messageBox(messageOf(o.stop), ui::kAppName, ui::Icon::Warning);
            return giveUp();
        }
        for (int n : o.notices) messageBox(messageOf(n), ui::kAppName, ui::Icon::Warning);
    }

    blank(filled);
    services::showCalculating(*this);
    writeFields();
    blank(restore);
    blank(b.blankAfter);
    resultsShown(b.id, builtIn);
    if (formulaOdd) messageBox(kFormulaNotFinite, ui::kAppName, ui::Icon::Warning);
}

void DesignerFrame::onPaint(ui::Canvas& c) {
    if (!picture_) return;
    const ui::ControlState* g = control(pictureGroup_);
    const ui::BitmapInfo* bmp = ui::findBitmap(picture_);
    if (!g || !bmp) return;
    const int w = ui::dluToPxX(g->tpl.w), h = ui::dluToPxY(g->tpl.h);
    c.stretchBitmap(picture_, {pictureX_, pictureY_, pictureX_ + w, pictureY_ + h},
                    {0, 0, bmp->width + marginW_, bmp->height + marginH_});
}

} // namespace kv::designers
