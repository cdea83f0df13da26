// The well-formedness check against libxml2's: on UTF-8 text without a document type
// declaration (which this program refuses on purpose), both accept and refuse the same documents.
#include "fuzz_support.h"

#include "project/xml_check.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <cstring>

namespace {

bool libxml2WellFormed(std::string_view text) {
    xmlParserCtxtPtr ctxt = xmlCreateMemoryParserCtxt(text.data(), static_cast<int>(text.size()));
    if (!ctxt)
        return false;
    xmlCtxtUseOptions(ctxt, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE);
    xmlParseDocument(ctxt);
    const bool wellFormed = ctxt->wellFormed != 0;
    if (ctxt->myDoc)
        xmlFreeDoc(ctxt->myDoc);
    xmlFreeParserCtxt(ctxt);
    return wellFormed;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    xmlInitParser();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Only what both read the same way: UTF-8 without a byte order mark or an encoding named, and
    // without NUL bytes (libxml2 takes one for the end of the input).
    if (text.find("<!DOCTYPE") != std::string_view::npos || text.find("encoding") != std::string_view::npos ||
        text.substr(0, 3) == "\xEF\xBB\xBF" || text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF" ||
        text.find('\0') != std::string_view::npos)
        return 0;
    const bool ours = !strovane::project::xml::checkWellFormed(text);
    const bool theirs = libxml2WellFormed(text);
    if (ours != theirs)
        std::fprintf(stderr, "the check %s what libxml2 %s\n", ours ? "accepts" : "refuses", theirs ? "accepts" : "refuses");
    FUZZ_ASSERT(ours == theirs);
    return 0;
}
