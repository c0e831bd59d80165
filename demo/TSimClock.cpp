#include "demo/TSimClock.h"

#include "sim/TSimController.h"

TSimClock::TSimClock(TSimController& controller, std::function<int64_t()> nowMs)
    : FController(controller), FNowMs(std::move(nowMs))
{
    FElapsed.start();
}

int64_t TSimClock::NowMs() const
{
    return FNowMs ? FNowMs() : FElapsed.elapsed();
}

void TSimClock::Start()
{
    std::lock_guard lock(FLock);
    FLastMs = NowMs();
    FRunning = true;
}

void TSimClock::Stop()
{
    std::lock_guard lock(FLock);
    FRunning = false;
}

bool TSimClock::Running() const
{
    std::lock_guard lock(FLock);
    return FRunning;
}

void TSimClock::Step()
{
    int ms = 0;
    {
        std::lock_guard lock(FLock);
        if (!FRunning)
            return;
        const int64_t now = NowMs();
        ms = int(now - FLastMs);
        if (ms > 0)
            FLastMs = now;
    }
    // Outside the lock: the controller sends what fell due into the adapter.
    if (ms > 0)
        FController.Advance(ms);
}
