#pragma once

#include "protocol/TCommandCodes.h"

#include <cstddef>
#include <cstdint>

class TFrameSink;

// The receive decoder RxDecoder: unstuffs the controller's byte stream and hands
// each complete frame to its sink. Its state carries over from one Feed to the next, so a
// frame may span records and one record may hold several frames. Only start bytes reset it.
class TFrameDecoder {
public:
    static constexpr uint32_t kRxBufSize = kMaxFramePayload;

    explicit TFrameDecoder(TFrameSink* sink = nullptr) : FSink(sink) {}

    void SetSink(TFrameSink* sink) { FSink = sink; }
    void Feed(const uint8_t* bytes, size_t count);
    void FeedByte(uint8_t b);

    // The decoder state, read-only.
    uint8_t FrameType() const { return FFrameType; }
    bool InFrame() const { return FInFrame; }
    bool DlePending() const { return FDlePending; }
    uint32_t RxCount() const { return FRxCount; }
    const uint8_t* RxBuf() const { return FRxBuf; }

private:
    TFrameSink* FSink;
    uint8_t FFrameType = 0;         // start byte of the frame being received: 02, 06 or 15
    bool FInFrame = false;          // a start byte has been seen and its EOT has not
    bool FDlePending = false;       // a DLE waits to complement the next payload byte
    uint8_t FRxBuf[kRxBufSize] {};  // unstuffed payload of the current frame
    uint32_t FRxCount = 0;          // payload bytes held in FRxBuf
};
