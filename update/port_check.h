#pragma once

#include "platform/serial_device.h"

#include <string>

namespace strovane::update {

class SerialPort;

// Sets up the port as the update dialog's: all nine monitor events, no options, no handlers,
// devices from `devices`.
void setUpAsUpdatePort(SerialPort& port, platform::SerialDeviceFactory devices);

// Tests a port as Connect does: opens `path` and raises DTR. A driver without modem control lines
// still counts as connected. Throws SerialPortError when the port cannot be opened or DTR is
// refused for another reason; the port is then left as the failure found it (open when only DTR
// failed).
void connectPort(SerialPort& port, const std::string& path);

} // namespace strovane::update
