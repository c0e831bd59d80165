#include "tests/protocol/ProtocolOverLink.h"

#include "link/TKorvelComm.h"
#include "protocol/CtrlSet.h"
#include "protocol/TCommandCodes.h"
#include "protocol/TControllerProtocol.h"
#include "protocol/TFrameEncoder.h"
#include "protocol/TTelemetryView.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimController.h"
#include "sim/TSimTransport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

TLinkMsg Record(uint8_t type, const TBytes& data)
{
    TLinkMsg m;
    m.Type = type;
    m.Len = uint8_t(data.size());
    std::memcpy(m.Data, data.data(), std::min<size_t>(data.size(), sizeof m.Data));
    return m;
}

// --- without a link -------------------------------------------------------------------------

TEST(TControllerProtocol, RecordsFeedTheDecoderAcrossCalls)
{
    TControllerProtocol protocol;
    protocol.HandleRecord(Record(mtFrame, { 0x06, 0x10 }));
    EXPECT_FALSE(protocol.Response().RespReady);
    protocol.HandleRecord(Record(mtFrame, { 0xFB, 0x01, 0x04 }));
    const TResponse& r = protocol.Response();
    EXPECT_TRUE(r.RespReady);
    EXPECT_EQ(fbAck, r.RespType);
    ASSERT_EQ(2, r.RespLen);
    EXPECT_EQ(0x04, r.RespData[0]);
    EXPECT_EQ(0x01, r.RespData[1]);
}

TEST(TControllerProtocol, SkipsRecordsOfOtherTypesAndClampsTheLength)
{
    TControllerProtocol protocol;
    protocol.HandleRecord(Record(2, { 0x15, 0x04 }));
    EXPECT_FALSE(protocol.Response().RespReady);
    TLinkMsg wild = Record(mtFrame, { 0x15, 0x04 });
    wild.Len = 200; // from the wire; Data holds 64
    protocol.HandleRecord(wild);
    EXPECT_TRUE(protocol.Response().RespReady);
    EXPECT_EQ(fbNak, protocol.Response().RespType);
    EXPECT_EQ(0, protocol.Response().RespLen);
}

TEST(TControllerProtocol, TelemetryReachesTheViewWithTheVersion)
{
    TControllerProtocol protocol;
    TTextView view;
    protocol.SetTelemetryView(&view);
    protocol.HandleRecord(Record(mtFrame, { 0x02, 0x00, 0x08, 0x04 }));
    EXPECT_EQ(" Detectado", view.controllerText);
    protocol.SetControllerVersion(0x0104);
    protocol.HandleRecord(Record(mtFrame, { 0x02, 0x00, 0x08, 0x04 }));
    EXPECT_EQ("Orbel V-1.04", view.controllerText);
    EXPECT_EQ(2u, protocol.Telemetry().FramesHandled());
}

TEST(TControllerProtocol, NoLinkNoExchange)
{
    TControllerProtocol protocol;
    const uint8_t version[] = { cmdVersion };
    EXPECT_FALSE(protocol.SendFrame(version, 1));
    EXPECT_EQ(-1, protocol.SendRequest(version, 1));
    EXPECT_FALSE(protocol.ExchangeBusy());
    protocol.GetTargetVersion();
    EXPECT_EQ(0, protocol.ControllerVersion());
}

// A pause on the wall clock: the one test here that lets real time pass, a few tens of
// milliseconds, because the wall clock is what it is about. Events posted before it, timers that
// fall within it and a pause nested in one of them all run, and it ends once its time is up.
TEST(TControllerProtocol, PauseOnTheWallClockRunsEventsUntilItsTimeIsUp)
{
    TControllerProtocol protocol;
    std::vector<std::string> seen;
    QMetaObject::invokeMethod(
        &protocol, [&] { seen.push_back("posted"); }, Qt::QueuedConnection);
    QTimer::singleShot(5, &protocol, [&] {
        seen.push_back("timer");
        protocol.Pause(10); // inside the outer pause, which must still end in time
        seen.push_back("inner pause over");
    });
    QElapsedTimer elapsed;
    elapsed.start();
    protocol.Pause(40);
    EXPECT_GE(elapsed.elapsed(), 40);
    EXPECT_EQ(seen, (std::vector<std::string> { "posted", "timer", "inner pause over" }));

    seen.clear();
    QMetaObject::invokeMethod(
        &protocol, [&] { seen.push_back("posted"); }, Qt::QueuedConnection);
    protocol.Pause(0);
    EXPECT_EQ(seen, std::vector<std::string> { "posted" }) << "0 runs what is pending once";
}

