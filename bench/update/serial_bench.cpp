// Serial port component over a pseudo-terminal pair:
//   BM_Write*/BM_Read*  bulk throughput through SerialPort against plain write/read on the same pair
//   BM_RxCharLatency    a byte written at the master until onRxChar runs (median, p99 counters)
//   BM_IdleCpu          CPU used by an open, idle port with every event monitored (% of a core)
#include "tests/update/main_thread_queue.h"
#include "tests/support/pty_pair.h"
#include "update/serial_port.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <vector>

using namespace strovane::update;
namespace st = strovane::testing;

namespace {

constexpr std::int32_t kChunk = 4096;
constexpr std::size_t kTotal = 4u << 20;

void makeRaw(int fd) {
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
}

// Drains the master until `total` bytes have arrived.
void drain(int master, std::size_t total) {
    std::vector<char> buf(65536);
    std::size_t got = 0;
    while (got < total) {
        const auto n = ::read(master, buf.data(), buf.size());
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
}

// Opens the component on the pair's slave for bulk transfer: a raw master, no events monitored.
void openForBulk(SerialPort& serial, st::PtyPair& pty) {
    makeRaw(pty.master);
    serial.setDeviceName(pty.path);
    serial.setMonitorEvents({});
    serial.open();
}

void BM_WritePort(benchmark::State& state) {
    st::PtyPair pty;
    SerialPort serial;
    openForBulk(serial, pty);
    const std::vector<char> data(kChunk, 'x');
    for (auto _ : state) {
        std::thread reader(drain, pty.master, kTotal);
        for (std::size_t sent = 0; sent < kTotal; sent += kChunk)
            serial.write(data.data(), kChunk);
        reader.join();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotal));
}

void BM_WritePlain(benchmark::State& state) {
    st::PtyPair pty;
    makeRaw(pty.master);
    makeRaw(pty.slave);
    const std::vector<char> data(kChunk, 'x');
    for (auto _ : state) {
        std::thread reader(drain, pty.master, kTotal);
        for (std::size_t sent = 0; sent < kTotal;) {
            const auto n = ::write(pty.slave, data.data(), kChunk);
            if (n > 0)
                sent += static_cast<std::size_t>(n);
        }
        reader.join();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotal));
}

// Feeds the master with `total` bytes.
void feed(int master, std::size_t total) {
    const std::vector<char> data(65536, 'y');
    std::size_t sent = 0;
    while (sent < total) {
        const auto n = ::write(master, data.data(), std::min(data.size(), total - sent));
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
}

// Reads kTotal bytes in kChunk pieces through `read` while a thread feeds the master. `read`
// does not block: the loop yields while nothing is there.
template <typename Read> void timeReads(benchmark::State& state, int master, Read read) {
    std::vector<char> buf(kChunk);
    for (auto _ : state) {
        std::thread writer(feed, master, kTotal);
        std::size_t got = 0;
        while (got < kTotal) {
            const auto n = read(buf.data(), kChunk);
            if (n > 0)
                got += static_cast<std::size_t>(n);
            else
                std::this_thread::yield();
        }
        writer.join();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotal));
}

void BM_ReadPort(benchmark::State& state) {
    st::PtyPair pty;
    SerialPort serial;
    openForBulk(serial, pty);
    timeReads(state, pty.master, [&](char* buf, std::int32_t count) { return serial.read(buf, count); });
}

void BM_ReadPlain(benchmark::State& state) {
    st::PtyPair pty;
    makeRaw(pty.master);
    makeRaw(pty.slave);
    // The same discipline as the component: non-blocking reads of what is there.
    termios tio{};
    tcgetattr(pty.slave, &tio);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    tcsetattr(pty.slave, TCSANOW, &tio);
    timeReads(state, pty.master,
              [&](char* buf, std::int32_t count) { return ::read(pty.slave, buf, count); });
}

void BM_RxCharLatency(benchmark::State& state) {
    st::PtyPair pty;
    makeRaw(pty.master);
    auto ui = std::make_shared<st::UiQueue>();
    SerialPort serial;
    serial.setDeviceName(pty.path);
    serial.setSynchronizer(ui->synchronize());
    using Clock = std::chrono::steady_clock;
    Clock::time_point arrived;
    bool seen = false;
    serial.onRxChar = [&](SerialPort* c, std::int32_t) {
        arrived = Clock::now();
        seen = true;
        char b[16];
        c->read(b, sizeof b);
    };
    serial.open();
    std::vector<double> micros;
    for (auto _ : state) {
        seen = false;
        const auto sent = Clock::now();
        pty.send("A");
        ui->pumpUntil([&] { return seen; });
        micros.push_back(std::chrono::duration<double, std::micro>(arrived - sent).count());
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    serial.close();
    ui->pump();
}

double cpuSeconds() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

void BM_IdleCpu(benchmark::State& state) {
    st::PtyPair pty;
    SerialPort serial;
    serial.setDeviceName(pty.path);
    serial.setMonitorEvents(kAllSerialEvents);
    serial.open();
    double percent = 0;
    for (auto _ : state) {
        const double cpuStart = cpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        percent = 100.0 * (cpuSeconds() - cpuStart) / wall;
    }
    state.counters["cpu_percent"] = percent;
}

} // namespace

BENCHMARK(BM_WritePort)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_WritePlain)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_ReadPort)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_ReadPlain)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_RxCharLatency)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_IdleCpu)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

BENCHMARK_MAIN();
