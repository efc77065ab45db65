// System.cfg and temp.txt of any content: the readers and the font dialog.
#include "platform/ui/headless/HeadlessBackend.h"
#include "shell/FontDialog.h"
#include "services/Settings.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {
void put(const char* name, const uint8_t* data, size_t size) {
    std::ofstream f(name, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/kv-settings-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    std::filesystem::current_path(pattern);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    put(kv::services::kSystemCfg, data, size);
    put(kv::services::kTempTxt, data, size);
    kv::ui::HeadlessBackend hb;
    kv::ui::setBackend(&hb);
    if (kv::services::readFontSize() > 999) std::abort();
    const int face = kv::services::fontFacePosition();
    if (face < 0 || face > 3) std::abort();
    (void)kv::services::displayFontFace();
    (void)kv::services::readSlot(kv::services::kHandshakeSlot);
    (void)kv::services::readTempNumber();
    kv::shell::FontDialog d(nullptr);
    hb.queueScript(265, [](kv::ui::Dialog& dlg) { dlg.dispatch(kv::ui::IdOk, kv::ui::Notify::Clicked); });
    hb.runModal(d, nullptr);
    return 0;
}
