#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The serial device services the port component needs, shaped after the Windows communications API
// so that one component drives a Windows COM port, a POSIX tty or the scripted fake the same way.
namespace strovane::platform {

// Device control block: the line settings of a port, in the Windows DCB's units.
struct SerialDcb {
    std::uint32_t baudRate = 9600;
    std::uint32_t flags = 0x0001; // fBinary, fParity, ... (the kDcb* bits below)
    std::uint16_t xonLimit = 0;
    std::uint16_t xoffLimit = 0;
    std::uint8_t byteSize = 8;
    std::uint8_t parity = 0;   // NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY
    std::uint8_t stopBits = 0; // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS
    char xonChar = 17;
    char xoffChar = 19;
    char errorChar = 0;
    char eofChar = 0;
    char eventChar = 0;

    bool operator==(const SerialDcb&) const = default;
};

// Bits of SerialDcb::flags.
inline constexpr std::uint32_t kDcbBinary = 0x0001;
inline constexpr std::uint32_t kDcbParity = 0x0002;
inline constexpr std::uint32_t kDcbOutxCtsFlow = 0x0004;
inline constexpr std::uint32_t kDcbOutxDsrFlow = 0x0008;
inline constexpr std::uint32_t kDcbDtrControlMask = 0x0030;
inline constexpr std::uint32_t kDcbDtrControlEnable = 0x0010;
inline constexpr std::uint32_t kDcbDtrControlHandshake = 0x0020;
inline constexpr std::uint32_t kDcbDsrSensitivity = 0x0040;
inline constexpr std::uint32_t kDcbTxContinueOnXoff = 0x0080;
inline constexpr std::uint32_t kDcbOutX = 0x0100;
inline constexpr std::uint32_t kDcbInX = 0x0200;
inline constexpr std::uint32_t kDcbErrorChar = 0x0400;
inline constexpr std::uint32_t kDcbNull = 0x0800;
inline constexpr std::uint32_t kDcbRtsControlMask = 0x3000;
inline constexpr std::uint32_t kDcbRtsControlEnable = 0x1000;
inline constexpr std::uint32_t kDcbRtsControlHandshake = 0x2000;

// Port event bits (event mask of setCommMask / waitCommEvent).
inline constexpr std::uint32_t kEvRxChar = 0x0001;
inline constexpr std::uint32_t kEvRxFlag = 0x0002;
inline constexpr std::uint32_t kEvTxEmpty = 0x0004;
inline constexpr std::uint32_t kEvCts = 0x0008;
inline constexpr std::uint32_t kEvDsr = 0x0010;
inline constexpr std::uint32_t kEvRlsd = 0x0020;
inline constexpr std::uint32_t kEvBreak = 0x0040;
inline constexpr std::uint32_t kEvErr = 0x0080;
inline constexpr std::uint32_t kEvRing = 0x0100;

// Line error bits of the error word clearCommError returns.
inline constexpr std::uint32_t kCeRxOver = 0x0001;
inline constexpr std::uint32_t kCeOverrun = 0x0002;
inline constexpr std::uint32_t kCeRxParity = 0x0004;
inline constexpr std::uint32_t kCeFrame = 0x0008;
inline constexpr std::uint32_t kCeBreak = 0x0010;

// purgeComm flags.
inline constexpr std::uint32_t kPurgeTxAbort = 0x0001;
inline constexpr std::uint32_t kPurgeRxAbort = 0x0002;
inline constexpr std::uint32_t kPurgeTxClear = 0x0004;
inline constexpr std::uint32_t kPurgeRxClear = 0x0008;

// escapeCommFunction functions.
inline constexpr std::uint32_t kSetXoff = 1;
inline constexpr std::uint32_t kSetXon = 2;
inline constexpr std::uint32_t kSetRts = 3;
inline constexpr std::uint32_t kClearRts = 4;
inline constexpr std::uint32_t kSetDtr = 5;
inline constexpr std::uint32_t kClearDtr = 6;
inline constexpr std::uint32_t kSetBreak = 8;
inline constexpr std::uint32_t kClearBreak = 9;

// Modem status bits.
inline constexpr std::uint32_t kMsCtsOn = 0x0010;
inline constexpr std::uint32_t kMsDsrOn = 0x0020;
inline constexpr std::uint32_t kMsRingOn = 0x0040;
inline constexpr std::uint32_t kMsRlsdOn = 0x0080;

// Transmit hold bits of SerialStatus::holdFlags (COMSTAT's flag byte).
inline constexpr std::uint32_t kHoldCts = 0x01;
inline constexpr std::uint32_t kHoldDsr = 0x02;
inline constexpr std::uint32_t kHoldRlsd = 0x04;
inline constexpr std::uint32_t kHoldXoff = 0x08;
inline constexpr std::uint32_t kHoldXoffSent = 0x10;

// What clearCommError reports: the accumulated line errors (then cleared) and the queue state.
struct SerialStatus {
    std::uint32_t errors = 0;
    std::uint32_t holdFlags = 0;
    std::uint32_t inQueue = 0;
    std::uint32_t outQueue = 0;
};

// System error codes are the platform's own (errno on POSIX, GetLastError on Windows); 0 is success.
using SysError = std::uint32_t;

// Result of a read or write: finished with a count, timed out (the transfer is then cancelled and
// nothing of it completes later), or failed with a system code.
struct SerialTransfer {
    enum class Status { Done, TimedOut, Failed };
    Status status = Status::Done;
    std::int32_t count = 0;
    SysError error = 0;
};

// One serial device. Calls come from the user-interface thread, except waitCommEvent, which the
// port's event thread runs while the other calls go on; cancelWait may come from any thread.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Opens `name` exclusively (read and write, no sharing); the name is used unchanged.
    virtual SysError open(const std::string& name) = 0;
    // Releases the device; further calls fail. Safe to call twice.
    virtual void close() = 0;
    // Whether the open file is a character (terminal) device.
    virtual bool isCharDevice() = 0;

