#include "loop/LoopSheet.h"

#include "services/Windows.h"

namespace kv::loop {

// Pages join here, one line each, as they are built.
void registerWindows() {}

} // namespace kv::loop
