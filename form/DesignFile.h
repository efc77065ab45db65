// A design kept as a file: plain UTF-8 text, one `name = value` line each.
//
//   # comment lines and blank lines anywhere
//   format = 1                      first: the layout of the file
//   template = 129                  the window the design belongs to
//   window = 单端反激变换器  Flyback  its name, for people reading the file
//   buttons = 3 4                   the calculations, in the order they run on opening
//   [inputs]                        what the user chose and typed, by name
//   工作模式 = 连续(CCM)
//   Po = 60
//   [results]                       as shown when saved: for reading, never read back
//   Lp = 368.858
//   [end]                           the last line: without it the file is cut short
//
// Reading checks the whole text before anything uses it; no window types here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::form {

// The layout this program writes, and the newest it reads.
inline constexpr int kDesignFormat = 1;
inline constexpr const char* kDesignExtension = "kvd";
// Designs are a few kilobytes; anything this large is not one.
inline constexpr std::size_t kDesignMaxBytes = 256 * 1024;
// Nor is a line longer than this.
inline constexpr std::size_t kDesignMaxLine = 4096;

struct DesignLine {
    std::string name;
    std::string value; // blanks around it removed; may be empty
    int line = 0;      // where it stands in the file (1: the first line); 0 for a design not read from one
};

struct Design {
    int templateId = 0;
    std::string window;
    std::vector<std::string> buttons;
    int buttonsLine = 0;
    std::vector<DesignLine> inputs;
    std::vector<DesignLine> results;

    const DesignLine* input(std::string_view name) const;
};

// The file's text.
std::string writeDesign(const Design& d);

// The design in `text`, or why it is none ("第3行：…").
struct DesignRead {
    std::optional<Design> design;
    std::string error;
};
DesignRead readDesign(std::string_view text);

// Said of a file of `bytes` bytes, above kDesignMaxBytes.
std::string designTooLarge(std::size_t bytes);

// "第n行：" before a message about line n (nothing for line 0).
std::string atLine(int line);

} // namespace kv::form
