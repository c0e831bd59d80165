#include "TSteppedClock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <algorithm>

void TSteppedClock::Every(int periodMs, std::function<void()> job)
{
    FJobs.push_back({ periodMs, FNowMs + periodMs, std::move(job), false, nullptr, false, false, false });
}

void TSteppedClock::After(int ms, std::function<void()> job)
{
    FJobs.push_back({ ms, FNowMs + ms, std::move(job), false, nullptr, false, true, false });
}

void TSteppedClock::Drive(QTimer& timer, std::function<void()> handler)
{
    timer.installEventFilter(this);
    FDriven.push_back(&timer);
    const int period = std::max(1, timer.interval());
    FJobs.push_back({ period, FNowMs + period, std::move(handler), true, &timer, false, false, false });
}

void TSteppedClock::Follow(std::function<void(int ms)> follower)
{
    FFollowers.push_back(std::move(follower));
}

// A driven timer's own expiry never reaches its slot; this clock calls the slot instead. (Qt
// drops the filter by itself when this clock goes first.)
bool TSteppedClock::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Timer
        && std::find(FDriven.begin(), FDriven.end(), watched) != FDriven.end())
        return true;
    return QObject::eventFilter(watched, event);
}

void TSteppedClock::Advance(int ms)
{
    if (ms <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    // Bounded by the clock, not by the steps taken here: a wait that runs below one of them
    // (a job's exchange) spends the same time.
    const int64_t until = FNowMs + ms;
    while (FNowMs < until)
        Step(int(std::min<int64_t>(until - FNowMs, FStepMs)));
}

bool TSteppedClock::RunUntil(const std::function<bool()>& done, int limitMs)
{
    const int64_t until = FNowMs + limitMs;
    for (;;) {
        if (done())
            return true;
        if (FNowMs >= until)
            return false;
        Step(FStepMs);
    }
}

void TSteppedClock::Step(int ms)
{
    ++FSteps;
    if (FEventsEvery <= 1 || FSteps % uint64_t(FEventsEvery) == 0)
        QCoreApplication::processEvents();
    FNowMs += ms;
    for (auto& follower : FFollowers)
        follower(ms);
    RunDue();
}

void TSteppedClock::RunDue()
{
    // By index: a job may add jobs while it runs.
    for (size_t i = 0; i < FJobs.size(); ++i) {
        if (FJobs[i].running || FJobs[i].done || FJobs[i].dueMs > FNowMs)
            continue;
        FJobs[i].done = FJobs[i].once;
        // Like a real timer that fell behind: one run, then the period starts again from now.
        FJobs[i].dueMs = FNowMs + FJobs[i].periodMs;
        if (FJobs[i].driven && (!FJobs[i].timer || !FJobs[i].timer->isActive()))
            continue;
        FJobs[i].running = true;
        // A copy: the job may add jobs, which moves the vector.
        const std::function<void()> run = FJobs[i].run;
        run();
        FJobs[i].running = false;
    }
}
