// File access shared by the formula runner and the interface loader: both
// read a text up to its end mark '#' and append the mark when it is missing.
#pragma once

#include "platform/io/Files.h"
#include "script/Reporter.h"

#include <cstddef>
#include <string>

namespace kv::script {

struct MarkedText {
    std::string text;     // the bytes before the first '#', at most `cap` of them
    bool hasMark = false; // the file holds a '#'
    bool tooLong = false; // more than `cap` bytes come before the end mark
};

// Reads `path` up to its first '#'. With `create` a missing file is created
// empty first (never truncated).
kv::io::FileError readToMark(const std::string& path, bool create, std::size_t cap,
                             MarkedText& out);
// Appends one '#' to the file.
kv::io::FileError appendMark(const std::string& path);
// The framework's message for a file that cannot be opened, read or written.
void reportFileError(const kv::io::FileError& e, Reporter& reporter);
// readToMark, then the mark appended with the notice `noMark` (caption "注意")
// when the file had none. A file error is reported and false returned.
bool loadMarked(const std::string& path, bool create, std::size_t cap, MarkedText& out,
                const char* noMark, Reporter& reporter);

} // namespace kv::script
