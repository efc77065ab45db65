// Array files: numbers one per line, and path splitting.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kv::panels {

enum class ArrayFileError { None, ReadOnly, Failed };

// The shortest text that reads back to the same double, right-aligned in at
// least `width` characters, in the C locale.
std::string formatArrayNumber(double v, int width);

// Writes the numbers one per line. The file is written beside the target
// and renamed over it, so a failed write leaves the old file as it was.
// A target whose write permission is off is refused as ReadOnly. `reason`
// tells why a write failed.
ArrayFileError ArrayToFile(const std::string& path, const double* values, std::size_t n,
                           int fieldWidth, std::string& reason);

// Reads numbers one per line (blank lines and blanks around a number are
// allowed) from text. Returns false with `reason` on a line that is not a
// finite decimal number.
bool parseArrayText(std::string_view text, std::vector<double>& out, std::string& reason);

// Reads a whole file of at most maxBytes.
bool ReadTextFile(const std::string& path, std::size_t maxBytes, std::string& text,
                  std::string& reason);

// Reads a file of at most maxBytes with parseArrayText.
bool FileToArray(const std::string& path, std::size_t maxBytes, std::vector<double>& out,
                 std::string& reason);

// The file-name part of a path (after the last '/' or '\').
std::string SplitPathFileName(std::string_view path);

} // namespace kv::panels
