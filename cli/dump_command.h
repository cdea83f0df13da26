#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace strovane::cli {

// dump FILE [--json]: decodes a configuration image and prints its fields.
int runDump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace strovane::cli
