#include "platform/termination.h"

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>
#endif

namespace strovane::platform {

#ifdef _WIN32

int terminationRequestFd() { return -1; }

#else

namespace {

int terminationPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(terminationPipe[1], &byte, 1); // async-signal-safe
}

} // namespace

int terminationRequestFd() {
    if (terminationPipe[0] >= 0)
        return terminationPipe[0];
    if (::pipe2(terminationPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return -1;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &action, nullptr);
    return terminationPipe[0];
}

#endif

} // namespace strovane::platform
