#pragma once

#include <string>
#include <vector>

namespace strovane::platform {

// The program's arguments as UTF-8 text, as the rest of the program holds names. On Windows they are
// read again from the UTF-16 command line, since argv spells them in the narrow code page, which
// cannot hold every name; should the two disagree on how many there are, argv is kept. Elsewhere
// argv as it is.
std::vector<std::string> utf8Arguments(int argc, char** argv);

} // namespace strovane::platform
