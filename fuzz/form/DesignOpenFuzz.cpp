// Design files of any text opened in the classic designers: refused with a
// message and the window unchanged, or taken and computed; never a crash.
// The first byte picks the designer; the file is taken as one of its own.
#include "designers/Designers.h"
#include "form/DesignKeeper.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "script/DesignerFiles.h"
#include "services/Templates.h"
#include "services/Windows.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <variant>

namespace {

constexpr int kDesigners[] = {kv::tpl::kFlyback,    kv::tpl::kForward,  kv::tpl::kRcc, kv::tpl::kHalfBridge,
                              kv::tpl::kFullBridge, kv::tpl::kPushPull, kv::tpl::kDcdc};

kv::ui::HeadlessBackend& backend() {
    static kv::ui::HeadlessBackend hb;
    return hb;
}

// The keeper's design as a file's text, or why it cannot be kept.
std::string shown(kv::form::DesignKeeper& k) {
    const auto d = k.currentDesign();
    if (const std::string* why = std::get_if<std::string>(&d)) return *why;
    return kv::form::writeDesign(std::get<kv::form::Design>(d));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/kv-design-open-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    std::filesystem::current_path(pattern);
    kv::ui::setBackend(&backend());
    kv::designers::registerWindows();
    // The built-in formulas and labels.
    for (std::string_view f : kv::script::allScriptFiles()) std::ofstream(std::string(f)) << "#";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int templateId = kDesigners[data[0] % std::size(kDesigners)];
    const kv::form::DesignRead r =
        kv::form::readDesign(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    if (!r.design) return 0;
    kv::form::Design d = *r.design;
    d.templateId = templateId;

    kv::ui::HeadlessBackend& hb = backend();
    hb.messages.clear();
    std::unique_ptr<kv::ui::Dialog> created = kv::services::createWindow(templateId, nullptr);
    if (!created) std::abort();
    kv::ui::Dialog& w = hb.openModeless(std::move(created), nullptr);
    auto& k = dynamic_cast<kv::form::DesignKeeper&>(w);
    const std::string before = shown(k);
    if (k.misfit(d)) {
        // Refused: nothing of the window changed.
        if (shown(k) != before) std::abort();
    } else {
        k.restore(d);
        (void)shown(k);
    }
    w.close();
    return 0;
}
