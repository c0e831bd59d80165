// The frame codec. The input is a byte stream from the controller, fed to the receive decoder
// in chunks whose sizes the input also chooses: the frames it hands on must not depend on the
// chunking. Then a payload from the input goes through the encoder and back through the
// decoder, and through the split into link records.

#include "../support/FuzzCheck.h"

#include "protocol/TFrameDecoder.h"
#include "protocol/TFrameEncoder.h"
#include "protocol/TFrameSink.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <vector>

namespace {

struct TFrame {
    uint8_t type;
    std::vector<uint8_t> payload;
    bool operator==(const TFrame&) const = default;
};

// Keeps every frame the decoder hands on.
class TFrameLog : public TFrameSink {
public:
    std::vector<TFrame> frames;

    void OnTelemetryFrame(const uint8_t* rxBuf, uint32_t rxCount) override
    {
        Add(fbStx, rxBuf, rxCount);
    }
    void OnAnswerFrame(uint8_t type, const uint8_t* payload, uint32_t count) override
    {
        FUZZ_CHECK(type == fbAck || type == fbNak);
        Add(type, payload, count);
    }

private:
    void Add(uint8_t type, const uint8_t* payload, uint32_t count)
    {
        FUZZ_CHECK(count <= TFrameDecoder::kRxBufSize);
        frames.push_back({ type, std::vector<uint8_t>(payload, payload + count) });
    }
};

bool SameState(const TFrameDecoder& a, const TFrameDecoder& b)
{
    return a.InFrame() == b.InFrame() && a.DlePending() == b.DlePending()
        && a.RxCount() == b.RxCount() && a.FrameType() == b.FrameType()
        && std::memcmp(a.RxBuf(), b.RxBuf(), a.RxCount()) == 0;
}

void CheckChunking(FuzzedDataProvider& input)
{
    const std::vector<uint8_t> stream =
        input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 4096));
    TFrameLog whole;
    TFrameDecoder oneGo(&whole);
    oneGo.Feed(stream.data(), stream.size());

    TFrameLog pieces;
    TFrameDecoder chunked(&pieces);
    size_t at = 0;
    while (at < stream.size()) {
        const size_t n = input.ConsumeIntegralInRange<size_t>(0, stream.size() - at);
        chunked.Feed(stream.data() + at, n);
        at += n;
        if (input.remaining_bytes() == 0) {
            chunked.Feed(stream.data() + at, stream.size() - at);
            at = stream.size();
        }
    }
    FUZZ_CHECK(pieces.frames == whole.frames);
    FUZZ_CHECK(SameState(chunked, oneGo));
}

void CheckRoundTrip(FuzzedDataProvider& input)
{
    static constexpr uint8_t kStarts[] = { fbSoh, fbStx, fbAck, fbNak };
    const uint8_t start = input.PickValueInArray(kStarts);
    const int count = input.ConsumeIntegralInRange<int>(0, kMaxFramePayload + 8);
    std::vector<uint8_t> payload = input.ConsumeBytes<uint8_t>(size_t(count));
    payload.resize(size_t(count));
    const int capacity = input.ConsumeIntegralInRange<int>(0, TFrameEncoder::kMaxEncodedSize);

    std::vector<uint8_t> encoded(size_t(capacity) + 1);
    const int length =
        TFrameEncoder::Encode(start, payload.data(), count, encoded.data(), capacity);
    if (count > kMaxFramePayload || TFrameEncoder::EncodedSize(payload.data(), count) > capacity) {
        FUZZ_CHECK(length == -1);
        return;
    }
    FUZZ_CHECK(length == TFrameEncoder::EncodedSize(payload.data(), count));
    FUZZ_CHECK(encoded[0] == start && encoded[size_t(length) - 1] == fbEot);
    // Between start and EOT no byte may be mistaken for a control byte on the way back.
    for (int i = 1; i < length - 1; ++i) {
        FUZZ_CHECK(encoded[size_t(i)] != fbEot && encoded[size_t(i)] != fbStx
                   && encoded[size_t(i)] != fbAck && encoded[size_t(i)] != fbNak);
    }

    // The controller sees SOH frames as the decoder sees answers: decode it as one.
    if (start == fbSoh)
        encoded[0] = fbAck;
    TFrameLog log;
    TFrameDecoder decoder(&log);
    decoder.Feed(encoded.data(), size_t(length));
    FUZZ_CHECK(log.frames.size() == 1);
    FUZZ_CHECK(log.frames[0].type == encoded[0]);
    FUZZ_CHECK(log.frames[0].payload == payload);
    FUZZ_CHECK(!decoder.InFrame() && !decoder.DlePending());

    // Split into records and put together again.
    TLinkMsg records[TFrameEncoder::kMaxRecords];
    const int maxRecords = input.ConsumeIntegralInRange<int>(0, TFrameEncoder::kMaxRecords);
    const int parts = TFrameEncoder::Split(encoded.data(), length, records, maxRecords);
    const int needed = (length + kLinkMsgDataSize - 1) / kLinkMsgDataSize;
    if (needed > maxRecords) {
        FUZZ_CHECK(parts == -1);
        return;
    }
    FUZZ_CHECK(parts == needed);
    std::vector<uint8_t> joined;
    for (int i = 0; i < parts; ++i) {
        FUZZ_CHECK(records[i].Type == mtFrame);
        FUZZ_CHECK(records[i].Len > 0 && records[i].Len <= kLinkMsgDataSize);
        joined.insert(joined.end(), records[i].Data, records[i].Data + records[i].Len);
    }
    FUZZ_CHECK(joined == std::vector<uint8_t>(encoded.begin(), encoded.begin() + length));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    CheckRoundTrip(input);
    CheckChunking(input);
    return 0;
}
