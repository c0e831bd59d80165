// Measures Brevon's programs from outside, as they run for a user: what a start takes and what
// a steady run costs.
//
//   bench_program startup PAIRS PROGRAM [ARG...] -- BASELINE [ARG...]
//     Starts the program and the baseline one right after the other, PAIRS times; the
//     baseline goes first in every other pair, so that neither always starts on the heels of
//     the other. Both report their first paint on standard output (TFirstPaintReport) and end
//     there. The ratio is taken pair by pair: on a machine whose speed drifts or jumps between
//     modes, two starts a moment apart share the machine's state far more often than two
//     medians taken over different moments do. Prints two lines:
//       startup-ms <program> <baseline> <ratio> <ratio noise> <lowest ratio> <highest ratio>
//       rss-mb     <program> <baseline> <ratio> <ratio noise> <lowest ratio> <highest ratio>
//     with the medians of the program's and the baseline's own starts, the median of the pair
//     ratios, and as its noise half the interquartile range of the pair ratios. A pair whose
//     two starts fell into different modes of the machine lands far out on either side; half
//     the range would be set by the two most extreme such pairs and grow with every pair
//     added, while the middle half of the pairs, which the median stands on, tells how far the
//     median itself may move.
//
//   bench_program steady RUNS WARMUP_S MEASURE_S EVENTS_PER_S PROGRAM [ARG...]
//     Starts the program RUNS times. In each run, WARMUP_S seconds after the start, it reads
//     the CPU time and the context switches of every thread of the program from /proc, reads
//     them again MEASURE_S seconds later and ends the program. Prints, per event (a telemetry
//     frame, a poll pass: EVENTS_PER_S of them a second), the median of the runs and as noise
//     half the distance between the highest and the lowest run:
//       cpu-us        <median> <noise>
//       ctx           <median> <noise>
//       instructions  <median> <noise>
//     the last counted by `perf stat` (user and kernel mode), or, where perf cannot count them,
//       instructions  - <why>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TFigure {
    double median;
    double noise;
    double lowest;
    double highest;
};

// The quantile `q` of sorted values, linear between neighbours.
double Quantile(const std::vector<double>& sorted, double q)
{
    const double at = q * double(sorted.size() - 1);
    const size_t below = size_t(at);
    if (below + 1 >= sorted.size())
        return sorted.back();
    return sorted[below] + (at - double(below)) * (sorted[below + 1] - sorted[below]);
}

enum class TNoise { HalfRange, HalfInterquartile };

TFigure Summarise(std::vector<double> values, TNoise noise = TNoise::HalfRange)
{
    std::sort(values.begin(), values.end());
    const double spread = noise == TNoise::HalfRange
        ? values.back() - values.front()
        : Quantile(values, 0.75) - Quantile(values, 0.25);
    return { Quantile(values, 0.5), spread / 2, values.front(), values.back() };
}

int64_t MonotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

[[noreturn]] void Fail(const std::string& why)
{
    std::fprintf(stderr, "bench_program: %s\n", why.c_str());
    std::exit(1);
}

