#include "cli/json.h"

#include "project/xml_check.h"

#include <cstdio>

namespace strovane::cli {

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            // JSON is Unicode text: bytes that are not UTF-8 (a file name may hold any) become U+FFFD.
            std::size_t j = i;
            if (strovane::project::xml::decodeUtf8(text, j)) {
                out.append(text.substr(i, j - i));
                i = j;
            } else {
                out += "\\uFFFD";
                ++i;
            }
            continue;
        }
        ++i;
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

} // namespace strovane::cli
