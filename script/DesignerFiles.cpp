#include "script/DesignerFiles.h"

#include "script/Bindings.h"

namespace kv::script {
namespace {

// DC-DC modes: converter (buck, boost, buck-boost) times two plus one for DCM.
constexpr FormulaFile kDcdc[] = {
    {"CCM Buck cfg.txt", "CCM Buck"},           {"DCM Buck cfg.txt", "DCM Buck"},
    {"CCM Boost cfg.txt", "CCM Boost"},         {"DCM Boost cfg.txt", "DCM Boost"},
    {"CCM Buck-Boost cfg.txt", "CCM Buck-Boost"}, {"DCM Buck-Boost cfg.txt", "DCM Buck-Boost"},
};
constexpr FormulaFile kFlyback[] = {{"CCM反激变换器 cfg.txt", "CCM 反激"}, {"DCM反激变换器 cfg.txt", "DCM 反激"}};
constexpr FormulaFile kRcc[] = {{"RCC cfg.txt", "RCC 变换器"}};
constexpr FormulaFile kForward[] = {{"正激变换器 cfg.txt", "正激变换器"}};
constexpr FormulaFile kPushPull[] = {{"推挽变换器 cfg.txt", "推挽变换器"}};
constexpr FormulaFile kHalfBridge[] = {{"半桥变换器 cfg.txt", "半桥变换器"}};
constexpr FormulaFile kFullBridge[] = {{"全桥变换器 cfg.txt", "全桥变换器"}};

constexpr DesignerFiles kDesigners[] = {
    {kDcdcTemplate, "DC-DC Interface.txt", "DC-DC变换器", "DC-DC变换器.JPG", kDcdc},
    {kFlybackTemplate, "Flyback Interface.txt", "反激变换器", "反激变换器.JPG", kFlyback},
    {kRccTemplate, "RCC Interface.txt", "RCC变换器", "RCC变换器.JPG", kRcc},
    {kForwardTemplate, "Forward Interface.txt", "正激变换器", "正激变换器.JPG", kForward},
    {kPushPullTemplate, "Push-Pull Interface.txt", "推挽变换器", "推挽变换器.JPG", kPushPull},
    {kHalfBridgeTemplate, "Half Bridge Interface.txt", "半桥变换器", "半桥变换器.JPG", kHalfBridge},
    {kFullBridgeTemplate, "Full Bridge Interface.txt", "全桥变换器", "全桥变换器.JPG", kFullBridge},
};

std::string_view baseName(std::string_view path) {
    auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

std::span<const DesignerFiles> designerFiles() { return kDesigners; }

const DesignerFiles* designerFilesFor(int templateId) {
    for (const auto& d : kDesigners)
        if (d.templateId == templateId) return &d;
    return nullptr;
}

const DesignerFiles* designerOfFormulaFile(std::string_view fileName) {
    const std::string_view name = baseName(fileName);
    for (const auto& d : kDesigners)
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
    for (const auto& d : kDesigners) {
        for (const auto& f : d.formulas) out.push_back(f.file);
        out.push_back(d.interfaceFile);
    }
    return out;
}

} // namespace kv::script
