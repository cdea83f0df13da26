#pragma once

#include "project/compose_error.h"
#include "project/par_gen.h"
#include "project/pdo_document.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace strovane::project {

// The three documents a composition reads.
struct ProjectFiles {
    std::filesystem::path parGen, receivePdos, transmitPdos;

    // ParGen.xml, RPDOs.xml and TPDOs.xml in a project folder.
    static ProjectFiles inFolder(const std::filesystem::path& projectDir);
};

// "bin/bank.bin" in a project folder: where saveBankBin writes the image.
std::filesystem::path bankBinPath(const std::filesystem::path& projectDir);

// The device's configuration image. Little-endian, no padding:
//   0  int32  12 (offset of the receive entries)
//   4  int32  receiveEnd = 12 + 3R
//   8  int32  transmitEnd = P = 12 + 3(R + T)
//  12  3R     receive entries: COB-ID (16 bits), dimension (8 bits)
//      3T     transmit entries, the same
//   P  12     parameters (only when ParGen.xml exists): ID, CANopen baud, set operational,
//             set operational net, delay, SDO timeout (16 bits), serial type, serial baud,
//             parity, R, T (8 bits each unless noted)
class ConfigImage {
public:
    static constexpr std::size_t kBufferSize = 100001;
    static constexpr std::size_t kHeaderSize = 12;
    static constexpr std::size_t kEntrySize = 3;
    static constexpr std::size_t kParameterSize = 12;

    ConfigImage();

    // Composes the image from the documents; a missing document leaves its part empty (no
    // parameter block without ParGen.xml). Throws ComposeError for a bad PDO row or an image too
    // large for the buffer, xml::LoadError for a document that cannot be loaded.
    void composeFrom(const ProjectFiles& files);

    // Composes the image from entries and parameters already read; `files` names the documents
    // in messages. Throws ComposeError when the entries do not fit in the buffer.
    void compose(const std::vector<PdoEntry>& receive, const std::vector<PdoEntry>& transmit,
                 const std::optional<ParGenNumbers>& params, const ProjectFiles& files);

    // Writes the first length bytes to bin/bank.bin in `projectDir`, replacing it whole.
    // Throws std::system_error naming the path when it cannot be written.
    void saveBankBin(const std::filesystem::path& projectDir) const;

    // What Update Device does before the update dialog opens: composeFrom from `files`, then
    // saveBankBin into `projectDir`. Throws like them; nothing is written when composing fails.
    void composeBankBin(const ProjectFiles& files, const std::filesystem::path& projectDir);

    // Writes the image to any file, replacing it whole; throws like saveBankBin.
    void saveTo(const std::filesystem::path& file) const;

    // The number of valid bytes at the start of the buffer.
    std::int32_t length() const { return m_length; }
    const std::array<std::uint8_t, kBufferSize>& buffer() const { return *m_buffer; }

    // The valid bytes.
    std::span<const std::uint8_t> bytes() const {
        return {m_buffer->data(), static_cast<std::size_t>(m_length)};
    }

private:
    void put8(std::size_t& p, std::int32_t value);
    void put16(std::size_t& p, std::int32_t value);
    void put32(std::size_t at, std::uint32_t value);

    std::unique_ptr<std::array<std::uint8_t, kBufferSize>> m_buffer; // zeroed, never cleared
    std::int32_t m_length = 0;
};

} // namespace strovane::project
