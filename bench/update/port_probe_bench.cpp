// Time of one probe of this machine's serial ports (the list the update dialog shows).
#include "platform/port_probe.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ProbeMachinePorts(benchmark::State& state) {
    std::size_t found = 0;
    for (auto _ : state) {
        const auto ports = strovane::platform::probePorts();
        found = ports.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["ports"] = static_cast<double>(found);
}
BENCHMARK(BM_ProbeMachinePorts)->Unit(benchmark::kMillisecond);

void BM_ListCandidatesOnly(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(strovane::platform::systemPortCandidates());
}
BENCHMARK(BM_ListCandidatesOnly)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
