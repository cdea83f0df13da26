// The XML layer: only LoadError escapes a load; a document that loads holds no repeated
// attribute, saves without error, and what is saved loads back to the same tree.
#include "fuzz_support.h"

#include "project/xml.h"

#include <cstring>
#include <functional>

namespace {

namespace xml = strovane::project::xml;

// The tree as one text: kinds, names, attributes and values, adjacent texts joined (a CDATA
// section is saved as text).
std::string canonical(const pugi::xml_document& doc) {
    std::string out;
    std::string text;
    auto flush = [&] {
        if (!text.empty())
            out += "T[" + std::to_string(text.size()) + "]" + text;
        text.clear();
    };
    struct Walker : pugi::xml_tree_walker {
        std::string* out;
        std::string* text;
        std::function<void()> flush;
        bool for_each(pugi::xml_node& node) override {
            const pugi::xml_node_type type = node.type();
            if (type == pugi::node_pcdata || type == pugi::node_cdata) {
                *text += node.value();
                return true;
            }
            flush();
            *out += "\n" + std::to_string(depth()) + ":" + std::to_string(type) + ":" + node.name() + "=" +
                    node.value();
            for (const pugi::xml_attribute a : node.attributes())
                if (type != pugi::node_declaration || std::strcmp(a.name(), "encoding") != 0)
                    *out += " " + std::string(a.name()) + "[" + a.value() + "]";
            return true;
        }
    } walker;
    walker.out = &out;
    walker.text = &text;
    walker.flush = flush;
    const_cast<pugi::xml_document&>(doc).traverse(walker);
    flush();
    return out;
}

bool repeatsAnAttribute(const pugi::xml_document& doc) {
    struct Walker : pugi::xml_tree_walker {
        bool found = false;
        bool for_each(pugi::xml_node& node) override {
            for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
                for (pugi::xml_attribute b = a.next_attribute(); b; b = b.next_attribute())
                    if (std::strcmp(a.name(), b.name()) == 0)
                        found = true;
            return !found;
        }
    } walker;
    const_cast<pugi::xml_document&>(doc).traverse(walker);
    return walker.found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    pugi::xml_document doc;
    try {
        xml::loadBytes(doc, bytes, "input.xml");
    } catch (const xml::LoadError& e) {
        FUZZ_ASSERT(!doc.first_child()); // nothing half-loaded
        FUZZ_ASSERT(std::strchr(e.what(), '\n') == nullptr);
        // Every refusal comes from the well-formedness check, with its position: the parser
        // underneath never refuses what the check let through.
        FUZZ_ASSERT(std::strstr(e.what(), " at line ") != nullptr);
        return 0;
    }
    FUZZ_ASSERT(doc.document_element());
    FUZZ_ASSERT(!repeatsAnAttribute(doc));

    const std::string saved = xml::serialize(doc); // a loaded tree can always be saved
    pugi::xml_document again;
    xml::loadBytes(again, saved, "saved.xml");
    FUZZ_ASSERT(canonical(again) == canonical(doc));
    FUZZ_ASSERT(xml::serialize(again) == saved);
    return 0;
}
