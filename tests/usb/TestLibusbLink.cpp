#include "link/TKorvelComm.h"
#include "link/TLibusbTransport.h"
#include "link/TLinkMsg.h"
#include "protocol/TCommandCodes.h"
#include "protocol/TFrameDecoder.h"
#include "protocol/TFrameEncoder.h"
#include "protocol/TFrameSink.h"
#include "sim/TSimController.h"
#include "tests/usb/TEmulatedRoadTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

// The program's own road, link engine to controller: TKorvelComm over TLibusbTransport, through
// the emulated adapter, to the simulated controller on the adapter's serial line.
namespace {

constexpr int kTicksPerSecond = 1000 / TKorvelComm::kTickMs;

// The frames the controller sent, as the program's decoder finds them.
class TFrameLog : public TFrameSink {
public:
    void OnTelemetryFrame(const uint8_t*, uint32_t) override { ++telemetry; }
    void OnAnswerFrame(uint8_t type, const uint8_t* payload, uint32_t count) override
    {
        answers.emplace_back(type, std::vector<uint8_t>(payload, payload + count));
    }

    int telemetry = 0;
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> answers;
};

class LibusbLinkTest : public TEmulatedRoadTest {
protected:
    void SetUp() override
    {
        TEmulatedRoadTest::SetUp();
        decoder.SetSink(&frames);
    }

    void TearDown() override
    {
        link.reset();
        TEmulatedRoadTest::TearDown();
    }

    void StartLink()
    {
        TKorvelComm::TTransports transports;
        transports.push_back(std::make_unique<TLibusbTransport>());
        link = std::make_unique<TKorvelComm>(std::move(transports),
                                             TKorvelComm::TOptions { false });
        link->OnLinkData = [this] {
            TLinkMsg msg;
            while (link->DequeueRx(msg))
                if (msg.Type == mtFrame)
                    decoder.Feed(msg.Data, msg.Len);
        };
    }

    void Tick()
    {
        link->Tick();
        link->WaitIdle();
    }

    // Ticks until the link shows `status`: the ticks it took, or -1 when `limit` ran out.
    int TicksUntil(TLinkStatus status, int limit)
    {
        for (int tick = 1; tick <= limit; ++tick) {
            Tick();
            if (link->GetLinkStatus() == status)
                return tick;
        }
        return -1;
    }

    void QueueCommand(uint8_t command)
    {
        uint8_t encoded[TFrameEncoder::kMaxEncodedSize];
        const int length = TFrameEncoder::EncodeCommand(&command, 1, encoded, sizeof encoded);
        TLinkMsg records[TFrameEncoder::kMaxRecords];
        const int count =
            TFrameEncoder::Split(encoded, length, records, TFrameEncoder::kMaxRecords);
        ASSERT_GT(count, 0);
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(link->EnqueueTx(records[i]));
    }

    std::unique_ptr<TKorvelComm> link;
    TFrameLog frames;
    TFrameDecoder decoder;
};

TEST_F(LibusbLinkTest, ControllerFramesFlowThroughTheEmulatedAdapter)
{
    controller->Advance(TSimController::kDefaultTelemetryPeriodMs); // one telemetry frame waits

    const auto start = std::chrono::steady_clock::now();
    StartLink();
    const int ticks = TicksUntil(lkReceiving, 12);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    ASSERT_NE(ticks, -1) << "status " << link->GetLinkStatus();
    std::printf("[   TIME   ] open to status 3 over the emulated bus: %d ticks, %.1f ms\n", ticks,
                took.count());
    RecordProperty("open_to_receiving_us", int(took.count() * 1000));
    EXPECT_EQ(link->Backend(), beLibusb);
    EXPECT_EQ(link->EpIn(), 0x81);
    EXPECT_EQ(link->EpOut(), 0x01);
    EXPECT_EQ(frames.telemetry, 1);

    // The other way: a request reaches the controller and its answer comes back.
    QueueCommand(cmdVersion);
    for (int tick = 0; tick < 10 && frames.answers.empty(); ++tick)
        Tick();
    EXPECT_EQ(controller->CommandsReceived(cmdVersion), 1);
    ASSERT_EQ(frames.answers.size(), 1u);
    EXPECT_EQ(frames.answers[0].first, fbAck);
    const uint16_t version = TSimController::kDefaultVersion;
    const std::vector<uint8_t> versionBytes = { uint8_t(version), uint8_t(version >> 8) };
    EXPECT_EQ(frames.answers[0].second, versionBytes);
}

TEST_F(LibusbLinkTest, UnplugDropsTheLinkAndReplugBringsItBack)
{
    controller->Advance(TSimController::kDefaultTelemetryPeriodMs);
    StartLink();
    ASSERT_NE(TicksUntil(lkReceiving, 12), -1);

    bed->Unplug(*adapter);
    ASSERT_NE(TicksUntil(lkNoAdapter, 4), -1);
    EXPECT_EQ(link->Phase(), phSearch);
    // Over three seconds of ticks hold several open attempts; libusb no longer lists the
    // adapter, so none of them reaches its device node.
    const int ioctlsWhileAway = adapter->Counters().ioctls;
    EXPECT_EQ(TicksUntil(lkAdapterReady, 3 * kTicksPerSecond + 10), -1);
    EXPECT_EQ(link->GetLinkStatus(), lkNoAdapter);
    EXPECT_EQ(adapter->Counters().ioctls, ioctlsWhileAway);

    bed->Replug(*adapter);
    ASSERT_NE(TicksUntil(lkAdapterReady, kTicksPerSecond + 2), -1); // attempts come every second
    EXPECT_EQ(adapter->Counters().setConfiguration, 2);
    controller->Advance(TSimController::kDefaultTelemetryPeriodMs);
    EXPECT_NE(TicksUntil(lkReceiving, 6), -1);
    EXPECT_EQ(frames.telemetry, 2);
}

} // namespace
