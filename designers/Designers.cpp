#include "designers/Designers.h"

#include "designers/FlybackDesigner.h"
#include "services/Windows.h"

namespace kv::designers {

void registerWindows() { services::registerWindow<FlybackDesigner>(129); }

} // namespace kv::designers
