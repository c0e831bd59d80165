#pragma once

#include "protocol/TCommandCodes.h"

#include <cstdint>

// The last answer frame the decoder delivered. It is kept until the next answer
// overwrites it; an answer nobody waits for only overwrites it.
struct TResponse {
    uint8_t RespType = 0;                   // 0x06 (ACK) or 0x15 (NAK)
    uint8_t RespData[kMaxFramePayload] {};  // the answer's payload
    int32_t RespLen = 0;                    // payload bytes in RespData, 0 to 256
    bool RespReady = false;                 // an answer arrived since SendRequest cleared it
};
