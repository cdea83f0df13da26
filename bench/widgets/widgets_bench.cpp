// Paint costs of the widget set: one hover button face per style, a check box, and the
// colour panel's gradient filters at the receive editor's bar size and at a large size.
#include "widgets/gui/hover_button.h"
#include "widgets/gui/image_check_box.h"
#include "widgets/gui/colour_panel.h"

#include <QApplication>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace strovane::widgets;

static void BM_ButtonFace(benchmark::State& state) {
    HoverButton b;
    b.resize(145, 26);
    b.setCaption(QStringLiteral("Set Communication"));
    b.setGlyphResource(QStringLiteral("SETCOMM"));
    b.setButtonStyle(HoverButtonStyle(state.range(0)));
    b.setHotTrackColor(kYellow);
    for (auto _ : state) {
        QImage face = b.renderFace();
        benchmark::DoNotOptimize(face.constBits());
    }
}
BENCHMARK(BM_ButtonFace)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

static void BM_CheckBox(benchmark::State& state) {
    ImageCheckBox c;
    c.setText(QStringLiteral("Read Firmware when finish"));
    c.resize(180, 19);
    c.setChecked(true);
    QImage img(c.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        c.paintTo(p);
    }
}
BENCHMARK(BM_CheckBox)->Unit(benchmark::kMicrosecond);

static void BM_PanelFilter(benchmark::State& state) {
    ColourPanel panel;
    panel.resize(int(state.range(1)), int(state.range(2)));
    panel.setColor(0x00C08040);
    panel.setFilter(int(state.range(0)));
    QImage img(panel.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        panel.paintTo(p);
    }
}
BENCHMARK(BM_PanelFilter)
    ->ArgsProduct({{0, 1, 2, 3, 5}, {447}, {41}})
    ->ArgsProduct({{1, 2, 3, 5}, {800}, {600}})
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
