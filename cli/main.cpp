// strovane-cli: composes and inspects GW40518 configuration images without the windows.

#include "cli/commands.h"
#include "platform/arguments.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace strovane::cli;

void printUsage(std::ostream& os) {
    os << "Usage: strovane-cli COMMAND [ARGS...]\n"
          "       strovane-cli COMMAND --help\n"
          "       strovane-cli --version\n\nCommands:\n";
    for (const Command& c : commands())
        os << "  " << c.name << std::string(c.name.size() < 10 ? 10 - c.name.size() : 1, ' ') << c.summary
           << "\n";
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> all = strovane::platform::utf8Arguments(argc, argv);
    if (all.size() < 2) {
        std::cerr << "strovane-cli: no command given\n";
        printUsage(std::cerr);
        return kExitUsage;
    }
    const std::string& name = all[1];
    if (isHelp(name) || name == "help") {
        printUsage(std::cout);
        return kExitOk;
    }
    if (name == "--version") {
        std::cout << "strovane-cli " << STROVANE_VERSION << "\n";
        return kExitOk;
    }
    for (const Command& c : commands()) {
        if (c.name != name)
            continue;
        const std::vector<std::string> args(all.begin() + 2, all.end());
        try {
            return c.run(args, std::cout, std::cerr);
        } catch (const std::exception& e) {
            return failure(std::cerr, e.what());
        }
    }
    std::cerr << "strovane-cli: unknown command " << strovane::project::quoted(name) << "\n";
    printUsage(std::cerr);
    return kExitUsage;
}
