#include "platform/arguments.h"

namespace strovane::platform {

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

} // namespace strovane::platform
