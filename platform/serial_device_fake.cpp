#include "platform/serial_device_fake.h"

#include <utility>

#include <algorithm>
#include <cstring>

namespace strovane::platform {

namespace {
constexpr SysError kInvalidParameter = 87;
constexpr SysError kInvalidHandle = 6;
} // namespace

class FakeSerialDevice final : public SerialDevice {
public:
    explicit FakeSerialDevice(FakeSerialPort& port) : m_port(port) {
        std::lock_guard lock(m_port.m_mutex);
        ++m_port.m_alive;
    }
    ~FakeSerialDevice() override {
        closeQuietly();
        std::lock_guard lock(m_port.m_mutex);
        --m_port.m_alive;
    }

    SysError open(const std::string& name) override {
        record("open", 0);
        m_port.openedName = name;
        if (m_port.openError)
            return m_port.openError;
        std::lock_guard lock(m_port.m_mutex);
        m_open = true;
        m_closed = false;
        ++m_port.m_open;
        return 0;
    }

    void close() override {
        record("close", 0);
        closeQuietly();
    }

    bool isCharDevice() override {
        record("isCharDevice", 0);
        return m_port.charDevice;
    }

    SysError setupComm(std::int32_t inQueue, std::int32_t outQueue) override {
        if (auto err = use("setupComm", inQueue))
            return err;
        m_port.inQueueSize = inQueue;
        m_port.outQueueSize = outQueue;
        return m_port.setupError;
    }

    SysError getCommState(SerialDcb& dcb) override {
        if (auto err = use("getCommState", 0))
            return err;
        dcb = m_port.reported;
        return 0;
    }

    SysError setCommState(const SerialDcb& dcb) override {
        if (auto err = use("setCommState", dcb.flags))
            return err;
        m_port.statesSet.push_back(dcb);
        if (dcb.byteSize < 5 || dcb.byteSize > 8)
            return kInvalidParameter;
        // Control mode 3 of DTR or RTS does not exist; drivers refuse the block.
        if ((dcb.flags & kDcbDtrControlMask) == kDcbDtrControlMask ||
            (dcb.flags & kDcbRtsControlMask) == kDcbRtsControlMask)
            return kInvalidParameter;
        if (m_port.setStateError)
            return m_port.setStateError;
        m_port.reported = dcb;
        return 0;
    }

    SysError setCommTimeouts() override {
        if (auto err = use("setCommTimeouts", 0))
            return err;
        return m_port.timeoutsError;
    }

    SysError setCommMask(std::uint32_t mask) override {
        if (auto err = use("setCommMask", mask))
            return err;
        m_port.eventMask = mask;
        return 0;
    }

    SysError waitCommEvent(std::uint32_t& mask) override {
        mask = 0;
        std::unique_lock lock(m_port.m_mutex);
        ++m_port.m_waits;
        if (m_closed)
            ++m_port.m_afterClose;
        m_port.m_cv.wait(lock, [&] {
            return m_cancelled || m_port.m_waitError || m_port.m_nextWaitError || !m_port.m_events.empty();
        });
        if (m_cancelled)
            return kWaitCancelled;
        if (m_port.m_waitError)
            return m_port.m_waitError;
        if (const SysError once = std::exchange(m_port.m_nextWaitError, 0))
            return once;
        mask = m_port.m_events.front();
        m_port.m_events.pop_front();
        return 0;
    }

    void cancelWait() override {
        std::lock_guard lock(m_port.m_mutex);
        m_cancelled = true;
        m_port.m_cv.notify_all();
    }

    SerialTransfer readFile(void* buf, std::int32_t count, std::int32_t timeoutMs) override {
        if (auto err = use("readFile", timeoutMs))
            return {SerialTransfer::Status::Failed, 0, err};
        if (m_port.reads.empty())
            return {};
        FakeSerialPort::Transfer t = m_port.reads.front();
        m_port.reads.pop_front();
        if (t.status != SerialTransfer::Status::Done)
            return {t.status, 0, t.error};
        const auto n = std::min<std::size_t>(t.data.size(), static_cast<std::size_t>(std::max(count, 0)));
        std::memcpy(buf, t.data.data(), n);
        return {SerialTransfer::Status::Done, static_cast<std::int32_t>(n), 0};
    }