    // Requested driver queue sizes.
    virtual SysError setupComm(std::int32_t inQueue, std::int32_t outQueue) = 0;
    virtual SysError getCommState(SerialDcb& dcb) = 0;
    virtual SysError setCommState(const SerialDcb& dcb) = 0;
    // Reads return at once with what the driver holds; writes get no driver time-out.
    virtual SysError setCommTimeouts() = 0;
    virtual SysError setCommMask(std::uint32_t mask) = 0;
    // Blocks until one of the masked events happens (mask receives the events) or cancelWait.
    // Returns 0 with the events, kWaitCancelled after cancelWait, or a system code. Once the
    // device has gone away every call fails at once; the caller must not retry in a loop.
    virtual SysError waitCommEvent(std::uint32_t& mask) = 0;
    // Ends a pending waitCommEvent and every later one.
    virtual void cancelWait() = 0;

    // Transfers up to count bytes, waiting at most timeoutMs for completion.
    virtual SerialTransfer readFile(void* buf, std::int32_t count, std::int32_t timeoutMs) = 0;
    virtual SerialTransfer writeFile(const void* buf, std::int32_t count, std::int32_t timeoutMs) = 0;

    virtual SysError clearCommError(SerialStatus& status) = 0;
    virtual SysError purgeComm(std::uint32_t flags) = 0;
    virtual SysError escapeCommFunction(std::uint32_t function) = 0;
    virtual SysError getCommModemStatus(std::uint32_t& status) = 0;
};

// waitCommEvent's answer after cancelWait.
inline constexpr SysError kWaitCancelled = 0xFFFFFFFFu;

using SerialDeviceFactory = std::function<std::unique_ptr<SerialDevice>()>;

// The real backend of this platform (POSIX tty or Windows COM port).
std::unique_ptr<SerialDevice> createSerialDevice();

// The code a system call gives for a handle that is not open (EBADF, ERROR_INVALID_HANDLE).
SysError invalidHandleError();

// Whether a system code says the driver has no modem control lines (pseudo-terminals, some
// virtual and network ports): the port works, there are only no lines to drive or read.
bool lacksModemLines(SysError error);

// Raises the calling thread one step above normal priority where the system allows it (a port's
// event thread); silently keeps it where it does not (an unprivileged Linux process).
void raiseThreadPriority();

} // namespace strovane::platform