// --- through the real link, the simulated adapter and the simulated controller ---------------

TEST_F(ProtocolOverLink, VersionRequestIsAnswered)
{
    controller.SetVersion(0x0105);
    protocol.GetTargetVersion();
    EXPECT_EQ(0x0105, protocol.ControllerVersion());
    EXPECT_TRUE(WaitFor([this] { return view.controllerText == "Orbel V-1.05"; }, 1000));
}

TEST_F(ProtocolOverLink, ReadReturnsTheControllersBlock)
{
    uint8_t answer[kMaxFramePayload];
    uint8_t type = 0;
    ASSERT_EQ(kCtrlSetSize, Request({ cmdReadSet }, answer, &type));
    EXPECT_EQ(fbAck, type);
    const auto held = controller.ControlSet();
    EXPECT_EQ(0, std::memcmp(held.data(), answer, kCtrlSetSize));
}

TEST_F(ProtocolOverLink, EveryControlSetIsWrittenByteForByte)
{
    std::mt19937 random(7);
    std::vector<std::pair<std::string, TBytes>> blocks = {
        { "all 0x10: worst-case stuffing", TBytes(kCtrlSetSize, 0x10) },
        { "all 0x00", TBytes(kCtrlSetSize, 0x00) },
    };
    TBytes controls;
    for (int i = 0; i < kCtrlSetSize; ++i)
        controls.push_back(TBytes { 0x01, 0x02, 0x04, 0x06, 0x10, 0x15 }[size_t(i % 6)]);
    blocks.emplace_back("control bytes", controls);
    TBytes noise;
    for (int i = 0; i < kCtrlSetSize; ++i)
        noise.push_back(uint8_t(random()));
    blocks.emplace_back("random", noise);

    for (const auto& [name, block] : blocks) {
        SCOPED_TRACE(name);
        TBytes payload(1 + block.size());
        payload[0] = cmdWriteSet;
        std::copy(block.begin(), block.end(), payload.begin() + 1);
        uint8_t type = 0;
        ASSERT_EQ(0, Request(payload, nullptr, &type));
        EXPECT_EQ(fbAck, type);
        const auto held = controller.ControlSet();
        EXPECT_EQ(block, TBytes(held.begin(), held.end()));
    }
    // The worst case went out as two records of 64 and 35 bytes.
    bool split = false;
    const auto sent = adapter->SentRecords();
    for (size_t i = 0; i + 1 < sent.size(); ++i)
        split |= sent[i].size() == 66 && sent[i][1] == 64 && sent[i + 1][1] == 35;
    EXPECT_TRUE(split);
}

TEST_F(ProtocolOverLink, NakIsAnAnswer)
{
    controller.SetFault(TSimController::fmNakAll);
    uint8_t type = 0;
    EXPECT_EQ(0, Request({ cmdVersion }, nullptr, &type));
    EXPECT_EQ(fbNak, type);
    protocol.GetTargetVersion();
    EXPECT_EQ(0, protocol.ControllerVersion());
}

TEST_F(ProtocolOverLink, NestedRequestGetsMinusOneAndTheFirstGoesOn)
{
    int32_t nested = 0;
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        EXPECT_TRUE(protocol.ExchangeBusy());
        nested = Request({ cmdReadSet });
    });
    uint8_t answer[kMaxFramePayload];
    EXPECT_EQ(2, Request({ cmdVersion }, answer));
    EXPECT_TRUE(ran);
    EXPECT_EQ(-1, nested);
    EXPECT_EQ(0x04, answer[0]);
    EXPECT_EQ(0, controller.CommandsReceived(cmdReadSet));
    EXPECT_FALSE(protocol.ExchangeBusy());
}

