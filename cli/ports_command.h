#pragma once

#include "platform/port_probe.h"

#include <ostream>
#include <string>
#include <vector>

namespace strovane::cli {

// ports [--json]: the serial ports present, one per line: name, device path, description
// when known, and "(in use)" or "(no permission)" when the probe says so.
int runPorts(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same with the probe given (tests).
int runPortsWith(const platform::PortProbe& probe, const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err);

} // namespace strovane::cli
