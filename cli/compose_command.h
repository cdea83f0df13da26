#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace strovane::cli {

// compose PROJECT_DIR [-o FILE]: composes the image as Update Device does and writes it to
// PROJECT_DIR/bin/bank.bin, to FILE, or to standard output for "-o -".
int runCompose(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace strovane::cli
