// Text decoding of user files: UTF-8 when the bytes are valid UTF-8, else GBK.
#pragma once

#include <string>
#include <string_view>

namespace kv::script {

// GBK (code page 936) to UTF-8. A byte that starts no valid character becomes
// U+FFFD on its own, so the ASCII byte after it (a ';' or '=') is kept.
std::string gbkToUtf8(std::string_view bytes);
// UTF-8 as is when valid, else decoded as GBK.
std::string decodeUserText(std::string_view bytes);

} // namespace kv::script
