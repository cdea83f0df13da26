#include "update/port_check.h"

#include "platform/serial_device.h"
#include "update/serial_port.h"

#include <utility>

namespace strovane::update {

void setUpAsUpdatePort(TComm& comm, platform::SerialDeviceFactory devices) {
    comm.SetDeviceFactory(std::move(devices));
    comm.SetMonitorEvents(kAllCommEvents);
    comm.SetOptions(TCommOptions{});
}

void connectPort(TComm& comm, const std::string& path) {
    comm.SetDeviceName(path);
    comm.Open();
    try {
        comm.SetDTRState(true);
    } catch (const ECommError& e) {
        if (!platform::lacksModemLines(static_cast<platform::SysError>(e.ErrorCode)))
            throw;
    }
}

} // namespace strovane::update
