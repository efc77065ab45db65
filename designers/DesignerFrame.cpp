#include "designers/DesignerFrame.h"

#include "platform/ui/Canvas.h"
#include "platform/io/Files.h"
#include "script/DesignerFiles.h"
#include "script/FormulaRunner.h"
#include "script/InterfaceLoader.h"
#include "script/Reporter.h"

#include <optional>
#include <utility>

namespace kv::designers {

namespace {
// First byte of a formula or interface file, created holding the built-in
// mark when missing; nothing for an empty file.
std::optional<char> firstByte(const std::string& file, std::uint64_t* size = nullptr) {
    script::ensureScriptFile(file);
    std::string head;
    io::readAt(file, 0, 3, head);
    if (size) *size = head.size();
    if (head.empty()) return std::nullopt;
    return head[0];
}

// The formula names: the field each edit shows. A field without a name is
// the window's own (the ambient of the losses): formula files do not see it.
std::vector<script::Binding> namesOf(const std::vector<form::Field>& fields) {
    std::vector<script::Binding> names;
    for (const form::Field& f : fields)
        if (f.name) names.push_back({f.name, f.control});
    return names;
}

// The label controls an interface file numbers: the fields' labels in order.
std::vector<int> labelsOf(const std::vector<form::Field>& fields) {
    std::vector<int> labels;
    for (const form::Field& f : fields)
        if (f.label) labels.push_back(f.label);
    return labels;
}
} // namespace

void registerScript(const script::DesignerFiles& files, const std::vector<form::Field>& fields) {
    script::registerDesigner(files, namesOf(fields), labelsOf(fields));
}

DesignerFrame::DesignerFrame(const script::DesignerFiles& files, ui::Dialog* parent, std::string baseTitle)
    : FormWindow(files.templateId, parent, form::kClassic), files_(files), baseTitle_(std::move(baseTitle)) {
    setFormulaHook(this);
}

float* DesignerFrame::field(int control) {
    form::Field* f = fieldOf(control);
    return f ? f->value.single() : nullptr;
}

float DesignerFrame::value(int control) const {
    const form::Field* f = fieldOf(control);
    return f ? float(f->value.get()) : 0.0f;
}

std::string DesignerFrame::formulaFile() const {
    const int m = mode();
    return m >= 0 && m < int(files_.formulas.size()) ? std::string(files_.formulas[m].file) : std::string();
}

void DesignerFrame::applyLabels() {
    bool custom = false;
    const std::string ifile(files_.interfaceFile);
    if (firstByte(ifile) != '#') {
        script::BoxReporter boxes;
        custom = script::InterfaceLoader(boxes).apply(ifile, *this, labelsOf(fields()));
    }
    interfaceSuffix_ = custom ? kCustomLabels : kSystemLabels;
    labelsApplied(custom);
}

void DesignerFrame::refreshTitle() {
    // The title says custom only for a file of three bytes or more.
    std::uint64_t size = 0;
    const auto first = firstByte(formulaFile(), &size);
    const bool custom = first && *first != '#' && size > 2;
    formulaSuffix_ = custom ? kCustomFormulas : kBuiltinFormulas;
    formulasChosen(custom);
    setTitle(baseTitle_ + interfaceSuffix_ + formulaSuffix_);
}

void DesignerFrame::opened() {
    // The ranges of the design conditions, by formula name: a lowest above its highest is refused naming both.
    static constexpr std::pair<const char*, const char*> kRanges[] = {
        {"VinMin", "VinMax"}, {"VacMin", "VacMax"}, {"IoMin", "IoMax"}};
    std::vector<form::Order> orders;
    for (const auto& [lower, upper] : kRanges)
        if (controlOf(lower) && controlOf(upper)) orders.push_back({controlOf(lower), controlOf(upper)});
    setOrders(std::move(orders));
    for (const GroupColor& g : groupColors_) setTextColor(g.group, g.color);
    fillModes();
    modeChanged();
    applyLabels();
    refreshTitle();
}

void DesignerFrame::changeMode(std::span<const int> alsoCleared, bool relabel) {
    std::vector<int> cleared(alsoCleared.begin(), alsoCleared.end());
    for (const form::Field& f : fields())
        if (f.role == Role::Result) cleared.push_back(f.control);
    for (int c : cleared)
        if (form::Field* f = fieldOf(c)) f->value.set(0);
    blank(cleared);
    modeChanged();
    if (relabel) applyLabels();
    refreshTitle();
}

bool DesignerFrame::formulaInUse() { return firstByte(formulaFile()) != '#'; }

bool DesignerFrame::runFormula(const form::Calculation& c) {
    const std::vector<double> before = values();
    // The formulas must not see these as zero.
    std::vector<float> kept;
    for (int id : c.standIns) {
        kept.push_back(*field(id));
        *field(id) = 1;
    }
    script::BoxReporter boxes;
    const script::BindingTable names(templateId(), namesOf(fields()));
    const bool ok = script::FormulaRunner(boxes).run(formulaFile(), &names, *this);
    for (std::size_t k = 0; k < kept.size(); ++k) *field(c.standIns[k]) = kept[k];
    if (ok || !c.formulaMustSucceed) return true;
    // Nothing of a failed run stays behind.
    setValues(before);
    return false;
}

void DesignerFrame::onPaint(ui::Canvas& c) {
    const Picture& p = picture_;
    if (!p.bitmap) return;
    const ui::ControlState* g = control(p.group);
    const ui::BitmapInfo* bmp = ui::findBitmap(p.bitmap);
    if (!g || !bmp) return;
    const int w = ui::dluToPxX(g->tpl.w), h = ui::dluToPxY(g->tpl.h);
    c.stretchBitmap(p.bitmap, {p.x, p.y, p.x + w, p.y + h}, {0, 0, bmp->width + p.marginW, bmp->height + p.marginH});
}

} // namespace kv::designers
