#include "protocol/TCommandCodes.h"
#include "protocol/TFrameDecoder.h"
#include "protocol/TFrameEncoder.h"
#include "protocol/TFrameSink.h"
#include "protocol/TTelemetry.h"
#include "protocol/TTelemetryMonitor.h"
#include "protocol/TTelemetryView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Keeps what the telemetry handling showed last, and how often the lambda-simulation channel
// grew or was emptied.
class TRecordingView : public TTelemetryView {
public:
    std::string controllerText, lambdaText, tpsText, rpmText, valveText;
    bool onGas = false;
    int lambdaBar = -1, tpsBar = -1;
    double rpmGauge = -1, valveX = -1, valveY = -1;
    std::vector<std::pair<double, double>> lambdaPoints, simPoints;
    int simClears = 0;

    void ShowControllerText(QLatin1String text) override { controllerText = Str(text); }
    void ShowFuel(bool gas) override { onGas = gas; }
    void ShowLambda(int counts, QLatin1String mv) override
    {
        lambdaBar = counts;
        lambdaText = Str(mv);
    }
    void ShowTps(int counts, QLatin1String volts) override
    {
        tpsBar = counts;
        tpsText = Str(volts);
    }
    void ShowRpm(double thousands, QLatin1String rpm) override
    {
        rpmGauge = thousands;
        rpmText = Str(rpm);
    }
    void ShowValve(QLatin1String position, double rpm, double value) override
    {
        valveText = Str(position);
        valveX = rpm;
        valveY = value;
    }
    void AddLambdaPoint(double t, double mv) override { lambdaPoints.emplace_back(t, mv); }
    void AddLambdaSimPoint(double t, double mv) override { simPoints.emplace_back(t, mv); }
    void ClearLambdaSim() override { ++simClears; }

private:
    static std::string Str(QLatin1String s) { return std::string(s.data(), size_t(s.size())); }
};

// The 256-byte decoder buffer with a record at positions 1 to 16.
std::vector<uint8_t> Buffer(const TTelemetry& t)
{
    std::vector<uint8_t> buf(TFrameDecoder::kRxBufSize, 0);
    t.ToBytes(buf.data() + 1);
    return buf;
}

TEST(TTelemetry, RecordLayoutIsLittleEndian)
{
    const uint8_t bytes[kTelemetrySize] = { 0x1A, 0x80, 0x34, 0x12, 0, 0, 0xF4, 0x01,
                                            0, 0, 0xFF, 0x03, 0xC4, 0x09, 0x05, 0x01 };
    const TTelemetry t = TTelemetry::FromBytes(bytes);
    EXPECT_EQ(0x1A, t.StatusFlags);
    EXPECT_EQ(0x80, t.RequestFlags);
    EXPECT_EQ(0x1234, t.Lambda);
    EXPECT_EQ(500, t.AperturaActual);
    EXPECT_EQ(1023, t.Tps);
    EXPECT_EQ(2500, t.Rpm);
    EXPECT_EQ(0x0105, t.LambdaSim);
    uint8_t back[kTelemetrySize];
    t.ToBytes(back);
    EXPECT_EQ(0, std::memcmp(bytes, back, kTelemetrySize));
}

struct TShowRow {
    const char* name;
    TTelemetry record;
    uint16_t version;
    // expectations; empty text = not checked
    std::string controllerText, lambdaText, tpsText, rpmText, valveText;
    int lambdaBar, tpsBar;
    double rpmGauge;
    bool onGas;
};

