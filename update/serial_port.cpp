#include "update/serial_port.h"

#include <cstdio>

namespace strovane::update {

namespace p = platform;

namespace {

constexpr std::uint32_t kBaudRates[] = {110,   300,   600,   1200,   2400,   4800,   9600,    14400,  19200,
                                        38400, 56000, 57600, 115200, 128000, 256000, 1500000, 3000000};
constexpr std::uint32_t kPurgeAll = p::kPurgeTxAbort | p::kPurgeRxAbort | p::kPurgeTxClear | p::kPurgeRxClear;
// The DCB flag bit of each SerialOption, in the option order.
constexpr std::uint32_t kOptionBits[] = {p::kDcbParity, p::kDcbDsrSensitivity, p::kDcbTxContinueOnXoff,
                                         p::kDcbErrorChar, p::kDcbNull};

void directCall(const std::function<void()>& call) {
    call();
}

} // namespace

std::uint32_t bitsPerSecond(BaudRate value) {
    return kBaudRates[static_cast<std::size_t>(value)];
}

SerialPort::SerialPort() : m_synchronizer(directCall) {}

SerialPort::~SerialPort() {
    close();
    *m_alive = false;
}

void SerialPort::fail(const std::string& message, std::int32_t code) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, " (Error: %d) ", static_cast<int>(code));
    throw SerialPortError(message + suffix, code);
}

void SerialPort::requireClosed() {
    if (isOpen())
        fail("Port already assigned (open)", -1);
}

void SerialPort::open() {
    requireClosed();
    openDevice();
    if (!isOpen())
        return;
    m_eventThread = SerialEventThread::start(
        m_device, m_monitorEvents, [this](SerialEventThread*, std::uint32_t mask) { handleEvents(mask); },
        m_synchronizer);
    applyTimeouts();
    applyLineSettings();
    if (const auto err = m_device->setupComm(m_readBufferSize, m_writeBufferSize))
        fail("Error initializing Read/Write Buffers", static_cast<std::int32_t>(err));
}

void SerialPort::openDevice() {
    std::unique_ptr<p::SerialDevice> device = m_deviceFactory ? m_deviceFactory() : p::createSerialDevice();
    if (const auto err = device->open(m_deviceName))
        fail("Error accessing specified device", static_cast<std::int32_t>(err));
    m_device = std::move(device);
    if (!m_device->isCharDevice()) {
        closeDevice();
        fail("Invalid device handle, access denied", -1);
    }
}

void SerialPort::close() {
    if (!isOpen())
        return;
    if (m_eventThread) {
        m_eventThread->stop();
        // The thread purges on its way out unless it is parked in a notification for this
        // (the user-interface) thread; then the purge is done here, before the handle closes.
        if (!m_eventThread->release())
            m_device->purgeComm(kPurgeAll);
        m_eventThread.reset();
    }
    closeDevice();
}

void SerialPort::closeDevice() {
    if (m_device) {
        m_device->close();
        m_device.reset();
    }
}

void SerialPort::setDeviceFactory(p::SerialDeviceFactory factory) {
    requireClosed();
    m_deviceFactory = std::move(factory);
}

void SerialPort::setSynchronizer(Synchronizer synchronizer) {
    requireClosed();
    m_synchronizer = synchronizer ? std::move(synchronizer) : Synchronizer(directCall);
}

void SerialPort::applyTimeouts() {
    if (const auto err = m_device->setCommTimeouts())
        fail("Error updating CommTimeouts", static_cast<std::int32_t>(err));
}

void SerialPort::applyLineSettings() {
    if (!isOpen())
        return;
    m_device->getCommState(m_dcb); // the block starts from the port's state; its result is ignored
    m_dcb.baudRate = bitsPerSecond(m_baudRate);
    m_dcb.parity = static_cast<std::uint8_t>(m_parity);
    m_dcb.stopBits = static_cast<std::uint8_t>(m_stopBits);
    m_dcb.byteSize = static_cast<std::uint8_t>(static_cast<int>(m_dataBits) + 4);
    m_dcb.xonChar = m_eventChars.xonChar();
    m_dcb.xoffChar = m_eventChars.xoffChar();
    m_dcb.errorChar = m_eventChars.errorChar();
    m_dcb.eofChar = m_eventChars.eofChar();
    m_dcb.eventChar = m_eventChars.eventChar();
    m_dcb.xonLimit = static_cast<std::uint16_t>(m_readBufferSize / 4);
    m_dcb.xoffLimit = static_cast<std::uint16_t>(m_readBufferSize / 4);
    applyFlowControl();
    for (unsigned i = 0; i < std::size(kOptionBits); ++i) {
        if (m_options.contains(static_cast<SerialOption>(i)))
            m_dcb.flags |= kOptionBits[i];
        else
            m_dcb.flags &= ~kOptionBits[i];
    }
    if (const auto err = m_device->setCommState(m_dcb))
        fail("Error updating DataControlBlock", static_cast<std::int32_t>(err));
}

