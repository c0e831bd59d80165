#include "demo/TSimClock.h"

#include "sim/TSimController.h"

TSimClock::TSimClock(TSimController& controller, int periodMs, QObject* parent)
    : QObject(parent), FController(controller)
{
    FTimer.setInterval(periodMs);
    connect(&FTimer, &QTimer::timeout, this, &TSimClock::Step);
}

void TSimClock::Start()
{
    FElapsed.start();
    FLastMs = 0;
    FTimer.start();
}

void TSimClock::Stop()
{
    FTimer.stop();
}

void TSimClock::Step()
{
    if (!FElapsed.isValid())
        return;
    const qint64 now = FElapsed.elapsed();
    const int ms = int(now - FLastMs);
    FLastMs = now;
    if (ms > 0)
        FController.Advance(ms);
}
