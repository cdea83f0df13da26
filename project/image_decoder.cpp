#include "project/image_decoder.h"

#include "project/config_image.h"

#include <string>

namespace strovane::project {

namespace {

std::uint32_t read32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t read16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::vector<ImageEntry> entries(std::span<const std::uint8_t> b, std::size_t from, std::size_t to) {
    std::vector<ImageEntry> out;
    for (std::size_t at = from; at < to; at += ConfigImage::kEntrySize)
        out.push_back({read16(b, at), b[at + 2]});
    return out;
}

} // namespace

DecodedImage decodeImage(std::span<const std::uint8_t> bytes) {
    constexpr std::size_t header = ConfigImage::kHeaderSize;
    const std::string length = std::to_string(bytes.size());
    if (bytes.size() < header)
        throw ImageFormatError("the image has " + length + " bytes, shorter than its 12-byte header");

    DecodedImage image;
    image.length = bytes.size();
    image.receiveOffset = read32(bytes, 0);
    image.receiveEnd = read32(bytes, 4);
    image.transmitEnd = read32(bytes, 8);
    if (image.receiveOffset != header)
        throw ImageFormatError("the receive entries' offset is " + std::to_string(image.receiveOffset) +
                               ", not 12");
    if (image.receiveEnd < header || (image.receiveEnd - header) % ConfigImage::kEntrySize != 0)
        throw ImageFormatError("the end of the receive entries (" + std::to_string(image.receiveEnd) +
                               ") is not 12 plus a whole number of 3-byte entries");
    if (image.transmitEnd < image.receiveEnd ||
        (image.transmitEnd - image.receiveEnd) % ConfigImage::kEntrySize != 0)
        throw ImageFormatError("the end of the transmit entries (" + std::to_string(image.transmitEnd) +
                               ") is not the end of the receive entries (" + std::to_string(image.receiveEnd) +
                               ") plus a whole number of 3-byte entries");
    const std::size_t end = image.transmitEnd;
    if (bytes.size() != end && bytes.size() != end + ConfigImage::kParameterSize)
        throw ImageFormatError("the image has " + length + " bytes; its header gives " + std::to_string(end) +
                               " without the parameter block or " +
                               std::to_string(end + ConfigImage::kParameterSize) + " with it");

    image.receive = entries(bytes, header, image.receiveEnd);
    image.transmit = entries(bytes, image.receiveEnd, end);
    if (bytes.size() > end) {
        ImageParameters p;
        p.nodeId = bytes[end];
        p.canBaud = bytes[end + 1];
        p.setOperational = bytes[end + 2];
        p.setOperationalNetwork = bytes[end + 3];
        p.startDelay = bytes[end + 4];
        p.sdoTimeout = read16(bytes, end + 5);
        p.serialType = bytes[end + 7];
        p.serialBaud = bytes[end + 8];
        p.serialParity = bytes[end + 9];
        p.receiveCount = bytes[end + 10];
        p.transmitCount = bytes[end + 11];
        image.parameters = p;
    }
    return image;
}

} // namespace strovane::project
