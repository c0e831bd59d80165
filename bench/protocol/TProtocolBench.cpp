// What the controller protocol costs: the receive decoder's throughput, the encoding of the
// longest command, and one telemetry frame from record to record handled, alone and over the
// whole link (simulated adapter, link thread, hand-over, decoder, telemetry handling).
#include "link/TKorvelComm.h"
#include "protocol/CtrlSet.h"
#include "protocol/TCommandCodes.h"
#include "protocol/TControllerProtocol.h"
#include "protocol/TFrameDecoder.h"
#include "protocol/TFrameEncoder.h"
#include "protocol/TFrameSink.h"
#include "protocol/TTelemetry.h"
#include "protocol/TTelemetryView.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimController.h"
#include "sim/TSimTransport.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

class TCountingSink : public TFrameSink {
public:
    uint64_t frames = 0;
    void OnTelemetryFrame(const uint8_t* rxBuf, uint32_t count) override
    {
        frames += count + rxBuf[1];
    }
    void OnAnswerFrame(uint8_t, const uint8_t*, uint32_t count) override { frames += count; }
};

// Stores nothing; what the main window does with the values is the widgets' cost.
class TNullView : public TTelemetryView {
public:
    void ShowControllerText(QLatin1String t) override { benchmark::DoNotOptimize(t.data()); }
    void ShowFuel(bool) override {}
    void ShowLambda(int, QLatin1String t) override { benchmark::DoNotOptimize(t.data()); }
    void ShowTps(int, QLatin1String t) override { benchmark::DoNotOptimize(t.data()); }
    void ShowRpm(double, QLatin1String t) override { benchmark::DoNotOptimize(t.data()); }
    void ShowValve(QLatin1String t, double, double) override { benchmark::DoNotOptimize(t.data()); }
    void AddLambdaPoint(double, double) override {}
    void AddLambdaSimPoint(double, double) override {}
    void ClearLambdaSim() override {}
};

std::vector<uint8_t> TelemetryFrame(uint16_t lambda, uint16_t rpm)
{
    uint8_t payload[17] {};
    TTelemetry { .StatusFlags = 0x1A, .Lambda = lambda, .AperturaActual = 250, .Tps = 300,
                 .Rpm = rpm, .LambdaSim = 164 }
        .ToBytes(payload + 1);
    uint8_t out[TFrameEncoder::kMaxEncodedSize];
    const int n = TFrameEncoder::Encode(fbStx, payload, 17, out, int(sizeof out));
    return { out, out + n };
}

// About 64 KB of what the controller sends: telemetry with a read answer now and then.
std::vector<uint8_t> MixedStream()
{
    std::vector<uint8_t> stream;
    uint8_t set[kCtrlSetSize];
    for (int i = 0; i < kCtrlSetSize; ++i)
        set[i] = uint8_t(i * 7);
    uint8_t answer[TFrameEncoder::kMaxEncodedSize];
    const int answerLen = TFrameEncoder::Encode(fbAck, set, kCtrlSetSize, answer, int(sizeof answer));
    for (int i = 0; stream.size() < 64 * 1024; ++i) {
        const auto frame = TelemetryFrame(uint16_t(i % 1024), uint16_t(800 + i % 4000));
        stream.insert(stream.end(), frame.begin(), frame.end());
        if (i % 20 == 0)
            stream.insert(stream.end(), answer, answer + answerLen);
    }
    return stream;
}

// Every payload byte escaped: the decoder's slowest input.
std::vector<uint8_t> StuffedStream()
{
    std::vector<uint8_t> stream;
    const std::vector<uint8_t> payload(256, 0x10);
    uint8_t out[TFrameEncoder::kMaxEncodedSize];
    while (stream.size() < 64 * 1024) {
        const int n = TFrameEncoder::Encode(fbAck, payload.data(), 256, out, int(sizeof out));
        stream.insert(stream.end(), out, out + n);
    }
    return stream;
}

