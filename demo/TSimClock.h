#pragma once

#include <QElapsedTimer>

#include <cstdint>
#include <functional>
#include <mutex>

class TSimController;

// Moves the simulated controller's clock with real time: each step advances it by the time
// that really passed since the step before, so the telemetry keeps its rate however the steps
// fall. The simulated transport steps it before every call the link makes
// (TSimTransport::SetBeforeCall), so the controller has sent what fell due whenever the
// adapter is asked, and no timer of its own wakes the program only to move the clock. Any
// thread.
class TSimClock {
public:
    // `nowMs` reads the real time in milliseconds; empty reads a monotonic clock.
    explicit TSimClock(TSimController& controller, std::function<int64_t()> nowMs = {});

    TSimClock(const TSimClock&) = delete;
    TSimClock& operator=(const TSimClock&) = delete;

    // Steps move the controller from here on, counting from now.
    void Start();
    // Steps do nothing from here on.
    void Stop();
    bool Running() const;
    // Advances the controller by the time passed since the last step.
    void Step();
    // Step as a function for the transport's hook; the clock must outlive the link.
    std::function<void()> Stepper() { return [this] { Step(); }; }

private:
    int64_t NowMs() const;

    TSimController& FController;
    std::function<int64_t()> FNowMs;
    QElapsedTimer FElapsed;
    mutable std::mutex FLock; // guards the two below: steps come on the link thread
    bool FRunning = false;
    int64_t FLastMs = 0; // the time of the last step
};
