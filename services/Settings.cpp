#include "services/Settings.h"

#include "platform/ui/Backend.h"
#include "platform/ui/Dialog.h"
#include "platform/io/Files.h"

#include <algorithm>
#include <charconv>

namespace kv::services {

namespace {
bool reported(const io::FileError& e) {
    if (!e) return false;
    ui::backend().messageBox(nullptr, io::fileErrorText(e), ui::kAppName, ui::Icon::Error,
                             ui::Buttons::Ok);
    return true;
}

std::optional<std::string> readBytes(const char* file, int offset, std::size_t n) {
    if (file == kSystemCfg && !ensureSettingsFile()) return std::nullopt;
    std::string out;
    if (reported(io::readAt(file, std::uint64_t(offset), n, out))) return std::nullopt;
    return out;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
} // namespace

bool ensureSettingsFile() { return !reported(io::ensureFile(kSystemCfg, kNewSettings)); }

std::optional<char> readSlot(int offset) {
    auto b = readBytes(kSystemCfg, offset, 1);
    if (!b || b->empty()) return std::nullopt;
    return (*b)[0];
}

bool writeSlot(int offset, char c) {
    if (!ensureSettingsFile()) return false;
    return !reported(io::writeAt(kSystemCfg, std::uint64_t(offset), std::string_view(&c, 1)));
}

int fontFacePosition() {
    auto c = readSlot(kFontFaceSlot);
    return c && *c >= '0' && *c <= '3' ? *c - '0' : 0;
}

int readFontSize() {
    auto b = readBytes(kSystemCfg, kFontSizeSlot, 3);
    int size = 0;
    if (b)
        for (char c : *b) {
            if (!isDigit(c)) break;
            size = size * 10 + (c - '0');
        }
    return size;
}

void writeFont(int facePosition, int size) {
    if (!writeSlot(kFontFaceSlot, char('0' + facePosition))) return;
    const std::string digits = std::to_string(size);
    if (digits.size() < 3 && !writeSlot(4, '&')) return;
    if (digits.size() < 2 && !writeSlot(3, '&')) return;
    if (digits.empty() && !writeSlot(2, '&')) return;
    reported(io::writeAt(kSystemCfg, kFontSizeSlot, digits.substr(0, 3)));
}

int displayFontSize() { return std::min(readFontSize(), kLargestDisplayFont); }

std::string displayFontFace() {
    auto c = readSlot(kFontFaceSlot);
    if (!c) return {};
    switch (*c) {
    case '0': return "黑体";
    case '1': return "华文行楷";
    case '2': return "楷体";
    case '3': return "宋体";
    default: return {};
    }
}

std::string tempNumberText(double value) {
    std::string s = ui::formatNumber(value);
    if (s.size() >= 6) return s.substr(0, 6);
    s += '\0';
    s.resize(6, ' ');
    return s;
}

void writeTempNumber(double value) { reported(io::writeAt(kTempTxt, 1, tempNumberText(value))); }

double leadingNumber(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
    const char* first = s.data() + i;
    const char* last = s.data() + s.size();
    if (first < last && *first == '+') ++first;
    double v = 0;
    auto r = std::from_chars(first, last, v, std::chars_format::general);
    return r.ec == std::errc() ? v : 0.0;
}

double readTempNumber() {
    auto b = readBytes(kTempTxt, 1, 6);
    if (!b) return 0;
    const auto zero = b->find('\0');
    return leadingNumber(b->substr(0, zero));
}

} // namespace kv::services