void DecodeStream(benchmark::State& state, const std::vector<uint8_t>& stream)
{
    TCountingSink sink;
    TFrameDecoder decoder(&sink);
    for (auto _ : state) {
        // Fed in record-sized pieces, as ReceiveFrames does.
        for (size_t off = 0; off < stream.size(); off += kLinkMsgDataSize) {
            const size_t n = std::min<size_t>(kLinkMsgDataSize, stream.size() - off);
            decoder.Feed(stream.data() + off, n);
        }
        benchmark::DoNotOptimize(sink.frames);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
}

void BM_DecoderMixedStream(benchmark::State& state)
{
    DecodeStream(state, MixedStream());
}
BENCHMARK(BM_DecoderMixedStream);

void BM_DecoderAllStuffed(benchmark::State& state)
{
    DecodeStream(state, StuffedStream());
}
BENCHMARK(BM_DecoderAllStuffed);

void BM_EncodeWorstCaseWrite(benchmark::State& state)
{
    uint8_t payload[1 + kCtrlSetSize];
    payload[0] = cmdWriteSet;
    std::fill(payload + 1, payload + sizeof payload, uint8_t(0x10));
    uint8_t encoded[TFrameEncoder::kMaxEncodedSize];
    TLinkMsg records[TFrameEncoder::kMaxRecords];
    for (auto _ : state) {
        const int n = TFrameEncoder::EncodeCommand(payload, int(sizeof payload), encoded, int(sizeof encoded));
        benchmark::DoNotOptimize(TFrameEncoder::Split(encoded, n, records, TFrameEncoder::kMaxRecords));
    }
}
BENCHMARK(BM_EncodeWorstCaseWrite);

// One type-3 record holding one telemetry frame, through HandleRecord (what ReceiveFrames does
// with each record) to the view, texts formatted.
void BM_TelemetryRecordToView(benchmark::State& state)
{
    TControllerProtocol protocol;
    TNullView view;
    protocol.SetTelemetryView(&view);
    protocol.SetControllerVersion(0x0104);
    const auto frame = TelemetryFrame(0x0210, 2500);
    TLinkMsg record;
    record.Type = mtFrame;
    record.Len = uint8_t(frame.size());
    std::copy(frame.begin(), frame.end(), record.Data);
    for (auto _ : state)
        protocol.HandleRecord(record);
    state.counters["frames"] = double(protocol.Telemetry().FramesHandled());
}
BENCHMARK(BM_TelemetryRecordToView);

// One telemetry frame over the whole road: the simulated controller sends it, the link thread
// polls and fetches it from the simulated adapter, hands it over, and ReceiveFrames decodes it
// and runs the telemetry handling. Ticks are given by hand (a poll pass every second tick).
void BM_TelemetryThroughLink(benchmark::State& state)
{
    auto adapter = std::make_shared<TSimAdapter>();
    TSimController controller(adapter);
    controller.SetTelemetryPeriodMs(50);
    TKorvelComm::TTransports ts;
    ts.push_back(std::make_unique<TSimTransport>(adapter));
    auto link = std::make_unique<TKorvelComm>(std::move(ts), TKorvelComm::TOptions { false });
    TControllerProtocol protocol(link.get());
    TNullView view;
    protocol.SetTelemetryView(&view);
    link->OnLinkData = [&] { protocol.ReceiveFrames(); };
    for (int i = 0; i < 20 && link->Phase() != phPoll; ++i) {
        link->Tick();
        link->WaitIdle();
    }
    if (link->Phase() != phPoll) {
        state.SkipWithError("the simulated link did not open");
        return;
    }
    for (auto _ : state) {
        const uint32_t before = protocol.Telemetry().FramesHandled();
        controller.Advance(50);
        while (protocol.Telemetry().FramesHandled() == before) {
            link->Tick();
            link->WaitIdle();
        }
    }
    protocol.SetLink(nullptr);
    link.reset();
}
BENCHMARK(BM_TelemetryThroughLink)->Unit(benchmark::kMicrosecond);

} // namespace
