#include "project/xml.h"

#include "project/atomic_file.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <system_error>

namespace strovane::project::xml {

namespace {

constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi;

std::string readWhole(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        throw LoadError(file.string() + ": " + std::generic_category().message(EISDIR));
    errno = 0;
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in)
        throw LoadError(file.string() + ": " + std::generic_category().message(errno ? errno : ENOENT));
    const std::streamoff size = in.tellg();
    std::string bytes(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    in.seekg(0);
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw LoadError(file.string() + ": " + std::generic_category().message(errno ? errno : EIO));
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

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, std::size_t size) override {
        out.append(static_cast<const char*>(data), size);
    }
};

} // namespace

void load(pugi::xml_document& doc, const std::filesystem::path& file) {
    doc.reset();
    const std::string bytes = readWhole(file);
    const pugi::xml_parse_result result = doc.load_buffer(bytes.data(), bytes.size(), kParseOptions);
    if (!result) {
        doc.reset();
        const auto [line, column] = lineColumn(bytes, result.offset);
        throw LoadError(file.string() + ": " + result.description() + " at line " + std::to_string(line) +
                        ", column " + std::to_string(column));
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
