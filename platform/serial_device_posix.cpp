// POSIX (Linux) serial backend: a tty opened exclusively in raw mode, the device control block
// mapped onto termios, and the port events built from poll, modem lines and the driver's counters.
#include "platform/serial_device.h"
#include "platform/serial_posix_speed.h"
#include "platform/serial_posix_termios.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace strovane::platform {
namespace {

// How often the event wait looks at lines and counters that poll cannot watch.
constexpr int kLinePollMs = 10;
constexpr int kQueuePollMs = 5;

bool unsupported(int err) {
    return err == ENOTTY || err == EINVAL;
}

class PosixSerialDevice final : public SerialDevice {
public:
    PosixSerialDevice() : m_wakeFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~PosixSerialDevice() override {
        close();
        if (m_wakeFd >= 0)
            ::close(m_wakeFd);
    }

    SysError open(const std::string& name) override {
        if (m_fd >= 0)
            return EBUSY;
        const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return static_cast<SysError>(errno);
        if (::isatty(fd)) {
            // flock makes a second opener fail even as root, where TIOCEXCL is bypassed.
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                const int err = errno == EWOULDBLOCK ? EBUSY : errno;
                ::close(fd);
                return static_cast<SysError>(err);
            }
            ::ioctl(fd, TIOCEXCL);
            if (const int err = makeRaw(fd)) {
                ::close(fd);
                return static_cast<SysError>(err);
            }
        }
        m_fd = fd;
        m_cancelled = false;
        m_txPending = false;
        m_lastRx = 0;
        m_rebase = true;
        m_shadow = SerialDcb{};
        m_shadow.flags = kDcbBinary | kDcbDtrControlEnable | kDcbRtsControlEnable;
        m_errorBase = {};
        m_haveErrorBase = readCounters(m_errorBase);
        return 0;
    }

