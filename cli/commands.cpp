#include "cli/commands.h"

#include "cli/check_command.h"
#include "cli/compose_command.h"
#include "cli/dump_command.h"
#include "cli/ports_command.h"
#include "cli/update_command.h"
#include "cli/workspace_command.h"

namespace strovane::cli {

namespace {

// Add a command here: its name, its one-line summary and the function that runs it.
constexpr Command kCommands[] = {
    {"compose", "compose bin/bank.bin from a project folder's documents", runCompose},
    {"dump", "decode a configuration image (bank.bin)", runDump},
    {"check", "run the editors' checks on a project folder's documents", runCheck},
    {"ports", "list the serial ports present", runPorts},
    {"update", "compose, check the port and run the updater, as Update Device does", runUpdate},
    {"workspace", "print the workspace folder (projects, MASTER, updater) and why it is there", runWorkspace},
};

} // namespace

std::span<const Command> commands() {
    return kCommands;
}

} // namespace strovane::cli
