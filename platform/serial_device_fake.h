#pragma once

#include "platform/serial_device.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace strovane::platform {

// A scripted serial port for tests. Devices made by factory() act on this one port: they record
// every call and value they receive and answer with what the test has scripted. Set the script
// from the test's own thread; the event thread only takes queued events.
class FakeSerialPort {
public:
    // One recorded call: its name and its main argument (function, flags, mask, time-out, ...).
    struct Call {
        std::string name;
        std::int64_t value = 0;
        bool operator==(const Call&) const = default;
    };
    // A scripted read or write answer; a Done read delivers `data`.
    struct Transfer {
        SerialTransfer::Status status = SerialTransfer::Status::Done;
        std::string data;
        SysError error = 0;
    };

    FakeSerialPort();
    FakeSerialPort(const FakeSerialPort&) = delete;
    FakeSerialPort& operator=(const FakeSerialPort&) = delete;

    // Makes devices bound to this port; the port must outlive them.
    SerialDeviceFactory factory();

    // --- script ---
    SysError openError = 0;
    bool charDevice = true;
    SysError setupError = 0;
    SysError timeoutsError = 0;
    SysError setStateError = 0; // besides byteSize 4 and control mode 3, always refused (87)
    SysError escapeError = 0;
    SysError modemError = 0;
    SerialDcb reported;            // what getCommState answers; setCommState replaces it
    std::uint32_t modemStatus = 0; // MS_* bits
    SerialStatus status;           // what clearCommError answers (errors are cleared by reading)
    std::deque<Transfer> reads;    // answers of readFile; none queued: nothing received
    std::deque<Transfer> writes;   // answers of writeFile; none queued: everything written

    // Queues an event mask for waitCommEvent (thread-safe).
    void pushEvent(std::uint32_t mask);
    // From now on every waitCommEvent and clearCommError fails at once with `error` (a device that
    // went away).
    void failWaits(SysError error);
    // The next waitCommEvent fails once with `error` (a line error aborting the wait, say).
    void failNextWait(SysError error);

    // --- records ---
    std::vector<Call> calls() const;
    std::vector<Call> callsNamed(const std::string& name) const;
    void clearCalls();
    std::vector<SerialDcb> statesSet; // every block setCommState received
    std::string openedName;
    std::string written; // bytes of the writes that completed
    std::int32_t inQueueSize = 0;
    std::int32_t outQueueSize = 0;
    std::uint32_t eventMask = 0;
    int devicesAlive() const;
    bool isOpen() const;
    // Calls a device received after it was closed: each one would have hit a dead handle.
    int callsAfterClose() const;
    // How many waitCommEvent calls have been made.
    int waits() const;

private:
    friend class FakeSerialDevice;
    void record(const std::string& name, std::int64_t value, bool closed);

    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<Call> m_calls;
    std::deque<std::uint32_t> m_events;
    SysError m_waitError = 0;
    SysError m_nextWaitError = 0;
    int m_alive = 0;
    int m_open = 0;
    int m_afterClose = 0;
    int m_waits = 0;
};

} // namespace strovane::platform