TEST_F(ProtocolOverLink, NoAnswerEndsAtTheLimit)
{
    controller.SetFault(TSimController::fmDropAnswer);
    protocol.SetReplyTimeoutMs(50);
    const int64_t start = clock.NowMs();
    EXPECT_EQ(-1, Request({ cmdVersion }));
    EXPECT_GE(clock.NowMs() - start, 50);
    EXPECT_LT(clock.NowMs() - start, 50 + TKorvelComm::kTickMs);
    EXPECT_FALSE(protocol.ExchangeBusy());
    controller.SetFault(TSimController::fmNone);
    protocol.SetReplyTimeoutMs(kDefaultReplyTimeoutMs);
    EXPECT_EQ(2, Request({ cmdVersion }));
}

TEST_F(ProtocolOverLink, LateAnswerOnlyOverwritesResponse)
{
    controller.SetFault(TSimController::fmAnswerLate, 1);
    controller.SetAnswerDelayMs(150);
    protocol.SetReplyTimeoutMs(50);
    EXPECT_EQ(-1, Request({ cmdVersion }));
    ASSERT_TRUE(WaitFor([this] { return protocol.Response().RespReady; }, 1000));
    // The next exchange clears it and waits for its own answer.
    uint8_t answer[kMaxFramePayload];
    protocol.SetReplyTimeoutMs(kDefaultReplyTimeoutMs);
    EXPECT_EQ(kCtrlSetSize, Request({ cmdReadSet }, answer));
}

TEST_F(ProtocolOverLink, AnswerDecodedInThePassWhereTheTimerFiresIsLate)
{
    controller.SetFault(TSimController::fmDropAnswer);
    protocol.SetReplyTimeoutMs(0); // the limit runs out in the first pass of the wait
    QTimer::singleShot(0, [this] { protocol.HandleRecord(Record(mtFrame, { 0x06, 0x04 })); });
    EXPECT_EQ(-1, Request({ cmdVersion }));
    EXPECT_TRUE(protocol.Response().RespReady);
}

TEST_F(ProtocolOverLink, ClosingTheWindowDuringAWaitEndsItWithMinusOne)
{
    controller.SetFault(TSimController::fmDropAnswer);
    clock.After(20, [this] {
        protocol.SetLink(nullptr);
        link.reset(); // the link object is gone while the exchange still waits
    });
    const int64_t start = clock.NowMs();
    EXPECT_EQ(-1, Request({ cmdVersion }));
    EXPECT_LT(clock.NowMs() - start, 100);
    EXPECT_FALSE(protocol.ExchangeBusy());
    protocol.ReceiveFrames(); // nothing left to touch
}

TEST_F(ProtocolOverLink, ARequestGivenUpOnNeverReachesTheControllerLater)
{
    // The adapter keeps saying it cannot take a message: the frame waits in the send ring
    // until the exchange gives up, and is taken back then.
    adapter->SetFaults(TSimAdapter::fTxBusy);
    protocol.SetReplyTimeoutMs(100);
    EXPECT_EQ(-1, Request({ cmdRestore }));
    adapter->SetFaults(TSimAdapter::fNone);
    protocol.SetReplyTimeoutMs(kDefaultReplyTimeoutMs);
    EXPECT_EQ(2, Request({ cmdVersion }));
    EXPECT_EQ(0, controller.CommandsReceived(cmdRestore));
}

TEST_F(ProtocolOverLink, RecordClaimingMoreThanCameIsDroppedAndTheAnswerStillDecodes)
{
    // While the answer is on its way, a record whose Len says 40 with two bytes behind it, then
    // a lone EOT. Were the missing bytes made up as zeros, the two would end a 39-byte answer.
    controller.SetFault(TSimController::fmAnswerLate, 1);
    controller.SetAnswerDelayMs(200);
    QTimer::singleShot(0, [this] {
        const uint8_t claims[] = { mtFrame, 40, fbAck, 0xAA };
        const uint8_t eot[] = { mtFrame, 1, fbEot };
        adapter->QueueMessage(claims, sizeof claims);
        adapter->QueueMessage(eot, sizeof eot);
    });
    uint8_t answer[kMaxFramePayload];
    ASSERT_EQ(2, Request({ cmdVersion }, answer));
    EXPECT_EQ(0x04, answer[0]);
    EXPECT_EQ(0x01, answer[1]);
}

