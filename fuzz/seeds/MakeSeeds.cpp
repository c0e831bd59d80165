// Writes the seed corpus of the fuzz targets from the program's own code: controller frames as
// the simulated controller sends them, command frames as the encoder makes them, control-set
// files, and settings files as the options store writes them. scripts/fuzz.sh seeds runs it;
// the .mo seeds come from msgfmt there.
//   brevon_fuzz_seeds CORPUS-FOLDER

#include "protocol/CtrlSet.h"
#include "protocol/TCommandCodes.h"
#include "protocol/TFrameEncoder.h"
#include "settings/TOpcionesAvanzadas.h"
#include "sim/TSimController.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

#include <cstdio>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

QString folder;

void Put(const char* target, const char* name, const TBytes& bytes)
{
    QDir().mkpath(folder + QLatin1Char('/') + QLatin1String(target));
    QFile file(folder + QLatin1Char('/') + QLatin1String(target) + QLatin1Char('/')
               + QLatin1String(name));
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()))
            != qint64(bytes.size())) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
}

TBytes Command(std::initializer_list<uint8_t> payload, const TBytes& args = {})
{
    TBytes p(payload);
    p.insert(p.end(), args.begin(), args.end());
    uint8_t out[TFrameEncoder::kMaxEncodedSize];
    const int n = TFrameEncoder::EncodeCommand(p.data(), int(p.size()), out, int(sizeof out));
    return TBytes(out, out + n);
}

// What the simulated controller sends: telemetry while the engine runs, and its answers to
// the PC's commands.
struct TControllerStreams {
    TBytes telemetry, answers, refusals;

    TControllerStreams()
    {
        TBytes* sink = &telemetry;
        TSimController controller(
            [&](const uint8_t* b, size_t n) { sink->insert(sink->end(), b, b + n); });
        controller.Advance(160);
        controller.SetTelemetryPeriodMs(0);
        const auto set = TSimController::DefaultControlSet();
        sink = &answers;
        const TBytes requests[] = { Command({ cmdReadSet }), Command({ cmdVersion }),
                                    Command({ cmdWriteSet }, TBytes(set.begin(), set.end())),
                                    Command({ cmdRestore }),
                                    Command({ cmdLoadMemory, kLoadMemoryKey }) };
        for (const TBytes& c : requests)
            controller.OnSerialFromPc(c.data(), c.size());
        controller.Advance(10);
        sink = &refusals;
        controller.SetFault(TSimController::fmNakAll);
        for (const TBytes& c : { Command({ cmdReadSet }), Command({ cmdVersion }) })
            controller.OnSerialFromPc(c.data(), c.size());
        controller.Advance(10);
    }
};

void FrameSeeds(const char* target)
{
    const TControllerStreams s;
    Put(target, "telemetry", s.telemetry);
    Put(target, "answers", s.answers);
    Put(target, "refusals", s.refusals);
    TBytes mixed = s.telemetry;
    mixed.insert(mixed.begin() + long(mixed.size() / 2), s.answers.begin(), s.answers.end());
    Put(target, "interrupted", mixed);
    // A payload of 257 bytes: the frame is abandoned and its EOT ignored.
    TBytes overlong { fbAck };
    overlong.insert(overlong.end(), 257, 0x55);
    overlong.push_back(fbEot);
    Put(target, "overlong", overlong);
}

void ControlSetSeeds()
{
    const auto set = TSimController::DefaultControlSet();
    const TBytes bytes(set.begin(), set.end());
    Put("control_set_file", "default.mem", bytes);
    Put("control_set_file", "zero.mem", TBytes(kCtrlSetSize, 0));
    Put("control_set_file", "ones.mem", TBytes(kCtrlSetSize, 0xFF));
    Put("control_set_file", "short.mem", TBytes(bytes.begin(), bytes.end() - 1));
    TBytes longer = bytes;
    longer.push_back(0);
    Put("control_set_file", "long.mem", longer);
}

TBytes ReadAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray b = f.readAll();
    return TBytes(b.begin(), b.end());
}

void OptionSeeds()
{
    const QString dir = QDir::tempPath() + QStringLiteral("/brevon-seeds-")
        + QString::number(QCoreApplication::applicationPid());
    QDir().mkpath(dir);
    const QString first = dir + QStringLiteral("/first.conf");
    { TOpcionesAvanzadas options(first); }
    Put("options_store", "first-run.conf", ReadAll(first));

    const QString chosen = dir + QStringLiteral("/chosen.conf");
    QFile::copy(first, chosen);
    { TOpcionesAvanzadas options(chosen); options.SetLangCode(QStringLiteral("es")); }
    Put("options_store", "language-chosen.conf", ReadAll(chosen));

    const QString range = dir + QStringLiteral("/range.conf");
    QFile::copy(chosen, range);
    {
        QSettings s(range, QSettings::IniFormat);
        s.setValue(QStringLiteral("OpcionesAvanzadas/SerialComm"), QByteArray("\x18\0\0\0", 4));
    }
    Put("options_store", "serial-out-of-range.conf", ReadAll(range));

    const QString partial = dir + QStringLiteral("/partial.conf");
    QFile::copy(chosen, partial);
    {
        QSettings s(partial, QSettings::IniFormat);
        s.remove(QStringLiteral("OpcionesAvanzadas/PathSalida"));
    }
    Put("options_store", "missing-value.conf", ReadAll(partial));
    QDir(dir).removeRecursively();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    folder = QString::fromLocal8Bit(argv[1]);
    FrameSeeds("frame_codec");
    FrameSeeds("receive_frames");
    ControlSetSeeds();
    OptionSeeds();
    return 0;
}
