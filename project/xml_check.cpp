#include "project/xml_check.h"

#include "project/quoted.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <unordered_set>
#include <vector>

namespace strovane::project::xml {

namespace {

struct Fault {
    std::string description;
    std::size_t offset;
};

std::string codePoint(char32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
    return buf;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Byte classes for the fast paths: 0 is a byte that needs no further look.
enum : std::uint8_t { kPlain = 0, kLook = 1 };

constexpr std::array<std::uint8_t, 256> textTable(std::string_view specials) {
    std::array<std::uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c >= 0x80 ? kLook : kPlain;
    for (const char c : specials)
        t[static_cast<unsigned char>(c)] = kLook;
    return t;
}

constexpr auto kCharData = textTable("<&]");
constexpr auto kAttrQuot = textTable("<&\"");
constexpr auto kAttrApos = textTable("<&'");

// ASCII name characters: 2 may start a name, 1 may only continue one.
constexpr std::array<std::uint8_t, 128> kNameAscii = [] {
    std::array<std::uint8_t, 128> t{};
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = 2;
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = 2;
    t[':'] = t['_'] = 2;
    for (int c = '0'; c <= '9'; ++c)
        t[c] = 1;
    t['-'] = t['.'] = 1;
    return t;
}();

bool isNameStart(char32_t c) {
    if (c < 0x80)
        return kNameAscii[c] == 2;
    return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) ||
           (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar(char32_t c) {
    if (c < 0x80)
        return kNameAscii[c] != 0;
    return isNameStart(c) || c == 0xB7 || (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

class Checker {
public:
    explicit Checker(std::string_view text) : s(text) {}

    void document() {
        if (at("<?xml") && i + 5 < s.size() && isSpace(s[i + 5]))
            xmlDeclaration();
        misc(false);
        if (i == s.size())
            fail("the document has no root element", i);
        element();
        misc(true);
    }

private:
    std::string_view s;
    std::size_t i = 0;
    std::vector<std::string_view> open;         // names of the open elements
    std::vector<std::string_view> attributes;   // names in the tag being read
    std::unordered_set<std::string_view> many;  // the same, for tags with very many

    [[noreturn]] static void fail(std::string description, std::size_t offset) {
        throw Fault{std::move(description), offset};
    }

    bool at(std::string_view literal) const {
        if (s.size() - i < literal.size())
            return false;
        for (std::size_t k = 0; k < literal.size(); ++k)
            if (s[i + k] != literal[k])
                return false;
        return true;
    }

    void expect(std::string_view literal, const char* what) {
        if (!at(literal))
            fail(std::string("expected ") + what, i);
        i += literal.size();
    }

    bool skipSpace() {
        const std::size_t from = i;
        while (i < s.size() && isSpace(s[i]))
            ++i;
        return i > from;
    }

    // One character, checked; advances past it.
    char32_t character() {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                fail(c == 0 ? "a NUL byte, which XML does not allow"
                            : "the character " + codePoint(c) + ", which XML does not allow",
                     i);
            ++i;
            return c;
        }
        std::size_t j = i;
        const std::optional<char32_t> cp = decodeUtf8(s, j);
        if (!cp)
            fail("bytes that are not valid UTF-8", i);
        if (!isXmlChar(*cp))
            fail("the character " + codePoint(*cp) + ", which XML does not allow", i);
        i = j;
        return *cp;
    }

    std::string_view name(const char* what) {
        const std::size_t from = i;
        if (i == s.size())
            fail(std::string("the document ends where ") + what + " was expected", i);
        std::size_t j = i;
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            if (kNameAscii[c] != 2)
                fail(std::string("expected ") + what, i);
            ++j;
        } else {
            const std::optional<char32_t> cp = decodeUtf8(s, j);
            if (!cp || !isNameStart(*cp))
                fail(std::string("expected ") + what, i);
        }
        for (;;) {
            while (j < s.size() && static_cast<unsigned char>(s[j]) < 0x80 &&
                   kNameAscii[static_cast<unsigned char>(s[j])] != 0)
                ++j;
            if (j == s.size() || static_cast<unsigned char>(s[j]) < 0x80)
                break;
            std::size_t k = j;
            const std::optional<char32_t> cp = decodeUtf8(s, k);
            if (!cp || !isNameChar(*cp))
                break;
            j = k;
        }
        i = j;
        return s.substr(from, j - from);
    }

    // At '&': a character reference to an allowed character or one of the five entities.
    void reference() {
        const std::size_t from = i;
        ++i;
        if (at("#")) {
            ++i;
            const bool hex = at("x");
            if (hex)
                ++i;
            std::uint32_t value = 0;
            std::size_t digits = 0;
            for (; i < s.size() && s[i] != ';'; ++i, ++digits) {
                const char c = s[i];
                int d = -1;
                if (c >= '0' && c <= '9')
                    d = c - '0';
                else if (hex && c >= 'a' && c <= 'f')
                    d = c - 'a' + 10;
                else if (hex && c >= 'A' && c <= 'F')
                    d = c - 'A' + 10;
                if (d < 0)
                    fail("a character reference with a character that is not a digit", i);
                value = std::min<std::uint32_t>(value * (hex ? 16 : 10) + static_cast<std::uint32_t>(d), 0x110000);
            }
            if (i == s.size())
                fail("an unterminated character reference", from);
            if (digits == 0)
                fail("an empty character reference", from);
            if (!isXmlChar(value))
                fail("a character reference to " + (value >= 0x110000 ? std::string("a number beyond U+10FFFF")
                                                                    : codePoint(value)) +
                         ", which XML does not allow",
                     from);
            ++i;
            return;
        }
        if (i == s.size() || s[i] == ';' || isSpace(s[i]))
            fail("an '&' that begins no reference (write it as &amp;)", from);
        const std::string_view entity = name("an entity name after '&'");
        if (!at(";"))
            fail("an entity reference without its ';'", from);
        ++i;
        if (entity != "amp" && entity != "lt" && entity != "gt" && entity != "apos" && entity != "quot")
            fail("the undeclared entity &" + std::string(entity) + ";", from);
    }

    void attributeValue() {
        if (i == s.size() || (s[i] != '"' && s[i] != '\''))
            fail("expected a quoted attribute value", i);
        const char quote = s[i++];
        const auto& table = quote == '"' ? kAttrQuot : kAttrApos;
        for (;;) {
            while (i < s.size() && table[static_cast<unsigned char>(s[i])] == kPlain)
                ++i;
            if (i == s.size())
                fail("an attribute value that is not closed", i);
            const char c = s[i];
            if (c == quote) {
                ++i;
                return;
            }
            if (c == '<')
                fail("a '<' inside an attribute value", i);
            if (c == '&')
                reference();
            else
                character();
        }
    }

    void noteAttribute(std::string_view attr, std::size_t offset) {
        constexpr std::size_t kLinear = 16;
        bool repeated = false;
        if (attributes.size() < kLinear) {
            repeated = std::find(attributes.begin(), attributes.end(), attr) != attributes.end();
            attributes.push_back(attr);
            if (attributes.size() == kLinear)
                many.insert(attributes.begin(), attributes.end());
        } else {
            repeated = !many.insert(attr).second;
        }
        if (repeated)
            fail("the attribute \"" + std::string(attr) + "\" given twice", offset);
    }

    // At '<' of a start tag; true when the element is empty ("/>").
    bool startTag() {
        ++i;
        open.push_back(name("an element name"));
        attributes.clear();
        many.clear();
        for (;;) {
            const bool spaced = skipSpace();
            if (i < s.size() && s[i] == '>') {
                ++i;
                return false;
            }
            if (i + 1 < s.size() && s[i] == '/' && s[i + 1] == '>') {
                i += 2;
                open.pop_back();
                return true;
            }
            if (i == s.size())
                fail("the document ends inside the tag <" + std::string(open.back()) + ">", i);
            if (!spaced)
                fail("expected a blank, '>' or '/>' in a tag", i);
            const std::size_t from = i;
            const std::string_view attr = name("an attribute name");
            if (i < s.size() && s[i] == '=') {
                ++i;
            } else {
                skipSpace();
                expect("=", "'=' after an attribute name");
            }
            if (i < s.size() && isSpace(s[i]))
                skipSpace();
            attributeValue();
            noteAttribute(attr, from);
        }
    }

    void endTag() {
        const std::size_t from = i;
        i += 2;
        const std::string_view closing = name("an element name after '</'");
        if (closing != open.back())
            fail("the end tag </" + std::string(closing) + "> does not match <" + std::string(open.back()) + ">",
                 from);
        skipSpace();
        expect(">", "'>' to end the end tag");
        open.pop_back();
    }

    void comment() {
        const std::size_t from = i;
        i += 4;
        const std::size_t dash = s.find("--", i);
        checkText(dash == std::string_view::npos ? s.size() : dash);
        if (dash == std::string_view::npos)
            fail("a comment that is not closed", from);
        if (dash + 2 >= s.size() || s[dash + 2] != '>')
            fail("'--' inside a comment", dash);
        i = dash + 3;
    }

    void processingInstruction() {
        const std::size_t from = i;
        i += 2;
        const std::string_view target = name("a processing instruction's target");
        if (lower(target) == "xml")
            fail("an XML declaration that is not at the very start of the document", from);
        if (!at("?>") && !skipSpace())
            fail("expected a blank or '?>' after a processing instruction's target", i);
        const std::size_t end = s.find("?>", i);
        checkText(end == std::string_view::npos ? s.size() : end);
        if (end == std::string_view::npos)
            fail("a processing instruction that is not closed", from);
        i = end + 2;
    }

    void cdata() {
        const std::size_t from = i;
        i += 9;
        const std::size_t end = s.find("]]>", i);
        checkText(end == std::string_view::npos ? s.size() : end);
        if (end == std::string_view::npos)
            fail("a CDATA section that is not closed", from);
        i = end + 3;
    }

    // Checks every character up to `end`.
    void checkText(std::size_t end) {
        while (i < end) {
            while (i < end && kCharData[static_cast<unsigned char>(s[i])] == kPlain)
                ++i;
            if (i < end) {
                const auto c = static_cast<unsigned char>(s[i]);
                if (c == '<' || c == '&' || c == ']')
                    ++i;
                else
                    character();
            }
        }
    }

    void xmlDeclaration() {
        i += 5;
        auto pseudo = [&](const char* key, bool required) {
            const std::size_t from = i;
            const bool spaced = skipSpace();
            if (!at(key)) {
                if (required)
                    fail(std::string("expected \"") + key + "\" in the XML declaration", i);
                i = from;
                return std::string_view();
            }
            if (!spaced)
                fail("expected a blank in the XML declaration", i);
            i += std::char_traits<char>::length(key);
            skipSpace();
            expect("=", "'=' in the XML declaration");
            skipSpace();
            if (i == s.size() || (s[i] != '"' && s[i] != '\''))
                fail("expected a quoted value in the XML declaration", i);
            const char quote = s[i++];
            const std::size_t start = i;
            while (i < s.size() && s[i] != quote && s[i] != '?' && s[i] != '<')
                ++i;
            if (i == s.size() || s[i] != quote)
                fail("a value in the XML declaration that is not closed", start);
            ++i;
            return s.substr(start, i - 1 - start);
        };
        const std::string_view version = pseudo("version", true);
        if (version.size() < 3 || version.substr(0, 2) != "1." ||
            !std::all_of(version.begin() + 2, version.end(), [](char c) { return c >= '0' && c <= '9'; }))
            fail("the XML version " + strovane::project::quoted(version, 20) + " is not 1.x", i);
        const std::size_t encodingAt = i;
        const std::string_view encoding = pseudo("encoding", false);
        if (i != encodingAt) {
            const bool valid = !encoding.empty() && std::isalpha(static_cast<unsigned char>(encoding[0])) &&
                               std::all_of(encoding.begin(), encoding.end(), [](char c) {
                                   return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' ||
                                          c == '-';
                               });
            if (!valid)
                fail("the encoding name in the XML declaration is not valid", encodingAt);
        }
        const std::size_t standaloneAt = i;
        const std::string_view standalone = pseudo("standalone", false);
        if (i != standaloneAt && standalone != "yes" && standalone != "no")
            fail("standalone in the XML declaration must be \"yes\" or \"no\"", standaloneAt);
        skipSpace();
        expect("?>", "'?>' to end the XML declaration");
    }

    // Comments, processing instructions and blanks before or after the root element.
    void misc(bool afterRoot) {
        for (;;) {
            skipSpace();
            if (i == s.size())
                return;
            if (at("<!--"))
                comment();
            else if (at("<?"))
                processingInstruction();
            else if (at("<!DOCTYPE"))
                fail(afterRoot ? "a document type declaration after the root element"
                               : "a document type declaration (DOCTYPE), which project documents may not hold",
                     i);
            else if (at("<") && !afterRoot)
                return;
            else if (at("<") && i + 1 < s.size() && s[i + 1] != '!' && s[i + 1] != '/')
                fail("a second root element", i);
            else if (at("<"))
                fail("markup outside the root element", i);
            else
                fail(afterRoot ? "text after the root element" : "text before the root element", i);
        }
    }

    // The root element and everything in it, without recursion.
    void element() {
        if (startTag())
            return;
        while (!open.empty()) {
            while (i < s.size() && kCharData[static_cast<unsigned char>(s[i])] == kPlain)
                ++i;
            if (i == s.size())
                fail("the document ends before </" + std::string(open.back()) + ">", i);
            const char c = s[i];
            if (c == '&') {
                reference();
            } else if (c == ']') {
                if (at("]]>"))
                    fail("']]>' in text", i);
                ++i;
            } else if (c != '<') {
                character();
            } else if (i + 1 < s.size() && kNameAscii[static_cast<unsigned char>(s[i + 1]) & 0x7F] == 2 &&
                       static_cast<unsigned char>(s[i + 1]) < 0x80) {
                startTag();
            } else if (at("</")) {
                endTag();
            } else if (at("<!--")) {
                comment();
            } else if (at("<![CDATA[")) {
                cdata();
            } else if (at("<?")) {
                processingInstruction();
            } else if (at("<!")) {
                fail(at("<!DOCTYPE") ? "a document type declaration inside an element" : "unexpected markup '<!'", i);
            } else {
                startTag();
            }
        }
    }
};

std::optional<WellFormedError> error(std::string description, std::size_t offset) {
    return WellFormedError{std::move(description), offset};
}

// The encoding named by an XML declaration at the start of ASCII-compatible text, lower case;
// empty when there is none. `at` receives the name's offset.
std::string declaredEncoding(std::string_view text, std::size_t& at) {
    if (text.compare(0, 5, "<?xml") != 0 || text.size() < 6 || !isSpace(text[5]))
        return {};
    const std::size_t end = text.find("?>");
    const std::string_view decl = text.substr(0, end == std::string_view::npos ? std::min<std::size_t>(text.size(), 256) : end);
    const std::size_t key = decl.find("encoding");
    if (key == std::string_view::npos)
        return {};
    std::size_t j = key + 8;
    while (j < decl.size() && (isSpace(decl[j]) || decl[j] == '='))
        ++j;
    if (j == decl.size() || (decl[j] != '"' && decl[j] != '\''))
        return {};
    const char quote = decl[j++];
    const std::size_t close = decl.find(quote, j);
    if (close == std::string_view::npos)
        return {};
    at = j;
    return lower(decl.substr(j, close - j));
}

Decoded decodeUtf16(std::string_view bytes, bool bigEndian) {
    Decoded out;
    out.isConverted = true;
    out.converted.reserve(bytes.size());
    std::size_t k = 0;
    auto unit = [&](std::size_t at) {
        const auto a = static_cast<unsigned char>(bytes[at]);
        const auto b = static_cast<unsigned char>(bytes[at + 1]);
        return static_cast<char32_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    while (k + 1 < bytes.size()) {
        char32_t c = unit(k);
        k += 2;
        if (c >= 0xD800 && c <= 0xDBFF) {
            const char32_t low = k + 1 < bytes.size() ? unit(k) : 0;
            if (low < 0xDC00 || low > 0xDFFF) {
                out.error = WellFormedError{"UTF-16 text with an unpaired surrogate", out.converted.size()};
                return out;
            }
            k += 2;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            out.error = WellFormedError{"UTF-16 text with an unpaired surrogate", out.converted.size()};
            return out;
        }
        appendUtf8(out.converted, c);
    }
    if (k != bytes.size())
        out.error = WellFormedError{"UTF-16 text that ends in half a character", out.converted.size()};
    return out;
}

} // namespace

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::optional<char32_t> decodeUtf8(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    std::size_t len;
    char32_t c;
    char32_t min;
    if ((lead & 0xE0) == 0xC0) {
        len = 2, c = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3, c = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4, c = lead & 0x07, min = 0x10000;
    } else {
        return std::nullopt;
    }
    if (i + len > s.size())
        return std::nullopt;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return std::nullopt;
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return std::nullopt;
    i += len;
    return c;
}

Decoded decodeDocument(std::string_view bytes) {
    auto starts = [&](std::string_view prefix) { return bytes.compare(0, prefix.size(), prefix) == 0; };
    Decoded out;
    std::size_t nameAt = 0;
    if (starts("\xFF\xFE") || starts("\xFE\xFF") || starts(std::string_view("<\0?\0", 4)) ||
        starts(std::string_view("\0<\0?", 4))) {
        const bool mark = starts("\xFF\xFE") || starts("\xFE\xFF");
        const bool bigEndian = starts("\xFE\xFF") || starts(std::string_view("\0<", 2));
        out = decodeUtf16(bytes.substr(mark ? 2 : 0), bigEndian);
        if (out.error)
            return out;
        const std::string name = declaredEncoding(out.converted, nameAt);
        if (!name.empty() && name != "utf-16" && name != "utf-16le" && name != "utf-16be")
            out.error = WellFormedError{"UTF-16 text that declares the encoding " + strovane::project::quoted(name, 40), nameAt};
        return out;
    }
    const bool mark = starts("\xEF\xBB\xBF");
    const std::string_view text = bytes.substr(mark ? 3 : 0);
    const std::string name = declaredEncoding(text, nameAt);
    out.skip = mark ? 3 : 0;
    if (name.empty() || name == "utf-8" || name == "utf8" || name == "us-ascii" || name == "ascii")
        return out;
    if (!mark && (name == "iso-8859-1" || name == "latin1" || name == "latin-1" || name == "iso_8859-1" ||
                  name == "iso8859-1")) {
        out.isConverted = true;
        out.converted.reserve(text.size() + text.size() / 8);
        for (const char c : text)
            appendUtf8(out.converted, static_cast<unsigned char>(c));
        return out;
    }
    const std::string quotedName = strovane::project::quoted(name, 40);
    std::string description;
    if (mark)
        description = "a UTF-8 byte order mark with the encoding " + quotedName + " declared";
    else if (name.rfind("utf-16", 0) == 0)
        description = "the encoding " + quotedName + " declared for text that is not UTF-16";
    else
        description = "the encoding " + quotedName + ", which is not read (UTF-8, UTF-16 and ISO-8859-1 are)";
    out.error = WellFormedError{description, nameAt};
    return out;
}

std::optional<WellFormedError> checkWellFormed(std::string_view utf8) {
    try {
        Checker(utf8).document();
    } catch (Fault& f) {
        return error(std::move(f.description), f.offset);
    }
    return std::nullopt;
}

std::pair<std::size_t, std::size_t> lineColumn(std::string_view utf8, std::size_t offset) {
    const std::size_t end = std::min(offset, utf8.size());
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t k = 0; k < end; ++k) {
        const char c = utf8[k];
        if (c == '\n' || (c == '\r' && (k + 1 >= utf8.size() || utf8[k + 1] != '\n'))) {
            ++line;
            column = 1;
        } else if (c != '\r' && (static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return {line, column};
}

} // namespace strovane::project::xml
