#include "protocol/TCommandCodes.h"
#include "protocol/TFrameDecoder.h"
#include "protocol/TFrameEncoder.h"
#include "protocol/TFrameSink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

TBytes Repeat(uint8_t b, int n)
{
    return TBytes(size_t(n), b);
}

TBytes Cat(std::initializer_list<TBytes> parts)
{
    TBytes all;
    for (const TBytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::string Hex(const TBytes& b)
{
    std::string s;
    char buf[4];
    for (uint8_t x : b) {
        std::snprintf(buf, sizeof buf, "%02X ", x);
        s += buf;
    }
    return s;
}

TBytes Encode(const TBytes& payload)
{
    uint8_t out[TFrameEncoder::kMaxEncodedSize];
    const int n = TFrameEncoder::EncodeCommand(payload.data(), int(payload.size()), out, int(sizeof out));
    return n < 0 ? TBytes {} : TBytes(out, out + n);
}

// --- encoder --------------------------------------------------------------------------------

struct TEncodeRow {
    const char* name;
    TBytes payload;
    TBytes encoded;
};

const TEncodeRow kEncodes[] = {
    { "set mode manual", { 0x18, 0x01 }, { 0x01, 0x18, 0x10, 0xFE, 0x04 } },
    { "set mode automatic", { 0x18, 0x00 }, { 0x01, 0x18, 0x00, 0x04 } },
    { "version", { 0xFF }, { 0x01, 0xFF, 0x04 } },
    { "read", { 0x20 }, { 0x01, 0x20, 0x04 } },
    { "restore", { 0x22 }, { 0x01, 0x22, 0x04 } },
    { "load memory", { 0x23, 0x55 }, { 0x01, 0x23, 0x55, 0x04 } },
    { "unlock, empty password", Cat({ { 0x30 }, Repeat(0, 11) }),
      Cat({ { 0x01, 0x30 }, Repeat(0, 11), { 0x04 } }) },
    { "every escaped byte", { 0x01, 0x02, 0x04, 0x06, 0x10, 0x15 },
      { 0x01, 0x10, 0xFE, 0x10, 0xFD, 0x10, 0xFB, 0x10, 0xF9, 0x10, 0xEF, 0x10, 0xEA, 0x04 } },
    { "their complements are plain", { 0xFE, 0xFD, 0xFB, 0xF9, 0xEF, 0xEA, 0x03, 0x05 },
      { 0x01, 0xFE, 0xFD, 0xFB, 0xF9, 0xEF, 0xEA, 0x03, 0x05, 0x04 } },
    { "empty payload", {}, { 0x01, 0x04 } },
};

TEST(TFrameEncoder, EncodesCommandFrames)
{
    for (const TEncodeRow& row : kEncodes) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Hex(row.encoded), Hex(Encode(row.payload)));
        EXPECT_EQ(int(row.encoded.size()),
                  TFrameEncoder::EncodedSize(row.payload.data(), int(row.payload.size())));
    }
}

TEST(TFrameEncoder, UnstuffedLengthsOfEveryCommand)
{
    struct {
        const char* name;
        TBytes payload;
        size_t length;
    } const rows[] = {
        { "0x20", { cmdReadSet }, 3 },
        { "0x22", { cmdRestore }, 3 },
        { "0xFF", { cmdVersion }, 3 },
        { "0x18", { cmdSetMode, 0 }, 4 },
        { "0x23", { cmdLoadMemory, kLoadMemoryKey }, 4 },
        { "0x30", Cat({ { cmdUnlock }, Repeat('a', 10), { 0 } }), 14 },
        { "0x31", Cat({ { cmdSetPassword }, Repeat('a', 33) }), 36 },
        { "0x21", Cat({ { cmdWriteSet }, Repeat(0x20, 48) }), 51 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.length, Encode(row.payload).size());
    }
}

