// Windows serial backend: the communications API on an overlapped COM port handle.
#ifdef _WIN32

#include "platform/serial_device.h"

#include <windows.h>

namespace strovane::platform {
namespace {

class Win32SerialDevice final : public SerialDevice {
public:
    Win32SerialDevice()
        : m_ioEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_waitEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_cancelEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_eventsError(m_ioEvent && m_waitEvent && m_cancelEvent ? 0 : GetLastError()) {}
    ~Win32SerialDevice() override {
        close();
        for (HANDLE event : {m_ioEvent, m_waitEvent, m_cancelEvent})
            if (event)
                CloseHandle(event);
    }

    SysError open(const std::string& name) override {
        // Without its events the device could neither wait nor time a transfer.
        if (m_eventsError)
            return m_eventsError;
        const std::wstring wide(name.begin(), name.end());
        m_handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED, nullptr);
        return m_handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    }
    void close() override {
        if (m_handle != INVALID_HANDLE_VALUE) {
            CloseHandle(m_handle);
            m_handle = INVALID_HANDLE_VALUE;
        }
    }
    bool isCharDevice() override { return GetFileType(m_handle) == FILE_TYPE_CHAR; }

    SysError setupComm(std::int32_t in, std::int32_t out) override {
        return SetupComm(m_handle, static_cast<DWORD>(in), static_cast<DWORD>(out)) ? 0 : GetLastError();
    }
    SysError getCommState(SerialDcb& out) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(m_handle, &dcb))
            return GetLastError();
        out.baudRate = dcb.BaudRate;
        out.flags = flagWord(dcb);
        out.xonLimit = dcb.XonLim;
        out.xoffLimit = dcb.XoffLim;
        out.byteSize = dcb.ByteSize;
        out.parity = dcb.Parity;
        out.stopBits = dcb.StopBits;
        out.xonChar = dcb.XonChar;
        out.xoffChar = dcb.XoffChar;
        out.errorChar = dcb.ErrorChar;
        out.eofChar = dcb.EofChar;
        out.eventChar = dcb.EvtChar;
        return 0;
    }
    SysError setCommState(const SerialDcb& in) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(m_handle, &dcb))
            return GetLastError();
        const DWORD flags = in.flags;
        // 3 is no DTR or RTS control mode; the driver would refuse the whole block.
        if ((flags & kDcbDtrControlMask) == kDcbDtrControlMask || (flags & kDcbRtsControlMask) == kDcbRtsControlMask)
            return ERROR_INVALID_PARAMETER;
        dcb.fBinary = flags & 0x1;
        dcb.fParity = (flags >> 1) & 0x1;
        dcb.fOutxCtsFlow = (flags >> 2) & 0x1;
        dcb.fOutxDsrFlow = (flags >> 3) & 0x1;
        dcb.fDtrControl = (flags >> 4) & 0x3;
        dcb.fDsrSensitivity = (flags >> 6) & 0x1;
        dcb.fTXContinueOnXoff = (flags >> 7) & 0x1;
        dcb.fOutX = (flags >> 8) & 0x1;
        dcb.fInX = (flags >> 9) & 0x1;
        dcb.fErrorChar = (flags >> 10) & 0x1;
        dcb.fNull = (flags >> 11) & 0x1;
        dcb.fRtsControl = (flags >> 12) & 0x3;
        dcb.fAbortOnError = (flags >> 14) & 0x1;
        dcb.BaudRate = in.baudRate;
        dcb.XonLim = in.xonLimit;
        dcb.XoffLim = in.xoffLimit;
        dcb.ByteSize = in.byteSize;
        dcb.Parity = in.parity;
        dcb.StopBits = in.stopBits;
        dcb.XonChar = in.xonChar;
        dcb.XoffChar = in.xoffChar;
        dcb.ErrorChar = in.errorChar;
        dcb.EofChar = in.eofChar;
        dcb.EvtChar = in.eventChar;
        return SetCommState(m_handle, &dcb) ? 0 : GetLastError();
    }
    SysError setCommTimeouts() override {
        COMMTIMEOUTS t{};
        t.ReadIntervalTimeout = MAXDWORD;
        return SetCommTimeouts(m_handle, &t) ? 0 : GetLastError();
    }
    SysError setCommMask(std::uint32_t mask) override {
        return SetCommMask(m_handle, mask) ? 0 : GetLastError();
    }

    SysError waitCommEvent(std::uint32_t& mask) override {
        mask = 0;
        if (WaitForSingleObject(m_cancelEvent, 0) == WAIT_OBJECT_0)
            return kWaitCancelled;
        OVERLAPPED ov{};
        ov.hEvent = m_waitEvent;
        ResetEvent(m_waitEvent);
        DWORD events = 0;
        if (!WaitCommEvent(m_handle, &events, &ov)) {
            const DWORD err = GetLastError();
            if (err != ERROR_IO_PENDING)
                return err;
            HANDLE both[2] = {m_waitEvent, m_cancelEvent};
            if (WaitForMultipleObjects(2, both, FALSE, INFINITE) != WAIT_OBJECT_0) {
                // Cancelled, for good. Changing the event mask ends a pending wait (the documented
                // way; not every driver can cancel one); collect its end before its record goes
                // out of scope.
                SetCommMask(m_handle, 0);
                DWORD ignored;
                GetOverlappedResult(m_handle, &ov, &ignored, TRUE);
                return kWaitCancelled;
            }
            DWORD ignored;
            if (!GetOverlappedResult(m_handle, &ov, &ignored, FALSE))
                return GetLastError();
        }
        mask = events;
        return 0;
    }
    void cancelWait() override { SetEvent(m_cancelEvent); }

    SerialTransfer readFile(void* buf, std::int32_t count, std::int32_t timeoutMs) override {
        return transfer(false, buf, count, timeoutMs);
    }
    SerialTransfer writeFile(const void* buf, std::int32_t count, std::int32_t timeoutMs) override {
        return transfer(true, const_cast<void*>(buf), count, timeoutMs);
    }

    SysError clearCommError(SerialStatus& status) override {
        status = {};
        DWORD errors = 0;
        COMSTAT stat{};
        if (!ClearCommError(m_handle, &errors, &stat))
            return GetLastError();
        status.errors = errors;
        status.holdFlags = (stat.fCtsHold ? kHoldCts : 0) | (stat.fDsrHold ? kHoldDsr : 0) |
                           (stat.fRlsdHold ? kHoldRlsd : 0) | (stat.fXoffHold ? kHoldXoff : 0) |
                           (stat.fXoffSent ? kHoldXoffSent : 0);
        status.inQueue = stat.cbInQue;
        status.outQueue = stat.cbOutQue;
        return 0;
    }
    SysError purgeComm(std::uint32_t flags) override {
        return PurgeComm(m_handle, flags) ? 0 : GetLastError();
    }
    SysError escapeCommFunction(std::uint32_t function) override {
        return EscapeCommFunction(m_handle, function) ? 0 : GetLastError();
    }
    SysError getCommModemStatus(std::uint32_t& status) override {
        DWORD s = 0;
        if (!GetCommModemStatus(m_handle, &s))
            return GetLastError();
        status = s;
        return 0;
    }

