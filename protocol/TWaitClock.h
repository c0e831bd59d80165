#pragma once

#include <cstdint>

// Where the user-interface thread's waits take their time from. The program waits on the wall
// clock; a stepped clock (tests, the soak) lets the waits run on simulated time, so a request
// that times out after 1600 ms costs no real time at all.
class TWaitClock {
public:
    virtual ~TWaitClock() = default;
    // Milliseconds on this clock; never goes back.
    virtual int64_t NowMs() const = 0;
    // Lets `ms` pass on this clock while pending events run.
    virtual void Pause(int ms) = 0;
};
