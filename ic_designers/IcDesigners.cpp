#include "ic_designers/IcDesigners.h"

#include "ic_designers/SinglePfcDesigner.h"
#include "services/Windows.h"

namespace kv::ic {

// Designers join here, one line each, as they are built.
void registerWindows() {
    services::registerWindow<SinglePfcDesigner>(SinglePfcDesigner::kTemplate);
}

} // namespace kv::ic
