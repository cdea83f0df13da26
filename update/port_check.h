#pragma once

#include "platform/serial_device.h"

#include <string>

namespace strovane::update {

class TComm;

// Sets up the component as the update dialog's port: all nine monitor events, no options, no
// handlers, devices from `devices`.
void setUpAsUpdatePort(TComm& comm, platform::SerialDeviceFactory devices);

// Tests a port as Connect does: opens `path` and raises DTR. A driver without modem control lines
// still counts as connected. Throws ECommError when the port cannot be opened or DTR is refused for
// another reason; the port is then left as the failure found it (open when only DTR failed).
void connectPort(TComm& comm, const std::string& path);

} // namespace strovane::update
