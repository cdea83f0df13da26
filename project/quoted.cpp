#include "project/quoted.h"

#include "project/xml_check.h"

#include <cstdio>

namespace strovane::project {

namespace {

void appendByte(std::string& out, unsigned char b) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02X", b);
    out += buf;
}

// Appends text with the escapes; stops after maxChars characters and tells whether it cut.
bool appendEscaped(std::string& out, std::string_view text, std::size_t maxChars, bool quotes) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (chars == maxChars)
            return true;
        ++chars;
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            std::size_t j = i;
            const std::optional<char32_t> cp = xml::decodeUtf8(text, j);
            // Valid UTF-8 stays as it is, apart from the line and paragraph separators.
            if (cp && *cp != 0x2028 && *cp != 0x2029 && !(*cp >= 0x80 && *cp < 0xA0)) {
                out.append(text.substr(i, j - i));
                i = j;
            } else {
                appendByte(out, c);
                ++i;
            }
            continue;
        }
        ++i;
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '"':
            out += quotes ? "\\\"" : "\"";
            break;
        case '\\':
            out += quotes ? "\\\\" : "\\";
            break;
        default:
            if (c < 0x20 || c == 0x7F)
                appendByte(out, c);
            else
                out += static_cast<char>(c);
        }
    }
    return false;
}

} // namespace

std::string quoted(std::string_view text, std::size_t maxChars) {
    std::string out = "\"";
    if (appendEscaped(out, text, maxChars, true))
        out += "...";
    return out + "\"";
}

std::string oneLine(std::string_view text) {
    std::string out;
    appendEscaped(out, text, std::string_view::npos, false);
    return out;
}

} // namespace strovane::project
