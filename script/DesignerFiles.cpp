#include "script/DesignerFiles.h"

#include <algorithm>

namespace kv::script {
namespace {

std::vector<DesignerFiles>& registered() {
    static std::vector<DesignerFiles> d;
    return d;
}

std::string_view baseName(std::string_view path) {
    auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

void registerDesigner(const DesignerFiles& files, std::vector<Binding> names, std::vector<int> labels) {
    auto& d = registered();
    const auto same = std::find_if(d.begin(), d.end(), [&](const DesignerFiles& f) { return f.templateId == files.templateId; });
    if (same == d.end()) d.push_back(files);
    else *same = files;
    registerBindings(files.templateId, std::move(names), std::move(labels));
}

std::span<const DesignerFiles> designerFiles() { return registered(); }

const DesignerFiles* designerFilesFor(int templateId) {
    for (const auto& d : registered())
        if (d.templateId == templateId) return &d;
    return nullptr;
}

const DesignerFiles* designerOfFormulaFile(std::string_view fileName) {
    const std::string_view name = baseName(fileName);
    for (const auto& d : registered())
        for (const auto& f : d.formulas)
            if (f.file == name) return &d;
    return nullptr;
}

std::string_view formulaFileName(int templateId, int mode) {
    const DesignerFiles* d = designerFilesFor(templateId);
    if (!d || mode < 0 || mode >= int(d->formulas.size())) return {};
    return d->formulas[static_cast<size_t>(mode)].file;
}

std::string_view interfaceFileName(int templateId) {
    const DesignerFiles* d = designerFilesFor(templateId);
    return d ? d->interfaceFile : std::string_view();
}

std::vector<std::string_view> allScriptFiles() {
    std::vector<std::string_view> out;
    for (const auto& d : registered()) {
        for (const auto& f : d.formulas) out.push_back(f.file);
        out.push_back(d.interfaceFile);
    }
    return out;
}

io::FileError ensureScriptFile(std::string_view name) {
    return io::ensureFile(std::string(name), std::string_view(&kBuiltinMark, 1));
}

} // namespace kv::script
