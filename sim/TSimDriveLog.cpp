#include "sim/TSimDriveLog.h"

#include "datalog/TDatalogFormat.h"
#include "protocol/TControllerRules.h"
#include "protocol/TFrameDecoder.h"
#include "protocol/TFrameSink.h"
#include "protocol/TTelemetryMonitor.h"

#include <QDateTime>
#include <QFile>

namespace {

constexpr int kFramePeriodMs = TSimController::kDefaultTelemetryPeriodMs;
constexpr uint16_t kTunedControlStep = 40; // how far the control position moves halfway
constexpr uint16_t kTunedIdealStep = 10;   // counts, about 49 mV
constexpr uint16_t kTunedReactionStep = 100; // rev/min

// The frames the decoder completes, through the telemetry handling the window uses.
class TFrameCatcher : public TFrameSink {
public:
    explicit TFrameCatcher(uint16_t version) : FVersion(version) {}

    void OnTelemetryFrame(const uint8_t* rxBuf, uint32_t) override
    {
        FMonitor.HandleFrame(rxBuf, FVersion, nullptr);
        FHaveFrame = true;
    }
    void OnAnswerFrame(uint8_t, const uint8_t*, uint32_t) override {}

    bool TakeFrame()
    {
        const bool had = FHaveFrame;
        FHaveFrame = false;
        return had;
    }
    const TTelemetry& Record() const { return FMonitor.Record(); }

private:
    uint16_t FVersion;
    TTelemetryMonitor FMonitor;
    bool FHaveFrame = false;
};

} // namespace

CtrlSet TSimDriveLog::Tune(const CtrlSet& set)
{
    CtrlSet tuned = set;
    tuned.AperturaPos = uint16_t(set.AperturaPos + kTunedControlStep);
    tuned.SondaIdeal = uint16_t(set.SondaIdeal + kTunedIdealStep);
    tuned.RpmReacL = uint16_t(set.RpmReacL + kTunedReactionStep);
    return tuned;
}

bool TSimDriveLog::WriteTunedSet(const QString& path, QString& error)
{
    const TSimController::TBytes bytes = TSimController::DefaultControlSet();
    const CtrlSet::TBytes tuned = Tune(CtrlSet::FromBytes(bytes.data())).ToBytes();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char*>(tuned.data()), qint64(tuned.size()))
            != qint64(tuned.size())
        || !file.flush()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool TSimDriveLog::Write(const QString& path, int64_t seconds, QString& error,
                         uint16_t controllerVersion)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error = file.errorString();
        return false;
    }
    TFrameCatcher catcher(controllerVersion);
    TFrameDecoder decoder(&catcher);
    TSimController controller([&decoder](const uint8_t* bytes, size_t count) {
        decoder.Feed(bytes, count);
    });
    controller.SetVersion(controllerVersion);
    const bool hasLambdaSim = TControllerRules::HasHighRegime(controllerVersion);

    auto controlSet = [&controller] {
        const TSimController::TBytes bytes = controller.ControlSet();
        return CtrlSet::FromBytes(bytes.data());
    };
    CtrlSet set = controlSet();
    const std::string head = std::string(TDatalogFormat::kMagic) + "\n"
        + TDatalogFormat::StartedComment(QDateTime::currentDateTimeUtc())
        + TDatalogFormat::ControlSetComment("", set) + std::string(TDatalogFormat::kHeader) + "\n";
    bool ok = file.write(head.data(), qint64(head.size())) == qint64(head.size());

    const int64_t frames = seconds * 1000 / kFramePeriodMs;
    char row[TDatalogFormat::kMaxRowLength];
    for (int64_t i = 0; ok && i < frames; ++i) {
        if (i == frames / 2) {
            set = Tune(set);
            controller.SetControlSet(set.ToBytes());
            const std::string comment = TDatalogFormat::ControlSetComment("tuned.mem", set);
            ok = file.write(comment.data(), qint64(comment.size())) == qint64(comment.size());
        }
        controller.Advance(kFramePeriodMs);
        if (!catcher.TakeFrame())
            continue;
        const TDatalogRow r = TDatalogRow::FromTelemetry(
            catcher.Record(), int64_t(controller.NowMs()), set.AperturaPos, hasLambdaSim);
        const std::size_t n = TDatalogFormat::FormatRow(r, row);
        ok = ok && file.write(row, qint64(n)) == qint64(n);
    }
    ok = ok && file.flush();
    if (!ok)
        error = file.errorString();
    return ok;
}
