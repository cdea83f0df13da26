#pragma once

#include "project/file_read.h"

#include <pugixml.hpp>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// The XML operations the project documents and the settings file need, with the reading rules
// they share: the root is the document's root element, children are found by exact name, an
// element's text is readable only when it holds nothing or one text node.
namespace strovane::project::xml {

// A file that cannot be read or is not well-formed XML.
// what(): "<path>: <description> at line L, column C" or "<path>: <system error text>".
struct LoadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A value that a document cannot hold so that it reads back the same (a control character,
// bytes that are not UTF-8). what() names the element or attribute and quotes the value.
struct ValueError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An element whose content is not a single text (or CDATA) node.
struct TextError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Loads `file` into `doc` (emptied first). The file must be a regular file (links followed) of
// at most maxBytes holding well-formed XML 1.0 in UTF-8, UTF-16 or a declared ISO-8859-1.
// Comments, processing instructions and the declaration are kept as nodes; whitespace-only text
// between elements is dropped.
void load(pugi::xml_document& doc, const std::filesystem::path& file,
          std::size_t maxBytes = kMaxDocumentBytes);

// The same, false (doc emptied) when the file does not exist. Any other failure to find out,
// such as a link loop or a folder that may not be searched, is a LoadError.
bool loadIfPresent(pugi::xml_document& doc, const std::filesystem::path& file,
                   std::size_t maxBytes = kMaxDocumentBytes);

// Loads a document from bytes as read from a file; `name` stands for the file in messages.
void loadBytes(pugi::xml_document& doc, std::string_view bytes, const std::string& name);

// The root element, whatever precedes it (a declaration, comments, processing instructions);
// a null node for an empty document.
pugi::xml_node root(const pugi::xml_document& doc);

// The first child element of `parent` named exactly `name`; a null node if none.
pugi::xml_node child(pugi::xml_node parent, const char* name);

// The element's text: "" when it has no children, the value of its single text or CDATA child.
// Throws TextError for anything else (several children, a child element, a comment).
std::string text(pugi::xml_node element);

// The attribute's value; nullopt when absent (an empty attribute gives "").
std::optional<std::string> attribute(pugi::xml_node node, const char* name);

// Adds a text child holding `value` (nothing for an empty value). Throws ValueError for a value
// with a NUL character, which the tree cannot hold.
void appendText(pugi::xml_node element, const std::string& value);

// Adds the attribute. Throws ValueError for a value with a NUL character.
void appendAttribute(pugi::xml_node element, const char* name, const std::string& value);

// The document as saved: UTF-8 without a declaration or indentation. Every value reads back
// the same: tabs and line ends, and the blanks at either end of an element's text, are written as
// character references. Throws ValueError, before anything is written, for a value XML cannot
// hold (and for a comment with "--").
std::string serialize(const pugi::xml_document& doc);

// Writes serialize(doc) over `file` whole. Throws ValueError, or std::system_error when the file
// cannot be written; in both cases the file keeps its old contents.
void save(const pugi::xml_document& doc, const std::filesystem::path& file);

} // namespace strovane::project::xml