TEST_F(ProtocolOverLink, LoadMemoryUnlocksAProtectedController)
{
    controller.SetPassword("clave");
    const TBytes load = { cmdLoadMemory, kLoadMemoryKey };
    TBytes unlock(1 + kPasswordFieldSize, 0);
    unlock[0] = cmdUnlock;
    uint8_t type = 0;
    ASSERT_EQ(0, Request(load, nullptr, &type));
    EXPECT_EQ(fbNak, type);
    ASSERT_EQ(0, Request(unlock, nullptr, &type)); // the empty password first
    EXPECT_EQ(fbNak, type);
    std::memcpy(&unlock[1], "clave", 5);
    ASSERT_EQ(0, Request(unlock, nullptr, &type));
    EXPECT_EQ(fbAck, type);
    ASSERT_EQ(0, Request(load, nullptr, &type));
    EXPECT_EQ(fbAck, type);
}

TEST_F(ProtocolOverLink, RestoreAsksForAReloadThroughTheTelemetry)
{
    ASSERT_EQ(0, Request({ cmdRestore }));
    protocol.Telemetry().TakeReloadRequest();
    EXPECT_TRUE(WaitFor([this] { return protocol.Telemetry().ReloadRequest(); }, 1000));
}

TEST_F(ProtocolOverLink, ModeGoesOutWithoutWaiting)
{
    const uint8_t manual[] = { cmdSetMode, 1 };
    ASSERT_TRUE(protocol.SendFrame(manual, 2));
    ASSERT_TRUE(WaitFor([this] { return controller.CommandsReceived(cmdSetMode) == 1; }, 1000));
    EXPECT_EQ(0x01, controller.ControlSet()[0] & 0x01);
}

// --- link status 2, with ticks given by hand ------------------------------------------------

TEST(ProtocolLinkStatus, NotReceivingEmptiesTheRingAndFailsAtOnce)
{
    auto adapter = std::make_shared<TSimAdapter>();
    TSimController controller(adapter);
    TKorvelComm::TTransports ts;
    ts.push_back(std::make_unique<TSimTransport>(adapter));
    auto link = std::make_unique<TKorvelComm>(std::move(ts), TKorvelComm::TOptions { false });
    // No receive routine: what arrives stays in the ring.
    TControllerProtocol protocol(link.get());

    auto tick = [&] {
        link->Tick();
        link->WaitIdle();
    };
    for (int i = 0; i < 20 && link->Phase() != phPoll; ++i)
        tick();
    controller.Advance(50); // one telemetry frame
    for (int i = 0; i < 4 && link->GetLinkStatus() != lkReceiving; ++i)
        tick();
    ASSERT_EQ(lkReceiving, link->GetLinkStatus());
    for (int i = 0; i < 100 && link->GetLinkStatus() != lkAdapterReady; ++i)
        tick();
    ASSERT_EQ(lkAdapterReady, link->GetLinkStatus());

    const uint8_t version[] = { cmdVersion };
    EXPECT_FALSE(protocol.SendFrame(version, 1));
    TSteppedClock clock; // the exchange must not wait at all
    protocol.SetWaitClock(&clock);
    EXPECT_EQ(-1, protocol.SendRequest(version, 1));
    EXPECT_EQ(0, clock.NowMs());
    TLinkMsg left;
    EXPECT_FALSE(link->DequeueRx(left)); // emptied
    EXPECT_EQ(0u, protocol.Telemetry().FramesHandled()); // and not decoded
    tick();
    tick();
    EXPECT_EQ(0, controller.CommandsReceived(cmdVersion));
    protocol.SetLink(nullptr);
    link.reset();
}

} // namespace
