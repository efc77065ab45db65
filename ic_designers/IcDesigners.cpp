#include "ic_designers/IcDesigners.h"

#include "services/Windows.h"

namespace kv::ic {

// Designers join here, one line each, as they are built.
void registerWindows() {}

} // namespace kv::ic
