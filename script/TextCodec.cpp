#include "script/TextCodec.h"

#include "platform/ui/Encoding.h"

#include <cerrno>
#include <iconv.h>

namespace kv::script {

std::string gbkToUtf8(std::string_view bytes) {
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) { // no converter: keep ASCII only
        for (char c : bytes) {
            if (static_cast<unsigned char>(c) < 0x80) out += c;
            else out += "\xEF\xBF\xBD";
        }
        return out;
    }
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buf[4096];
    while (inLeft > 0) {
        char* o = buf;
        std::size_t oLeft = sizeof buf;
        const std::size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buf, static_cast<std::size_t>(o - buf));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // EILSEQ or a truncated pair at the end: replace one byte, go on
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

std::string decodeUserText(std::string_view bytes) {
    if (kv::ui::isValidUtf8(bytes)) return std::string(bytes);
    return gbkToUtf8(bytes);
}

} // namespace kv::script
