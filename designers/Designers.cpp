#include "designers/Designers.h"

#include "designers/BridgeDesigners.h"
#include "designers/DcdcDesigner.h"
#include "designers/FlybackDesigner.h"
#include "designers/ForwardDesigner.h"
#include "designers/RccDesigner.h"
#include "services/Windows.h"

namespace kv::designers {

namespace {
// A designer's window by its template, and its files and formula names for the formula language.
template <class W>
void registerClassic() {
    services::registerWindow<W>(W::kFiles.templateId);
    typename W::Record record;
    registerScript(W::kFiles, W::fieldsOf(record));
}
} // namespace

// In the order of the editor page's lists.
void registerWindows() {
    registerClassic<DcdcDesigner>();
    registerClassic<FlybackDesigner>();
    registerClassic<RccDesigner>();
    registerClassic<ForwardDesigner>();
    registerClassic<PushPullDesigner>();
    registerClassic<HalfBridgeDesigner>();
    registerClassic<FullBridgeDesigner>();
}

} // namespace kv::designers
