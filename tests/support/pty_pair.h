#pragma once

#include <chrono>
#include <poll.h>
#include <pty.h>
#include <string>
#include <unistd.h>

namespace strovane::testing {

// A pseudo-terminal pair: the component opens the slave by its path; the test talks through the
// master and keeps a slave descriptor of its own to look at the line settings.
struct PtyPair {
    PtyPair() {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = name;
    }
    ~PtyPair() {
        closeMaster();
        if (slave >= 0)
            ::close(slave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    void closeMaster() {
        if (master >= 0)
            ::close(master);
        master = -1;
    }

    void send(const std::string& bytes) const {
        [[maybe_unused]] auto n = ::write(master, bytes.data(), bytes.size());
    }

    // Reads at the master until `count` bytes arrived or `limitMs` passed.
    std::string receive(std::size_t count, int limitMs = 3000) const {
        std::string out;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        while (out.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && (p.revents & POLLIN)) {
                char buf[4096];
                const auto n = ::read(master, buf, sizeof buf);
                if (n <= 0)
                    break;
                out.append(buf, static_cast<std::size_t>(n));
            }
        }
        return out;
    }

    int master = -1;
    int slave = -1;
    std::string path;
};

} // namespace strovane::testing