const TShowRow kShows[] = {
    { "lambda 1023 counts", { .Lambda = 1023 }, 0, " Detectado", "5000", "", "", "", 1023, -2, -2, false },
    { "lambda 205 counts", { .Lambda = 205 }, 0, "", "1002", "", "", "", 205, -2, -2, false },
    { "tps 1023 counts", { .Tps = 1023 }, 0, "", "", "5.00", "", "", -2, 1023, -2, false },
    { "tps 205 counts", { .Tps = 205 }, 0, "", "", "1.00", "", "", -2, 205, -2, false },
    { "2500 rev/min", { .Rpm = 2500 }, 0, "", "", "", "2500", "", -2, -2, 2.5, false },
    { "65535 rev/min unsigned", { .Rpm = 65535 }, 0, "", "", "", "65535", "", -2, -2, 65.535, false },
    { "valve 321", { .AperturaActual = 321 }, 0, "", "", "", "", "321", -2, -2, -2, false },
    { "on gas", { .StatusFlags = 0x08 }, 0, "", "", "", "", "", -2, -2, -2, true },
    { "other status bits are not gas", { .StatusFlags = 0xF7 }, 0, "", "", "", "", "", -2, -2, -2, false },
    { "version 1.04", {}, 0x0104, "Orbel V-1.04", "", "", "", "", -2, -2, -2, false },
    { "version 1.71", {}, 0x0171, "Orbel V-1.71", "", "", "", "", -2, -2, -2, false },
    { "hexadecimal in lower case", {}, 0x1A0B, "Orbel V-1a.0b", "", "", "", "", -2, -2, -2, false },
    { "version zero", {}, 0, " Detectado", "", "", "", "", -2, -2, -2, false },
};

TEST(TTelemetryMonitor, ShowsTheRecord)
{
    for (const TShowRow& row : kShows) {
        SCOPED_TRACE(row.name);
        TTelemetryMonitor monitor;
        TRecordingView view;
        monitor.HandleFrame(Buffer(row.record).data(), row.version, &view);
        // Empty texts and -2 are not checked by a row.
        auto text = [](const std::string& want, const std::string& got) {
            if (!want.empty()) {
                EXPECT_EQ(want, got);
            }
        };
        auto number = [](double want, double got) {
            if (want != -2) {
                EXPECT_DOUBLE_EQ(want, got);
            }
        };
        text(row.controllerText, view.controllerText);
        text(row.lambdaText, view.lambdaText);
        text(row.tpsText, view.tpsText);
        text(row.rpmText, view.rpmText);
        text(row.valveText, view.valveText);
        if (!row.valveText.empty()) {
            EXPECT_EQ(row.record.AperturaActual, view.valveY);
            EXPECT_EQ(row.record.Rpm, view.valveX);
        }
        number(row.lambdaBar, view.lambdaBar);
        number(row.tpsBar, view.tpsBar);
        number(row.rpmGauge, view.rpmGauge);
        EXPECT_EQ(row.onGas, view.onGas);
    }
}

TEST(TTelemetryMonitor, UsesTheFixedTexts)
{
    TTelemetryMonitor monitor;
    monitor.SetFixedTexts("Ctl", " found");
    TRecordingView view;
    monitor.HandleFrame(Buffer({}).data(), 0x0102, &view);
    EXPECT_EQ("Ctl V-1.02", view.controllerText);
    monitor.HandleFrame(Buffer({}).data(), 0, &view);
    EXPECT_EQ(" found", view.controllerText);
}

TEST(TTelemetryMonitor, SimulationChannelByVersion)
{
    const TTelemetry record { .Lambda = 205, .LambdaSim = 1023 };
    {
        TTelemetryMonitor monitor;
        TRecordingView view;
        for (int i = 0; i < 3; ++i)
            monitor.HandleFrame(Buffer(record).data(), 0x0103, &view);
        EXPECT_EQ(3, view.simClears);
        EXPECT_TRUE(view.simPoints.empty());
        EXPECT_EQ(3u, view.lambdaPoints.size());
    }
    {
        TTelemetryMonitor monitor;
        TRecordingView view;
        for (int i = 0; i < 3; ++i)
            monitor.HandleFrame(Buffer(record).data(), 0x0104, &view);
        EXPECT_EQ(0, view.simClears);
        ASSERT_EQ(3u, view.simPoints.size());
        EXPECT_DOUBLE_EQ(0.10, view.simPoints[2].first);
        EXPECT_NEAR(5000.0, view.simPoints[2].second, 1e-6);
        EXPECT_NEAR(1001.955, view.lambdaPoints[2].second, 1e-3);
    }
}

