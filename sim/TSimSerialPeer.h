#pragma once

#include <cstddef>
#include <cstdint>

class TSimAdapter;

// What sits on the simulated adapter's serial line: the simulated controller, or a byte pipe
// in tests. The adapter calls it without holding its own lock, so the peer may answer at once
// with TSimAdapter::FeedSerial.
class TSimSerialPeer {
public:
    virtual ~TSimSerialPeer() = default;
    // Bytes the PC sent to the controller, in order.
    virtual void OnSerialFromPc(const uint8_t* bytes, size_t count) = 0;
};
