// The settings file at start-up: any Strovane.xml gives at most a reported problem, never an
// escaping error; what start-up read is written at close so that the next start reads the same.
#include "fuzz_support.h"

#include "project/xml.h"
#include "workspace/workspace.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path dir = strovane::fuzz::scratch();
    strovane::fuzz::writeBytes(dir / "Strovane.xml", std::string_view(reinterpret_cast<const char*>(data), size));
    strovane::workspace::Workspace ws;
    const std::vector<std::string> problems = ws.startUp(dir);
    FUZZ_ASSERT(problems.size() <= 1);
    FUZZ_ASSERT(std::filesystem::is_directory(dir / "PROJECTS") && std::filesystem::is_directory(dir / "MASTER"));

    ws.saveSettings(); // what was read can always be written
    strovane::workspace::Workspace again;
    FUZZ_ASSERT(again.startUp(dir).empty());
    FUZZ_ASSERT(again.projectName == ws.projectName);
    FUZZ_ASSERT(again.ipAddress == ws.ipAddress);
    FUZZ_ASSERT(again.projectDir == ws.projectDir);
    return 0;
}