TEST(TTelemetryMonitor, PlotTimeAfterTenFramesAndReset)
{
    TTelemetryMonitor monitor;
    for (int i = 0; i < 10; ++i)
        monitor.HandleFrame(Buffer({}).data(), 0, nullptr);
    EXPECT_DOUBLE_EQ(0.5, monitor.PlotTime());
    EXPECT_EQ(10u, monitor.FramesHandled());
    monitor.ResetPlotTime();
    EXPECT_EQ(0.0, monitor.PlotTime());
}

TEST(TTelemetryMonitor, ReloadRequests)
{
    struct {
        const char* name;
        int silentTicks;
        uint8_t requestFlags;
        bool reload;
    } const rows[] = {
        { "frames without pause", 0, 0x00, false },
        { "three ticks of silence", 3, 0x00, false },
        { "four ticks of silence", 4, 0x00, true },
        { "a long silence", 300, 0x00, true },
        { "request bit without pause", 0, 0x80, true },
        { "other request bits", 0, 0x7F, false },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TTelemetryMonitor monitor;
        monitor.HandleFrame(Buffer({}).data(), 0, nullptr);
        for (int i = 0; i < row.silentTicks; ++i)
            monitor.CountSilenceTick();
        monitor.HandleFrame(Buffer({ .RequestFlags = row.requestFlags }).data(), 0, nullptr);
        EXPECT_EQ(row.reload, monitor.ReloadRequest());
        EXPECT_EQ(0, monitor.SilenceTicks());
        EXPECT_EQ(row.reload, monitor.TakeReloadRequest());
        EXPECT_FALSE(monitor.ReloadRequest());
    }
}

TEST(TTelemetryMonitor, SilenceCountStopsAt255AndReportsTheLossOnce)
{
    TTelemetryMonitor monitor;
    int lost = 0;
    int lostAt = -1;
    for (int tick = 1; tick <= 400; ++tick) {
        if (monitor.CountSilenceTick()) {
            ++lost;
            lostAt = tick;
        }
    }
    EXPECT_EQ(1, lost);
    EXPECT_EQ(5, lostAt); // the fifth tick after the last frame
    EXPECT_EQ(255, monitor.SilenceTicks());
    // The very first frame of a run that comes late asks for a reload.
    monitor.HandleFrame(Buffer({}).data(), 0, nullptr);
    EXPECT_TRUE(monitor.ReloadRequest());
}

// A short frame fills only the positions it has; the others keep what earlier frames left.
class TMonitorSink : public TFrameSink {
public:
    TTelemetryMonitor monitor;
    void OnTelemetryFrame(const uint8_t* rxBuf, uint32_t) override
    {
        monitor.HandleFrame(rxBuf, 0, nullptr);
    }
    void OnAnswerFrame(uint8_t, const uint8_t*, uint32_t) override {}
};

TEST(TTelemetryMonitor, ShortFrameKeepsStalePositions)
{
    TMonitorSink sink;
    TFrameDecoder decoder(&sink);
    uint8_t payload[17] {};
    TTelemetry { .StatusFlags = 0x08, .Lambda = 300, .Tps = 400, .Rpm = 2500 }.ToBytes(payload + 1);
    uint8_t frame[TFrameEncoder::kMaxEncodedSize];
    const int n = TFrameEncoder::Encode(fbStx, payload, 17, frame, int(sizeof frame));
    decoder.Feed(frame, size_t(n));
    const uint8_t shortFrame[] = { 0x02, 0x00, 0x00, 0x04 }; // two payload bytes
    decoder.Feed(shortFrame, sizeof shortFrame);
    const TTelemetry& r = sink.monitor.Record();
    EXPECT_EQ(0x00, r.StatusFlags); // position 1, refilled
    EXPECT_EQ(300, r.Lambda);       // positions 3 and 4, from the first frame
    EXPECT_EQ(2500, r.Rpm);
    EXPECT_EQ(2u, sink.monitor.FramesHandled());
}

} // namespace
