// The composer against the cost it cannot avoid:
//  - compose + save of the largest project the editors make (10 + 10 rows, all parameters)
//    beside reading the same three files and saving one file of the same size;
//  - compose of 16,000 + 16,000 rows beside pugixml parsing the same two files.

#include "project/atomic_file.h"
#include "project/config_image.h"
#include "project/par_gen.h"
#include "project/pdo_document.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace strovane::project;

// A project folder under the temporary folder, removed at exit.
struct BenchProject {
    explicit BenchProject(std::size_t rows, bool parameters) {
        dir = fs::temp_directory_path() / ("strovane-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir / "bin");
        std::vector<PdoRow> table;
        for (std::size_t i = 0; i < rows; ++i)
            table.push_back({"0x" + std::to_string(180 + i % 1800), std::to_string(1 + i % 8), "Row " + std::to_string(i)});
        writePdoTable(dir / "RPDOs.xml", kReceiveRoot, table);
        writePdoTable(dir / "TPDOs.xml", kTransmitRoot, table);
        if (parameters) {
            ParGenValues v;
            v.nodeId = "127";
            v.setOperational = v.setOperationalNetwork = true;
            v.startDelay = "255";
            v.sdoTimeout = "50000";
            v.serialType = 1;
            v.serialParity = 2;
            writeParGen(dir / "ParGen.xml", v);
        }
    }
    ~BenchProject() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    fs::path dir;
};

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void BM_ComposeAndSave_Largest(benchmark::State& state) {
    BenchProject project(10, true);
    ConfigImage image;
    for (auto _ : state) {
        image.composeFrom(ProjectFiles::inFolder(project.dir));
        image.saveBankBin(project.dir);
    }
    state.counters["bytes"] = image.length();
}
BENCHMARK(BM_ComposeAndSave_Largest);

// The floor: read the three documents whole and save a file of the image's size, as durably as
// any save (flushed, renamed, folder flushed).
void BM_Floor_ReadThreeWriteOne(benchmark::State& state) {
    BenchProject project(10, true);
    const std::string image(84, '\x5A');
    const ProjectFiles files = ProjectFiles::inFolder(project.dir);
    for (auto _ : state) {
        std::size_t total = 0;
        for (const fs::path& p : {files.receivePdos, files.transmitPdos, files.parGen})
            total += readAll(p).size();
        benchmark::DoNotOptimize(total);
        writeFileAtomically(project.dir / "bin" / "bank.bin", image);
    }
}
BENCHMARK(BM_Floor_ReadThreeWriteOne);

void BM_Compose_16000Rows(benchmark::State& state) {
    BenchProject project(16000, false);
    ConfigImage image;
    for (auto _ : state) {
        image.composeFrom(ProjectFiles::inFolder(project.dir));
        benchmark::DoNotOptimize(image.buffer().data());
    }
    state.counters["bytes"] = image.length();
}
BENCHMARK(BM_Compose_16000Rows)->Unit(benchmark::kMillisecond);

// The floor: pugixml's own parse of the same two files.
void BM_Floor_PugixmlParse_16000Rows(benchmark::State& state) {
    BenchProject project(16000, false);
    for (auto _ : state) {
        for (const char* name : {"RPDOs.xml", "TPDOs.xml"}) {
            pugi::xml_document doc;
            const pugi::xml_parse_result result = doc.load_file((project.dir / name).c_str());
            benchmark::DoNotOptimize(result.status);
        }
    }
}
BENCHMARK(BM_Floor_PugixmlParse_16000Rows)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
