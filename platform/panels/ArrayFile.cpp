#include "platform/panels/ArrayFile.h"

#include "platform/io/AtomicFile.h"
#include "platform/ui/Numbers.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace kv::panels {

std::string formatArrayNumber(double v, int width) {
    std::string s = ui::formatNumber(v, 0, ui::Notation::Shortest);
    if (int(s.size()) < width) s.insert(0, size_t(width) - s.size(), ' ');
    return s;
}

ArrayFileError ArrayToFile(const std::string& path, const double* values, std::size_t n,
                           int fieldWidth, std::string& reason) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            reason = "it is a folder";
            return ArrayFileError::Failed;
        }
        if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))) return ArrayFileError::ReadOnly;
    }
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += formatArrayNumber(values[i], fieldWidth) + "\n";
    const io::Replaced r = io::replaceFile(path, text);
    if (r) return ArrayFileError::None;
    const std::string why = std::strerror(r.error);
    reason = r.step == io::Replaced::Step::Write    ? "write: " + why
             : r.step == io::Replaced::Step::Rename ? "rename: " + why
                                                    : why;
    return ArrayFileError::Failed;
}

bool parseArrayText(std::string_view text, std::vector<double>& out, std::string& reason) {
    out.clear();
    std::size_t pos = 0;
    int line = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) nl = text.size();
        std::string_view s = text.substr(pos, nl - pos);
        pos = nl + 1;
        ++line;
        const auto a = s.find_first_not_of(" \t\r");
        if (a == std::string_view::npos) continue;
        const auto b = s.find_last_not_of(" \t\r");
        s = s.substr(a, b - a + 1);
        if (!s.empty() && s[0] == '+') s.remove_prefix(1);
        double v = 0;
        auto r = std::from_chars(s.data(), s.data() + s.size(), v);
        if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) {
            reason = "line " + std::to_string(line) + " is not a number";
            return false;
        }
        out.push_back(v);
    }
    return true;
}

bool ReadTextFile(const std::string& path, std::size_t maxBytes, std::string& text,
                  std::string& reason) {
    text.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        reason = std::strerror(errno);
        return false;
    }
    char buf[8192];
    std::size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) {
        text.append(buf, got);
        if (text.size() > maxBytes) {
            std::fclose(f);
            reason = "the file is larger than " + std::to_string(maxBytes / 1024) + " KiB";
            return false;
        }
    }
    const bool err = std::ferror(f);
    std::fclose(f);
    if (err) {
        reason = "read error";
        return false;
    }
    return true;
}

bool FileToArray(const std::string& path, std::size_t maxBytes, std::vector<double>& out,
                 std::string& reason) {
    std::string text;
    return ReadTextFile(path, maxBytes, text, reason) && parseArrayText(text, out, reason);
}

std::string SplitPathFileName(std::string_view path) {
    const auto k = path.find_last_of("/\\");
    return std::string(k == std::string_view::npos ? path : path.substr(k + 1));
}

} // namespace kv::panels
