#include "cli/dump_command.h"

#include "cli/json.h"

#include "cli/command.h"
#include "platform/path_text.h"
#include "project/config_image.h"
#include "project/file_read.h"
#include "project/image_decoder.h"
#include "project/par_gen.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <system_error>

namespace strovane::cli {

namespace {

using project::DecodedImage;
using project::ImageEntry;
using project::ImageParameters;

constexpr std::string_view kUsage =
    "Usage: strovane-cli dump FILE [--json]\n"
    "\n"
    "Decodes a configuration image (bank.bin): the header offsets, each receive and transmit\n"
    "entry, and the parameter block with its counts.\n"
    "\n"
    "  --json    print the same as a JSON object\n"
    "  --help    show this text\n"
    "\n"
    "Exit status: 0 decoded, 1 unreadable or inconsistent image (the reason is on standard\n"
    "error), 2 a bad command line.\n";

// The list text for an index, or "?" for one outside the list.
template <std::size_t N>
std::string_view listText(const std::array<const char*, N>& texts, unsigned index) {
    return index < N ? texts[index] : "?";
}

std::string hex(unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%03X", value);
    return buf;
}

void printEntries(std::ostream& out, const char* title, const std::vector<ImageEntry>& entries,
                  std::uint32_t offset) {
    out << title << ": " << entries.size() << " at offset " << offset << "\n";
    std::size_t index = 0;
    for (const ImageEntry& e : entries) {
        out << "  " << ++index << "  COB-ID " << hex(e.cobId) << " (" << e.cobId << ")  dimension "
            << unsigned(e.dimension) << "\n";
    }
}

void printText(std::ostream& out, const std::string& file, const DecodedImage& image) {
    out << file << ": " << image.length << " bytes\n"
        << "header: receive entries at " << image.receiveOffset << ", transmit entries at " << image.receiveEnd
        << ", parameter block at " << image.transmitEnd << "\n";
    printEntries(out, "receive entries", image.receive, image.receiveOffset);
    printEntries(out, "transmit entries", image.transmit, image.receiveEnd);
    if (!image.parameters) {
        out << "parameter block: none (the project had no ParGen.xml; the image carries no counts)\n";
        return;
    }
    const ImageParameters& p = *image.parameters;
    out << "parameter block:\n"
        << "  node ID             " << unsigned(p.nodeId) << "\n"
        << "  CANopen baud rate   " << listText(project::kCanopenBaudTexts, p.canBaud) << " ("
        << unsigned(p.canBaud) << ")\n"
        << "  set operational     " << unsigned(p.setOperational) << "\n"
        << "  network state       " << unsigned(p.setOperationalNetwork) << "\n"
        << "  start-up delay      " << unsigned(p.startDelay) << " s\n"
        << "  SDO timeout         " << p.sdoTimeout << " (1/10 ms)\n"
        << "  serial              " << listText(project::kSerialTexts, p.serialType) << " ("
        << unsigned(p.serialType) << ")\n"
        << "  serial baud rate    " << listText(project::kSerialBaudTexts, p.serialBaud) << " ("
        << unsigned(p.serialBaud) << ")\n"
        << "  parity              " << listText(project::kParityTexts, p.serialParity) << " ("
        << unsigned(p.serialParity) << ")\n"
        << "  receive count       " << unsigned(p.receiveCount) << "\n"
        << "  transmit count      " << unsigned(p.transmitCount) << "\n";
    // The counts hold the low 8 bits of the header's numbers.
    if (p.receiveCount != (image.receive.size() & 0xFF) || p.transmitCount != (image.transmit.size() & 0xFF))
        out << "warning: the counts differ from the header's " << image.receive.size() << " receive and "
            << image.transmit.size() << " transmit entries\n";
}

void jsonEntries(std::ostream& out, const std::vector<ImageEntry>& entries) {
    out << "[";
    std::size_t index = 0;
    for (const ImageEntry& e : entries) {
        out << (index ? ",\n    " : "\n    ") << "{\"index\": " << index + 1 << ", \"cobId\": " << e.cobId
            << ", \"cobIdHex\": " << jsonString(hex(e.cobId)) << ", \"dimension\": " << unsigned(e.dimension)
            << "}";
        ++index;
    }
    out << (entries.empty() ? "]" : "\n  ]");
}

template <std::size_t N>
std::string jsonChoice(const std::array<const char*, N>& texts, unsigned index) {
    const std::string_view text = listText(texts, index);
    return "{\"index\": " + std::to_string(index) + ", \"name\": " + (text == "?" ? "null" : jsonString(text)) +
           "}";
}

void printJson(std::ostream& out, const std::string& file, const DecodedImage& image) {
    out << "{\n  \"file\": " << jsonString(file) << ",\n  \"length\": " << image.length
        << ",\n  \"header\": {\"receiveOffset\": " << image.receiveOffset << ", \"receiveEnd\": " << image.receiveEnd
        << ", \"transmitEnd\": " << image.transmitEnd << "},\n  \"receive\": ";
    jsonEntries(out, image.receive);
    out << ",\n  \"transmit\": ";
    jsonEntries(out, image.transmit);
    out << ",\n  \"parameters\": ";
    if (!image.parameters) {
        out << "null\n}\n";
        return;
    }
    const ImageParameters& p = *image.parameters;
    out << "{\n    \"nodeId\": " << unsigned(p.nodeId)
        << ",\n    \"canopenBaud\": " << jsonChoice(project::kCanopenBaudTexts, p.canBaud)
        << ",\n    \"setOperational\": " << unsigned(p.setOperational)
        << ",\n    \"setOperationalNet\": " << unsigned(p.setOperationalNetwork)
        << ",\n    \"delay\": " << unsigned(p.startDelay) << ",\n    \"sdoTimeout\": " << p.sdoTimeout
        << ",\n    \"serial\": " << jsonChoice(project::kSerialTexts, p.serialType)
        << ",\n    \"serialBaud\": " << jsonChoice(project::kSerialBaudTexts, p.serialBaud)
        << ",\n    \"parity\": " << jsonChoice(project::kParityTexts, p.serialParity)
        << ",\n    \"receiveCount\": " << unsigned(p.receiveCount)
        << ",\n    \"transmitCount\": " << unsigned(p.transmitCount) << "\n  }\n}\n";
}

} // namespace

int runDump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> file;
    bool json = false;
    for (const std::string& a : args) {
        if (isHelp(a)) {
            out << kUsage;
            return kExitOk;
        }
        if (a == "--json")
            json = true;
        else if (a.size() > 1 && a[0] == '-')
            return usageError(err, "dump", "unknown option " + project::quoted(a), kUsage);
        else if (file)
            return usageError(err, "dump", "more than one file", kUsage);
        else
            file = a;
    }
    if (!file)
        return usageError(err, "dump", "no file given", kUsage);

    // An image never exceeds the composer's buffer: read one byte more than that at most, so
    // an endless input (a device, a pipe) is refused without reading it all.
    constexpr std::size_t kLimit = project::ConfigImage::kBufferSize;
    std::string raw;
    try {
        raw = project::readAtMost(platform::pathFromUtf8(*file), kLimit);
    } catch (const project::FileReadError& e) {
        return failure(err, e.what());
    }
    if (raw.size() > kLimit) {
        std::error_code ec;
        const std::filesystem::path path = platform::pathFromUtf8(*file);
        const std::uintmax_t size =
            std::filesystem::is_regular_file(path, ec) ? std::filesystem::file_size(path, ec) : 0;
        return failure(err, *file + ": " + (size > kLimit && !ec ? std::to_string(size) : "more than " + std::to_string(kLimit)) +
                                " bytes; a configuration image holds at most " + std::to_string(kLimit));
    }
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size());
    try {
        const DecodedImage image = project::decodeImage(bytes);
        if (json)
            printJson(out, *file, image);
        else
            printText(out, project::oneLine(*file), image);
    } catch (const project::ImageFormatError& e) {
        return failure(err, *file + ": " + e.what());
    }
    return kExitOk;
}

} // namespace strovane::cli
