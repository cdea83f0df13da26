// strovane-cli check on three documents: it answers 0 or 1 and never throws, and when it finds
// no problem, compose succeeds on the same documents.
#include "fuzz_support.h"

#include "cli/check_command.h"
#include "project/config_image.h"
#include "project/xml.h"

#include <sstream>

namespace fs = std::filesystem;
using namespace strovane::project;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned present = data[0];
    const std::vector<std::string> parts =
        strovane::fuzz::splitParts(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), 3);
    const fs::path dir = strovane::fuzz::scratch();
    const ProjectFiles files = ProjectFiles::inFolder(dir);
    const fs::path* const paths[] = {&files.parGen, &files.receivePdos, &files.transmitPdos};
    for (int i = 0; i < 3; ++i)
        if (present & (1u << i))
            strovane::fuzz::writeBytes(*paths[i], parts[i]);

    std::ostringstream out, err;
    const int code = strovane::cli::runCheck({dir.string()}, out, err);
    FUZZ_ASSERT(code == 0 || code == 1);
    FUZZ_ASSERT(err.str().empty());
    FUZZ_ASSERT(out.str().find('\r') == std::string::npos); // one line per problem
    const std::string report = out.str();
    FUZZ_ASSERT((code == 0) == (report.size() >= 18 && report.compare(report.size() - 18, 18, "no problems found\n") == 0));
    if (code == 0) {
        ConfigImage image;
        image.composeFrom(files); // must not throw
    }
    return 0;
}
