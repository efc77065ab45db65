#include "designers/DesignerFrame.h"

#include "platform/ui/Canvas.h"
#include "platform/ui/Files.h"
#include "script/Bindings.h"
#include "script/FormulaRunner.h"
#include "script/InterfaceLoader.h"
#include "shell/Popups.h"

#include <algorithm>
#include <cmath>

namespace kv::designers {

DesignerFrame::DesignerFrame(int templateId, ui::Dialog* parent, std::string baseTitle)
    : Dialog(templateId, parent), baseTitle_(std::move(baseTitle)) {}

void DesignerFrame::addField(int control, float initial, bool result) {
    fields_[control] = initial;
    order_.push_back(control);
    if (result) results_.push_back(control);
}

void DesignerFrame::setPicture(int bitmapId, int groupId, int x, int y) {
    picture_ = bitmapId;
    pictureGroup_ = groupId;
    pictureX_ = x;
    pictureY_ = y;
}

void DesignerFrame::setGroupColor(int groupId, ui::Color c) { setTextColor(groupId, c); }

float* DesignerFrame::field(int controlId) {
    auto it = fields_.find(controlId);
    return it == fields_.end() ? nullptr : &it->second;
}

float DesignerFrame::value(int controlId) const {
    auto it = fields_.find(controlId);
    return it == fields_.end() ? 0.0f : it->second;
}

void DesignerFrame::writeFields() {
    for (int c : order_) writeField(c);
}

bool DesignerFrame::readFields() {
    for (int c : order_)
        if (!readFloat(c, fields_[c])) return false;
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

void DesignerFrame::refreshTitle() {
    bool custom = false;
    const std::string ifile(script::interfaceFileName(templateId()));
    if (!ifile.empty() && firstByte(ifile) != '#') {
        script::InterfaceLoader loader;
        custom = loader.apply(ifile, *this, script::labelList(templateId()));
    }
    interfaceSuffix_ = custom ? kCustomLabels : kSystemLabels;
    labelsApplied(custom);
    // The title says custom only for a file of three bytes or more.
    std::uint64_t size = 0;
    const auto first = firstByte(formulaFile(mode()), &size);
    formulaSuffix_ = first && *first != '#' && size > 2 ? kCustomFormulas : kBuiltinFormulas;
    setTitle(baseTitle_ + interfaceSuffix_ + formulaSuffix_);
}

void DesignerFrame::onInitDialog() {
    if (firstExchangeDone_) return;
    firstExchangeDone_ = true;
    writeFields();
    fillModes();
    modeChanged();
    blank(results_);
    refreshTitle();
}

void DesignerFrame::changeMode(std::span<const int> alsoCleared) {
    for (int c : results_) fields_[c] = 0;
    for (int c : alsoCleared) fields_[c] = 0;
    blank(results_);
    blank(alsoCleared);
    modeChanged();
    refreshTitle();
}

bool DesignerFrame::begin(std::span<const int> optional, const char* incomplete, Blanks& b) {
    b = {};
    for (int c : optional)
        if (text(c).empty()) b.optional.push_back(c);
    for (int c : results_)
        if (text(c).empty()) b.filled.push_back(c);
    b.filled.insert(b.filled.end(), b.optional.begin(), b.optional.end());
    for (int c : b.filled) setText(c, "0");
    if (readFields()) return true;
    blank(b.filled);
    messageBox(incomplete, ui::kAppName, ui::Icon::Warning);
    return false;
}

bool DesignerFrame::formulaInUse() { return firstByte(formulaFile(mode())) != '#'; }

bool DesignerFrame::runFormulas() {
    script::FormulaRunner runner;
    return runner.run(formulaFile(mode()), *this);
}

void DesignerFrame::show(const Blanks& b) {
    blank(b.filled);
    shell::showCalculating(*this);
    writeFields();
    restoreOptional(b);
}

void DesignerFrame::restoreOptional(const Blanks& b) { blank(b.optional); }

bool DesignerFrame::allFinite() const {
    return std::all_of(fields_.begin(), fields_.end(), [](const auto& kv) { return std::isfinite(kv.second); });
}

void DesignerFrame::onPaint(ui::Canvas& c) {
    if (!picture_) return;
    const ui::ControlState* g = control(pictureGroup_);
    const ui::BitmapInfo* b = ui::findBitmap(picture_);
    if (!g || !b) return;
    const int w = ui::dluToPxX(g->tpl.w), h = ui::dluToPxY(g->tpl.h);
    c.stretchBitmap(picture_, {pictureX_, pictureY_, pictureX_ + w, pictureY_ + h},
                    {0, 0, b->width + 10, b->height + 10});
}

} // namespace kv::designers
