#pragma once

#include "platform/serial_device.h"
#include "update/serial_event_chars.h"
#include "update/serial_event_thread.h"
#include "update/serial_types.h"
#include "update/sync_objects.h"

#include <cstdint>
#include <memory>
#include <string>

namespace strovane::update {

// One serial port: line settings, transfers with time-outs, queues, control and modem lines, and
// an event thread per open port whose events reach the handlers on the user-interface thread.
// Every public operation and every handler runs on the user-interface thread.
//
// Line settings (baud rate, parity, stop and data bits, options, flow control, event characters)
// are stored while closed and written to the port at once while open. Device name, buffer sizes
// and monitored events are refused while open.
class SerialPort {
public:
    SerialPort();
    virtual ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    void open();
    // Stops the event thread and releases the device; nothing when closed. Never throws.
    void close();
    bool isOpen() const { return m_device != nullptr; }

    // Bytes transferred, or -1 on time-out.
    std::int32_t write(const void* data, std::int32_t count);
    std::int32_t read(void* data, std::int32_t count);
    // Bytes in the driver's queues; -1 when closed.
    std::int32_t inQueueCount();
    std::int32_t outQueueCount();
    void purgeInput();
    void purgeOutput();
    void setDtr(bool on);
    void setRts(bool on);
    // Sets or clears the break state, then purges both queues.
    void setBreak(bool on);
    // Acts as if Xon (true) or Xoff (false) had been received.
    void setXon(bool on);

    // The open device, or none when closed.
    platform::SerialDevice* device() const { return m_device.get(); }
    // Modem lines; false when closed or unreadable. rlsd: receive line signal detect (carrier).
    bool cts();
    bool dsr();
    bool ring();
    bool rlsd();
    // Transmit holds; reading one clears the port's error state.
    bool ctsHold();
    bool dsrHold();
    bool rlsdHold();
    bool xoffHold();
    bool xoffSent();

    // Where open() gets its device (default: this platform's backend). Only while closed.
    void setDeviceFactory(platform::SerialDeviceFactory factory);
    // How the event thread reaches the user-interface thread (default: a direct call on the event
    // thread). The application passes a blocking queued call. Only while closed.
    void setSynchronizer(Synchronizer synchronizer);

    const std::string& deviceName() const { return m_deviceName; }
    void setDeviceName(const std::string& name);
    // Transfer time-outs in milliseconds; they apply from the next transfer on.
    std::int32_t readTimeout() const { return m_readTimeout; }
    void setReadTimeout(std::int32_t ms) { m_readTimeout = ms; }
    std::int32_t writeTimeout() const { return m_writeTimeout; }
    void setWriteTimeout(std::int32_t ms) { m_writeTimeout = ms; }
    // Driver queue sizes asked for at open(); the Xon/Xoff limits are a quarter of the input one.
    std::int32_t readBufferSize() const { return m_readBufferSize; }
    void setReadBufferSize(std::int32_t size);
    std::int32_t writeBufferSize() const { return m_writeBufferSize; }
    void setWriteBufferSize(std::int32_t size);
    SerialEvents monitorEvents() const { return m_monitorEvents; }
    void setMonitorEvents(SerialEvents events);
    BaudRate baudRate() const { return m_baudRate; }
    void setBaudRate(BaudRate rate);
    Parity parity() const { return m_parity; }
    void setParity(Parity parity);
    StopBits stopBits() const { return m_stopBits; }
    void setStopBits(StopBits bits);
    DataBits dataBits() const { return m_dataBits; }
    void setDataBits(DataBits bits);
    SerialEventChars& eventChars() { return m_eventChars; }
    SerialOptions options() const { return m_options; }
    void setOptions(SerialOptions options);
    FlowControl flowControl() const { return m_flowControl; }
    void setFlowControl(FlowControl flow);

    // Called in this order for the events of one wait; an unassigned one is skipped. A handler
    // may close or destroy the port: the remaining ones are then skipped.
    SerialHandler onBreak;
    SerialHandler onCts;
    SerialHandler onDsr;
    SerialErrorHandler onError;
    SerialHandler onRing;
    SerialHandler onRlsd;
    // Only when bytes are waiting.
    SerialRxCharHandler onRxChar;
    SerialHandler onRxFlag;
    SerialHandler onTxEmpty;

protected:
    // Opens the device named deviceName(); a subclass may decline by leaving the port closed.
    virtual void openDevice();

private:
    friend class SerialEventChars; // a changed special character re-applies the line settings

    [[noreturn]] void fail(const std::string& message, std::int32_t code);
    void closeDevice();
    void requireClosed();
    void applyTimeouts();
    // Rewrites the port's device control block from the settings; nothing while closed.
    void applyLineSettings();
    void applyFlowControl();
    void escape(std::uint32_t function);
    // Dispatches one event mask to the handlers, in the fixed order of the event bits.
    void handleEvents(std::uint32_t mask);
    bool modemLine(std::uint32_t bit);
    bool holdFlag(std::uint32_t bit);

    std::shared_ptr<platform::SerialDevice> m_device;
    platform::SerialDcb m_dcb;
    std::string m_deviceName = "Com2";
    RecursiveLock m_transferLock;
    std::int32_t m_readTimeout = 1000;
    std::int32_t m_writeTimeout = 1000;
    std::int32_t m_readBufferSize = 4096;
    std::int32_t m_writeBufferSize = 2048;
    SerialEvents m_monitorEvents = kAllSerialEvents;
    BaudRate m_baudRate = BaudRate::Baud9600;
    Parity m_parity = Parity::None;
    StopBits m_stopBits = StopBits::One;
    DataBits m_dataBits = DataBits::Eight;
    std::shared_ptr<SerialEventThread> m_eventThread;
    SerialEventChars m_eventChars{this};
    SerialOptions m_options;
    FlowControl m_flowControl = FlowControl::Unchanged;
    platform::SerialDeviceFactory m_deviceFactory;
    Synchronizer m_synchronizer;
    // Cleared by the destructor; lets a dispatch notice that a handler destroyed the port.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace strovane::update
