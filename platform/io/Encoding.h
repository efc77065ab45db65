// Text encodings: the program works in UTF-8; files from the original Windows
// program are GBK.
#pragma once

#include <string>
#include <string_view>

namespace kv::io {

bool isValidUtf8(std::string_view s);
// Characters without a GBK form become '?'.
std::string utf8ToGbk(std::string_view s);
// Invalid sequences become U+FFFD.
std::string gbkToUtf8(std::string_view s);
// UTF-8 when the bytes are valid UTF-8, else GBK.
std::string decodeText(std::string_view s);

} // namespace kv::io
