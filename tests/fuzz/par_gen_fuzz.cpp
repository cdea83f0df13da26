// ParGen.xml: the dialog's and the composer's readings agree on every key; values read from any
// document, and any values at all, are written so that they read back the same, or are refused
// with the file left as it was.
#include "fuzz_support.h"

#include "project/int_text.h"
#include "project/par_gen.h"
#include "project/xml.h"

namespace {

using namespace strovane::project;
using strovane::fuzz::scratch;

// Writes the values over an older file: read back the same, or refused with the file unchanged.
void writeReadsBack(const ParGenValues& values) {
    const std::filesystem::path file = scratch() / "ParGen.xml";
    strovane::fuzz::writeBytes(file, "older");
    try {
        writeParGen(file, values);
    } catch (const xml::ValueError&) {
        FUZZ_ASSERT(strovane::fuzz::readBytes(file) == "older");
        return;
    }
    FUZZ_ASSERT(readParGenForDialog(file) == values);
}

void readsAgree(std::string_view bytes) {
    pugi::xml_document doc;
    try {
        xml::loadBytes(doc, bytes, "ParGen.xml");
    } catch (const xml::LoadError&) {
        return;
    }
    const ParGenValues v = parGenValuesFrom(doc);
    const ParGenNumbers n = parGenNumbersFrom(doc);
    // Typed texts: the composer's number is the text's integer, or the same default.
    FUZZ_ASSERT(n.nodeId == intTextOr(v.nodeId, 10));
    FUZZ_ASSERT(n.startDelay == intTextOr(v.startDelay, 0));
    FUZZ_ASSERT(n.sdoTimeout == intTextOr(v.sdoTimeout, 10000));
    // Lists: the same index.
    FUZZ_ASSERT(n.canBaud == v.canBaud);
    FUZZ_ASSERT(n.serialType == v.serialType);
    FUZZ_ASSERT(n.serialBaud == v.serialBaud);
    FUZZ_ASSERT(n.serialParity == v.serialParity);
    // A ticked box is the text "1", which the composer reads as 1.
    FUZZ_ASSERT(!v.setOperational || n.setOperational == 1);
    FUZZ_ASSERT(!v.setOperationalNetwork || n.setOperationalNetwork == 1);
    writeReadsBack(v);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty() || input[0] != '!') {
        readsAgree(input);
        return 0;
    }
    // "!" then the three typed texts and four list indexes as text, any bytes at all.
    const std::vector<std::string> parts = strovane::fuzz::splitParts(input.substr(1), 7);
    ParGenValues v;
    v.nodeId = parts[0];
    v.startDelay = parts[1];
    v.sdoTimeout = parts[2];
    v.canBaud = intTextOr(parts[3], -1);
    v.serialType = intTextOr(parts[4], -1);
    v.serialBaud = intTextOr(parts[5], -1);
    v.serialParity = intTextOr(parts[6], -1);
    v.setOperational = parts[3].size() % 2 == 1;
    v.setOperationalNetwork = parts[4].size() % 2 == 1;
    writeReadsBack(v);
    return 0;
}
