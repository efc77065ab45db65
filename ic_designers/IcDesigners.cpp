#include "ic_designers/IcDesigners.h"

#include "ic_designers/LlcDesigner.h"
#include "services/Windows.h"

namespace kv::ic {

// Designers join here, one line each, as they are built.
void registerWindows() {
    services::registerWindow<LlcDesigner>(LlcDesigner::kTemplate);
}

} // namespace kv::ic
