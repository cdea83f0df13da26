// The image decoder behind dump: any bytes are either refused with ImageFormatError or decode to
// fields that, laid out again, give back exactly those bytes.
#include "fuzz_support.h"

#include "project/config_image.h"
#include "project/image_decoder.h"

namespace {

using namespace strovane::project;

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void putEntries(std::vector<std::uint8_t>& out, const std::vector<ImageEntry>& entries) {
    for (const ImageEntry& e : entries) {
        out.push_back(static_cast<std::uint8_t>(e.cobId));
        out.push_back(static_cast<std::uint8_t>(e.cobId >> 8));
        out.push_back(e.dimension);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // dump never hands over more than an image can hold plus one byte.
    if (size > ConfigImage::kBufferSize + 1)
        return 0;
    DecodedImage image;
    try {
        image = decodeImage(std::span<const std::uint8_t>(data, size));
    } catch (const ImageFormatError&) {
        return 0;
    }
    FUZZ_ASSERT(image.length == size);
    std::vector<std::uint8_t> out;
    put32(out, image.receiveOffset);
    put32(out, image.receiveEnd);
    put32(out, image.transmitEnd);
    putEntries(out, image.receive);
    FUZZ_ASSERT(out.size() == image.receiveEnd);
    putEntries(out, image.transmit);
    FUZZ_ASSERT(out.size() == image.transmitEnd);
    if (image.parameters) {
        const ImageParameters& p = *image.parameters;
        for (const std::uint8_t b :
             {p.nodeId, p.canBaud, p.setOperational, p.setOperationalNetwork, p.startDelay})
            out.push_back(b);
        out.push_back(static_cast<std::uint8_t>(p.sdoTimeout));
        out.push_back(static_cast<std::uint8_t>(p.sdoTimeout >> 8));
        for (const std::uint8_t b :
             {p.serialType, p.serialBaud, p.serialParity, p.receiveCount, p.transmitCount})
            out.push_back(b);
    }
    FUZZ_ASSERT(out.size() == size && std::equal(out.begin(), out.end(), data));
    return 0;
}
