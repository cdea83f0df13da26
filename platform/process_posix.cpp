#include "platform/process.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <thread>

#include <fcntl.h>
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
            if (WIFEXITED(status)) {
                m_exitCode = static_cast<std::uint32_t>(WEXITSTATUS(status));
            } else if (WIFSIGNALED(status)) {
                m_signal = WTERMSIG(status);
                m_exitCode = 128u + static_cast<std::uint32_t>(m_signal);
            }
        } else if (r < 0) {
            m_exitCode = 255; // not our child any more: it has ended for us
        }
        return m_exitCode;
    }

    int terminatingSignal() const override { return m_signal; }

    // Readable once the program has ended; -1 where the kernel has no pidfd.
    int pidFd() const { return m_pidFd; }

private:
    pid_t m_pid;
    int m_pidFd;
    std::uint32_t m_exitCode = kStillActive;
    int m_signal = 0;
};

// A new, empty file beside `target` under a name no other file has, opened for writing and not
// inherited by started programs unless handed to them. Throws ProcessStartError.
struct NewOutputFile {
    NewOutputFile(const std::string& program, const std::string& target) {
        const std::string::size_type slash = target.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
        const std::string name = target.substr(folder.size());
        std::random_device rd;
        do {
            path = folder + "." + name + "." + std::to_string(rd()) + ".tmp";
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EEXIST);
        if (fd < 0)
            throw ProcessStartError(program, target + ": " + std::strerror(errno));
    }
    ~NewOutputFile() {
        if (fd >= 0)
            ::close(fd);
        if (!path.empty())
            ::unlink(path.c_str());
    }
    // Puts the file, which a started program now writes, in the target's place and tells where
    // it is: should the rename fail, the output stays under the temporary name.
    std::string keepAs(const std::string& target) {
        const std::string kept = ::rename(path.c_str(), target.c_str()) == 0 ? target : path;
        path.clear();
        return kept;
    }

    std::string path;
    int fd = -1;
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

        // The child inherits no descriptor beyond the standard three; with an output file, not
        // those either: its output goes to the file and its input is empty.
        std::optional<NewOutputFile> output;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!request.outputFile.empty()) {
            output.emplace(request.program, request.outputFile);
            posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
            posix_spawn_file_actions_adddup2(&actions, output->fd, 1);
            posix_spawn_file_actions_adddup2(&actions, output->fd, 2);
        }
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);

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
        const int rc = posix_spawn(&pid, request.program.c_str(), &actions, &attr, argv.data(), environ);
        posix_spawnattr_destroy(&attr);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0)
            throw ProcessStartError(request.program, std::strerror(rc)); // the old output file stays
        auto child = std::make_unique<PosixChildProcess>(pid);
        if (output)
            child->setOutputFile(output->keepAs(request.outputFile));
        return child;
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

std::string signalName(int signal) {
    if (const char* abbrev = ::sigabbrev_np(signal))
        return std::string("SIG") + abbrev;
    return {};
}

ProcessStarter& systemProcessStarter() {
    static PosixProcessStarter starter;
    return starter;
}

std::unique_ptr<PollPause> openPollPause() { return std::make_unique<SleepPause>(); }

} // namespace strovane::platform
