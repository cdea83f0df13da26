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
    FUZZ_ASSERT(n.CANopen_ID == intTextOr(v.CANopen_ID, 10));
    FUZZ_ASSERT(n.CANopen_Delay == intTextOr(v.CANopen_Delay, 0));
    FUZZ_ASSERT(n.CANopen_SDO_TO == intTextOr(v.CANopen_SDO_TO, 10000));
    // Lists: the same index.
    FUZZ_ASSERT(n.CANopen_Baud == v.CANopen_Baud);
    FUZZ_ASSERT(n.Serial_Serial == v.Serial_Serial);
    FUZZ_ASSERT(n.Serial_Baud == v.Serial_Baud);
    FUZZ_ASSERT(n.Serial_Par == v.Serial_Par);
    // A ticked box is the text "1", which the composer reads as 1.
    FUZZ_ASSERT(!v.CANopen_Set_Ope || n.CANopen_Set_Ope == 1);
    FUZZ_ASSERT(!v.CANopen_Set_Ope_Net || n.CANopen_Set_Ope_Net == 1);
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
    v.CANopen_ID = parts[0];
    v.CANopen_Delay = parts[1];
    v.CANopen_SDO_TO = parts[2];
    v.CANopen_Baud = intTextOr(parts[3], -1);
    v.Serial_Serial = intTextOr(parts[4], -1);
    v.Serial_Baud = intTextOr(parts[5], -1);
    v.Serial_Par = intTextOr(parts[6], -1);
    v.CANopen_Set_Ope = parts[3].size() % 2 == 1;
    v.CANopen_Set_Ope_Net = parts[4].size() % 2 == 1;
    writeReadsBack(v);
    return 0;
}
