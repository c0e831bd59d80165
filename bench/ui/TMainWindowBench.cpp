// What the main window costs: handling one telemetry frame (decoding, the instruments, the
// texts, the plot points) with and without the redraw that follows it, and the start-up to the
// first shown window next to a bare Qt window's.
#include "link/TLinkMsg.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimController.h"
#include "sim/TSimTransport.h"
#include "ui/main/TLiveMonitor.h"
#include "ui/main/TMainForm.h"
#include "ui/main/TWindowSet.h"
#include "ui/widgets/TPlot.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kRecords = 64;         // distinct frames cycled through
constexpr int kTenMinutes = 12000;   // lambda plot points a channel holds after ten minutes

// One telemetry frame as the link hands it over: a type-3 record holding STX, the stuffed
// payload and EOT.
TLinkMsg TelemetryRecord(int i)
{
    const double phase = i * 0.2;
    const uint16_t lambda = uint16_t(100 + 80 * (1 + std::sin(phase)));
    const uint16_t rpm = uint16_t(800 + 40 * i);
    const uint16_t valve = uint16_t(150 + 2 * i);
    const uint16_t tps = uint16_t(100 + i);
    const uint8_t payload[17] = {
        uint8_t(i), 0x08, 0, uint8_t(lambda), uint8_t(lambda >> 8), 0, 0, uint8_t(valve),
        uint8_t(valve >> 8), 0, 0, uint8_t(tps), uint8_t(tps >> 8), uint8_t(rpm),
        uint8_t(rpm >> 8), uint8_t(lambda), uint8_t(lambda >> 8),
    };
    TLinkMsg m;
    m.Type = mtFrame;
    int n = 0;
    m.Data[n++] = 0x02;
    for (uint8_t b : payload) {
        if (b == 0x01 || b == 0x02 || b == 0x04 || b == 0x06 || b == 0x10 || b == 0x15) {
            m.Data[n++] = 0x10;
            m.Data[n++] = uint8_t(~b);
        } else {
            m.Data[n++] = b;
        }
    }
    m.Data[n++] = 0x04;
    m.Len = uint8_t(n);
    return m;
}

// The advanced options in a file of `dir`, so that the user's own are not touched.
TMainForm::TOptions WindowOptions(const QTemporaryDir& dir)
{
    TMainForm::TOptions options;
    options.settingsFile = dir.filePath(QStringLiteral("Brevon.conf"));
    return options;
}

// A main window with no adapter to find, shown offscreen, its controller version known.
std::unique_ptr<TMainForm> ShownWindow(bool lambdaPlot, const QTemporaryDir& settings)
{
    auto w = std::make_unique<TMainForm>([] { return TKorvelComm::TTransports {}; },
                                         WindowOptions(settings));
    w->TimerRefreshCtrlSet().stop(); // the supervision is not what is measured
    w->Timer1().stop();
    w->Protocol().SetControllerVersion(0x0104);
    if (lambdaPlot)
        w->BVerGrafClick();
    w->show();
    QCoreApplication::processEvents();
    return w;
}

} // namespace

// The frame's handling alone: decoding, the record, the texts, the instruments and the plot
// points; the redraws it asks for are left pending.
static void BM_TelemetryFrame(benchmark::State& state)
{
    const QTemporaryDir settings;
    auto w = ShownWindow(false, settings);
    std::vector<TLinkMsg> records;
    for (int i = 0; i < kRecords; ++i)
        records.push_back(TelemetryRecord(i));
    size_t i = 0;
    for (auto _ : state)
        w->Protocol().HandleRecord(records[i++ % records.size()]);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TelemetryFrame);

// A frame and everything it leads to on screen: at 20 frames a second each frame gets its own
// batched replot of the shown plot and the repaint of the instruments it moved. Argument 0: the
// valve plot shown; 1: the lambda plot shown, holding ten minutes of points.
static void BM_TelemetryFrameDrawn(benchmark::State& state)
{
    const bool lambdaPlot = state.range(0) == 1;
    const QTemporaryDir settings;
    auto w = ShownWindow(lambdaPlot, settings);
    std::vector<TLinkMsg> records;
    for (int i = 0; i < kRecords; ++i)
        records.push_back(TelemetryRecord(i));
    if (lambdaPlot) {
        for (int i = 0; i < kTenMinutes; ++i)
            w->Protocol().HandleRecord(records[size_t(i) % records.size()]);
    }
    TPlot* shown = lambdaPlot ? w->Monitor().iPlot2() : w->Monitor().iPlot1();
    size_t i = 0;
    for (auto _ : state) {
        w->Protocol().HandleRecord(records[i++ % records.size()]);
        shown->flushReplot();
        QCoreApplication::processEvents(); // the instruments' paint events
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["points"] = w->Monitor().iPlot2()->pointCount(TLiveMonitor::chLambda);
}
BENCHMARK(BM_TelemetryFrameDrawn)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The program's start-up to its first shown window: the seven windows made in their order
// (the link thread starting on the simulated adapter), the main window shown and painted.
static void BM_StartUpAllWindows(benchmark::State& state)
{
    const QTemporaryDir settings;
    auto adapter = std::make_shared<TSimAdapter>();
    TSimController controller(adapter);
    for (auto _ : state) {
        auto windows = std::make_unique<TWindowSet>(
            [adapter] {
                TKorvelComm::TTransports t;
                t.push_back(std::make_unique<TSimTransport>(adapter));
                return t;
            },
            WindowOptions(settings));
        windows->MainForm().show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        windows.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpAllWindows)->Unit(benchmark::kMillisecond);

// The main window alone, made and shown.
static void BM_StartUpMainWindow(benchmark::State& state)
{
    const QTemporaryDir settings;
    auto adapter = std::make_shared<TSimAdapter>();
    TSimController controller(adapter);
    for (auto _ : state) {
        auto w = std::make_unique<TMainForm>(
            [adapter] {
                TKorvelComm::TTransports t;
                t.push_back(std::make_unique<TSimTransport>(adapter));
                return t;
            },
            WindowOptions(settings));
        w->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpMainWindow)->Unit(benchmark::kMillisecond);

// For comparison: a bare Qt main window of the same size with a menu bar, made and shown.
static void BM_StartUpBareWindow(benchmark::State& state)
{
    for (auto _ : state) {
        auto w = std::make_unique<QMainWindow>();
        w->menuBar()->addMenu(QStringLiteral("&File"));
        w->setFixedSize(804, 580);
        w->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpBareWindow)->Unit(benchmark::kMillisecond);