TEST(TFrameEncoder, RefusesTooLongPayloadsAndTooSmallBuffers)
{
    const TBytes big = Repeat(0x20, kMaxFramePayload + 1);
    uint8_t out[TFrameEncoder::kMaxEncodedSize];
    EXPECT_EQ(-1, TFrameEncoder::EncodeCommand(big.data(), int(big.size()), out, int(sizeof out)));
    const TBytes worst = Repeat(0x10, kMaxFramePayload);
    EXPECT_EQ(TFrameEncoder::kMaxEncodedSize,
              TFrameEncoder::EncodeCommand(worst.data(), int(worst.size()), out, int(sizeof out)));
    const uint8_t manual[] = { 0x18, 0x01 };
    EXPECT_EQ(-1, TFrameEncoder::EncodeCommand(manual, 2, out, 4));
    EXPECT_EQ(5, TFrameEncoder::EncodeCommand(manual, 2, out, 5));
}

TEST(TFrameEncoder, WorstCaseWriteIsSplitIntoRecordsThatNeverOverrun)
{
    const TBytes payload = Cat({ { cmdWriteSet }, Repeat(0x10, 48) });
    const TBytes encoded = Encode(payload);
    // 0x21 itself needs no escape: 1 + 48 x 2 + SOH and EOT. So 99 bytes, never more.
    ASSERT_EQ(99u, encoded.size());

    TLinkMsg records[TFrameEncoder::kMaxRecords];
    const int n = TFrameEncoder::Split(encoded.data(), int(encoded.size()), records,
                                       TFrameEncoder::kMaxRecords);
    ASSERT_EQ(2, n);
    EXPECT_EQ(mtFrame, records[0].Type);
    EXPECT_EQ(64, records[0].Len);
    EXPECT_EQ(mtFrame, records[1].Type);
    EXPECT_EQ(35, records[1].Len);
    TBytes joined(records[0].Data, records[0].Data + records[0].Len);
    joined.insert(joined.end(), records[1].Data, records[1].Data + records[1].Len);
    EXPECT_EQ(encoded, joined);

    EXPECT_EQ(-1, TFrameEncoder::Split(encoded.data(), int(encoded.size()), records, 1));
    EXPECT_EQ(1, TFrameEncoder::Split(encoded.data(), 64, records, 1));
    EXPECT_EQ(9, TFrameEncoder::kMaxRecords);
}

// --- decoder --------------------------------------------------------------------------------

struct TFrame {
    uint8_t type;
    TBytes payload;
    bool operator==(const TFrame&) const = default;
};

class TRecordingSink : public TFrameSink {
public:
    std::vector<TFrame> frames;
    void OnTelemetryFrame(const uint8_t* rxBuf, uint32_t rxCount) override
    {
        frames.push_back({ fbStx, TBytes(rxBuf, rxBuf + rxCount) });
    }
    void OnAnswerFrame(uint8_t type, const uint8_t* payload, uint32_t count) override
    {
        frames.push_back({ type, TBytes(payload, payload + count) });
    }
};

std::string Describe(const std::vector<TFrame>& frames)
{
    std::string s;
    for (const TFrame& f : frames)
        s += "[" + Hex({ f.type }) + "| " + Hex(f.payload) + "] ";
    return s;
}

struct TDecodeRow {
    const char* name;
    std::vector<TBytes> records; // fed one after the other
    std::vector<TFrame> frames;  // what the sink must see
};

