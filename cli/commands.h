#pragma once

#include "cli/command.h"

#include <span>

namespace strovane::cli {

// Every command of strovane-cli, in the order the help lists them.
std::span<const Command> commands();

} // namespace strovane::cli
