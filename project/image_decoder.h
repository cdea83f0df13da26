#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

// Reads a configuration image back into its fields, for inspection (strovane-cli dump).
namespace strovane::project {

// An image whose header offsets do not agree with each other or with its length.
struct ImageFormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ImageEntry {
    std::uint16_t cobId = 0;
    std::uint8_t dimension = 0;
};

struct ImageParameters {
    std::uint8_t nodeId = 0;
    std::uint8_t canBaud = 0;
    std::uint8_t setOperational = 0;
    std::uint8_t setOperationalNetwork = 0;
    std::uint8_t startDelay = 0;
    std::uint16_t sdoTimeout = 0;
    std::uint8_t serialType = 0;
    std::uint8_t serialBaud = 0;
    std::uint8_t serialParity = 0;
    std::uint8_t receiveCount = 0;
    std::uint8_t transmitCount = 0;
};

struct DecodedImage {
    std::size_t length = 0;
    std::uint32_t receiveOffset = 0; // always 12
    std::uint32_t receiveEnd = 0;    // also where the transmit entries start
    std::uint32_t transmitEnd = 0;   // also where the parameter block starts
    std::vector<ImageEntry> receive;
    std::vector<ImageEntry> transmit;
    std::optional<ImageParameters> parameters; // absent when the project had no ParGen.xml
};

// Decodes `bytes`; throws ImageFormatError naming what is inconsistent.
DecodedImage decodeImage(std::span<const std::uint8_t> bytes);

} // namespace strovane::project
