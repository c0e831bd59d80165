#pragma once

#include "link/TLinkMsg.h"
#include "protocol/TCommandCodes.h"

#include <cstdint>

// The controller frame format in the sending direction: start byte, stuffed payload, EOT.
// Pure functions, no link: the request exchange and the tests use the same code.
class TFrameEncoder {
public:
    // A payload of kMaxFramePayload bytes, all of them escaped, plus start and EOT.
    static constexpr int kMaxEncodedSize = 2 + 2 * kMaxFramePayload;
    // Records needed for the longest frame when it is cut into 64-byte pieces.
    static constexpr int kMaxRecords = (kMaxEncodedSize + kLinkMsgDataSize - 1) / kLinkMsgDataSize;

    // True for the payload bytes sent as DLE and their complement: 01 02 04 06 10 15.
    static bool IsEscaped(uint8_t b);
    // Bytes that Encode will produce for this payload.
    static int EncodedSize(const uint8_t* payload, int count);
    // Writes `start`, the stuffed payload and EOT to `out`. Returns the byte count, or -1 when
    // `count` is outside 0 to kMaxFramePayload or `out` is too small (nothing useful written).
    static int Encode(uint8_t start, const uint8_t* payload, int count, uint8_t* out, int capacity);
    // A command frame: Encode with SOH.
    static int EncodeCommand(const uint8_t* payload, int count, uint8_t* out, int capacity)
    {
        return Encode(fbSoh, payload, count, out, capacity);
    }
    // Cuts an encoded frame into consecutive type-3 records of at most 64 bytes each, so that
    // no record's Data is ever overrun; the controller reads one byte stream, so a frame may
    // span records. Returns the number of records, or -1 when `maxRecords` is too few.
    static int Split(const uint8_t* encoded, int length, TLinkMsg* records, int maxRecords);
};
