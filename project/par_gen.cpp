#include "project/par_gen.h"

#include "project/int_text.h"
#include "project/xml.h"

#include <utility>

namespace strovane::project {

namespace {

// The key's text, or nullopt when the element is missing or its content is not one text.
std::optional<std::string> keyText(pugi::xml_node root, const char* key) {
    const pugi::xml_node element = xml::child(root, key);
    if (!element)
        return std::nullopt;
    try {
        return xml::text(element);
    } catch (const xml::TextError&) {
        return std::nullopt;
    }
}

void readText(pugi::xml_node root, const char* key, std::string& value) {
    if (auto text = keyText(root, key))
        value = std::move(*text);
}

// An integer key: its integer text, or the value unchanged when that is missing or not integer text.
template <typename Int> void readInt(pugi::xml_node root, const char* key, Int& value) {
    if (auto text = keyText(root, key))
        value = intTextOr(*text, value);
}

void readTick(pugi::xml_node root, const char* key, bool& value) {
    if (auto text = keyText(root, key))
        value = *text == "1";
}

void appendKey(pugi::xml_node root, const char* key, const std::string& text) {
    xml::appendText(root.append_child(key), text);
}

// The composer reads every key the same way, in the file's order.
constexpr std::pair<const char*, std::int32_t ParGenNumbers::*> kNumberKeys[] = {
    {"CANopen_ID", &ParGenNumbers::nodeId},
    {"CANopen_Baud", &ParGenNumbers::canBaud},
    {"CANopen_Set_Ope", &ParGenNumbers::setOperational},
    {"CANopen_Set_Ope_Net", &ParGenNumbers::setOperationalNetwork},
    {"CANopen_Delay", &ParGenNumbers::startDelay},
    {"CANopen_SDO_TO", &ParGenNumbers::sdoTimeout},
    {"Serial_Serial", &ParGenNumbers::serialType},
    {"Serial_Baud", &ParGenNumbers::serialBaud},
    {"Serial_Par", &ParGenNumbers::serialParity},
};

} // namespace

void writeParGen(const std::filesystem::path& file, const ParGenValues& v) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Par_Gen");
    doc.append_child(pugi::node_comment).set_value("SW_VERSION = 1.001");
    appendKey(root, "CANopen_ID", v.nodeId);
    appendKey(root, "CANopen_Baud", std::to_string(v.canBaud));
    appendKey(root, "CANopen_Set_Ope", v.setOperational ? "1" : "0");
    appendKey(root, "CANopen_Set_Ope_Net", v.setOperationalNetwork ? "1" : "0");
    appendKey(root, "CANopen_Delay", v.startDelay);
    appendKey(root, "CANopen_SDO_TO", v.sdoTimeout);
    appendKey(root, "Serial_Serial", std::to_string(v.serialType));
    appendKey(root, "Serial_Baud", std::to_string(v.serialBaud));
    appendKey(root, "Serial_Par", std::to_string(v.serialParity));
    xml::save(doc, file);
}

ParGenValues readParGenForDialog(const std::filesystem::path& file) {
    pugi::xml_document doc;
    if (!xml::loadIfPresent(doc, file))
        return {};
    return parGenValuesFrom(doc);
}

ParGenValues parGenValuesFrom(const pugi::xml_document& doc) {
    ParGenValues v;
    const pugi::xml_node root = xml::root(doc);
    readText(root, "CANopen_ID", v.nodeId);
    readInt(root, "CANopen_Baud", v.canBaud);
    readTick(root, "CANopen_Set_Ope", v.setOperational);
    readTick(root, "CANopen_Set_Ope_Net", v.setOperationalNetwork);
    readText(root, "CANopen_Delay", v.startDelay);
    readText(root, "CANopen_SDO_TO", v.sdoTimeout);
    readInt(root, "Serial_Serial", v.serialType);
    readInt(root, "Serial_Baud", v.serialBaud);
    readInt(root, "Serial_Par", v.serialParity);
    return v;
}

std::optional<ParGenNumbers> readParGenNumbers(const std::filesystem::path& file) {
    pugi::xml_document doc;
    if (!xml::loadIfPresent(doc, file))
        return std::nullopt;
    return parGenNumbersFrom(doc);
}

ParGenNumbers parGenNumbersFrom(const pugi::xml_document& doc) {
    const pugi::xml_node root = xml::root(doc);
    ParGenNumbers n;
    for (const auto& [key, member] : kNumberKeys)
        readInt(root, key, n.*member);
    return n;
}

} // namespace strovane::project
