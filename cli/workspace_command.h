#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace strovane::cli {

// strovane-cli workspace [--workspace DIR] [--json]: where the workspace is and why.
int runWorkspace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runWorkspaceWith(const std::filesystem::path& exeDir, const std::filesystem::path& userData,
                     const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace strovane::cli
