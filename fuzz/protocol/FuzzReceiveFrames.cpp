// Telemetry and answers through the whole receive road: records from the input are queued on
// the simulated adapter, fetched by the link engine (without its thread) into its receive ring
// and drained by TControllerProtocol::ReceiveFrames, which decodes them, keeps the last answer
// and shows each telemetry frame on a view. A second decoder fed the same bytes directly tells
// what the protocol must have seen.
//
// Records may carry a length byte above the bytes they hold; such a record must not reach the
// decoder.

#include "../support/FuzzCheck.h"

#include "link/TKorvelComm.h"
#include "protocol/TControllerProtocol.h"
#include "protocol/TFrameSink.h"
#include "protocol/TTelemetryView.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimTransport.h"

#include <QCoreApplication>

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

constexpr int kMaxBatches = 64;
constexpr int kMaxTicksPerBatch = 64;

// What the decoder must have handed on: the number of telemetry frames, the record of the
// last one and the last answer.
class TExpected : public TFrameSink {
public:
    uint32_t telemetryFrames = 0;
    TTelemetry lastRecord;
    TResponse lastAnswer;

    void OnTelemetryFrame(const uint8_t* rxBuf, uint32_t) override
    {
        ++telemetryFrames;
        lastRecord = TTelemetry::FromBytes(rxBuf + 1);
    }
    void OnAnswerFrame(uint8_t type, const uint8_t* payload, uint32_t count) override
    {
        lastAnswer.RespType = type;
        std::memcpy(lastAnswer.RespData, payload, count);
        lastAnswer.RespLen = int32_t(count);
    }
};

bool IsNumber(QLatin1String text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || c == '.'))
            return false;
    return true;
}

// The main window's displays as far as the values go: every text a number, every value finite.
class TCheckingView : public TTelemetryView {
public:
    void ShowControllerText(QLatin1String text) override { FUZZ_CHECK(!text.isEmpty()); }
    void ShowFuel(bool) override {}
    void ShowLambda(int counts, QLatin1String mv) override { Check(counts, mv); }
    void ShowTps(int counts, QLatin1String volts) override { Check(counts, volts); }
    void ShowRpm(double thousands, QLatin1String rpm) override { Check(thousands, rpm); }
    void ShowValve(QLatin1String position, double rpm, double value) override
    {
        Check(value, position);
        FUZZ_CHECK(std::isfinite(rpm));
    }
    void AddLambdaPoint(double t, double mv) override { FUZZ_CHECK(std::isfinite(t + mv)); }
    void AddLambdaSimPoint(double t, double mv) override { FUZZ_CHECK(std::isfinite(t + mv)); }
    void ClearLambdaSim() override {}

private:
    static void Check(double value, QLatin1String text)
    {
        FUZZ_CHECK(std::isfinite(value) && value >= 0);
        FUZZ_CHECK(IsNumber(text));
    }
};

// One record as the adapter uploads it; its frame bytes also go to the expected decoder when
// the protocol is to see them.
void QueueRecord(FuzzedDataProvider& input, TSimAdapter& adapter, TFrameDecoder& expected)
{
    const size_t held = input.ConsumeIntegralInRange<size_t>(0, kLinkMsgDataSize);
    std::vector<uint8_t> msg(2 + held);
    msg[0] = input.ConsumeIntegralInRange<int>(0, 7) == 0 ? input.ConsumeIntegral<uint8_t>()
                                                          : uint8_t(mtFrame);
    const uint8_t len = input.ConsumeIntegral<uint8_t>();
    msg[1] = len;
    const std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(held);
    std::copy(bytes.begin(), bytes.end(), msg.begin() + 2);
    adapter.QueueMessage(msg.data(), msg.size());
    if (msg[0] == mtFrame && len <= held)
        expected.Feed(msg.data() + 2, len);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    auto adapter = std::make_shared<TSimAdapter>();
    TKorvelComm::TTransports transports;
    transports.push_back(std::make_unique<TSimTransport>(adapter));
    TKorvelComm::TOptions options;
    options.autoTick = false;
    options.ownThread = false;
    TKorvelComm link(std::move(transports), options);
    TControllerProtocol protocol(&link);
    TCheckingView view;
    protocol.SetTelemetryView(&view);
    protocol.SetControllerVersion(input.ConsumeIntegral<uint16_t>());
    link.OnLinkData = [&] { protocol.ReceiveFrames(); };

    TExpected expected;
    TFrameDecoder expectedDecoder(&expected);
    for (int batch = 0; batch < kMaxBatches && input.remaining_bytes() > 0; ++batch) {
        const int records = input.ConsumeIntegralInRange<int>(1, 12);
        for (int i = 0; i < records; ++i)
            QueueRecord(input, *adapter, expectedDecoder);
        for (int i = input.ConsumeIntegralInRange<int>(0, 5); i > 0; --i)
            protocol.Telemetry().CountSilenceTick();
        for (int t = 0; t < kMaxTicksPerBatch && adapter->PendingMessages() > 0; ++t) {
            link.Tick();
            link.WaitIdle();
        }
        FUZZ_CHECK(adapter->PendingMessages() == 0);
    }
    // The last records may wait for the next poll pass.
    for (int t = 0; t < 2; ++t) {
        link.Tick();
        link.WaitIdle();
    }

    const TTelemetryMonitor& telemetry = protocol.Telemetry();
    FUZZ_CHECK(telemetry.FramesHandled() == expected.telemetryFrames);
    if (expected.telemetryFrames > 0) {
        FUZZ_CHECK(telemetry.Record() == expected.lastRecord);
        if (expected.lastRecord.RequestFlags & rfReloadSet)
            FUZZ_CHECK(telemetry.ReloadRequest());
    }
    const TResponse& answer = protocol.Response();
    FUZZ_CHECK(answer.RespType == expected.lastAnswer.RespType);
    FUZZ_CHECK(answer.RespLen == expected.lastAnswer.RespLen);
    FUZZ_CHECK(std::memcmp(answer.RespData, expected.lastAnswer.RespData,
                           size_t(answer.RespLen)) == 0);
    return 0;
}
