#pragma once

// One stepped clock for a whole test rig: the link's ticks, the window's timers, the simulated
// controller's clock and every wait of the user-interface thread (a request exchange, the
// load-progress animation) run on it, so no test waits on the wall clock.
//
// Time moves only in Advance (or in a wait of the code under test, through Pause), in steps of
// StepMs(). Each step processes pending events once, moves the clock, hands the step to every
// follower (the controller's clock) and runs what fell due, in the order it was added. A
// periodic job is never re-entered: a supervision tick that waits for an answer lets the link
// tick and the controller run below it, as the real timers do, but not itself.

#include "protocol/TWaitClock.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

class TSteppedClock : public QObject, public TWaitClock {
public:
    static constexpr int kDefaultStepMs = 5;

    TSteppedClock() = default;
    TSteppedClock(const TSteppedClock&) = delete;
    TSteppedClock& operator=(const TSteppedClock&) = delete;

    // Runs `job` every `periodMs`, the first time `periodMs` from now.
    void Every(int periodMs, std::function<void()> job);
    // Runs `job` once, `ms` from now.
    void After(int ms, std::function<void()> job);
    // A timer of the code under test: it no longer fires on real time; while it is active,
    // `handler` (its timeout slot) runs every interval of this clock instead.
    void Drive(QTimer& timer, std::function<void()> handler);
    // Gets every step's milliseconds (the simulated controller's clock).
    void Follow(std::function<void(int ms)> follower);

    int64_t NowMs() const override { return FNowMs; }
    void Pause(int ms) override { Advance(ms); }

    // Lets `ms` pass in steps; 0 processes pending events once.
    void Advance(int ms);
    // Steps until `done` holds or `limitMs` have passed on this clock; whether it held.
    bool RunUntil(const std::function<bool()>& done, int limitMs);

    int StepMs() const { return FStepMs; }
    void SetStepMs(int ms) { FStepMs = ms > 0 ? ms : 1; }
    // Steps that process no events (0: every step does), for long runs where only the clock and
    // the link matter.
    void SetEventsEvery(int steps) { FEventsEvery = steps; }
    uint64_t Steps() const { return FSteps; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TJob {
        int periodMs;
        int64_t dueMs;
        std::function<void()> run;
        bool driven;            // runs for a timer of the code under test
        QPointer<QTimer> timer; // that timer; null once it is gone
        bool running;
        bool once;
        bool done;
    };

    void Step(int ms);
    void RunDue();

    std::vector<TJob> FJobs;
    std::vector<std::function<void(int)>> FFollowers;
    std::vector<QTimer*> FDriven;
    int64_t FNowMs = 0;
    int FStepMs = kDefaultStepMs;
    int FEventsEvery = 0;
    uint64_t FSteps = 0;
};
