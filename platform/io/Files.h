// Small files read and written in place at fixed offsets: each access opens
// the file (creating it empty when missing, never truncating), reads or writes,
// and closes it at once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kv::io {

struct FileError {
    std::string path;
    std::string reason; // strerror text, empty when all went well
    explicit operator bool() const { return !reason.empty(); }
};

// Creates the file holding `initial` where none exists; an existing file is
// left as it is, whatever it holds.
FileError ensureFile(const std::string& path, std::string_view initial = {});
// Reads up to `n` bytes at `offset`; fewer (or none) past the end of the file.
FileError readAt(const std::string& path, std::uint64_t offset, std::size_t n, std::string& out);
// Writes `data` at `offset`; bytes skipped past the old end read as zero.
FileError writeAt(const std::string& path, std::uint64_t offset, std::string_view data);

// The framework's message for a file that cannot be opened or written.
std::string fileErrorText(const FileError& e);

// Folder of the running executable.
std::string programDir();

// The folder the program works in. Some steps go back to it (after the save
// dialog, on the progress timer); nothing happens until one is set.
void setWorkFolder(const std::string& dir);
void restoreWorkFolder();
// The folder set last (empty when none was).
const std::string& workFolder();

} // namespace kv::io
