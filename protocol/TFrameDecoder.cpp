#include "protocol/TFrameDecoder.h"

#include "protocol/TFrameSink.h"

void TFrameDecoder::Feed(const uint8_t* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        FeedByte(bytes[i]);
}

void TFrameDecoder::FeedByte(uint8_t b)
{
    switch (b) {
    case fbStx:
    case fbAck:
    case fbNak:
        // A start byte inside a frame drops the partial frame.
        FFrameType = b;
        FInFrame = true;
        FDlePending = false;
        FRxCount = 0;
        return;
    case fbEot:
        if (!FInFrame)
            return;
        FInFrame = false;
        if (!FSink)
            return;
        if (FFrameType == fbStx)
            FSink->OnTelemetryFrame(FRxBuf, FRxCount);
        else
            FSink->OnAnswerFrame(FFrameType, FRxBuf, FRxCount);
        return;
    case fbDle:
        // Taken inside or outside a frame; a control byte that follows leaves it pending.
        FDlePending = true;
        return;
    default:
        // 0x01 (SOH) is ordinary payload in this direction.
        if (!FInFrame)
            return;
        if (FRxCount >= kRxBufSize) {
            FInFrame = false; // a 257th byte abandons the frame; its EOT is then ignored
            return;
        }
        if (FDlePending) {
            FDlePending = false;
            b ^= 0xFF;
        }
        FRxBuf[FRxCount++] = b;
        return;
    }
}
