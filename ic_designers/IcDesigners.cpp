#include "ic_designers/IcDesigners.h"

#include "ic_designers/LlcDesigner.h"
#include "ic_designers/Ob2269Designer.h"
#include "ic_designers/QrDesigner.h"
#include "ic_designers/BuckLedDesigners.h"
#include "ic_designers/IsolatedLedDesigner.h"
#include "ic_designers/Mt7930Designer.h"
#include "ic_designers/SinglePfcDesigner.h"
#include "services/Windows.h"

namespace kv::ic {

// Designers join here, one line each, as they are built.
void registerWindows() {
    services::registerWindow<LlcDesigner>(LlcDesigner::kTemplate);
    services::registerWindow<QrDesigner>(QrDesigner::kTemplate);
    services::registerWindow<Ob2269Designer>(Ob2269Designer::kTemplate);
    services::registerWindow<SinglePfcDesigner>(SinglePfcDesigner::kTemplate);
    services::registerWindow<Mt7930Designer>(Mt7930Designer::kTemplate);
    services::registerWindow<IsolatedLedDesigner>(IsolatedLedDesigner::kTemplate);
    services::registerWindow<Sd670xDesigner>(Sd670xDesigner::kTemplate);
    services::registerWindow<Sd690xDesigner>(Sd690xDesigner::kTemplate);
}

} // namespace kv::ic
