// A minimal JSON writer for the command-line drivers.
#pragma once

#include "platform/ui/Dialog.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace kv::tools {

inline std::string jsonString(std::string_view s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

// A colour 0xRRGGBB as "#rrggbb".
inline std::string rgbText(unsigned rgb) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06x", rgb & 0xFFFFFFu);
    return buf;
}

inline const char* iconText(ui::Icon i) {
    switch (i) {
    case ui::Icon::Error: return "error";
    case ui::Icon::Warning: return "warning";
    case ui::Icon::Information: return "information";
    case ui::Icon::Question: return "question";
    case ui::Icon::None: break;
    }
    return "none";
}

} // namespace kv::tools
