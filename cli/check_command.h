#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace strovane::cli {

// check PROJECT_DIR: runs the editors' checks on the project's documents and lists every problem.
int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace strovane::cli
