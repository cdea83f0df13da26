#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// XML 1.0 well-formedness, checked before the tree is built: the parser underneath is lenient
// (it keeps the first of two equal attributes, leaves undeclared entities as text, stops at a
// NUL byte), and a document it reads must mean exactly what it says.
namespace strovane::project::xml {

// Where and why a document is not well-formed; offset counts bytes of the UTF-8 text checked.
struct WellFormedError {
    std::string description;
    std::size_t offset = 0;
};

// How to get the document as UTF-8 without a byte order mark, or the reason it has no valid
// text. Accepts UTF-8 (with or without a mark), UTF-16 in either byte order (a mark, or "<?" as
// its first character) and ISO-8859-1 when the declaration names it. UTF-8 input is not copied:
// its text is the input after `skip` bytes; other encodings give `converted`. The error's
// offset counts bytes of the UTF-8 text.
struct Decoded {
    bool isConverted = false;
    std::string converted;
    std::size_t skip = 0;
    std::optional<WellFormedError> error;

    std::string_view text(std::string_view input) const {
        return isConverted ? std::string_view(converted) : input.substr(skip);
    }
};
Decoded decodeDocument(std::string_view bytes);

// Checks UTF-8 text against the well-formedness rules of XML 1.0: one root element, nothing
// but comments, processing instructions and blanks around it, matching tags, unique attribute
// names, no '<' in attribute values, only the five predefined entities, character references
// and characters that XML allows. A document type declaration is refused with its own message.
std::optional<WellFormedError> checkWellFormed(std::string_view utf8);

// 1-based line and column (in characters) of a byte offset in UTF-8 text. "\r\n", "\r" and "\n"
// each end a line.
std::pair<std::size_t, std::size_t> lineColumn(std::string_view utf8, std::size_t offset);

// Appends the code point as UTF-8.
void appendUtf8(std::string& out, char32_t c);

// Whether XML 1.0 allows the code point in a document.
constexpr bool isXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Decodes one UTF-8 sequence at s[i]; advances i. Returns nullopt for a malformed sequence
// (overlong, surrogate, beyond U+10FFFF, truncated), leaving i unchanged.
std::optional<char32_t> decodeUtf8(std::string_view s, std::size_t& i);

} // namespace strovane::project::xml
