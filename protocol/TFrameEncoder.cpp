#include "protocol/TFrameEncoder.h"

#include <cstring>

bool TFrameEncoder::IsEscaped(uint8_t b)
{
    switch (b) {
    case fbSoh:
    case fbStx:
    case fbEot:
    case fbAck:
    case fbDle:
    case fbNak:
        return true;
    default:
        return false;
    }
}

int TFrameEncoder::EncodedSize(const uint8_t* payload, int count)
{
    int size = 2;
    for (int i = 0; i < count; ++i)
        size += IsEscaped(payload[i]) ? 2 : 1;
    return size;
}

int TFrameEncoder::Encode(uint8_t start, const uint8_t* payload, int count, uint8_t* out,
                          int capacity)
{
    if (count < 0 || count > kMaxFramePayload || EncodedSize(payload, count) > capacity)
        return -1;
    int n = 0;
    out[n++] = start;
    for (int i = 0; i < count; ++i) {
        const uint8_t b = payload[i];
        if (IsEscaped(b)) {
            out[n++] = fbDle;
            out[n++] = uint8_t(b ^ 0xFF);
        } else {
            out[n++] = b;
        }
    }
    out[n++] = fbEot;
    return n;
}

int TFrameEncoder::Split(const uint8_t* encoded, int length, TLinkMsg* records, int maxRecords)
{
    const int needed = (length + kLinkMsgDataSize - 1) / kLinkMsgDataSize;
    if (length < 0 || needed > maxRecords)
        return -1;
    for (int r = 0; r < needed; ++r) {
        const int offset = r * kLinkMsgDataSize;
        const int part = length - offset < kLinkMsgDataSize ? length - offset : kLinkMsgDataSize;
        TLinkMsg& msg = records[r];
        msg = TLinkMsg {};
        msg.Type = mtFrame;
        msg.Len = uint8_t(part);
        std::memcpy(msg.Data, encoded + offset, size_t(part));
    }
    return needed;
}
