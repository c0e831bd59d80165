// Telemetry frames reaching the main window through the simulated adapter, the real link and
// the real decoder: the gauge, the bars, the value boxes, the fuel LEDs, the controller text
// and the plots.
#include "tests/ui/MainWindowFixture.h"

#include "ui/main/TLiveMonitor.h"
#include "ui/widgets/TAngularGauge.h"
#include "ui/widgets/TLed.h"
#include "ui/widgets/TLedBar.h"
#include "ui/widgets/TPlot.h"
#include "ui/widgets/TValueBox.h"

#include <QLabel>

namespace {

// A telemetry frame as the controller's serial line carries it: STX, the stuffed payload
// (a sequence byte, then the 16-byte record), EOT.
std::vector<uint8_t> TelemetryFrame(uint8_t statusFlags, uint16_t lambda, uint16_t valve,
                                    uint16_t tps, uint16_t rpm, uint16_t lambdaSim)
{
    const uint8_t payload[17] = {
        0x33, statusFlags, 0, uint8_t(lambda), uint8_t(lambda >> 8), 0, 0,
        uint8_t(valve), uint8_t(valve >> 8), 0, 0, uint8_t(tps), uint8_t(tps >> 8),
        uint8_t(rpm), uint8_t(rpm >> 8), uint8_t(lambdaSim), uint8_t(lambdaSim >> 8),
    };
    std::vector<uint8_t> frame { 0x02 };
    for (uint8_t b : payload) {
        if (b == 0x01 || b == 0x02 || b == 0x04 || b == 0x06 || b == 0x10 || b == 0x15) {
            frame.push_back(0x10);
            frame.push_back(uint8_t(~b));
        } else {
            frame.push_back(b);
        }
    }
    frame.push_back(0x04);
    return frame;
}

struct TFrameRow {
    const char* name;
    uint8_t statusFlags;
    uint16_t lambda, valve, tps, rpm;
    const char* lambdaText;
    const char* tpsText;
    double gauge;
    const char* rpmText;
    const char* valveText;
    bool onGas;
};

const TFrameRow kFrameRows[] = {
    { "full scale on gas", 0x08, 1023, 321, 1023, 2500, "5000", "5.00", 2.5, "2500", "321", true },
    { "one volt on gasoline", 0x00, 205, 0, 205, 8000, "1002", "1.00", 8.0, "8000", "0", false },
    { "stuffed bytes", 0x10, 0x0110, 0x0015, 0x0204, 0x0106, "1329", "2.52", 0.262, "262", "21",
      false },
};

class TTelemetry : public MainWindowFixture {
protected:
    void Feed(const std::vector<uint8_t>& bytes) { adapter().FeedSerial(bytes.data(), bytes.size()); }
};

TEST_F(TTelemetry, FrameMovesTheInstrumentsAndTexts)
{
    ASSERT_TRUE(RunUntilReceiving());
    rig().StopTelemetry();
    const TLiveMonitor& m = window().Monitor();
    for (const TFrameRow& r : kFrameRows) {
        SCOPED_TRACE(r.name);
        const uint32_t before = protocol().Telemetry().FramesHandled();
        Feed(TelemetryFrame(r.statusFlags, r.lambda, r.valve, r.tps, r.rpm, 0));
        ASSERT_TRUE(RunUntil([&] { return protocol().Telemetry().FramesHandled() > before; }));

        EXPECT_EQ(m.LEV_Lambda()->position(), r.lambda);
        EXPECT_EQ(m.VAL_Lambda()->text(), QLatin1String(r.lambdaText));
        EXPECT_EQ(m.LEV_Tps()->position(), r.tps);
        EXPECT_EQ(m.VAL_Tps()->text(), QLatin1String(r.tpsText));
        EXPECT_DOUBLE_EQ(m.LEV_Rpm()->position(), r.gauge);
        EXPECT_EQ(m.VAL_Rpm()->text(), QLatin1String(r.rpmText));
        EXPECT_EQ(m.VAL_AperturaActual()->text(), QLatin1String(r.valveText));
        EXPECT_EQ(m.iPlot1()->lastPoint(TLiveMonitor::chActual), QPointF(r.rpm, r.valve));
        EXPECT_EQ(m.iPlot1()->pointCount(TLiveMonitor::chActual), 1);
        EXPECT_EQ(m.LedGnc()->isActive(), r.onGas);
        EXPECT_EQ(m.LedNafta()->isActive(), !r.onGas);
        EXPECT_EQ(window().StatusPanel(1)->text(), QStringLiteral("Orbel V-1.04"));
    }
}

TEST_F(TTelemetry, TheRunningEngineMovesGaugeBarsAndPlots)
{
    ASSERT_TRUE(RunUntilReceiving());
    ASSERT_TRUE(rig().RunFrames(10));
    const ::TTelemetry& record = protocol().Telemetry().Record();
    const TLiveMonitor& m = window().Monitor();
    ASSERT_GT(record.Rpm, 0); // the simulated engine idles
    EXPECT_DOUBLE_EQ(m.LEV_Rpm()->position(), record.Rpm * 0.001);
    EXPECT_EQ(m.VAL_Rpm()->text(), QString::number(record.Rpm));
    EXPECT_EQ(m.LEV_Lambda()->position(), record.Lambda);
    EXPECT_EQ(m.LEV_Tps()->position(), record.Tps);
    EXPECT_GE(m.iPlot2()->pointCount(TLiveMonitor::chLambda), 10);
    EXPECT_EQ(m.iPlot2()->lastPoint(TLiveMonitor::chLambda).x(),
              protocol().Telemetry().PlotTime() - 0.05);
}

struct TVersionRow {
    const char* name;
    uint16_t version;
    const char* controllerText;
    bool simulationDrawn;
};

void PrintTo(const TVersionRow& row, std::ostream* os)
{
    *os << row.name;
}

class TTelemetryByVersion : public MainWindowFixture,
                            public ::testing::WithParamInterface<TVersionRow> {
protected:
    MainWindowRig::TOptions RigOptions() const override
    {
        MainWindowRig::TOptions o;
        o.controllerVersion = GetParam().version;
        return o;
    }
};

TEST_P(TTelemetryByVersion, LambdaSimulationIsDrawnFromVersion104On)
{
    const TVersionRow& r = GetParam();
    ASSERT_TRUE(RunUntilReceiving());
    TPlot* lambda = window().Monitor().iPlot2();
    const int simBefore = lambda->pointCount(TLiveMonitor::chLambdaSim);
    const uint32_t framesBefore = protocol().Telemetry().FramesHandled();
    ASSERT_TRUE(rig().RunFrames(3));
    const int added = lambda->pointCount(TLiveMonitor::chLambdaSim) - simBefore;
    const int frames = int(protocol().Telemetry().FramesHandled() - framesBefore);
    // One point a frame, or emptied by every frame.
    EXPECT_EQ(added, r.simulationDrawn ? frames : 0);
    if (!r.simulationDrawn) {
        EXPECT_EQ(lambda->pointCount(TLiveMonitor::chLambdaSim), 0);
    }
    EXPECT_EQ(window().StatusPanel(1)->text(), QLatin1String(r.controllerText));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, TTelemetryByVersion,
    ::testing::Values(TVersionRow { "v103", 0x0103, "Orbel V-1.03", false },
                      TVersionRow { "v104", 0x0104, "Orbel V-1.04", true }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
