#include "project/par_gen.h"

#include "project/int_text.h"
#include "project/xml.h"

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

void readIndex(pugi::xml_node root, const char* key, int& value) {
    if (auto text = keyText(root, key))
        value = intTextOr(*text, value);
}

void readTick(pugi::xml_node root, const char* key, bool& value) {
    if (auto text = keyText(root, key))
        value = *text == "1";
}

void readNumber(pugi::xml_node root, const char* key, std::int32_t& value) {
    if (auto text = keyText(root, key))
        value = intTextOr(*text, value);
}

void appendKey(pugi::xml_node root, const char* key, const std::string& text) {
    root.append_child(key).append_child(pugi::node_pcdata).set_value(text.c_str());
}

} // namespace

void writeParGen(const std::filesystem::path& file, const ParGenValues& v) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Par_Gen");
    doc.append_child(pugi::node_comment).set_value("SW_VERSION = 1.001");
    appendKey(root, "CANopen_ID", v.CANopen_ID);
    appendKey(root, "CANopen_Baud", std::to_string(v.CANopen_Baud));
    appendKey(root, "CANopen_Set_Ope", v.CANopen_Set_Ope ? "1" : "0");
    appendKey(root, "CANopen_Set_Ope_Net", v.CANopen_Set_Ope_Net ? "1" : "0");
    appendKey(root, "CANopen_Delay", v.CANopen_Delay);
    appendKey(root, "CANopen_SDO_TO", v.CANopen_SDO_TO);
    appendKey(root, "Serial_Serial", std::to_string(v.Serial_Serial));
    appendKey(root, "Serial_Baud", std::to_string(v.Serial_Baud));
    appendKey(root, "Serial_Par", std::to_string(v.Serial_Par));
    xml::save(doc, file);
}

ParGenValues readParGenForDialog(const std::filesystem::path& file) {
    ParGenValues v;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return v;
    pugi::xml_document doc;
    xml::load(doc, file);
    const pugi::xml_node root = xml::root(doc);
    readText(root, "CANopen_ID", v.CANopen_ID);
    readIndex(root, "CANopen_Baud", v.CANopen_Baud);
    readTick(root, "CANopen_Set_Ope", v.CANopen_Set_Ope);
    readTick(root, "CANopen_Set_Ope_Net", v.CANopen_Set_Ope_Net);
    readText(root, "CANopen_Delay", v.CANopen_Delay);
    readText(root, "CANopen_SDO_TO", v.CANopen_SDO_TO);
    readIndex(root, "Serial_Serial", v.Serial_Serial);
    readIndex(root, "Serial_Baud", v.Serial_Baud);
    readIndex(root, "Serial_Par", v.Serial_Par);
    return v;
}

std::optional<ParGenNumbers> readParGenNumbers(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return std::nullopt;
    pugi::xml_document doc;
    xml::load(doc, file);
    const pugi::xml_node root = xml::root(doc);
    ParGenNumbers n;
    readNumber(root, "CANopen_ID", n.CANopen_ID);
    readNumber(root, "CANopen_Baud", n.CANopen_Baud);
    readNumber(root, "CANopen_Set_Ope", n.CANopen_Set_Ope);
    readNumber(root, "CANopen_Set_Ope_Net", n.CANopen_Set_Ope_Net);
    readNumber(root, "CANopen_Delay", n.CANopen_Delay);
    readNumber(root, "CANopen_SDO_TO", n.CANopen_SDO_TO);
    readNumber(root, "Serial_Serial", n.Serial_Serial);
    readNumber(root, "Serial_Baud", n.Serial_Baud);
    readNumber(root, "Serial_Par", n.Serial_Par);
    return n;
}

} // namespace strovane::project
