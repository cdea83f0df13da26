// Whole-process measurement of the wait for the updater:
//  - how long after the test updater's exit the wait ends (median and worst of N runs);
//  - CPU time this process uses while it waits for an updater that runs for a while.
// Usage: update_wait_bench <fake-updater> [runs=50] [run-ms=200] [cpu-wait-ms=3000]
#include "update/updater_launcher.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

namespace {

long long monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// The pause without the wake on the updater's exit: a plain 10 ms sleep between polls.
class PlainSleep final : public strovane::platform::PollPause {
public:
    void arm(strovane::platform::ChildProcess&) override {}
    void pause(std::uint32_t ms) override {
        timespec ts{0, static_cast<long>(ms) * 1000000L};
        while (nanosleep(&ts, &ts) < 0) {
        }
    }
};

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <fake-updater> [runs] [run-ms] [cpu-wait-ms]\n", argv[0]);
        return 2;
    }
    const std::string updater = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 50;
    const std::string runMs = argc > 3 ? argv[3] : "200";
    const std::string cpuWaitMs = argc > 4 ? argv[4] : "3000";

    const std::filesystem::path stamp =
        std::filesystem::temp_directory_path() / ("strovane-wait-bench-" + std::to_string(getpid()));
    setenv("STROVANE_FAKE_UPDATER_STAMP", stamp.c_str(), 1);
    setenv("STROVANE_FAKE_UPDATER_MS", runMs.c_str(), 1);

    strovane::update::UpdaterLauncher launcher;
    strovane::update::LaunchServices plainServices;
    plainServices.openPause = [] { return std::make_unique<PlainSleep>(); };
    strovane::update::UpdaterLauncher plainLauncher(plainServices);
    const strovane::platform::ProcessRequest request{updater, {}, {}, false, {}};

    const auto measure = [&](strovane::update::UpdaterLauncher& l, const char* label) {
        std::vector<double> latencyMs;
        for (int i = 0; i < runs; ++i) {
            std::filesystem::remove(stamp);
            l.run(request);
            const long long end = monotonicNs();
            long long exited = 0;
            std::ifstream(stamp) >> exited;
            latencyMs.push_back(static_cast<double>(end - exited) / 1e6);
        }
        std::sort(latencyMs.begin(), latencyMs.end());
        std::printf("%s: wait end after updater exit over %d runs: median %.2f ms, min %.2f ms, max %.2f ms\n",
                    label, runs, latencyMs[latencyMs.size() / 2], latencyMs.front(), latencyMs.back());
    };
    measure(launcher, "system pause (wakes on exit)");
    measure(plainLauncher, "plain 10 ms sleep");
    std::filesystem::remove(stamp);

    setenv("STROVANE_FAKE_UPDATER_MS", cpuWaitMs.c_str(), 1);
    const double cpuStart = cpuSeconds();
    const long long startNs = monotonicNs();
    launcher.run(request);
    const double wall = static_cast<double>(monotonicNs() - startNs) / 1e9;
    const double cpu = cpuSeconds() - cpuStart;
    std::printf("CPU while waiting %.2f s: %.3f s = %.2f %% of a core\n", wall, cpu, 100.0 * cpu / wall);
    return 0;
}
