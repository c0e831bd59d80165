#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class TSimController;

// Moves the simulated controller's clock with real time: every few milliseconds it advances
// it by the time that really passed, so the telemetry keeps its rate whatever the timer's
// jitter. User-interface thread.
class TSimClock : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultPeriodMs = 20;

    explicit TSimClock(TSimController& controller, int periodMs = kDefaultPeriodMs,
                       QObject* parent = nullptr);

    void Start();
    void Stop();
    bool Running() const { return FTimer.isActive(); }
    // Advances the controller by the time passed since the last step.
    void Step();

private:
    TSimController& FController;
    QTimer FTimer;
    QElapsedTimer FElapsed;
    qint64 FLastMs = 0; // FElapsed's reading at the last step
};