// Starts `command`; its standard output goes to `outFd` (or is dropped when -1), its standard
// error is dropped.
pid_t Spawn(const std::vector<std::string>& command, int outFd)
{
    const pid_t pid = fork();
    if (pid < 0)
        Fail(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(outFd >= 0 ? outFd : null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        std::vector<char*> argv;
        for (const std::string& a : command)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

struct TStart {
    double ms;
    double rssMb;
};

// One start to the first paint, timed from before the fork.
TStart StartOnce(const std::vector<std::string>& command)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        Fail("pipe failed");
    const int64_t before = MonotonicNs();
    const pid_t pid = Spawn(command, pipeFds[1]);
    close(pipeFds[1]);
    std::string out;
    char buffer[256];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, size_t(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long paintedNs = 0;
    long rssKb = 0;
    const size_t at = out.find("first-paint-ns ");
    if (at == std::string::npos
        || std::sscanf(out.c_str() + at, "first-paint-ns %lld rss-kb %ld", &paintedNs, &rssKb) != 2)
        Fail("no first paint reported by " + command.front());
    return { double(paintedNs - before) / 1e6, double(rssKb) / 1024 };
}

int Startup(int pairs, const std::vector<std::string>& program,
            const std::vector<std::string>& baseline)
{
    std::vector<double> ms, baseMs, msRatio, rss, baseRss, rssRatio;
    StartOnce(program); // the first start fills the file cache for both
    StartOnce(baseline);
    for (int i = 0; i < pairs; ++i) {
        TStart p {}, b {};
        if (i % 2) {
            b = StartOnce(baseline);
            p = StartOnce(program);
        } else {
            p = StartOnce(program);
            b = StartOnce(baseline);
        }
        ms.push_back(p.ms);
        baseMs.push_back(b.ms);
        msRatio.push_back(p.ms / b.ms);
        rss.push_back(p.rssMb);
        baseRss.push_back(b.rssMb);
        rssRatio.push_back(p.rssMb / b.rssMb);
    }
    const auto print = [](const char* name, const std::vector<double>& own,
                          const std::vector<double>& base, const std::vector<double>& ratios) {
        const TFigure r = Summarise(ratios, TNoise::HalfInterquartile);
        std::printf("%s %.1f %.1f %.3f %.3f %.3f %.3f\n", name, Summarise(own).median,
                    Summarise(base).median, r.median, r.noise, r.lowest, r.highest);
    };
    print("startup-ms", ms, baseMs, msRatio);
    print("rss-mb", rss, baseRss, rssRatio);
    return 0;
}

struct TSample {
    double cpuNs = 0;
    double switches = 0;
};

// Every thread's time on a CPU (schedstat, in ns) and its context switches, summed.
TSample SampleThreads(pid_t pid)
{
    TSample s;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    const QStringList threads = QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& tid : threads) {
        QFile schedstat(tasks + u'/' + tid + QStringLiteral("/schedstat"));
        if (schedstat.open(QIODevice::ReadOnly))
            s.cpuNs += schedstat.readAll().split(' ').value(0).toDouble();
        QFile status(tasks + u'/' + tid + QStringLiteral("/status"));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
            if (line.contains("ctxt_switches:"))
                s.switches += line.mid(line.indexOf(':') + 1).trimmed().toDouble();
        }
    }
    return s;
}

void SleepSeconds(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Counts the instructions that every thread of a process retires, in user and in kernel mode,
// for a given time: `perf stat` attached to it, run alongside the /proc samples. Instructions
// are the steadier figure where the CPU time of the same work moves with the machine's load.
class TInstructionCount {
public:
    TInstructionCount(pid_t pid, double seconds)
    {
        char path[] = "/tmp/bench-program-perf-XXXXXX";
        const int fd = mkstemp(path);
        if (fd < 0)
            return;
        close(fd);
        FFile = path;
        char duration[32];
        std::snprintf(duration, sizeof duration, "%.3f", seconds);
        FPerf = Spawn({ "perf", "stat", "-x,", "-o", FFile, "-e", "instructions:u,instructions:k",
                        "-p", std::to_string(pid), "--", "sleep", duration },
                      -1);
    }

    ~TInstructionCount()
    {
        if (!FFile.empty())
            unlink(FFile.c_str());
    }

    // The instructions counted, once perf has ended; nothing, and why, where it cannot count.
    std::optional<double> Count(std::string& why)
    {
        int status = 0;
        if (FPerf <= 0 || waitpid(FPerf, &status, 0) != FPerf || !WIFEXITED(status)
            || WEXITSTATUS(status) == 127) {
            why = "perf is not installed (Debian's linux-perf)";
            return std::nullopt;
        }
        QFile out(QString::fromStdString(FFile));
        double total = 0;
        int counted = 0;
        if (out.open(QIODevice::ReadOnly)) {
            for (QByteArray line = out.readLine(); !line.isEmpty(); line = out.readLine()) {
                const QList<QByteArray> fields = line.split(',');
                if (fields.size() < 3 || !fields[2].startsWith("instructions"))
                    continue;
                bool number = false;
                const double n = fields[0].toDouble(&number);
                if (!number) {
                    why = "perf cannot count instructions here: " + fields[0].toStdString()
                        + " (no hardware counters on this machine?)";
                    return std::nullopt;
                }
                total += n;
                ++counted;
            }
        }
        if (counted != 2) {
            why = "perf stat gave no instruction counts (exit " + std::to_string(WEXITSTATUS(status))
                + ")";
            return std::nullopt;
        }
        return total;
    }

private:
    std::string FFile;
    pid_t FPerf = -1;
};

int Steady(int runs, double warmup, double measure, double perSecond,
           const std::vector<std::string>& program)
{
    std::vector<double> cpu, switches, instructions;
    std::string noInstructions;
    const double events = measure * perSecond;
    for (int i = 0; i < runs; ++i) {
        const pid_t pid = Spawn(program, -1);
        SleepSeconds(warmup);
        std::optional<TInstructionCount> counter;
        if (noInstructions.empty())
            counter.emplace(pid, measure);
        const TSample a = SampleThreads(pid);
        SleepSeconds(measure);
        const TSample b = SampleThreads(pid);
        if (counter) {
            if (const std::optional<double> n = counter->Count(noInstructions))
                instructions.push_back(*n / events);
        }
        int status = 0;
        const bool ended = waitpid(pid, &status, WNOHANG) == pid;
        if (!ended) {
            kill(pid, SIGTERM);
            waitpid(pid, &status, 0);
        }
        if (ended || a.cpuNs == 0)
            Fail(program.front() + " ended before the measure was over");
        cpu.push_back((b.cpuNs - a.cpuNs) / 1000 / events);
        switches.push_back((b.switches - a.switches) / events);
    }
    const TFigure c = Summarise(cpu), x = Summarise(switches);
    std::printf("cpu-us %.1f %.1f\n", c.median, c.noise);
    std::printf("ctx %.2f %.2f\n", x.median, x.noise);
    if (noInstructions.empty()) {
        const TFigure n = Summarise(instructions);
        std::printf("instructions %.0f %.0f\n", n.median, n.noise);
    } else {
        std::printf("instructions - %s\n", noInstructions.c_str());
    }
    return 0;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: bench_program startup PAIRS PROGRAM [ARG...] -- BASELINE [ARG...]\n"
                 "       bench_program steady RUNS WARMUP_S MEASURE_S EVENTS_PER_S PROGRAM "
                 "[ARG...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 4 && args[0] == "startup") {
        const int pairs = std::atoi(args[1].c_str());
        const auto split = std::find(args.begin() + 2, args.end(), "--");
        const std::vector<std::string> program(args.begin() + 2, split);
        if (pairs < 1 || program.empty() || split == args.end() || split + 1 == args.end())
            return Usage();
        return Startup(pairs, program, std::vector<std::string>(split + 1, args.end()));
    }
    if (args.size() >= 6 && args[0] == "steady") {
        const int runs = std::atoi(args[1].c_str());
        const double warmup = std::atof(args[2].c_str());
        const double measure = std::atof(args[3].c_str());
        const double perSecond = std::atof(args[4].c_str());
        if (runs < 1 || warmup < 0 || !(measure > 0) || !(perSecond > 0))
            return Usage();
        return Steady(runs, warmup, measure, perSecond,
                      std::vector<std::string>(args.begin() + 5, args.end()));
    }
    return Usage();
}
