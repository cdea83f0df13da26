// Costs the user feels in the editors: opening a PDO editor on a full table (grid rebuild and
// document read), OK on a full table (checks and the whole-file write), the same two on a
// generated table of 30,000 rows (each must stay within 0.5 s), and opening the communication
// dialog on a saved ParGen.xml.
#include "editors/gui/communication_dialog.h"
#include "editors/gui/pdo_grid.h"
#include "editors/gui/receive_pdo_dialog.h"
#include "project/pdo_document.h"
#include "widgets/gui/message_boxes.h"
#include "workspace/workspace.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <vector>

using namespace strovane;

namespace {

// Counts boxes instead of showing them; a benchmark must not block on one.
class CountingBoxes final : public widgets::MessageBoxes {
public:
    void error(const QString&, const QString&) override { ++count; }
    void plain(const QString&) override { ++count; }
    bool question(const QString&) override {
        ++count;
        return true;
    }
    int count = 0;
};

struct Project {
    QTemporaryDir dir;
    workspace::Workspace ws;
    explicit Project(int receiveRows = 10) {
        ws.projectDir = dir.path().toStdString();
        ws.parGenFile = ws.projectDir + "/ParGen.xml";
        ws.receivePdoFile = ws.projectDir + "/RPDOs.xml";
        ws.transmitPdoFile = ws.projectDir + "/TPDOs.xml";
        std::vector<project::PdoRow> rows;
        for (int i = 0; i < receiveRows; ++i)
            rows.push_back({"0x" + std::to_string(181 + i % 500), "8", "Mnemonic of entry " + std::to_string(i + 1)});
        project::writePdoTable(ws.receivePdoFile, project::kReceiveRoot, rows);
        project::ParGenValues values;
        project::writeParGen(ws.parGenFile, values);
    }
};

void BM_OpenReceiveEditorFullTable(benchmark::State& state) {
    Project p;
    CountingBoxes boxes;
    editors::ReceivePdoDialog dialog(p.ws, boxes);
    for (auto _ : state) {
        dialog.show();
        dialog.reject();
    }
    if (boxes.count != 0)
        state.SkipWithError("unexpected message box");
}
BENCHMARK(BM_OpenReceiveEditorFullTable)->Unit(benchmark::kMicrosecond);

void BM_OkReceiveEditorFullTable(benchmark::State& state) {
    Project p;
    CountingBoxes boxes;
    editors::ReceivePdoDialog dialog(p.ws, boxes);
    for (auto _ : state) {
        dialog.show();
        dialog.okButton()->click();
    }
    if (boxes.count != 0 || dialog.result() != 1)
        state.SkipWithError("OK did not save");
}
BENCHMARK(BM_OkReceiveEditorFullTable)->Unit(benchmark::kMicrosecond);

constexpr int kLargeTable = 30000;

void BM_OpenReceiveEditorLargeTable(benchmark::State& state) {
    Project p(kLargeTable);
    CountingBoxes boxes;
    editors::ReceivePdoDialog dialog(p.ws, boxes);
    for (auto _ : state) {
        dialog.show();
        dialog.reject();
    }
    if (boxes.count != 0 || dialog.grid()->entryRows() != kLargeTable)
        state.SkipWithError("the grid does not show every row");
}
BENCHMARK(BM_OpenReceiveEditorLargeTable)->Unit(benchmark::kMillisecond);

void BM_OkReceiveEditorLargeTable(benchmark::State& state) {
    Project p(kLargeTable);
    CountingBoxes boxes;
    editors::ReceivePdoDialog dialog(p.ws, boxes);
    for (auto _ : state) {
        state.PauseTiming();
        dialog.show();
        state.ResumeTiming();
        dialog.okButton()->click();
    }
    if (boxes.count != 0 || dialog.result() != 1 ||
        project::readPdoTableForEditor(p.ws.receivePdoFile).rows.size() != kLargeTable)
        state.SkipWithError("OK did not save every row");
}
BENCHMARK(BM_OkReceiveEditorLargeTable)->Unit(benchmark::kMillisecond);

void BM_OpenCommunicationDialog(benchmark::State& state) {
    Project p;
    CountingBoxes boxes;
    editors::CommunicationDialog dialog(p.ws, boxes);
    for (auto _ : state) {
        dialog.show();
        dialog.reject();
    }
}
BENCHMARK(BM_OpenCommunicationDialog)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