private:
    static std::uint32_t flagWord(const DCB& d) {
        return d.fBinary | d.fParity << 1 | d.fOutxCtsFlow << 2 | d.fOutxDsrFlow << 3 | d.fDtrControl << 4 |
               d.fDsrSensitivity << 6 | d.fTXContinueOnXoff << 7 | d.fOutX << 8 | d.fInX << 9 |
               d.fErrorChar << 10 | d.fNull << 11 | d.fRtsControl << 12 | d.fAbortOnError << 14;
    }

    // One overlapped transfer; on time-out it is cancelled and its completion collected here, so
    // neither a late completion nor the buffer outlives the call.
    SerialTransfer transfer(bool write, void* buf, std::int32_t count, std::int32_t timeoutMs) {
        OVERLAPPED ov{};
        ov.hEvent = m_ioEvent;
        ResetEvent(m_ioEvent);
        DWORD done = 0;
        const BOOL ok = write ? WriteFile(m_handle, buf, static_cast<DWORD>(count), &done, &ov)
                              : ReadFile(m_handle, buf, static_cast<DWORD>(count), &done, &ov);
        if (!ok && GetLastError() != ERROR_IO_PENDING)
            return {SerialTransfer::Status::Failed, 0, GetLastError()};
        if (WaitForSingleObject(m_ioEvent, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
            CancelIoEx(m_handle, &ov);
            const BOOL finished = GetOverlappedResult(m_handle, &ov, &done, TRUE);
            ResetEvent(m_ioEvent);
            // The transfer may have completed just as the time ran out: then it was not cancelled
            // and what it moved counts.
            if (finished && (write ? done == static_cast<DWORD>(count) : done > 0))
                return {SerialTransfer::Status::Done, static_cast<std::int32_t>(done), 0};
            return {SerialTransfer::Status::TimedOut, 0, 0};
        }
        const BOOL finished = GetOverlappedResult(m_handle, &ov, &done, FALSE);
        const DWORD err = finished ? 0 : GetLastError();
        ResetEvent(m_ioEvent);
        if (!finished)
            return {SerialTransfer::Status::Failed, 0, err};
        return {SerialTransfer::Status::Done, static_cast<std::int32_t>(done), 0};
    }

    HANDLE m_handle = INVALID_HANDLE_VALUE;
    HANDLE m_ioEvent;
    HANDLE m_waitEvent;
    HANDLE m_cancelEvent;
    DWORD m_eventsError; // why an event could not be made, or 0
};

} // namespace

std::unique_ptr<SerialDevice> createSerialDevice() {
    return std::make_unique<Win32SerialDevice>();
}

SysError invalidHandleError() {
    return ERROR_INVALID_HANDLE;
}

bool lacksModemLines(SysError error) {
    // Virtual and network port drivers refuse EscapeCommFunction for lines they do not have.
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}

void raiseThreadPriority() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
}

} // namespace strovane::platform

#endif // _WIN32