    SerialTransfer writeFile(const void* buf, std::int32_t count, std::int32_t timeoutMs) override {
        if (auto err = use("writeFile", timeoutMs))
            return {SerialTransfer::Status::Failed, 0, err};
        if (!m_port.writes.empty()) {
            FakeSerialPort::Transfer t = m_port.writes.front();
            m_port.writes.pop_front();
            if (t.status != SerialTransfer::Status::Done)
                return {t.status, 0, t.error};
        }
        m_port.written.append(static_cast<const char*>(buf), static_cast<std::size_t>(std::max(count, 0)));
        return {SerialTransfer::Status::Done, count, 0};
    }

    SysError clearCommError(SerialStatus& status) override {
        status = {};
        if (auto err = use("clearCommError", 0))
            return err;
        {
            std::lock_guard lock(m_port.m_mutex);
            if (m_port.m_waitError)
                return m_port.m_waitError;
        }
        status = m_port.status;
        m_port.status.errors = 0;
        return 0;
    }

    SysError purgeComm(std::uint32_t flags) override { return use("purgeComm", flags); }

    SysError escapeCommFunction(std::uint32_t function) override {
        if (auto err = use("escapeCommFunction", function))
            return err;
        return m_port.escapeError;
    }

    SysError getCommModemStatus(std::uint32_t& status) override {
        status = 0;
        if (auto err = use("getCommModemStatus", 0))
            return err;
        if (m_port.modemError)
            return m_port.modemError;
        status = m_port.modemStatus;
        return 0;
    }

private:
    // Records the call; a device that is not open answers "invalid handle" as a closed handle would.
    SysError use(const char* name, std::int64_t value) {
        bool notOpen;
        bool wasClosed;
        {
            std::lock_guard lock(m_port.m_mutex);
            notOpen = !m_open;
            wasClosed = m_closed;
        }
        m_port.record(name, value, wasClosed);
        return notOpen ? kInvalidHandle : 0;
    }
    void record(const char* name, std::int64_t value) { m_port.record(name, value, false); }

    void closeQuietly() {
        std::lock_guard lock(m_port.m_mutex);
        if (m_open) {
            m_open = false;
            m_closed = true;
            --m_port.m_open;
        }
    }

    FakeSerialPort& m_port;
    bool m_open = false;
    bool m_closed = false; // was open once and has been closed since
    bool m_cancelled = false;
};

FakeSerialPort::FakeSerialPort() {
    reported.flags = kDcbBinary | kDcbDtrControlEnable | kDcbRtsControlEnable;
}

SerialDeviceFactory FakeSerialPort::factory() {
    return [this] { return std::make_unique<FakeSerialDevice>(*this); };
}

void FakeSerialPort::pushEvent(std::uint32_t mask) {
    std::lock_guard lock(m_mutex);
    m_events.push_back(mask);
    m_cv.notify_all();
}

void FakeSerialPort::failWaits(SysError error) {
    std::lock_guard lock(m_mutex);
    m_waitError = error;
    m_cv.notify_all();
}

void FakeSerialPort::failNextWait(SysError error) {
    std::lock_guard lock(m_mutex);
    m_nextWaitError = error;
    m_cv.notify_all();
}

std::vector<FakeSerialPort::Call> FakeSerialPort::calls() const {
    std::lock_guard lock(m_mutex);
    return m_calls;
}

std::vector<FakeSerialPort::Call> FakeSerialPort::callsNamed(const std::string& name) const {
    std::lock_guard lock(m_mutex);
    std::vector<Call> out;
    std::copy_if(m_calls.begin(), m_calls.end(), std::back_inserter(out),
                 [&](const Call& c) { return c.name == name; });
    return out;
}

void FakeSerialPort::clearCalls() {
    std::lock_guard lock(m_mutex);
    m_calls.clear();
}

int FakeSerialPort::devicesAlive() const {
    std::lock_guard lock(m_mutex);
    return m_alive;
}

bool FakeSerialPort::isOpen() const {
    std::lock_guard lock(m_mutex);
    return m_open > 0;
}

int FakeSerialPort::callsAfterClose() const {
    std::lock_guard lock(m_mutex);
    return m_afterClose;
}

int FakeSerialPort::waits() const {
    std::lock_guard lock(m_mutex);
    return m_waits;
}

void FakeSerialPort::record(const std::string& name, std::int64_t value, bool closed) {
    std::lock_guard lock(m_mutex);
    m_calls.push_back({name, value});
    if (closed)
        ++m_afterClose;
}

} // namespace strovane::platform