void SerialPort::applyFlowControl() {
    switch (m_flowControl) {
    case FlowControl::None:
        m_dcb.flags = p::kDcbBinary;
        break;
    // The handshakes set their line's control mode outright: adding the handshake bit to a port
    // that reported the line enabled would make mode 3, which no driver takes.
    case FlowControl::RtsCts:
        m_dcb.flags =
            (m_dcb.flags & ~p::kDcbRtsControlMask) | p::kDcbOutxCtsFlow | p::kDcbRtsControlHandshake;
        break;
    case FlowControl::DtrDsr:
        m_dcb.flags =
            (m_dcb.flags & ~p::kDcbDtrControlMask) | p::kDcbOutxDsrFlow | p::kDcbDtrControlHandshake;
        break;
    case FlowControl::Software:
        m_dcb.flags |= p::kDcbOutX | p::kDcbInX;
        break;
    case FlowControl::Unchanged:
        break;
    }
}

std::int32_t SerialPort::write(const void* data, std::int32_t count) {
    m_transferLock.lock();
    const p::SerialTransfer t =
        m_device ? m_device->writeFile(data, count, m_writeTimeout)
                 : p::SerialTransfer{p::SerialTransfer::Status::Failed, 0, p::invalidHandleError()};
    m_transferLock.unlock();
    if (t.status == p::SerialTransfer::Status::Failed)
        fail("Write error", static_cast<std::int32_t>(t.error));
    return t.status == p::SerialTransfer::Status::TimedOut ? -1 : t.count;
}

std::int32_t SerialPort::read(void* data, std::int32_t count) {
    m_transferLock.lock();
    const p::SerialTransfer t =
        m_device ? m_device->readFile(data, count, m_readTimeout)
                 : p::SerialTransfer{p::SerialTransfer::Status::Failed, 0, p::invalidHandleError()};
    m_transferLock.unlock();
    if (t.status == p::SerialTransfer::Status::Failed)
        fail("Read error", static_cast<std::int32_t>(t.error));
    return t.status == p::SerialTransfer::Status::TimedOut ? -1 : t.count;
}

std::int32_t SerialPort::inQueueCount() {
    if (!isOpen())
        return -1;
    p::SerialStatus stat;
    m_device->clearCommError(stat);
    return static_cast<std::int32_t>(stat.inQueue);
}

std::int32_t SerialPort::outQueueCount() {
    if (!isOpen())
        return -1;
    p::SerialStatus stat;
    m_device->clearCommError(stat);
    return static_cast<std::int32_t>(stat.outQueue);
}

void SerialPort::purgeInput() {
    if (isOpen())
        m_device->purgeComm(p::kPurgeRxAbort | p::kPurgeRxClear);
}

void SerialPort::purgeOutput() {
    if (isOpen())
        m_device->purgeComm(p::kPurgeTxAbort | p::kPurgeTxClear);
}

void SerialPort::escape(std::uint32_t function) {
    if (!isOpen())
        fail("Port not open, unable to complete operation", -1);
    if (const auto err = m_device->escapeCommFunction(function))
        fail("EscapeCommFunction failure", static_cast<std::int32_t>(err));
}

void SerialPort::setDtr(bool on) {
    escape(on ? p::kSetDtr : p::kClearDtr);
}
void SerialPort::setRts(bool on) {
    escape(on ? p::kSetRts : p::kClearRts);
}
void SerialPort::setXon(bool on) {
    escape(on ? p::kSetXon : p::kSetXoff);
}

void SerialPort::setBreak(bool on) {
    escape(on ? p::kSetBreak : p::kClearBreak);
    if (isOpen())
        m_device->purgeComm(kPurgeAll);
}