    void close() override {
        if (m_fd < 0)
            return;
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd); // also drops the flock
        m_fd = -1;
    }

    bool isCharDevice() override { return m_fd >= 0 && ::isatty(m_fd); }

    SysError setupComm(std::int32_t inQueue, std::int32_t outQueue) override {
        // A tty's queues are sized by its driver; only the request itself is checked.
        if (m_fd < 0)
            return EBADF;
        return inQueue < 0 || outQueue < 0 ? EINVAL : 0;
    }

    SysError getCommState(SerialDcb& dcb) override {
        if (m_fd < 0)
            return EBADF;
        termios tio{};
        if (::tcgetattr(m_fd, &tio) != 0)
            return static_cast<SysError>(errno);
        std::lock_guard lock(m_mutex);
        dcb = m_shadow;
        dcb.baudRate = posix::lineSpeed(m_fd);
        posix::dcbFromTermios(tio, dcb);
        return 0;
    }

    SysError setCommState(const SerialDcb& dcb) override {
        if (m_fd < 0)
            return EBADF;
        termios tio{};
        if (::tcgetattr(m_fd, &tio) != 0)
            return static_cast<SysError>(errno);
        if (const int err = posix::dcbToTermios(dcb, tio))
            return static_cast<SysError>(err);
        const speed_t standard = posix::standardSpeed(dcb.baudRate);
        if (standard != B0) {
            tio.c_cflag &= ~CIBAUD; // input at the output speed, not at an earlier custom one
            ::cfsetspeed(&tio, standard);
        }
        if (::tcsetattr(m_fd, TCSANOW, &tio) != 0)
            return static_cast<SysError>(errno);
        // Rates without a B constant (14400, 56000, 128000, 256000) go through termios2.
        if (standard == B0) {
            if (const int err = posix::setLineSpeed(m_fd, dcb.baudRate))
                return static_cast<SysError>(err);
        }
        // tcsetattr succeeds when any part was taken; a driver that dropped the frame is refusing it.
        termios now{};
        if (::tcgetattr(m_fd, &now) != 0)
            return static_cast<SysError>(errno);
        const tcflag_t frame = CSIZE | PARENB | PARODD | CMSPAR;
        if ((now.c_cflag & frame) != (tio.c_cflag & frame))
            return EINVAL;
        {
            std::lock_guard lock(m_mutex);
            m_shadow = dcb;
        }
        applyLineControl(dcb.flags & kDcbDtrControlMask, TIOCM_DTR);
        applyLineControl((dcb.flags & kDcbRtsControlMask) >> 8, TIOCM_RTS);
        return 0;
    }

    SysError setCommTimeouts() override { return m_fd < 0 ? EBADF : 0; }

    SysError setCommMask(std::uint32_t mask) override {
        if (m_fd < 0)
            return EBADF;
        m_mask = mask;
        m_rebase = true;
        wake();
        return 0;
    }

    SysError waitCommEvent(std::uint32_t& mask) override {
        mask = 0;
        const int fd = m_fd;
        if (fd < 0)
            return EBADF;
        const std::uint32_t want = m_mask;
        if (m_rebase.exchange(false)) {
            // Lines and counters the driver lacks (pseudo-terminals) are simply not watched.
            m_watchModem =
                (want & (kEvCts | kEvDsr | kEvRlsd | kEvRing)) && ::ioctl(fd, TIOCMGET, &m_modemBase) == 0;
            m_watchCounters =
                (m_watchModem || (want & (kEvErr | kEvBreak))) && ::ioctl(fd, TIOCGICOUNT, &m_countBase) == 0;
        }
        for (;;) {
            if (m_cancelled)
                return kWaitCancelled;
            std::uint32_t events = 0;
            int queued = 0;
            if ((want & kEvRxChar) && ::ioctl(fd, FIONREAD, &queued) != 0)
                return static_cast<SysError>(errno);
            // Bytes read or purged since the last look no longer count as announced.
            if (m_rxPurged.exchange(false))
                m_lastRx = 0;
            else
                m_lastRx = std::max(0, m_lastRx.load() - m_rxTaken.exchange(0));
            if (queued > m_lastRx && (want & kEvRxChar))
                events |= kEvRxChar;
            m_lastRx = queued;
            if (m_watchModem) {
                int lines = 0;
                if (::ioctl(fd, TIOCMGET, &lines) != 0) {
                    if (!unsupported(errno))
                        return static_cast<SysError>(errno);
                    m_watchModem = false;
                } else {
                    events |= modemEvents(m_modemBase ^ lines, want);
                    m_modemBase = lines;
                }
            }
            if (m_watchCounters) {
                serial_icounter_struct now{};
                if (::ioctl(fd, TIOCGICOUNT, &now) == 0) {
                    events |= counterEvents(m_countBase, now, want);
                    m_countBase = now;
                }
            }
            if ((want & kEvTxEmpty) && m_txPending) {
                int out = 0;
                if (::ioctl(fd, TIOCOUTQ, &out) == 0 && out == 0) {
                    m_txPending = false;
                    events |= kEvTxEmpty;
                }
            }
            if (events) {
                mask = events;
                return 0;
            }

            int timeout = -1;
            if (m_watchModem || m_watchCounters)
                timeout = kLinePollMs;
            if (((want & kEvTxEmpty) && m_txPending) || ((want & kEvRxChar) && m_lastRx > 0))
                timeout = kQueuePollMs;
            pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {fd, 0, 0}};
            // Data already announced stays readable; watch for growth by tick instead of spinning.
            if ((want & kEvRxChar) && m_lastRx == 0)
                fds[1].events = POLLIN;
            const int r = ::poll(fds, 2, timeout);
            if (r < 0) {
                if (errno == EINTR)
                    continue;
                return static_cast<SysError>(errno);
            }
            if (fds[0].revents & POLLIN) {
                std::uint64_t count = 0;
                [[maybe_unused]] auto n = ::read(m_wakeFd, &count, sizeof count);
            }
            if (fds[1].revents & POLLNVAL)
                return EBADF;
            if (fds[1].revents & (POLLHUP | POLLERR))
                return EIO; // the device went away
        }
    }

    void cancelWait() override {
        m_cancelled = true;
        wake();
    }

    SerialTransfer readFile(void* buf, std::int32_t count, std::int32_t /*timeoutMs*/) override {
        // Reads complete at once with what the driver holds, so there is nothing to wait for.
        if (m_fd < 0)
            return failed(EBADF);
        if (count < 0)
            return failed(EINVAL);
        if (count == 0)
            return {};
        ssize_t n = 0;
        for (int attempt = 0;; ++attempt) {
            do
                n = ::read(m_fd, buf, static_cast<size_t>(count));
            while (n < 0 && errno == EINTR);
            if (n < 0)
                return errno == EAGAIN ? SerialTransfer{} : failed(errno);
            if (n > 0)
                break;
            // Nothing waiting, or a line that hung up: only poll tells them apart.
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 0) < 0)
                return failed(errno);
            if (p.revents & POLLNVAL)
                return failed(EBADF);
            if (p.revents & (POLLHUP | POLLERR))
                return failed(EIO);
            if (!(p.revents & POLLIN))
                return {};
            // Bytes may have come in since the read; readable yet empty twice means hung up.
            if (attempt > 0)
                return failed(EIO);
        }
        m_rxTaken += static_cast<int>(n);
        // The event wait stops watching input it has announced; let it look again now.
        if (m_lastRx > 0)
            wake();
        return {SerialTransfer::Status::Done, static_cast<std::int32_t>(stripNulls(buf, n)), 0};
    }

    SerialTransfer writeFile(const void* buf, std::int32_t count, std::int32_t timeoutMs) override {
        if (m_fd < 0)
            return failed(EBADF);
        if (count < 0)
            return failed(EINVAL);
        using Clock = std::chrono::steady_clock;
        // A negative time-out is the Windows INFINITE (or longer than any wait).
        const bool forever = timeoutMs < 0;
        const auto deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : timeoutMs);
        const auto* p = static_cast<const char*>(buf);
        std::int32_t done = 0;
        while (done < count) {
            if (!dsrAllowsOutput()) {
                // DSR output flow control has no termios flag: hold the data while DSR is off.
                if (!forever && Clock::now() >= deadline)
                    return timedOut();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            const ssize_t n = ::write(m_fd, p + done, static_cast<size_t>(count - done));
            if (n > 0) {
                done += static_cast<std::int32_t>(n);
                // The event wait starts watching the output queue drain.
                if (!m_txPending.exchange(true) && (m_mask & kEvTxEmpty))
                    wake();
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN)
                return failed(errno);
            int wait = -1;
            if (!forever) {
                const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
                if (left.count() <= 0)
                    return timedOut();
                wait = static_cast<int>(left.count());
            }
            pollfd pw{m_fd, POLLOUT, 0};
            const int r = ::poll(&pw, 1, wait);
            if (r < 0 && errno != EINTR)
                return failed(errno);
            if (r == 0)
                return timedOut();
            if (pw.revents & POLLNVAL)
                return failed(EBADF);
            if (pw.revents & (POLLHUP | POLLERR))
                return failed(EIO);
        }
        return {SerialTransfer::Status::Done, done, 0};
    }

    SysError clearCommError(SerialStatus& status) override {
        status = {};
        if (m_fd < 0)
            return EBADF;
        int in = 0;
        int out = 0;
        if (::ioctl(m_fd, FIONREAD, &in) != 0)
            return static_cast<SysError>(errno);
        if (::ioctl(m_fd, TIOCOUTQ, &out) != 0)
            out = 0;
        status.inQueue = static_cast<std::uint32_t>(in);
        status.outQueue = static_cast<std::uint32_t>(out);
        std::lock_guard lock(m_mutex);
        serial_icounter_struct now{};
        if (m_haveErrorBase && readCounters(now)) {
            if (now.frame != m_errorBase.frame)
                status.errors |= kCeFrame;
            if (now.overrun != m_errorBase.overrun)
                status.errors |= kCeOverrun;
            if (now.parity != m_errorBase.parity)
                status.errors |= kCeRxParity;
            if (now.brk != m_errorBase.brk)
                status.errors |= kCeBreak;
            if (now.buf_overrun != m_errorBase.buf_overrun)
                status.errors |= kCeRxOver;
            m_errorBase = now;
        }
        int lines = 0;
        if ((m_shadow.flags & kDcbOutxCtsFlow) && ::ioctl(m_fd, TIOCMGET, &lines) == 0 &&
            !(lines & TIOCM_CTS))
            status.holdFlags |= kHoldCts;
        return 0;
    }

    SysError purgeComm(std::uint32_t flags) override {
        if (m_fd < 0)
            return EBADF;
        const bool rx = flags & (kPurgeRxClear | kPurgeRxAbort);
        const bool tx = flags & (kPurgeTxClear | kPurgeTxAbort);
        if (rx || tx) {
            if (::tcflush(m_fd, rx && tx ? TCIOFLUSH : rx ? TCIFLUSH : TCOFLUSH) != 0)
                return static_cast<SysError>(errno);
        }
        if (rx)
            m_rxPurged = true;
        wake();
        return 0;
    }

    SysError escapeCommFunction(std::uint32_t function) override {
        if (m_fd < 0)
            return EBADF;
        int r;
        switch (function) {
        case kSetXoff:
            r = ::tcflow(m_fd, TCOOFF);
            break;
        case kSetXon:
            r = ::tcflow(m_fd, TCOON);
            break;
        case kSetRts:
            r = driveLine(TIOCM_RTS, true);
            break;
        case kClearRts:
            r = driveLine(TIOCM_RTS, false);
            break;
        case kSetDtr:
            r = driveLine(TIOCM_DTR, true);
            break;
        case kClearDtr:
            r = driveLine(TIOCM_DTR, false);
            break;
        case kSetBreak:
            r = ::ioctl(m_fd, TIOCSBRK);
            break;
        case kClearBreak:
            r = ::ioctl(m_fd, TIOCCBRK);
            break;
        default:
            return EINVAL;
        }
        return r == 0 ? 0 : static_cast<SysError>(errno);
    }

    SysError getCommModemStatus(std::uint32_t& status) override {
        status = 0;
        if (m_fd < 0)
            return EBADF;
        int lines = 0;
        if (::ioctl(m_fd, TIOCMGET, &lines) != 0)
            return static_cast<SysError>(errno);
        if (lines & TIOCM_CTS)
            status |= kMsCtsOn;
        if (lines & TIOCM_DSR)
            status |= kMsDsrOn;
        if (lines & TIOCM_RNG)
            status |= kMsRingOn;
        if (lines & TIOCM_CD)
            status |= kMsRlsdOn;
        return 0;
    }

