#include "sim/TEngineModel.h"

#include <cmath>
#include <numbers>

namespace {

struct TKeyframe {
    int ms;
    double rpm;
    double tpsVolts;
};

// One pass of the drive cycle; values in between are interpolated linearly. The deceleration
// closes the throttle below 0.5 V at more than 1500 rev/min, where a lower cut-off with the
// simulator's default control set comes in.
constexpr TKeyframe kCycle[] = {
    { 0, 850, 0.45 },      // idle
    { 6000, 850, 0.45 },
    { 6500, 1500, 2.60 },  // tip-in
    { 9000, 4000, 2.60 },  // rev
    { 9800, 2600, 1.40 },  // back to cruise
    { 17000, 2500, 1.40 }, // cruise
    { 17300, 2400, 0.40 }, // throttle closed
    { 21000, 900, 0.40 },  // decelerate
    { 22000, 850, 0.45 },  // idle again
    { TEngineModel::kCycleMs, 850, 0.45 },
};

constexpr double kProbeSwingMv = 350.0; // either side of the centre
constexpr double kProbeTauMs = 40.0;    // the probe's own lag
constexpr int kPetrolHalfPeriodMs = 450; // the car's injection switches about once a second
constexpr double kIdleTps = 0.45;
constexpr double kFullTps = 2.60;

} // namespace

void TEngineModel::FollowCycle()
{
    const int t = int(FTimeMs % kCycleMs);
    int i = 0;
    while (kCycle[i + 1].ms <= t)
        ++i;
    const TKeyframe& a = kCycle[i];
    const TKeyframe& b = kCycle[i + 1];
    const double f = double(t - a.ms) / double(b.ms - a.ms);
    // A slight wobble so the idle does not look like a ruler.
    const double wobble = 20.0 * std::sin(2.0 * std::numbers::pi * FTimeMs / 700.0);
    FRpm = a.rpm + (b.rpm - a.rpm) * f + wobble;
    FTpsVolts = a.tpsVolts + (b.tpsVolts - a.tpsVolts) * f;

    double load = (FTpsVolts - kIdleTps) / (kFullTps - kIdleTps);
    load = load < 0 ? 0 : (load > 1 ? 1 : load);
    FNeeded = 140.0 + 220.0 * load + 20.0 * (FRpm - 850.0) / 3150.0;
}

void TEngineModel::Step(double valvePosition, TFuel fuel)
{
    FTimeMs += kStepMs;
    FollowCycle();

    // What reaches the probe now left the valve 100 ms ago.
    const double delayedValve = FValveHistory[FHistoryPos];
    FValveHistory[FHistoryPos] = valvePosition;
    FHistoryPos = (FHistoryPos + 1) % kProbeDelaySteps;

    switch (fuel) {
    case fuGasoline:
        FRich = (FTimeMs / kPetrolHalfPeriodMs) % 2 == 0;
        break;
    case fuGas:
        FRich = delayedValve > FNeeded;
        break;
    case fuCut:
        FRich = false;
        break;
    }
    double target = FProbeCentreMv + (FRich ? kProbeSwingMv : -kProbeSwingMv);
    target = target < 0 ? 0 : (target > 5000 ? 5000 : target);
    const double alpha = 1.0 - std::exp(-kStepMs / kProbeTauMs);
    FProbeMv += (target - FProbeMv) * alpha;
}
