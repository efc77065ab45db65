#include "platform/ui/LineTokens.h"

#include <charconv>

namespace kv::ui {
namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

} // namespace

bool tokenizeLine(std::string_view line, std::vector<LineToken>& out, std::string& error, bool keyValues) {
    size_t i = 0;
    auto readQuoted = [&](std::string& s) {
        ++i; // opening quote
        while (i < line.size()) {
            char d = line[i++];
            if (d == '"') return true;
            if (d == '\\' && i < line.size()) {
                char e = line[i++];
                s += e == 'n' ? '\n' : e;
            } else {
                s += d;
            }
        }
        error = "unterminated string";
        return false;
    };
    auto wordEnd = [&](size_t j, bool stopAtSigns) {
        while (j < line.size() && !blank(line[j]) && !(stopAtSigns && (line[j] == '=' || line[j] == '"'))) ++j;
        return j;
    };
    while (i < line.size()) {
        char c = line[i];
        if (blank(c)) {
            ++i;
            continue;
        }
        if (c == '#' && out.empty()) return true;
        LineToken t;
        if (c == '"') {
            if (!readQuoted(t.value)) return false;
            t.quoted = true;
            out.push_back(std::move(t));
            continue;
        }
        size_t j = wordEnd(i, keyValues);
        std::string word(line.substr(i, j - i));
        i = j;
        if (keyValues && i < line.size() && line[i] == '=') {
            ++i;
            t.key = std::move(word);
            if (i < line.size() && line[i] == '"') {
                if (!readQuoted(t.value)) return false;
                t.quoted = true;
            } else {
                size_t k = wordEnd(i, false);
                t.value = std::string(line.substr(i, k - i));
                i = k;
            }
        } else if (keyValues && i < line.size() && line[i] == '"') {
            error = "stray quote";
            return false;
        } else {
            t.value = std::move(word);
        }
        out.push_back(std::move(t));
    }
    return true;
}

bool parseInt(const std::string& s, int& v) {
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

} // namespace kv::ui
