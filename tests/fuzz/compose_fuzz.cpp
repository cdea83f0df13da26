// The composer fed three documents: it fails only with its documented errors and then leaves the
// older bank.bin as it was; an image it writes decodes to exactly the documents' numbers, and
// composing again gives the same bytes.
#include "fuzz_support.h"

#include "project/config_image.h"
#include "project/image_decoder.h"
#include "project/xml.h"

namespace {

using namespace strovane::project;
namespace fs = std::filesystem;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte says which documents exist; the rest is ParGen.xml, RPDOs.xml and TPDOs.xml.
    const unsigned present = data[0];
    const std::vector<std::string> parts =
        strovane::fuzz::splitParts(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), 3);
    const fs::path dir = strovane::fuzz::scratch();
    fs::create_directory(dir / "bin");
    const ProjectFiles files = ProjectFiles::inFolder(dir);
    const fs::path* const paths[] = {&files.parGen, &files.receivePdos, &files.transmitPdos};
    for (int i = 0; i < 3; ++i)
        if (present & (1u << i))
            strovane::fuzz::writeBytes(*paths[i], parts[i]);
    strovane::fuzz::writeBytes(bankBinPath(dir), "older image");

    ConfigImage image;
    try {
        image.composeFrom(files);
    } catch (const ComposeError&) {
        FUZZ_ASSERT(strovane::fuzz::readBytes(bankBinPath(dir)) == "older image");
        return 0;
    } catch (const xml::LoadError&) {
        FUZZ_ASSERT(strovane::fuzz::readBytes(bankBinPath(dir)) == "older image");
        return 0;
    }
    image.saveBankBin(dir);
    const std::string saved = strovane::fuzz::readBytes(bankBinPath(dir));
    const std::span<const std::uint8_t> bytes = image.bytes();
    FUZZ_ASSERT(saved == std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));

    // The image decodes to the documents' numbers, narrowed as the layout says.
    const DecodedImage decoded = decodeImage(bytes);
    const std::vector<PdoEntry> receive = readPdoEntries(files.receivePdos);
    const std::vector<PdoEntry> transmit = readPdoEntries(files.transmitPdos);
    const std::optional<ParGenNumbers> params = readParGenNumbers(files.parGen);
    FUZZ_ASSERT(decoded.receive.size() == receive.size());
    FUZZ_ASSERT(decoded.transmit.size() == transmit.size());
    for (std::size_t i = 0; i < receive.size(); ++i) {
        FUZZ_ASSERT(decoded.receive[i].cobId == static_cast<std::uint16_t>(receive[i].cobId));
        FUZZ_ASSERT(decoded.receive[i].dimension == static_cast<std::uint8_t>(receive[i].dimension));
    }
    for (std::size_t i = 0; i < transmit.size(); ++i) {
        FUZZ_ASSERT(decoded.transmit[i].cobId == static_cast<std::uint16_t>(transmit[i].cobId));
        FUZZ_ASSERT(decoded.transmit[i].dimension == static_cast<std::uint8_t>(transmit[i].dimension));
    }
    FUZZ_ASSERT(decoded.parameters.has_value() == params.has_value());
    if (params) {
        const ImageParameters& p = *decoded.parameters;
        FUZZ_ASSERT(p.nodeId == static_cast<std::uint8_t>(params->nodeId));
        FUZZ_ASSERT(p.canBaud == static_cast<std::uint8_t>(params->canBaud));
        FUZZ_ASSERT(p.setOperational == static_cast<std::uint8_t>(params->setOperational));
        FUZZ_ASSERT(p.setOperationalNetwork == static_cast<std::uint8_t>(params->setOperationalNetwork));
        FUZZ_ASSERT(p.startDelay == static_cast<std::uint8_t>(params->startDelay));
        FUZZ_ASSERT(p.sdoTimeout == static_cast<std::uint16_t>(params->sdoTimeout));
        FUZZ_ASSERT(p.serialType == static_cast<std::uint8_t>(params->serialType));
        FUZZ_ASSERT(p.serialBaud == static_cast<std::uint8_t>(params->serialBaud));
        FUZZ_ASSERT(p.serialParity == static_cast<std::uint8_t>(params->serialParity));
        FUZZ_ASSERT(p.receiveCount == static_cast<std::uint8_t>(receive.size()));
        FUZZ_ASSERT(p.transmitCount == static_cast<std::uint8_t>(transmit.size()));
    }

    ConfigImage again;
    again.composeFrom(files);
    FUZZ_ASSERT(std::equal(bytes.begin(), bytes.end(), again.bytes().begin(), again.bytes().end()));
    return 0;
}
