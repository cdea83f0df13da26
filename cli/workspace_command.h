#pragma once

#include "workspace/workspace_location.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace strovane::cli {

// strovane-cli workspace [--workspace DIR] [--json]: where the workspace is and why.
int runWorkspace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runWorkspaceWith(const std::filesystem::path& exeDir, const std::filesystem::path& userData,
                     const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The workspace by the rule for `command`; nothing, after one line on `err`, when the program is
// installed and the system names no data folder for the user.
std::optional<workspace::WorkspaceLocation> locateWorkspace(std::string_view command,
                                                            const std::filesystem::path& exeDir,
                                                            const std::filesystem::path& named,
                                                            const std::filesystem::path& userData, std::ostream& err);

} // namespace strovane::cli
