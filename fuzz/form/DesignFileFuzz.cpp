// Design files of any bytes: read or refused with a message, never a crash;
// what was read, written again, reads back the same.
#include "form/DesignFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool sameLines(const std::vector<kv::form::DesignLine>& a, const std::vector<kv::form::DesignLine>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].value != b[i].value) return false;
    return true;
}

// Whether the written text stays within what the reader takes: a line spaced
// out as "name = value" can grow past the longest line.
bool withinLimits(std::string_view text) {
    if (text.size() > kv::form::kDesignMaxBytes) return false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        if (nl == std::string_view::npos) nl = text.size();
        if (nl - start > kv::form::kDesignMaxLine) return false;
        start = nl + 1;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const kv::form::DesignRead r = kv::form::readDesign(text);
    if (!r.design) {
        if (r.error.empty()) std::abort(); // refused without a word
        return 0;
    }
    if (!r.error.empty()) std::abort();
    const kv::form::Design& d = *r.design;
    const std::string again = kv::form::writeDesign(d);
    if (!withinLimits(again)) return 0;
    const kv::form::DesignRead back = kv::form::readDesign(again);
    if (!back.design) std::abort();
    const kv::form::Design& e = *back.design;
    if (e.templateId != d.templateId || e.window != d.window || e.buttons != d.buttons ||
        !sameLines(e.inputs, d.inputs) || !sameLines(e.results, d.results))
        std::abort();
    return 0;
}
