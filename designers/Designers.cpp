#include "designers/Designers.h"

#include "designers/BridgeDesigners.h"
#include "designers/DcdcDesigner.h"
#include "designers/FlybackDesigner.h"
#include "designers/ForwardDesigner.h"
#include "designers/RccDesigner.h"
#include "script/Bindings.h"
#include "services/Windows.h"

namespace kv::designers {

void registerWindows() {
    services::registerWindow<FlybackDesigner>(129);
    services::registerWindow<ForwardDesigner>(script::kForwardTemplate);
    services::registerWindow<PushPullDesigner>(script::kPushPullTemplate);
    services::registerWindow<HalfBridgeDesigner>(script::kHalfBridgeTemplate);
    services::registerWindow<FullBridgeDesigner>(script::kFullBridgeTemplate);
    services::registerWindow<RccDesigner>(script::kRccTemplate);
    services::registerWindow<DcdcDesigner>(script::kDcdcTemplate);
}

} // namespace kv::designers
