#include "protocol/CtrlSet.h"
#include "protocol/TCommandCodes.h"
#include "protocol/TFrameDecoder.h"
#include "protocol/TFrameEncoder.h"
#include "protocol/TFrameSink.h"
#include "protocol/TTelemetry.h"
#include "sim/TSimController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

struct TAnswer {
    uint8_t type;
    TBytes payload;
};

// The simulated controller on a bare serial line, read back with the protocol's own decoder.
class TLine : public TFrameSink {
public:
    TSimController controller { [this](const uint8_t* b, size_t n) { Receive(b, n); } };
    std::vector<TAnswer> answers;
    std::vector<TTelemetry> telemetry;
    std::vector<TBytes> telemetryPayloads;

    // Sends a command frame; returns the answers it produced at once.
    std::vector<TAnswer> Request(const TBytes& payload)
    {
        uint8_t frame[TFrameEncoder::kMaxEncodedSize];
        const int n = TFrameEncoder::EncodeCommand(payload.data(), int(payload.size()), frame,
                                                   int(sizeof frame));
        const size_t before = answers.size();
        controller.OnSerialFromPc(frame, size_t(n));
        return { answers.begin() + long(before), answers.end() };
    }
    TBytes Read()
    {
        const auto a = Request({ cmdReadSet });
        return a.size() == 1 ? a[0].payload : TBytes {};
    }

private:
    void Receive(const uint8_t* b, size_t n)
    {
        std::lock_guard lock(FLock);
        FDecoder.Feed(b, n);
    }
    void OnTelemetryFrame(const uint8_t* rxBuf, uint32_t count) override
    {
        telemetry.push_back(TTelemetry::FromBytes(rxBuf + 1));
        telemetryPayloads.emplace_back(rxBuf, rxBuf + count);
    }
    void OnAnswerFrame(uint8_t type, const uint8_t* payload, uint32_t count) override
    {
        answers.push_back({ type, TBytes(payload, payload + count) });
    }
    std::mutex FLock;
    TFrameDecoder FDecoder { this };
};

TBytes Field(const std::string& password)
{
    TBytes f(kPasswordFieldSize, 0);
    std::copy(password.begin(), password.end(), f.begin());
    return f;
}