bool SerialPort::modemLine(std::uint32_t bit) {
    std::uint32_t status = 0;
    return isOpen() && m_device->getCommModemStatus(status) == 0 && (status & bit);
}

bool SerialPort::cts() {
    return modemLine(p::kMsCtsOn);
}
bool SerialPort::dsr() {
    return modemLine(p::kMsDsrOn);
}
bool SerialPort::ring() {
    return modemLine(p::kMsRingOn);
}
bool SerialPort::rlsd() {
    return modemLine(p::kMsRlsdOn);
}

bool SerialPort::holdFlag(std::uint32_t bit) {
    if (!isOpen())
        return false;
    p::SerialStatus stat;
    m_device->clearCommError(stat);
    return stat.holdFlags & bit;
}

bool SerialPort::ctsHold() {
    return holdFlag(p::kHoldCts);
}
bool SerialPort::dsrHold() {
    return holdFlag(p::kHoldDsr);
}
bool SerialPort::rlsdHold() {
    return holdFlag(p::kHoldRlsd);
}
bool SerialPort::xoffHold() {
    return holdFlag(p::kHoldXoff);
}
bool SerialPort::xoffSent() {
    return holdFlag(p::kHoldXoffSent);
}

void SerialPort::setDeviceName(const std::string& value) {
    if (value == m_deviceName)
        return;
    requireClosed();
    m_deviceName = value;
}

void SerialPort::setReadBufferSize(std::int32_t value) {
    if (value == m_readBufferSize)
        return;
    requireClosed();
    m_readBufferSize = value;
}

void SerialPort::setWriteBufferSize(std::int32_t value) {
    if (value == m_writeBufferSize)
        return;
    requireClosed();
    m_writeBufferSize = value;
}

void SerialPort::setMonitorEvents(SerialEvents value) {
    if (value == m_monitorEvents)
        return;
    requireClosed();
    m_monitorEvents = value;
}

void SerialPort::setBaudRate(BaudRate value) {
    if (value == m_baudRate)
        return;
    m_baudRate = value;
    applyLineSettings();
}

void SerialPort::setParity(Parity value) {
    if (value == m_parity)
        return;
    m_parity = value;
    applyLineSettings();
}

void SerialPort::setStopBits(StopBits value) {
    if (value == m_stopBits)
        return;
    m_stopBits = value;
    applyLineSettings();
}

void SerialPort::setDataBits(DataBits value) {
    if (value == m_dataBits)
        return;
    m_dataBits = value;
    applyLineSettings();
}

void SerialPort::setOptions(SerialOptions value) {
    if (value == m_options)
        return;
    m_options = value;
    applyLineSettings();
}

void SerialPort::setFlowControl(FlowControl value) {
    if (value == m_flowControl)
        return;
    m_flowControl = value;
    applyLineSettings();
}

void SerialPort::handleEvents(std::uint32_t mask) {
    if (!isOpen())
        return;
    p::SerialStatus stat;
    m_device->clearCommError(stat); // its result is ignored
    const std::shared_ptr<bool> alive = m_alive;
    const p::SerialDevice* port = m_device.get();
    // A handler may close or destroy the port; then the remaining bits go nowhere.
    const auto stillOpen = [&] { return *alive && m_device.get() == port; };
    const auto notify = [&](std::uint32_t bit, const SerialHandler& handler) {
        if ((mask & bit) && stillOpen() && handler) {
            const SerialHandler call = handler; // the handler may free the port it belongs to
            call(this);
        }
    };
    notify(p::kEvBreak, onBreak);
    notify(p::kEvCts, onCts);
    notify(p::kEvDsr, onDsr);
    if ((mask & p::kEvErr) && stillOpen() && onError) {
        const SerialErrorHandler call = onError;
        call(this, static_cast<std::int32_t>(stat.errors));
    }
    notify(p::kEvRing, onRing);
    notify(p::kEvRlsd, onRlsd);
    if ((mask & p::kEvRxChar) && stillOpen() && onRxChar && stat.inQueue > 0) {
        const SerialRxCharHandler call = onRxChar;
        call(this, static_cast<std::int32_t>(stat.inQueue));
    }
    notify(p::kEvRxFlag, onRxFlag);
    notify(p::kEvTxEmpty, onTxEmpty);
}

} // namespace strovane::update