private:
    static int makeRaw(int fd) {
        termios tio{};
        if (::tcgetattr(fd, &tio) != 0)
            return errno;
        tio.c_iflag &= ~(BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXANY | IMAXBEL);
        tio.c_iflag |= IGNBRK; // a break is an event, not a NUL in the data
        tio.c_oflag &= ~OPOST;
        tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
        tio.c_cflag &= ~HUPCL; // DTR keeps its state when the port closes
        tio.c_cflag |= CLOCAL | CREAD;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        return ::tcsetattr(fd, TCSANOW, &tio) == 0 ? 0 : errno;
    }

    // Raises or lowers one modem line (TIOCM_DTR, TIOCM_RTS); the ioctl's result.
    int driveLine(int line, bool raise) {
        int bits = line;
        return ::ioctl(m_fd, raise ? TIOCMBIS : TIOCMBIC, &bits);
    }

    // Drives DTR or RTS as SetCommState does: disabled lowers the line, enabled or handshake raises it.
    void applyLineControl(std::uint32_t control, int line) {
        // Drivers without modem lines (pseudo-terminals) answer ENOTTY or EINVAL: nothing to drive.
        driveLine(line, control != 0);
    }

    bool dsrAllowsOutput() {
        {
            std::lock_guard lock(m_mutex);
            if (!(m_shadow.flags & kDcbOutxDsrFlow))
                return true;
        }
        int lines = 0;
        // Without modem lines (ENOTTY, EINVAL) there is nothing to hold the data for.
        return ::ioctl(m_fd, TIOCMGET, &lines) != 0 || (lines & TIOCM_DSR);
    }

    bool readCounters(serial_icounter_struct& counters) const {
        return ::ioctl(m_fd, TIOCGICOUNT, &counters) == 0;
    }

    static std::uint32_t modemEvents(int changed, std::uint32_t want) {
        std::uint32_t events = 0;
        if (changed & TIOCM_CTS)
            events |= kEvCts;
        if (changed & TIOCM_DSR)
            events |= kEvDsr;
        if (changed & TIOCM_CD)
            events |= kEvRlsd;
        if (changed & TIOCM_RNG)
            events |= kEvRing;
        return events & want;
    }

    static std::uint32_t counterEvents(const serial_icounter_struct& was, const serial_icounter_struct& now,
                                       std::uint32_t want) {
        std::uint32_t events = 0;
        if (now.brk != was.brk)
            events |= kEvBreak;
        if (now.frame != was.frame || now.overrun != was.overrun || now.parity != was.parity ||
            now.buf_overrun != was.buf_overrun)
            events |= kEvErr;
        // Counters catch line pulses shorter than one look at the lines.
        if (now.cts != was.cts)
            events |= kEvCts;
        if (now.dsr != was.dsr)
            events |= kEvDsr;
        if (now.dcd != was.dcd)
            events |= kEvRlsd;
        if (now.rng != was.rng)
            events |= kEvRing;
        return events & want;
    }

    std::int32_t stripNulls(void* buf, ssize_t n) {
        std::uint32_t flags;
        {
            std::lock_guard lock(m_mutex);
            flags = m_shadow.flags;
        }
        if (!(flags & kDcbNull))
            return static_cast<std::int32_t>(n);
        auto* bytes = static_cast<char*>(buf);
        ssize_t kept = 0;
        for (ssize_t i = 0; i < n; ++i)
            if (bytes[i] != 0)
                bytes[kept++] = bytes[i];
        return static_cast<std::int32_t>(kept);
    }

    void wake() {
        if (m_wakeFd >= 0) {
            const std::uint64_t one = 1;
            [[maybe_unused]] auto n = ::write(m_wakeFd, &one, sizeof one);
        }
    }

    static SerialTransfer failed(int err) {
        return {SerialTransfer::Status::Failed, 0, static_cast<SysError>(err)};
    }
    static SerialTransfer timedOut() { return {SerialTransfer::Status::TimedOut, 0, 0}; }

    int m_fd = -1;
    int m_wakeFd = -1;
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_txPending{false};
    std::atomic<std::uint32_t> m_mask{0};
    std::atomic<bool> m_rebase{true};
    std::atomic<int> m_rxTaken{0};
    std::atomic<bool> m_rxPurged{false};
    // State of the event wait, touched by its thread only.
    std::atomic<int> m_lastRx{0}; // input bytes already announced (written by the wait only)
    bool m_watchModem = false;
    bool m_watchCounters = false;
    int m_modemBase = 0;
    serial_icounter_struct m_countBase{};
    std::mutex m_mutex;
    SerialDcb m_shadow;                   // what termios cannot hold (line control, limits, chars)
    serial_icounter_struct m_errorBase{}; // line-error counters at the last clearCommError
    bool m_haveErrorBase = false;
};

} // namespace

std::unique_ptr<SerialDevice> createSerialDevice() {
    return std::make_unique<PosixSerialDevice>();
}

bool lacksModemLines(SysError error) {
    return unsupported(static_cast<int>(error));
}

SysError invalidHandleError() {
    return EBADF;
}

void raiseThreadPriority() {
    const auto tid = static_cast<id_t>(::gettid());
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, tid);
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, tid, nice - 1); // needs CAP_SYS_NICE; refused otherwise
}

} // namespace strovane::platform
