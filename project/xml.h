#pragma once

#include <pugixml.hpp>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

// The XML operations the project documents and the settings file need, with the reading rules
// they share: the root is the first top-level node, children are found by exact name, an
// element's text is readable only when it holds nothing or one text node.
namespace strovane::project::xml {

// A file that cannot be read or is not well-formed XML.
// what(): "<path>: <parser description> at line L, column C" or "<path>: <system error text>".
struct LoadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An element whose content is not a single text (or CDATA) node.
struct TextError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Loads `file` into `doc` (emptied first). Comments, processing instructions and the
// declaration are kept as nodes; whitespace-only text between elements is dropped.
void load(pugi::xml_document& doc, const std::filesystem::path& file);

// The first top-level node, whatever its kind; a null node for an empty document.
pugi::xml_node root(const pugi::xml_document& doc);

// The first child element of `parent` named exactly `name`; a null node if none.
pugi::xml_node child(pugi::xml_node parent, const char* name);

// The element's text: "" when it has no children, the value of its single text or CDATA child.
// Throws TextError for anything else (several children, a child element, a comment).
std::string text(pugi::xml_node element);

// The attribute's value; nullopt when absent (an empty attribute gives "").
std::optional<std::string> attribute(pugi::xml_node node, const char* name);

// Writes the document in UTF-8 without a declaration or indentation, replacing `file` whole.
// Throws std::system_error when the file cannot be written.
void save(const pugi::xml_document& doc, const std::filesystem::path& file);

} // namespace strovane::project::xml
