#include "project/xml.h"

#include "project/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <new>
#include <system_error>
#include <tuple>

namespace strovane::project::xml {

namespace {

constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi;

[[noreturn]] void fail(const std::filesystem::path& file, int err) {
    throw LoadError(file.string() + ": " + std::generic_category().message(err));
}

// Opens the file for reading and gives its size.
std::ifstream openForRead(const std::filesystem::path& file, std::size_t& size) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        fail(file, EISDIR);
    errno = 0;
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in)
        fail(file, errno ? errno : ENOENT);
    const std::streamoff end = in.tellg();
    size = end > 0 ? static_cast<std::size_t>(end) : 0;
    in.seekg(0);
    return in;
}

void readInto(std::ifstream& in, const std::filesystem::path& file, char* data, std::size_t size) {
    errno = 0;
    if (!in.read(data, static_cast<std::streamsize>(size)))
        fail(file, errno ? errno : EIO);
}

// pugixml's error offset counts bytes of the file as read (line ends are folded behind it).
std::string readWhole(const std::filesystem::path& file) {
    std::size_t size = 0;
    std::ifstream in = openForRead(file, size);
    std::string bytes(size, '\0');
    readInto(in, file, bytes.data(), size);
    return bytes;
}

// 1-based line and column of a byte offset; columns count bytes.
std::pair<std::size_t, std::size_t> lineColumn(const std::string& bytes, std::ptrdiff_t offset) {
    const std::size_t end = std::min(bytes.size(), static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0)));
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < end; ++i) {
        if (bytes[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return {line, end - lineStart + 1};
}

// What pugixml accepts but XML does not allow at the top level: a second root element.
std::pair<std::string, std::ptrdiff_t> notWellFormed(const pugi::xml_document& doc) {
    bool rootSeen = false;
    for (pugi::xml_node node = doc.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element) {
            if (rootSeen)
                return {"Document has more than one root element", node.offset_debug()};
            rootSeen = true;
        }
    }
    return {};
}

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, std::size_t size) override {
        out.append(static_cast<const char*>(data), size);
    }
};

} // namespace

void load(pugi::xml_document& doc, const std::filesystem::path& file) {
    doc.reset();
    // Read straight into a buffer the document takes over, so large tables are not copied.
    std::size_t size = 0;
    std::ifstream in = openForRead(file, size);
    void* buffer = pugi::get_memory_allocation_function()(size ? size : 1);
    if (!buffer)
        throw std::bad_alloc();
    try {
        readInto(in, file, static_cast<char*>(buffer), size);
    } catch (...) {
        pugi::get_memory_deallocation_function()(buffer);
        throw;
    }
    const pugi::xml_parse_result result = doc.load_buffer_inplace_own(buffer, size, kParseOptions);
    std::string description = result ? std::string() : std::string(result.description());
    std::ptrdiff_t offset = result.offset;
    if (result)
        std::tie(description, offset) = notWellFormed(doc);
    if (!description.empty()) {
        doc.reset();
        // The parse changed the buffer; the position is counted on the file as it stands.
        const auto [line, column] = lineColumn(readWhole(file), offset);
        throw LoadError(file.string() + ": " + description + " at line " + std::to_string(line) + ", column " +
                        std::to_string(column));
    }
}

pugi::xml_node root(const pugi::xml_document& doc) {
    return doc.first_child();
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

void save(const pugi::xml_document& doc, const std::filesystem::path& file) {
    StringWriter writer;
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    writeFileAtomically(file, writer.out);
}

} // namespace strovane::project::xml
