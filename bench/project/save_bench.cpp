// What the flushes of a durable save cost. For each file the tool saves, at a typical size:
//  - Save/<file>: the save as the program makes it (the editor's or composer's writer);
//  - Durable/<file>: the same bytes through writeFileAtomically (flush, rename, folder flush);
//  - Unflushed/<file>: the same bytes through a temporary file renamed over the target with no
//    flush, the way saves were made before.
// The flushes cost Durable - Unflushed. Run in a folder on a disk, not on tmpfs, where a flush
// does nothing:  STROVANE_BENCH_DIR=/some/disk/folder build/bench/project/strovane_save_bench

#include "project/atomic_file.h"
#include "project/config_image.h"
#include "project/par_gen.h"
#include "project/pdo_document.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace strovane::project;

fs::path benchFolder() {
    const char* dir = std::getenv("STROVANE_BENCH_DIR");
    return dir && *dir ? fs::path(dir) : fs::temp_directory_path();
}

// A project folder with typical documents: the parameters changed from their defaults, four
// receive and three transmit entries; bank.bin composed from them.
struct BenchProject {
    BenchProject() {
        dir = benchFolder() / ("strovane-save-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir / "bin");
        values.nodeId = "32";
        values.canBaud = 4;
        values.setOperational = true;
        values.serialBaud = 5;
        values.serialParity = 1;
        receive = {{"0x201", "8", "Speed set"}, {"0x301", "2", "Mode"}, {"0x401", "4", "Torque"}, {"0x501", "1", "Reset"}};
        transmit = {{"0x181", "8", "Speed"}, {"0x281", "4", "Status"}, {"0x381", "2", "Alarm"}};
        const ProjectFiles files = ProjectFiles::inFolder(dir);
        writeParGen(files.parGen, values);
        writePdoTable(files.receivePdos, kReceiveRoot, receive);
        writePdoTable(files.transmitPdos, kTransmitRoot, transmit);
        image.composeFrom(files);
        image.saveBankBin(dir);
    }
    ~BenchProject() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    std::string bytesOf(const std::string& name) const {
        std::ifstream in(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir;
    ParGenValues values;
    std::vector<PdoRow> receive, transmit;
    ConfigImage image;
};

BenchProject& project() {
    static BenchProject p;
    return p;
}

// The files, as named in their project folder, and how the program writes each.
struct SavedFile {
    const char* name;
    std::function<void(const BenchProject&)> save;
};

const std::vector<SavedFile>& savedFiles() {
    static const std::vector<SavedFile> files = {
        {"ParGen.xml", [](const BenchProject& p) { writeParGen(p.dir / "ParGen.xml", p.values); }},
        {"RPDOs.xml", [](const BenchProject& p) { writePdoTable(p.dir / "RPDOs.xml", kReceiveRoot, p.receive); }},
        {"TPDOs.xml", [](const BenchProject& p) { writePdoTable(p.dir / "TPDOs.xml", kTransmitRoot, p.transmit); }},
        {"bin/bank.bin", [](const BenchProject& p) { p.image.saveBankBin(p.dir); }},
    };
    return files;
}

// A save as made before: temporary file beside the target, written, closed, renamed; no flush.
void unflushedReplace(const fs::path& target, const std::string& bytes) {
    const fs::path temp = target.parent_path() / ("." + target.filename().string() + ".1.tmp");
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    fs::rename(temp, target);
}

void registerBenchmarks() {
    for (const SavedFile& file : savedFiles()) {
        const std::string name = file.name;
        benchmark::RegisterBenchmark(("Save/" + name).c_str(), [&file](benchmark::State& state) {
            const BenchProject& p = project();
            for (auto _ : state)
                file.save(p);
            state.counters["bytes"] = static_cast<double>(p.bytesOf(file.name).size());
        })->UseRealTime()->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("Durable/" + name).c_str(), [name](benchmark::State& state) {
            const BenchProject& p = project();
            const std::string bytes = p.bytesOf(name);
            for (auto _ : state)
                writeFileAtomically(p.dir / name, bytes);
        })->UseRealTime()->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("Unflushed/" + name).c_str(), [name](benchmark::State& state) {
            const BenchProject& p = project();
            const std::string bytes = p.bytesOf(name);
            for (auto _ : state)
                unflushedReplace(p.dir / name, bytes);
        })->UseRealTime()->Unit(benchmark::kMicrosecond);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::AddCustomContext("folder", benchFolder().string());
    registerBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