const TDecodeRow kDecodes[] = {
    { "ACK with the version", { { 0x06, 0x10, 0xFB, 0x01, 0x04 } }, { { 0x06, { 0x04, 0x01 } } } },
    { "NAK without payload", { { 0x15, 0x04 } }, { { 0x15, {} } } },
    { "frame split over two records", { { 0x06, 0x10 }, { 0xFB, 0x01, 0x04 } },
      { { 0x06, { 0x04, 0x01 } } } },
    { "frame split byte by byte", { { 0x06 }, { 0x10 }, { 0xFB }, { 0x01 }, { 0x04 } },
      { { 0x06, { 0x04, 0x01 } } } },
    { "two frames in one record", { { 0x06, 0x33, 0x04, 0x15, 0x04 } },
      { { 0x06, { 0x33 } }, { 0x15, {} } } },
    { "STX dropped at the ACK", { { 0x02, 0x11, 0x22, 0x06, 0x33, 0x04 } }, { { 0x06, { 0x33 } } } },
    { "telemetry", { { 0x02, 0x00, 0x08, 0x00, 0x04 } }, { { 0x02, { 0x00, 0x08, 0x00 } } } },
    { "bytes and EOT outside a frame ignored", { { 0x33, 0x04, 0x44, 0x06, 0x04 } },
      { { 0x06, {} } } },
    { "SOH inside a frame is payload", { { 0x06, 0x01, 0x04 } }, { { 0x06, { 0x01 } } } },
    { "DLE before EOT has no effect on it", { { 0x06, 0x55, 0x10, 0x04 } }, { { 0x06, { 0x55 } } } },
    { "a start byte clears a pending DLE", { { 0x06, 0x10, 0x06, 0x55, 0x04 } },
      { { 0x06, { 0x55 } } } },
    { "a DLE left before EOT does not reach the next frame",
      { { 0x06, 0x10, 0x04 }, { 0x10, 0x77 }, { 0x06, 0xAA, 0x04 } },
      { { 0x06, {} }, { 0x06, { 0xAA } } } },
    { "every escaped byte", { { 0x06, 0x10, 0xFE, 0x10, 0xFD, 0x10, 0xFB, 0x10, 0xF9, 0x10, 0xEF, 0x10, 0xEA, 0x04 } },
      { { 0x06, { 0x01, 0x02, 0x04, 0x06, 0x10, 0x15 } } } },
    { "256 payload bytes are kept", { Cat({ { 0x06 }, Repeat(0x20, 256), { 0x04 } }) },
      { { 0x06, Repeat(0x20, 256) } } },
    { "a 257th byte abandons the frame and its EOT", { Cat({ { 0x06 }, Repeat(0x20, 257), { 0x04 } }) },
      {} },
    { "the decoder recovers at the next start byte",
      { Cat({ { 0x02 }, Repeat(0x20, 300), { 0x04 } }), { 0x15, 0x04 } }, { { 0x15, {} } } },
};

TEST(TFrameDecoder, DecodesTheControllersFrames)
{
    for (const TDecodeRow& row : kDecodes) {
        SCOPED_TRACE(row.name);
        TRecordingSink sink;
        TFrameDecoder decoder(&sink);
        for (const TBytes& record : row.records)
            decoder.Feed(record.data(), record.size());
        EXPECT_EQ(Describe(row.frames), Describe(sink.frames));
    }
}

TEST(TFrameDecoder, StateAfterAnAbandonedFrame)
{
    TRecordingSink sink;
    TFrameDecoder decoder(&sink);
    const TBytes frame = Cat({ { 0x06 }, Repeat(0x20, 257) });
    decoder.Feed(frame.data(), frame.size());
    EXPECT_FALSE(decoder.InFrame());
    EXPECT_EQ(256u, decoder.RxCount());
}

TEST(TFrameDecoder, EveryPayloadSurvivesEncodeAndDecode)
{
    // Each single byte, then a stream of all 256 values in a row.
    std::vector<TBytes> payloads;
    for (int b = 0; b < 256; ++b)
        payloads.push_back({ uint8_t(b) });
    TBytes all;
    for (int b = 0; b < 256; ++b)
        all.push_back(uint8_t(b));
    payloads.push_back(all);

    for (const TBytes& payload : payloads) {
        SCOPED_TRACE(Hex(TBytes(payload.begin(), payload.begin() + std::min<size_t>(4, payload.size()))));
        uint8_t out[TFrameEncoder::kMaxEncodedSize];
        const int n = TFrameEncoder::Encode(fbAck, payload.data(), int(payload.size()), out, int(sizeof out));
        ASSERT_GT(n, 0);
        TRecordingSink sink;
        TFrameDecoder decoder(&sink);
        decoder.Feed(out, size_t(n));
        ASSERT_EQ(1u, sink.frames.size());
        EXPECT_EQ(payload, sink.frames[0].payload);
    }
}

} // namespace
