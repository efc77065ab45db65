#include "platform/ui/Backend.h"

#include "platform/ui/headless/HeadlessBackend.h"

namespace kv::ui {

namespace {
Backend* g_backend = nullptr;
}

Backend& backend() {
    if (!g_backend) {
        static HeadlessBackend fallback;
        return fallback;
    }
    return *g_backend;
}

void setBackend(Backend* b) { g_backend = b; }

} // namespace kv::ui
