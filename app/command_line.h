#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace strovane::app {

// What the program's own command line asks for; Qt's options (-platform, -style...) pass through.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::filesystem::path workspace; // --workspace DIR, empty when not given
    std::string error;               // for Action::Error: what is wrong
    std::vector<std::string> qtArguments; // the program name and everything left for Qt
};

// Reads `--workspace DIR` (or `--workspace=DIR`), `--help`/`-h` and `--version`. Any other word
// starting with "--" that Qt does not know is an error; single-dash words are left to Qt.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The text for --help; `workspace` describes where the workspace would be and why.
std::string usageText(const std::string& workspace);

} // namespace strovane::app
