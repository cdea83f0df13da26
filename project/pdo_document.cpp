#include "project/pdo_document.h"

#include "platform/path_text.h"

#include "project/compose_error.h"
#include "project/int_text.h"
#include "project/quoted.h"
#include "project/xml.h"

namespace strovane::project {

namespace {

std::string rowPrefix(const std::filesystem::path& file, std::size_t row) {
    return platform::utf8FromPath(file.filename()) + ", row " + std::to_string(row) + ": ";
}

std::string missingAttribute(const std::filesystem::path& file, std::size_t row, const char* name) {
    return rowPrefix(file, row) + "attribute \"" + name + "\" is missing";
}

std::int32_t entryNumber(const std::filesystem::path& file, std::size_t row, pugi::xml_node node,
                         const char* name) {
    const pugi::xml_attribute attr = node.attribute(name);
    if (!attr)
        throw ComposeError(missingAttribute(file, row, name));
    const std::optional<std::int32_t> number = parseIntText(attr.value());
    if (!number)
        throw ComposeError(rowPrefix(file, row) + name + " " + quoted(attr.value()) + " is not a number");
    return *number;
}

} // namespace

void writePdoTable(const std::filesystem::path& file, const char* rootName, const std::vector<PdoRow>& rows) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child(rootName);
    for (const PdoRow& r : rows) {
        pugi::xml_node row = root.append_child("row");
        xml::appendAttribute(row, "COB-ID", r.cobId);
        xml::appendAttribute(row, "Dimension", r.dimension);
        xml::appendAttribute(row, "Mnemonic", r.mnemonic);
    }
    xml::save(doc, file);
}

PdoTableRead readPdoTableForEditor(const std::filesystem::path& file) {
    pugi::xml_document doc;
    try {
        if (!xml::loadIfPresent(doc, file))
            return {};
    } catch (const xml::LoadError& e) {
        return {{}, e.what()};
    }
    return pdoTableFrom(doc, file);
}

PdoTableRead pdoTableFrom(const pugi::xml_document& doc, const std::filesystem::path& file) {
    PdoTableRead result;
    std::size_t number = 0;
    for (pugi::xml_node node = xml::root(doc).first_child(); node; node = node.next_sibling()) {
        ++number;
        PdoRow row;
        std::string* const cells[] = {&row.cobId, &row.dimension, &row.mnemonic};
        const char* const names[] = {"COB-ID", "Dimension", "Mnemonic"};
        for (std::size_t i = 0; i < 3; ++i) {
            const std::optional<std::string> value = xml::attribute(node, names[i]);
            if (!value) {
                if (i > 0)
                    result.rows.push_back(std::move(row));
                result.error = missingAttribute(file, number, names[i]);
                return result;
            }
            *cells[i] = *value;
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

std::vector<PdoEntry> readPdoEntries(const std::filesystem::path& file) {
    pugi::xml_document doc;
    if (!xml::loadIfPresent(doc, file))
        return {};
    return pdoEntriesFrom(doc, file);
}

std::vector<PdoEntry> pdoEntriesFrom(const pugi::xml_document& doc, const std::filesystem::path& file) {
    std::vector<PdoEntry> entries;
    std::size_t number = 0;
    for (pugi::xml_node node = xml::root(doc).first_child(); node; node = node.next_sibling()) {
        ++number;
        PdoEntry entry;
        entry.cobId = entryNumber(file, number, node, "COB-ID");
        entry.dimension = entryNumber(file, number, node, "Dimension");
        entries.push_back(entry);
    }
    return entries;
}

} // namespace strovane::project
