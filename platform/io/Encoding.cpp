#include "platform/io/Encoding.h"

#include <iconv.h>

#include <cerrno>

namespace kv::io {

bool isValidUtf8(std::string_view s) {
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        int len;
        unsigned cp;
        if (c < 0x80) { ++i; continue; }
        if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; }
        else return false;
        if (i + len > n) return false;
        for (int k = 1; k < len; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
            cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

namespace {
// Converts with iconv; an unconvertible or invalid input unit becomes `bad`.
std::string convert(const char* to, const char* from, std::string_view in, std::string_view bad,
                    size_t badSkip) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    out.reserve(in.size() * 3 / 2 + 4);
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buf[4096];
    while (left > 0) {
        char* dst = buf;
        size_t room = sizeof buf;
        size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, size_t(dst - buf));
        if (r == size_t(-1) && errno != E2BIG) {
            // EILSEQ or EINVAL: replace one unit and go on
            out += bad;
            size_t skip = badSkip;
            if (badSkip == 0) { // a UTF-8 sequence: skip the whole character
                const auto c = static_cast<unsigned char>(*src);
                skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            }
            if (skip > left) skip = left;
            src += skip;
            left -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}
} // namespace

std::string utf8ToGbk(std::string_view s) { return convert("GBK", "UTF-8", s, "?", 0); }
// One byte at a time: the ASCII byte after a broken lead byte (a ';') survives.
std::string gbkToUtf8(std::string_view s) { return convert("UTF-8", "CP936", s, "\xEF\xBF\xBD", 1); }

std::string decodeText(std::string_view s) { return isValidUtf8(s) ? std::string(s) : gbkToUtf8(s); }

} // namespace kv::io
