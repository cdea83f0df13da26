#include "update/port_check.h"

#include "platform/serial_device.h"
#include "update/serial_port.h"

#include <utility>

namespace strovane::update {

void setUpAsUpdatePort(SerialPort& port, platform::SerialDeviceFactory devices) {
    port.setDeviceFactory(std::move(devices));
    port.setMonitorEvents(kAllSerialEvents);
    port.setOptions(SerialOptions{});
}

void connectPort(SerialPort& port, const std::string& path) {
    port.setDeviceName(path);
    port.open();
    try {
        port.setDtr(true);
    } catch (const SerialPortError& e) {
        if (!platform::lacksModemLines(static_cast<platform::SysError>(e.code())))
            throw;
    }
}

} // namespace strovane::update
