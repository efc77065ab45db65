// The words of one line of our readable resource files (dialog templates,
// the K7350 panel file).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::ui {

struct LineToken {
    std::string key;   // before '=' (key=value lines only; empty otherwise)
    std::string value; // the word, or the text of a "quoted string"
    bool quoted = false;
};

// Splits `line` at blanks into words and "quoted strings", which keep their
// blanks and take the escapes \" \\ \n. A '#' first on the line makes it a
// comment (no tokens). With `keyValues`, word=value and word="text" are one
// token with its key, and a quote right after a word is an error; without,
// '=' and '"' inside a word belong to the word. False with `error` set on an
// unterminated string or a stray quote.
bool tokenizeLine(std::string_view line, std::vector<LineToken>& out, std::string& error, bool keyValues);

// The whole of `s` as a decimal int.
bool parseInt(const std::string& s, int& v);

} // namespace kv::ui
