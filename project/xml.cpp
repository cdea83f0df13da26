#include "project/xml.h"

#include "platform/path_text.h"

#include "project/atomic_file.h"
#include "project/quoted.h"
#include "project/xml_check.h"

#include <cstring>
#include <new>
#include <utility>

namespace strovane::project::xml {

namespace {

constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi;

[[noreturn]] void notWellFormed(const std::string& name, std::string_view utf8, const std::string& description,
                                std::size_t offset) {
    const auto [line, column] = lineColumn(utf8, offset);
    throw LoadError(name + ": " + description + " at line " + std::to_string(line) + ", column " +
                    std::to_string(column));
}

// A buffer from pugixml's allocator, freed unless the document takes it over.
struct ParserBuffer {
    explicit ParserBuffer(std::size_t size) : data(static_cast<char*>(pugi::get_memory_allocation_function()(size ? size : 1))) {
        if (!data)
            throw std::bad_alloc();
    }
    ~ParserBuffer() {
        if (data)
            pugi::get_memory_deallocation_function()(data);
    }
    ParserBuffer(const ParserBuffer&) = delete;
    ParserBuffer& operator=(const ParserBuffer&) = delete;
    char* release() { return std::exchange(data, nullptr); }
    char* data;
};

// Checks the bytes in `buffer` and builds the tree from them; the tree is empty unless all is well.
void parse(pugi::xml_document& doc, ParserBuffer& buffer, std::size_t size, const std::string& name) {
    doc.reset();
    if (size == 0)
        throw LoadError(name + ": the document is empty (no root element) at line 1, column 1");
    const Decoded decoded = decodeDocument(std::string_view(buffer.data, size));
    const std::string_view text = decoded.text(std::string_view(buffer.data, size));
    if (decoded.error)
        notWellFormed(name, text, decoded.error->description, decoded.error->offset);
    if (const std::optional<WellFormedError> error = checkWellFormed(text))
        notWellFormed(name, text, error->description, error->offset);

    // The document takes over a buffer holding the UTF-8 text and parses it in place.
    std::optional<ParserBuffer> converted;
    char* data = buffer.data + decoded.skip;
    if (decoded.isConverted) {
        converted.emplace(text.size());
        std::memcpy(converted->data, text.data(), text.size());
        data = converted->data;
    }
    ParserBuffer& owner = converted ? *converted : buffer;
    if (data != owner.data)
        std::memmove(owner.data, data, text.size());
    const pugi::xml_parse_result result =
        doc.load_buffer_inplace_own(owner.release(), text.size(), kParseOptions, pugi::encoding_utf8);
    if (!result) {
        doc.reset();
        throw LoadError(name + ": " + result.description());
    }
}

// Appends the value escaped so that a reader gets it back unchanged; throws ValueError for a
// character XML cannot hold.
void appendEscaped(std::string& out, std::string_view value, bool attribute, const std::string& where) {
    // Text of blanks only would be dropped by readers that skip blank text between elements;
    // as references the blanks are kept.
    const bool blanksOnly = !attribute && value.find_first_not_of(' ') == std::string_view::npos;
    for (std::size_t i = 0; i < value.size();) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c >= 0x80) {
            std::size_t j = i;
            const std::optional<char32_t> cp = decodeUtf8(value, j);
            if (!cp || !isXmlChar(*cp))
                throw ValueError(where + " " + strovane::project::quoted(value) + " cannot be written: " +
                                 (cp ? "it holds a character XML does not allow"
                                     : "it holds bytes that are not UTF-8 text"));
            out.append(value.substr(i, j - i));
            i = j;
            continue;
        }
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += attribute ? "&quot;" : "\""; break;
        case '\t': out += "&#9;"; break;
        case '\n': out += "&#10;"; break;
        case '\r': out += "&#13;"; break;
        case ' ': out += blanksOnly ? "&#32;" : " "; break;
        default:
            if (c < 0x20)
                throw ValueError(where + " " + strovane::project::quoted(value) +
                                 " cannot be written: it holds a control character XML does not allow");
            out += static_cast<char>(c);
        }
        ++i;
    }
}

// The start tag; "/>" ends it when the element has no children.
void appendStartTag(std::string& out, pugi::xml_node element) {
    out += '<';
    out += element.name();
    for (const pugi::xml_attribute a : element.attributes()) {
        out += ' ';
        out += a.name();
        out += "=\"";
        appendEscaped(out, a.value(), true, std::string("the attribute ") + a.name() + " of <" + element.name() + ">");
        out += '"';
    }
    out += element.first_child() ? ">" : "/>";
}

