#include "project/config_image.h"

#include "project/atomic_file.h"
#include "platform/path_text.h"
#include "project/par_gen.h"
#include "project/pdo_document.h"

#include <string>
#include <string_view>

namespace strovane::project {

ProjectFiles ProjectFiles::inFolder(const std::filesystem::path& projectDir) {
    return {projectDir / "ParGen.xml", projectDir / "RPDOs.xml", projectDir / "TPDOs.xml"};
}

std::filesystem::path bankBinPath(const std::filesystem::path& projectDir) {
    return projectDir / "bin" / "bank.bin";
}

ConfigImage::ConfigImage() : m_buffer(std::make_unique<std::array<std::uint8_t, kBufferSize>>()) {}

void ConfigImage::put8(std::size_t& p, std::int32_t value) {
    (*m_buffer)[p++] = static_cast<std::uint8_t>(value & 0xFF);
}

void ConfigImage::put16(std::size_t& p, std::int32_t value) {
    put8(p, value);
    put8(p, value >> 8);
}

void ConfigImage::put32(std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        (*m_buffer)[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void ConfigImage::composeFrom(const ProjectFiles& files) {
    m_length = static_cast<std::int32_t>(kHeaderSize);
    put32(0, kHeaderSize);

    // Everything is read before the buffer is touched, so a bad document stops the
    // composition with the image's valid part unchanged.
    const std::vector<PdoEntry> receive = readPdoEntries(files.receivePdos);
    const std::vector<PdoEntry> transmit = readPdoEntries(files.transmitPdos);
    const std::optional<ParGenNumbers> params = readParGenNumbers(files.parGen);
    compose(receive, transmit, params, files);
}

void ConfigImage::compose(const std::vector<PdoEntry>& receive, const std::vector<PdoEntry>& transmit,
                          const std::optional<ParGenNumbers>& params, const ProjectFiles& files) {
    m_length = static_cast<std::int32_t>(kHeaderSize);
    put32(0, kHeaderSize);
    const std::size_t entries = receive.size() + transmit.size();
    const std::size_t room = (kBufferSize - kHeaderSize - (params ? kParameterSize : 0)) / kEntrySize;
    if (entries > room)
        throw ComposeError(platform::utf8FromPath(files.receivePdos.filename()) + " and " +
                           platform::utf8FromPath(files.transmitPdos.filename()) + " hold " +
                           std::to_string(entries) + " PDO entries; the configuration image has room for " +
                           std::to_string(room));

    std::size_t p = kHeaderSize;
    for (const PdoEntry& e : receive) {
        put16(p, e.cobId);
        put8(p, e.dimension);
    }
    put32(4, static_cast<std::uint32_t>(p));
    for (const PdoEntry& e : transmit) {
        put16(p, e.cobId);
        put8(p, e.dimension);
    }
    put32(8, static_cast<std::uint32_t>(p));

    if (params) {
        put8(p, params->nodeId);
        put8(p, params->canBaud);
        put8(p, params->setOperational);
        put8(p, params->setOperationalNetwork);
        put8(p, params->startDelay);
        put16(p, params->sdoTimeout);
        put8(p, params->serialType);
        put8(p, params->serialBaud);
        put8(p, params->serialParity);
        put8(p, static_cast<std::int32_t>(receive.size()));
        put8(p, static_cast<std::int32_t>(transmit.size()));
    }
    m_length = static_cast<std::int32_t>(p);
}

void ConfigImage::saveBankBin(const std::filesystem::path& projectDir) const {
    saveTo(bankBinPath(projectDir));
}

void ConfigImage::composeBankBin(const ProjectFiles& files, const std::filesystem::path& projectDir) {
    composeFrom(files);
    saveBankBin(projectDir);
}

void ConfigImage::saveTo(const std::filesystem::path& file) const {
    const std::span<const std::uint8_t> b = bytes();
    writeFileAtomically(file, std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
}

} // namespace strovane::project
