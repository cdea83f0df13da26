// Stands in for Ser_40518_Update in tests: records its arguments, one per line, in the
// file named by STROVANE_FAKE_UPDATER_LOG (and, where the system passes one string, that string
// in the same file name + ".line"), writes STROVANE_FAKE_UPDATER_OUTPUT bytes of progress lines
// to standard output, waits STROVANE_FAKE_UPDATER_MS milliseconds, writes the CLOCK_MONOTONIC time
// of its exit (ns) to STROVANE_FAKE_UPDATER_STAMP, says "fake updater: status N" on standard
// error when it wrote output, and exits with STROVANE_FAKE_UPDATER_EXIT - or is killed by STROVANE_FAKE_UPDATER_SIGNAL.
#include "platform/system.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include <time.h>

namespace {

long envNumber(const char* name, long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

} // namespace

int main(int argc, char** argv) {
    if (const char* log = std::getenv("STROVANE_FAKE_UPDATER_LOG"); log && *log) {
        std::ofstream out(log, std::ios::binary | std::ios::trunc);
        for (int i = 1; i < argc; ++i)
            out << argv[i] << '\n';
        if (const std::string line = strovane::platform::commandLineArguments(); !line.empty())
            std::ofstream(std::string(log) + ".line", std::ios::binary | std::ios::trunc) << line;
    }
    const long output = envNumber("STROVANE_FAKE_UPDATER_OUTPUT", 0);
    for (long left = output; left > 0;) {
        static const char kLine[] = "fake updater: writing block\n";
        const long n = std::min<long>(left, sizeof kLine - 1);
        std::fwrite(kLine, 1, static_cast<std::size_t>(n), stdout);
        left -= n;
    }
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(envNumber("STROVANE_FAKE_UPDATER_MS", 0)));
    const int code = static_cast<int>(envNumber("STROVANE_FAKE_UPDATER_EXIT", 0));
    if (const char* stamp = std::getenv("STROVANE_FAKE_UPDATER_STAMP"); stamp && *stamp) {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        std::ofstream(stamp, std::ios::trunc) << (static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec);
    }
    if (const long signal = envNumber("STROVANE_FAKE_UPDATER_SIGNAL", 0))
        std::raise(static_cast<int>(signal));
    if (output > 0)
        std::fprintf(stderr, "fake updater: status %d\n", code);
    return code;
}
