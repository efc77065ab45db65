#include "ic_designers/IcDesigners.h"

#include "ic_designers/LlcDesigner.h"
#include "ic_designers/Ob2269Designer.h"
#include "ic_designers/QrDesigner.h"
#include "services/Windows.h"

namespace kv::ic {

// Designers join here, one line each, as they are built.
void registerWindows() {
    services::registerWindow<LlcDesigner>(LlcDesigner::kTemplate);
    services::registerWindow<QrDesigner>(QrDesigner::kTemplate);
    services::registerWindow<Ob2269Designer>(Ob2269Designer::kTemplate);
}

} // namespace kv::ic
