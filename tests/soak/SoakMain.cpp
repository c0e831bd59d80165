// brevon-soak [EVENTS] [SEED] [--trace]: the soak with its figures; --trace follows each event. brevon-soak --telemetry HOURS: the
// program's resident memory over HOURS of simulated telemetry at 20 frames/s.
#include "TSoak.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    if (argc >= 2 && std::strcmp(argv[1], "--telemetry") == 0) {
        const double hours = argc >= 3 ? std::atof(argv[2]) : 24.0;
        const TSoak::TMemoryFigures m = TSoak::Telemetry(hours);
        const long growth = m.rssEndKb - m.rssStartKb;
        std::printf("telemetry: %.1f simulated hours, %lld frames in %.0f s\n", hours,
                    static_cast<long long>(m.frames), m.seconds);
        std::printf("resident memory: %ld kB after warm-up, %ld kB at the end (peak %ld kB), "
                    "growth %ld kB (goal < 2048 kB)\n",
                    m.rssStartKb, m.rssEndKb, m.rssPeakKb, growth);
        return growth < 2048 ? 0 : 1;
    }

    const int events = argc >= 2 ? std::atoi(argv[1]) : 1000;
    const uint64_t seed = argc >= 3 ? std::strtoull(argv[2], nullptr, 10) : 1;
    const bool trace = argc >= 4 && std::strcmp(argv[3], "--trace") == 0;
    const TSoakFigures f = TSoak::Run(events, seed, trace);
    std::printf("soak: %d events, seed %llu, %.1f s real, %.1f simulated minutes\n", f.events,
                static_cast<unsigned long long>(f.seed), f.seconds, double(f.simulatedMs) / 60000);
    std::printf("events by kind:\n");
    for (const auto& [kind, count] : f.byKind)
        std::printf("  %-28s %d\n", kind.c_str(), count);
    std::printf("operations a fault struck in the middle of:\n");
    for (const auto& [kind, count] : f.struckDuring)
        std::printf("  %-28s %d\n", kind.c_str(), count);
    std::printf("crashes: 0 (the run ended)\nhangs: %d\n", f.hangs);
    std::printf("acknowledged writes: %d; edits made: %d; checks of the controller: %d, edited "
                "fields checked there: %d\n",
                f.writesAcknowledged, f.editsMade, f.settles, f.editsChecked);
    std::printf("unsent edits: shown by the caption at %d event ends; questions after "
                "reconnection: %d; notices of refused or unconfirmed changes: %d; edited fields sent again at "
                "the checks: %d\n",
                f.unsentSeen, f.unsentQuestions, f.unsentNotices, f.unsentDeliveredAtEnd);
    std::printf("saved files checked byte for byte: %d; file errors shown: %d; Load Memory "
                "refusals shown: %d\n",
                f.filesSaved, f.fileErrors, f.loadRefusals);
    std::printf("operations that kept the clock over two minutes: %zu\n", f.longWaits.size());
    for (const std::string& wait : f.longWaits)
        std::printf("  %s\n", wait.c_str());
    std::printf("failures: %zu\n", f.failures.size());
    for (const std::string& failure : f.failures)
        std::printf("  FAIL %s\n", failure.c_str());
    return f.failures.empty() && f.hangs == 0 ? 0 : 1;
}
