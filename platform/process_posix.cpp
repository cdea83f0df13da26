#include "platform/process.h"

#include <cerrno>
#include <cstring>
#include <thread>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace strovane::platform {

namespace {

class PosixChildProcess final : public ChildProcess {
public:
    explicit PosixChildProcess(pid_t pid)
        : m_pid(pid), m_pidFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))) {}

    ~PosixChildProcess() override {
        if (m_pidFd >= 0)
            ::close(m_pidFd);
        if (m_exitCode != kStillActive)
            return;
        // The program goes on unobserved; reap it when it ends so no zombie remains.
        std::thread([pid = m_pid] {
            int status = 0;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    }

    std::uint32_t exitCode() override {
        if (m_exitCode != kStillActive)
            return m_exitCode;
        int status = 0;
        pid_t r;
        do {
            r = waitpid(m_pid, &status, WNOHANG);
        } while (r < 0 && errno == EINTR);
        if (r == m_pid) {
            if (WIFEXITED(status))
                m_exitCode = static_cast<std::uint32_t>(WEXITSTATUS(status));
            else if (WIFSIGNALED(status))
                m_exitCode = 128u + static_cast<std::uint32_t>(WTERMSIG(status));
        } else if (r < 0) {
            m_exitCode = 255; // not our child any more: it has ended for us
        }
        return m_exitCode;
    }

    // Readable once the program has ended; -1 where the kernel has no pidfd.
    int pidFd() const { return m_pidFd; }

private:
    pid_t m_pid;
    int m_pidFd;
    std::uint32_t m_exitCode = kStillActive;
};

class PosixProcessStarter final : public ProcessStarter {
public:
    std::unique_ptr<ChildProcess> start(const ProcessRequest& request) override {
        std::vector<char*> argv;
        argv.reserve(request.arguments.size() + 2);
        argv.push_back(const_cast<char*>(request.program.c_str()));
        for (const std::string& a : request.arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);

        // The child starts with default signal handling whatever the tool has set.
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        sigset_t all;
        sigfillset(&all);
        posix_spawnattr_setsigdefault(&attr, &all);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

        pid_t pid = 0;
        // glibc reports a failed exec (missing file, no execute permission) as the result.
        const int rc = posix_spawn(&pid, request.program.c_str(), nullptr, &attr, argv.data(), environ);
        posix_spawnattr_destroy(&attr);
        if (rc != 0)
            throw ProcessStartError(request.program, std::strerror(rc));
        return std::make_unique<PosixChildProcess>(pid);
    }
};

// Sleeps, or waits on the armed program's pidfd so that its end cuts the pause short.
class SleepPause final : public PollPause {
public:
    void arm(ChildProcess& child) override {
        if (auto* posix = dynamic_cast<PosixChildProcess*>(&child))
            m_fd = posix->pidFd();
    }
    void pause(std::uint32_t ms) override {
        if (m_fd >= 0) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(ms)) >= 0)
                return;
        }
        timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
        while (nanosleep(&ts, &ts) < 0 && errno == EINTR) {
        }
    }

private:
    int m_fd = -1;
};

} // namespace

std::string executableName(const std::string& base) { return base; }

ProcessStarter& systemProcessStarter() {
    static PosixProcessStarter starter;
    return starter;
}

std::unique_ptr<PollPause> openPollPause() { return std::make_unique<SleepPause>(); }

} // namespace strovane::platform
