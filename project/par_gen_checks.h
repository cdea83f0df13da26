#pragma once

#include "project/par_gen.h"

#include <optional>
#include <string>
#include <vector>

// The communication dialog's checks on ParGen values, shared by the dialog and strovane-cli.
namespace strovane::project {

// The dialog's messages for the three typed values, in the order it checks them.
inline constexpr const char* kIdRangeMessage = "Error CANopen!! ID Device must be between 1 and 127";
inline constexpr const char* kDelayRangeMessage = "Error CANopen!! Delay must be between 0 and 255";
inline constexpr const char* kSdoTimeoutRangeMessage =
    "Error CANopen!! SDO Timeout must be between 0 and 50000";

// Every failing range check, in the order ID, delay, SDO timeout. Text that is not integer text
// counts as -1 and fails. The dialog shows only the first; the command line reports them all.
std::vector<std::string> parGenRangeMessages(const ParGenValues& values);

// The dialog's check: the message of the first failing range, nullopt when all three pass.
std::optional<std::string> firstParGenRangeMessage(const ParGenValues& values);

// List indexes that select no item (the dialog then shows an empty list and saves "-1"),
// one line each, e.g. `Serial_Par: list index 5 is outside 0 to 2 ("NONE" to "ODD")`.
std::vector<std::string> parGenListProblems(const ParGenValues& values);

} // namespace strovane::project
