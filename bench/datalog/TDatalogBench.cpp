// The log viewer on a day of frames: 24 hours at 20 frames a second (1,728,000 rows) from the
// simulated controller, decoded by the real frame decoder and written by the datalog format.
// The log is written once into the temporary folder and kept there for later runs.
//
// Memory: rss_MB is the program's resident size once the log is held, peak_rss_MB its highest
// so far (run one benchmark alone, --benchmark_filter=LoadDay, for the load's own peak).
#include "datalog/TDatalogColumns.h"
#include "datalog/TDatalogReader.h"
#include "sim/TSimDriveLog.h"
#include "ui/datalog/TLogPlot.h"
#include "ui/datalog/TLogViewerForm.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int64_t kDaySeconds = 24 * 3600;

const QString& DayLog()
{
    static const QString path = [] {
        const QString p = QDir::temp().filePath(QStringLiteral("brevon-bench-day-1.csv"));
        if (!QFileInfo::exists(p)) {
            const QString part = p + QStringLiteral(".part");
            QString error;
            if (!TSimDriveLog::Write(part, kDaySeconds, error) || !QFile::rename(part, p)) {
                std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(p), qPrintable(error));
                std::exit(1);
            }
        }
        return p;
    }();
    return path;
}

// A field of /proc/self/status in megabytes ("VmRSS", "VmHWM").
double StatusMegabytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').front().toDouble() / 1024.0;
    return 0;
}

void CountMemory(benchmark::State& state)
{
    state.counters["rss_MB"] = StatusMegabytes("VmRSS");
    state.counters["peak_rss_MB"] = StatusMegabytes("VmHWM");
}

// A viewer window as a user has it, holding the whole day, drawn once.
struct TLoadedViewer {
    TLogViewerForm form;

    TLoadedViewer()
    {
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.resize(1280, 800);
        form.show();
        if (!form.Open(DayLog())) {
            std::fprintf(stderr, "%s\n", qPrintable(form.ErrorText()));
            std::exit(1);
        }
        form.FinishLoading();
        form.Plot()->replot(QCustomPlot::rpImmediateRefresh);
    }
};

} // namespace

// Reading the day into the viewer's columns, pyramids included.
static void BM_LoadDay(benchmark::State& state)
{
    const QString& path = DayLog();
    std::size_t rows = 0, bytes = 0;
    for (auto _ : state) {
        TDatalogReader reader;
        if (!reader.Open(path))
            state.SkipWithError("the log does not open");
        TDatalogColumns log;
        TDatalogColumns::Load(reader, log);
        rows = log.Rows();
        bytes = log.MemoryBytes();
        CountMemory(state);
    }
    state.counters["rows"] = double(rows);
    state.counters["columns_MB"] = double(bytes) / (1024.0 * 1024.0);
    state.counters["file_MB"] = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_LoadDay)->Unit(benchmark::kMillisecond)->Iterations(3);

// "View log…" on the day: the window opens, reads the file and draws it the first time.
static void BM_ViewerOpenDay(benchmark::State& state)
{
    DayLog();
    for (auto _ : state) {
        TLoadedViewer viewer;
        CountMemory(state);
    }
}
BENCHMARK(BM_ViewerOpenDay)->Unit(benchmark::kMillisecond)->Iterations(3);

// One step of a drag: the time moves by a hundredth of the view, every channel is decimated
// anew and the window redrawn. Argument 0: the whole day in view; 1: one hour.
static void BM_ViewerPanStep(benchmark::State& state)
{
    TLoadedViewer viewer;
    TLogPlot* plot = viewer.form.Plot();
    if (state.range(0) == 1)
        plot->SetTimeRange(QCPRange(12 * 3600, 13 * 3600));
    plot->replot(QCustomPlot::rpImmediateRefresh);
    double step = plot->TimeRange().size() / 100;
    for (auto _ : state) {
        const QCPRange r = plot->TimeRange();
        // Back and forth, so the view stays over the recording.
        if (r.upper + step > kDaySeconds || r.lower + step < 0)
            step = -step;
        plot->SetTimeRange(r + step);
        plot->replot(QCustomPlot::rpImmediateRefresh);
    }
    CountMemory(state);
}
BENCHMARK(BM_ViewerPanStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One notch of the wheel over the data, in and out by turns.
static void BM_ViewerZoomStep(benchmark::State& state)
{
    TLoadedViewer viewer;
    TLogPlot* plot = viewer.form.Plot();
    QCPAxis* time = plot->TimeAxis(TLogPlot::pnRpm);
    bool in = true;
    for (auto _ : state) {
        time->scaleRange(in ? 0.85 : 1 / 0.85, 12 * 3600.0);
        in = !in;
        plot->replot(QCustomPlot::rpImmediateRefresh);
    }
}
BENCHMARK(BM_ViewerZoomStep)->Unit(benchmark::kMillisecond);

// The cursor moved by a click: its line redrawn alone and every channel read out.
static void BM_ViewerCursorMove(benchmark::State& state)
{
    TLoadedViewer viewer;
    TLogPlot* plot = viewer.form.Plot();
    double t = 0;
    for (auto _ : state) {
        t = t > kDaySeconds ? 0 : t + 997.5;
        plot->SetCursor(t);
        plot->repaint();
    }
}
BENCHMARK(BM_ViewerCursorMove)->Unit(benchmark::kMillisecond);