TBytes Cat(std::initializer_list<TBytes> parts)
{
    TBytes all;
    for (const TBytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

TBytes Unlock(const std::string& pw)
{
    return Cat({ { cmdUnlock }, Field(pw) });
}

TBytes SetPassword(const std::string& current, const std::string& fresh, const std::string& confirm)
{
    return Cat({ { cmdSetPassword }, Field(current), Field(fresh), Field(confirm) });
}

TBytes Block(uint8_t fill)
{
    return TBytes(kCtrlSetSize, fill);
}

TBytes Write(const TBytes& block)
{
    return Cat({ { cmdWriteSet }, block });
}

const TBytes kLoad = { cmdLoadMemory, kLoadMemoryKey };

// --- commands -------------------------------------------------------------------------------

struct TCommandRow {
    const char* name;
    std::function<void(TLine&)> setup;   // earlier traffic and settings
    TBytes request;
    int answers;                         // 0 or 1
    uint8_t type;
    std::function<TBytes(TLine&)> payload; // the expected answer payload
};

const TBytes kNoPayload;

std::vector<TCommandRow> CommandRows()
{
    auto none = [](TLine&) {};
    auto empty = [](TLine&) { return kNoPayload; };
    auto protect = [](TLine& l) { l.controller.SetPassword("secret"); };
    return {
        { "version", none, { cmdVersion }, 1, fbAck, [](TLine&) { return TBytes { 0x04, 0x01 }; } },
        { "version 1.03", [](TLine& l) { l.controller.SetVersion(0x0103); }, { cmdVersion }, 1,
          fbAck, [](TLine&) { return TBytes { 0x03, 0x01 }; } },
        { "read", none, { cmdReadSet }, 1, fbAck, [](TLine&) {
              const auto d = TSimController::DefaultControlSet();
              return TBytes(d.begin(), d.end());
          } },
        { "write", none, Write(Block(0x10)), 1, fbAck, empty },
        { "write of 47 bytes", none, Cat({ { cmdWriteSet }, TBytes(47, 0) }), 1, fbNak, empty },
        { "restore", none, { cmdRestore }, 1, fbAck, empty },
        { "load, unprotected", none, kLoad, 1, fbAck, empty },
        { "load, wrong key", none, { cmdLoadMemory, 0x54 }, 1, fbNak, empty },
        { "load, protected and locked", protect, kLoad, 1, fbNak, empty },
        { "load after unlock", [](TLine& l) { l.controller.SetPassword("secret"); l.Request(Unlock("secret")); },
          kLoad, 1, fbAck, empty },
        { "load relocks", [](TLine& l) { l.controller.SetPassword("secret"); l.Request(Unlock("secret")); l.Request(kLoad); },
          kLoad, 1, fbNak, empty },
        { "unlock, right password", protect, Unlock("secret"), 1, fbAck, empty },
        { "unlock, wrong password", protect, Unlock("Secret"), 1, fbNak, empty },
        { "unlock, empty password, unprotected", none, Unlock(""), 1, fbAck, empty },
        { "set password", none, SetPassword("", "abc", "abc"), 1, fbAck, empty },
        { "set password, wrong current", protect, SetPassword("nope", "abc", "abc"), 1, fbNak, empty },
        { "set password, confirmation differs", protect, SetPassword("secret", "abc", "abd"), 1, fbNak, empty },
        { "mode has no answer", none, { cmdSetMode, 1 }, 0, 0, empty },
        { "unknown command", none, { 0x42 }, 1, fbNak, empty },
    };
}

TEST(TSimController, AnswersEveryCommand)
{
    for (const TCommandRow& row : CommandRows()) {
        SCOPED_TRACE(row.name);
        TLine line;
        row.setup(line);
        const int before = line.controller.CommandsReceived(row.request[0]);
        const auto got = line.Request(row.request);
        ASSERT_EQ(size_t(row.answers), got.size());
        if (row.answers) {
            EXPECT_EQ(row.type, got[0].type);
            EXPECT_EQ(row.payload(line), got[0].payload);
        }
        EXPECT_EQ(before + 1, line.controller.CommandsReceived(row.request[0]));
        EXPECT_EQ(row.request, line.controller.LastCommand());
    }
}

TEST(TSimController, WriteStoresAndRestoreBringsBackThePreviousSet)
{
    TLine line;
    line.Request(Write(Block(0x10)));
    EXPECT_EQ(Block(0x10), line.Read());
    line.Request(Write(Block(0x22)));
    line.Request({ cmdRestore });
    EXPECT_EQ(Block(0x10), line.Read());
}

TEST(TSimController, RestoreRaisesTheReloadBitUntilTheNextRead)
{
    TLine line;
    line.controller.Advance(100);
    line.Request({ cmdRestore });
    line.controller.Advance(100);
    line.Read();
    line.controller.Advance(100);
    ASSERT_EQ(6u, line.telemetry.size());
    EXPECT_EQ(0, line.telemetry[1].RequestFlags & 0x80);
    EXPECT_EQ(0x80, line.telemetry[2].RequestFlags & 0x80);
    EXPECT_EQ(0x80, line.telemetry[3].RequestFlags & 0x80);
    EXPECT_EQ(0, line.telemetry[4].RequestFlags & 0x80);
}

TEST(TSimController, ModeSetsTheManualBit)
{
    TLine line;
    line.Request({ cmdSetMode, 1 });
    EXPECT_EQ(0x01, line.Read()[0] & 0x01);
    line.Request({ cmdSetMode, 0 });
    EXPECT_EQ(0x00, line.Read()[0] & 0x01);
}

TEST(TSimController, EmptyNewPasswordRemovesTheProtection)
{
    TLine line;
    line.controller.SetPassword("secret");
    EXPECT_TRUE(line.controller.Locked());
    ASSERT_EQ(fbAck, line.Request(SetPassword("secret", "", ""))[0].type);
    EXPECT_FALSE(line.controller.Protected());
    EXPECT_EQ(fbAck, line.Request(kLoad)[0].type);
    EXPECT_EQ(fbAck, line.Request(kLoad)[0].type);
}

TEST(TSimController, TenCharacterPasswordFillsTheField)
{
    TLine line;
    line.controller.SetPassword("0123456789");
    EXPECT_EQ(fbNak, line.Request(Unlock("012345678"))[0].type);
    EXPECT_EQ(fbAck, line.Request(Unlock("0123456789"))[0].type);
}

TEST(TSimController, LongFrameIsAbandoned)
{
    TLine line;
    TBytes frame = { fbSoh, cmdVersion };
    frame.insert(frame.end(), 300, 0x20);
    frame.push_back(fbEot);
    line.controller.OnSerialFromPc(frame.data(), frame.size());
    EXPECT_TRUE(line.answers.empty());
    EXPECT_EQ(1, line.controller.FramesAbandoned());
    EXPECT_EQ(1u, line.Request({ cmdVersion }).size());
}

TEST(TSimController, FrameSplitAcrossCallsIsOneCommand)
{
    TLine line;
    const uint8_t a[] = { fbSoh, cmdSetMode, fbDle };
    const uint8_t b[] = { 0xFE, fbEot };
    line.controller.OnSerialFromPc(a, sizeof a);
    line.controller.OnSerialFromPc(b, sizeof b);
    EXPECT_EQ((TBytes { cmdSetMode, 0x01 }), line.controller.LastCommand());
}

// --- faults ---------------------------------------------------------------------------------

struct TFaultRow {
    const char* name;
    TSimController::TFaultMode mode;
    int count;
    std::vector<std::string> outcome; // per request: "ack XX YY", "nak", "none"
    bool writeTakesEffect;
};

std::string Outcome(const std::vector<TAnswer>& a)
{
    if (a.empty())
        return "none";
    std::string s = a[0].type == fbAck ? "ack" : "nak";
    char buf[4];
    for (uint8_t b : a[0].payload) {
        std::snprintf(buf, sizeof buf, " %02X", b);
        s += buf;
    }
    return s;
}

TEST(TSimController, Faults)
{
    const TFaultRow rows[] = {
        { "none", TSimController::fmNone, -1, { "ack 04 01", "ack 04 01" }, true },
        { "silent", TSimController::fmSilent, -1, { "none", "none" }, false },
        { "NAK every request", TSimController::fmNakAll, -1, { "nak", "nak" }, false },
        { "corrupt a byte", TSimController::fmCorruptAnswer, -1, { "ack FB 01", "ack FB 01" }, true },
        { "drop every answer", TSimController::fmDropAnswer, -1, { "none", "none" }, true },
        { "drop one answer", TSimController::fmDropAnswer, 1, { "none", "ack 04 01" }, true },
        { "answer late", TSimController::fmAnswerLate, -1, { "none", "none" }, true },
    };
    for (const TFaultRow& row : rows) {
        SCOPED_TRACE(row.name);
        TLine line;
        line.controller.SetFault(row.mode, row.count);
        for (const std::string& expected : row.outcome)
            EXPECT_EQ(expected, Outcome(line.Request({ cmdVersion })));
        line.Request(Write(Block(0x33)));
        line.controller.SetFault(TSimController::fmNone);
        EXPECT_EQ(row.writeTakesEffect, line.Read() == Block(0x33));
    }
}

TEST(TSimController, LateAnswerComesWithTheClock)
{
    TLine line;
    line.controller.SetTelemetryPeriodMs(0);
    line.controller.SetFault(TSimController::fmAnswerLate);
    line.controller.SetAnswerDelayMs(100);
    EXPECT_TRUE(line.Request({ cmdVersion }).empty());
    line.controller.Advance(60);
    EXPECT_TRUE(line.answers.empty());
    line.controller.Advance(40);
    ASSERT_EQ(1u, line.answers.size());
    EXPECT_EQ("ack 04 01", Outcome(line.answers));
}

// --- telemetry ------------------------------------------------------------------------------

TEST(TSimController, OneFramePerPeriodHoweverTheClockIsSliced)
{
    TLine whole, sliced;
    whole.controller.Advance(1000);
    for (int t = 0; t < 1000;) {
        const int step = std::min(7 + t % 5, 1000 - t); // uneven slices, like a jittery timer
        sliced.controller.Advance(step);
        t += step;
    }
    EXPECT_EQ(20u, whole.telemetry.size());
    EXPECT_EQ(whole.telemetryPayloads, sliced.telemetryPayloads);
}

TEST(TSimController, TelemetryRate)
{
    struct {
        const char* name;
        int periodMs;
        size_t framesPerSecond;
    } const rows[] = { { "default", 50, 20 }, { "100 ms", 100, 10 }, { "off", 0, 0 } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TLine line;
        line.controller.SetTelemetryPeriodMs(row.periodMs);
        line.controller.Advance(1000);
        EXPECT_EQ(row.framesPerSecond, line.telemetry.size());
        EXPECT_EQ(int(row.framesPerSecond), line.controller.TelemetrySent());
    }
}

TEST(TSimController, LongStallSendsALimitedCatchUp)
{
    TLine line;
    line.controller.Advance(60000);
    EXPECT_EQ(size_t(TSimController::kMaxCatchUpFrames), line.telemetry.size());
    line.controller.Advance(50);
    EXPECT_EQ(size_t(TSimController::kMaxCatchUpFrames) + 1, line.telemetry.size());
}

TEST(TSimController, FramesCarryAPayloadOfSeventeenBytes)
{
    TLine line;
    line.controller.Advance(100);
    ASSERT_EQ(2u, line.telemetryPayloads.size());
    EXPECT_EQ(17u, line.telemetryPayloads[0].size());
    EXPECT_EQ(uint8_t(line.telemetryPayloads[0][0] + 1), line.telemetryPayloads[1][0]);
}

TEST(TSimController, GasAfterTheProbeStartUpTime)
{
    TLine line; // the default set waits 5 s
    for (int i = 0; i < 120; ++i)
        line.controller.Advance(50);
    for (size_t i = 0; i < line.telemetry.size(); ++i) {
        const bool gas = line.telemetry[i].StatusFlags & 0x08;
        const bool steady = line.telemetry[i].StatusFlags & 0x10;
        const bool expected = (i + 1) * 50 >= 5000;
        ASSERT_EQ(expected, gas) << "frame " << i;
        ASSERT_EQ(expected, steady) << "frame " << i;
        if (!gas) {
            ASSERT_EQ(0, line.telemetry[i].AperturaActual) << "frame " << i;
        }
    }
}

TEST(TSimController, ValveHuntsBetweenItsLimitsAndTheProbeSwitches)
{
    TLine line;
    CtrlSet set = CtrlSet::FromBytes(TSimController::DefaultControlSet().data());
    set.TimArrSonda = 1;
    set.AperturaPosMin = 150;
    set.AperturaPosMax = 380;
    set.Flags = 0; // no cut-off: the closed loop runs all the time
    TSimController::TBytes bytes;
    set.ToBytes(bytes.data());
    line.controller.SetControlSet(bytes);
    line.controller.Advance(2000);
    line.telemetry.clear();
    for (int i = 0; i < 24000 / 50; ++i)
        line.controller.Advance(50);

    int switches = 0;
    bool rich = line.telemetry.front().Lambda > set.SondaIdeal;
    for (const TTelemetry& t : line.telemetry) {
        ASSERT_TRUE(t.StatusFlags & 0x08);
        ASSERT_GE(t.AperturaActual, 150);
        ASSERT_LE(t.AperturaActual, 380);
        const bool nowRich = t.Lambda > set.SondaIdeal;
        switches += nowRich != rich;
        rich = nowRich;
        // The LED follows the probe on gas.
        ASSERT_EQ(nowRich, (t.StatusFlags & 0x02) != 0);
    }
    // About a switch a second at least, over a whole drive cycle.
    EXPECT_GT(switches, 24);
    const auto [lo, hi] = std::minmax_element(line.telemetry.begin(), line.telemetry.end(),
        [](const TTelemetry& a, const TTelemetry& b) { return a.Rpm < b.Rpm; });
    EXPECT_LT(lo->Rpm, 900);
    EXPECT_GT(hi->Rpm, 3800);
}

TEST(TSimController, LambdaSimFromVersion104)
{
    for (uint16_t version : { uint16_t(0x0103), uint16_t(0x0104) }) {
        SCOPED_TRACE(version);
        TLine line;
        CtrlSet set = CtrlSet::FromBytes(TSimController::DefaultControlSet().data());
        set.Flags = 0x02; // emulation on
        set.SimLTim = 10;
        set.SimLLev = 20;
        set.SimHTim = 10;
        set.SimHLev = 200;
        TSimController::TBytes bytes;
        set.ToBytes(bytes.data());
        line.controller.SetControlSet(bytes);
        line.controller.SetVersion(version);
        line.controller.Advance(1000);
        std::vector<uint16_t> seen;
        for (const TTelemetry& t : line.telemetry)
            seen.push_back(t.LambdaSim);
        if (version < 0x0104) {
            EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](uint16_t v) { return v == 0; }));
        } else {
            EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), 20));
            EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), 200));
        }
    }
}

TEST(TSimController, SilentSendsNoTelemetry)
{
    TLine line;
    line.controller.SetFault(TSimController::fmSilent);
    line.controller.Advance(1000);
    EXPECT_TRUE(line.telemetry.empty());
}

// OnSerialFromPc comes on the link thread while Advance runs on the user-interface thread.
TEST(TSimController, RequestsAndClockFromTwoThreads)
{
    TLine line;
    constexpr int kRequests = 2000;
    std::thread link([&] {
        const uint8_t frame[] = { fbSoh, cmdVersion, fbEot };
        for (int i = 0; i < kRequests; ++i)
            line.controller.OnSerialFromPc(frame, sizeof frame);
    });
    for (int i = 0; i < 200; ++i)
        line.controller.Advance(50);
    link.join();
    EXPECT_EQ(size_t(kRequests), line.answers.size());
    EXPECT_EQ(200u, line.telemetry.size());
}

} // namespace
