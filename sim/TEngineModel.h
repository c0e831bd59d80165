#pragma once

#include <cstdint>

// The car behind the simulated controller: an engine that runs a fixed idle / rev / cruise /
// decelerate cycle, and a narrow-band lambda probe that reads rich or lean from how the gas
// valve's opening compares with what the engine needs. Deterministic: every value follows from
// the steps taken, so tests and the demo see the same engine. Not thread-safe; the controller
// guards it.
class TEngineModel {
public:
    static constexpr int kStepMs = 10;       // one Step
    static constexpr int kCycleMs = 24000;   // idle, rev, cruise, decelerate, idle
    static constexpr int kProbeDelaySteps = 10; // gas takes 100 ms from valve to probe

    enum TFuel {
        fuGasoline, // the car's own injection runs; the gas valve plays no part
        fuGas,      // the gas valve's opening sets the mixture
        fuCut,      // fuel cut-off: nothing burns, the probe reads lean
    };

    // One 10 ms step with this valve opening (0 to 500) and fuel.
    void Step(double valvePosition, TFuel fuel);

    // The probe swings this far either side of `centreMv` (the controller's ideal level).
    void SetProbeCentre(double centreMv) { FProbeCentreMv = centreMv; }

    uint32_t TimeMs() const { return FTimeMs; }
    double Rpm() const { return FRpm; }
    double TpsVolts() const { return FTpsVolts; }
    double ProbeMillivolts() const { return FProbeMv; }
    // The valve opening that would give the ideal mixture at the present load.
    double NeededPosition() const { return FNeeded; }
    bool Rich() const { return FRich; }

private:
    void FollowCycle();

    uint32_t FTimeMs = 0;
    double FRpm = 850.0;
    double FTpsVolts = 0.45;
    double FNeeded = 140.0;
    double FProbeMv = 100.0;
    double FProbeCentreMv = 450.0;
    bool FRich = false;
    double FValveHistory[kProbeDelaySteps] {}; // valve openings of the last 100 ms
    int FHistoryPos = 0;
};
