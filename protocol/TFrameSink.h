#pragma once

#include <cstdint>

// Where the receive decoder hands complete frames (at the EOT of a frame).
class TFrameSink {
public:
    // An STX frame ended. `rxBuf` is the decoder's whole 256-byte payload buffer: positions at
    // or beyond `rxCount` still hold what earlier frames left there (the telemetry reads bytes 1 to
    // 16 without checking the length).
    virtual void OnTelemetryFrame(const uint8_t* rxBuf, uint32_t rxCount) = 0;
    // An ACK (0x06) or NAK (0x15) frame ended with `count` payload bytes.
    virtual void OnAnswerFrame(uint8_t type, const uint8_t* payload, uint32_t count) = 0;

protected:
    ~TFrameSink() = default;
};
