// What the lambda plot costs: one point added to a channel that keeps ten minutes, and one
// batched replot of the plot holding them (12000 points a channel: ten minutes at 20 Hz).
#include "ui/widgets/TPlot.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr double kFrameX = 0.05;   // PlotTime step per telemetry frame
constexpr double kWindow = 600;    // X units kept: ten minutes
constexpr int kTenMinutes = 12000; // points a channel holds then

// One telemetry frame: a probe reading and an emulated one.
void addFrame(TPlot& plot, double& t)
{
    plot.AddXY(0, t, 450 + 400 * std::sin(t * 3));
    plot.AddXY(1, t, std::fmod(t, 1.0) < 0.5 ? 800 : 100);
    t += kFrameX;
}

// The lambda plot of the main window, filled with `frames` frames on both channels.
void setUpLambdaPlot(TPlot& plot, int frames, double& t)
{
    plot.resize(792, 284);
    plot.setTitle(QStringLiteral("Lambda probe"));
    plot.setXScrolling(10);
    plot.setYFollow(0, 1000, 5000);
    plot.addChannel(QStringLiteral("Lambda probe"), Qt::white);
    plot.addChannel(QStringLiteral("Lambda simulation"), QColor(0, 204, 0));
    plot.setChannelLineWidth(1, 3);
    for (int ch = 0; ch < 2; ++ch)
        plot.setChannelXWindow(ch, kWindow);
    plot.addLimit(Qt::magenta, 200);
    plot.addLimit(Qt::red, 800);
    plot.addLimit(Qt::yellow, 450);
    for (int i = 0; i < frames; ++i)
        addFrame(plot, t);
}

} // namespace

// Adding one point to a channel already holding ten minutes: the window drops one point too.
static void BM_PlotAddPoint(benchmark::State& state)
{
    TPlot plot;
    double t = 0;
    setUpLambdaPlot(plot, kTenMinutes, t);
    for (auto _ : state) {
        plot.AddXY(0, t, 450);
        t += kFrameX;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["points"] = plot.pointCount(0);
}
BENCHMARK(BM_PlotAddPoint);

// One frame and the replot it leads to, with the X axis scrolling over the last 10 units. The
// drawing looks only at the visible points, so the cost must not grow with the points kept.
static void BM_PlotReplotLambda(benchmark::State& state)
{
    TPlot plot;
    double t = 0;
    setUpLambdaPlot(plot, static_cast<int>(state.range(0)), t);
    plot.show();
    plot.flushReplot();
    for (auto _ : state) {
        addFrame(plot, t);
        plot.flushReplot();
    }
    state.counters["points"] = plot.pointCount(0);
}
BENCHMARK(BM_PlotReplotLambda)->Arg(1200)->Arg(kTenMinutes)->Unit(benchmark::kMicrosecond);

// The worst case: all ten minutes on show at once (X fixed over the window).
static void BM_PlotReplotAllVisible(benchmark::State& state)
{
    TPlot plot;
    double t = 0;
    setUpLambdaPlot(plot, kTenMinutes, t);
    plot.setXFixed(0, kWindow);
    plot.show();
    for (auto _ : state)
        plot.flushReplot();
    state.counters["points"] = plot.pointCount(0);
}
BENCHMARK(BM_PlotReplotAllVisible)->Unit(benchmark::kMicrosecond);