void appendNode(std::string& out, pugi::xml_node node) {
    switch (node.type()) {
    case pugi::node_element:
        appendStartTag(out, node);
        break;
    case pugi::node_pcdata:
    case pugi::node_cdata:
        appendEscaped(out, node.value(), false,
                      std::string("the text of <") + (node.parent().name()[0] ? node.parent().name() : "?") + ">");
        break;
    case pugi::node_comment: {
        const std::string_view text = node.value();
        if (text.find("--") != std::string_view::npos || (!text.empty() && text.back() == '-'))
            throw ValueError("the comment " + strovane::project::quoted(text) + " cannot be written: it holds \"--\" or ends with \"-\"");
        out += "<!--";
        out += text;
        out += "-->";
        break;
    }
    case pugi::node_pi:
        out += "<?";
        out += node.name();
        if (node.value()[0]) {
            out += ' ';
            out += node.value();
        }
        out += "?>";
        break;
    case pugi::node_declaration:
        out += "<?xml";
        for (const pugi::xml_attribute a : node.attributes()) {
            if (std::strcmp(a.name(), "encoding") == 0)
                continue; // the text is written in UTF-8, whatever it was read from
            out += ' ';
            out += a.name();
            out += "=\"";
            out += a.value();
            out += '"';
        }
        out += "?>";
        break;
    default:
        break;
    }
}

} // namespace

void load(pugi::xml_document& doc, const std::filesystem::path& file, std::size_t maxBytes) {
    if (!loadIfPresent(doc, file, maxBytes))
        throw LoadError(platform::utf8FromPath(file) + ": " +
                        std::make_error_code(std::errc::no_such_file_or_directory).message());
}

bool loadIfPresent(pugi::xml_document& doc, const std::filesystem::path& file, std::size_t maxBytes) {
    doc.reset();
    try {
        const std::optional<std::size_t> size = regularFileSize(file, maxBytes);
        if (!size)
            return false;
        ParserBuffer buffer(*size);
        readExactly(file, buffer.data, *size);
        parse(doc, buffer, *size, platform::utf8FromPath(file));
    } catch (const FileReadError& e) {
        throw LoadError(e.what());
    }
    return true;
}

void loadBytes(pugi::xml_document& doc, std::string_view bytes, const std::string& name) {
    ParserBuffer buffer(bytes.size());
    std::memcpy(buffer.data, bytes.data(), bytes.size());
    parse(doc, buffer, bytes.size(), name);
}

pugi::xml_node root(const pugi::xml_document& doc) {
    return doc.document_element();
}

pugi::xml_node child(pugi::xml_node parent, const char* name) {
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0)
            return node;
    }
    return {};
}

std::string text(pugi::xml_node element) {
    const pugi::xml_node first = element.first_child();
    if (!first)
        return {};
    const bool single = !first.next_sibling();
    if (single && (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata))
        return first.value();
    throw TextError(std::string("element \"") + element.name() + "\" does not hold a single text");
}

std::optional<std::string> attribute(pugi::xml_node node, const char* name) {
    const pugi::xml_attribute attr = node.attribute(name);
    if (!attr)
        return std::nullopt;
    return std::string(attr.value());
}

namespace {

void refuseNul(const std::string& value, const std::string& where) {
    if (value.find('\0') != std::string::npos)
        throw ValueError(where + " " + strovane::project::quoted(value) + " cannot be written: it holds a NUL character");
}

} // namespace

void appendText(pugi::xml_node element, const std::string& value) {
    refuseNul(value, std::string("the text of <") + element.name() + ">");
    if (!value.empty())
        element.append_child(pugi::node_pcdata).set_value(value.c_str());
}

void appendAttribute(pugi::xml_node element, const char* name, const std::string& value) {
    refuseNul(value, std::string("the attribute ") + name + " of <" + element.name() + ">");
    element.append_attribute(name).set_value(value.c_str());
}

std::string serialize(const pugi::xml_document& doc) {
    // Walks the tree without recursion, so no depth of nesting exhausts the stack.
    std::string out;
    pugi::xml_node node = doc.first_child();
    while (node) {
        appendNode(out, node);
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling()) {
            node = node.parent();
            if (node == doc)
                return out;
            out += "</";
            out += node.name();
            out += '>';
        }
        node = node.next_sibling();
    }
    return out;
}

void save(const pugi::xml_document& doc, const std::filesystem::path& file) {
    writeFileAtomically(file, serialize(doc));
}

} // namespace strovane::project::xml
