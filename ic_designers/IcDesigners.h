// The controller-specific designers of this build.
#pragma once

namespace kv::ic {
// Registers every controller-specific designer by its template.
void registerWindows();
} // namespace kv::ic
