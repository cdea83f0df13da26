#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include <pugixml.hpp>

// ParGen.xml: the CANopen node and serial line parameters of a project, and its two readers
// (the communication dialog's and the image composer's), which interpret the same text apart.
namespace strovane::project {

// The texts of the lists, in list-index order.
inline constexpr std::array<const char*, 8> kCanopenBaudTexts = {"20K",  "50K",  "100K", "125K",
                                                                 "250K", "500K", "800K", "1000K"};
inline constexpr std::array<const char*, 2> kSerialTexts = {"RS232", "RS485"};
inline constexpr std::array<const char*, 8> kSerialBaudTexts = {"1200",  "2400",  "4800",  "9600",
                                                                "19200", "38400", "57600", "115200"};
inline constexpr std::array<const char*, 3> kParityTexts = {"NONE", "EVEN", "ODD"};

// The nine values as the communication dialog shows and saves them: texts as typed, ticks, and
// list indexes (-1 when a list has no selection). The initialisers are the dialog's defaults.
struct ParGenValues {
    std::string nodeId = "10";
    int canBaud = 7; // 0 "20K" .. 7 "1000K"
    bool setOperational = false;
    bool setOperationalNetwork = false;
    std::string startDelay = "0";     // seconds
    std::string sdoTimeout = "10000"; // tenths of a millisecond
    int serialType = 0;               // 0 "RS232", 1 "RS485"
    int serialBaud = 7;               // 0 "1200" .. 7 "115200"
    int serialParity = 0;             // 0 "NONE", 1 "EVEN", 2 "ODD"

    bool operator==(const ParGenValues&) const = default;
};

// The parameter block's numbers as the composer reads them; the initialisers are its defaults.
struct ParGenNumbers {
    std::int32_t nodeId = 10;
    std::int32_t canBaud = 7;
    std::int32_t setOperational = 0;
    std::int32_t setOperationalNetwork = 0;
    std::int32_t startDelay = 0;
    std::int32_t sdoTimeout = 10000;
    std::int32_t serialType = 0;
    std::int32_t serialBaud = 7;
    std::int32_t serialParity = 0;

    bool operator==(const ParGenNumbers&) const = default;
};

// Writes ParGen.xml whole: root Par_Gen with the nine elements in order, then the comment
// "SW_VERSION = 1.001" after the root. Throws std::system_error when the file cannot be written.
void writeParGen(const std::filesystem::path& file, const ParGenValues& values);

// The dialog's reading. A missing file gives the defaults; a missing or unreadable key gives its
// default; a list index is the key's integer text unchanged, even out of the list's range;
// a box is ticked only for the exact text "1". Throws xml::LoadError when the file exists but
// cannot be loaded (the dialog then keeps the values it showed last).
ParGenValues readParGenForDialog(const std::filesystem::path& file);

// The composer's reading: each key's integer text, or its default when the key is missing,
// unreadable or not integer text. nullopt when the file does not exist (the image then has no
// parameter block); throws xml::LoadError when it exists but cannot be loaded.
std::optional<ParGenNumbers> readParGenNumbers(const std::filesystem::path& file);

// The two readings of a document already loaded.
ParGenValues parGenValuesFrom(const pugi::xml_document& doc);
ParGenNumbers parGenNumbersFrom(const pugi::xml_document& doc);

} // namespace strovane::project
