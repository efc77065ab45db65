// The classic topology designers of this build.
#pragma once

namespace kv::designers {
// Registers every classic designer by its template.
void registerWindows();
} // namespace kv::designers
