#pragma once

#include <QLatin1String>

// What the telemetry handling shows of each frame once its record is kept and counted. The main
// window implements it and only puts the values into its widgets: every text arrives formatted. Texts are 8-bit,
// not owned, and valid only during the call.
class TTelemetryView {
public:
    virtual ~TTelemetryView() = default;

    // Status-bar panel 1: "Orbel V-1.04", or " Detectado" while the version is not known.
    virtual void ShowControllerText(QLatin1String text) = 0;
    // The fuel: LedGnc on and LedNafta off when on gas; the reverse on gasoline.
    virtual void ShowFuel(bool onGas) = 0;
    // The lambda probe: the bar LEV_Lambda in counts and the text VAL_Lambda in millivolts ("%0.0f").
    virtual void ShowLambda(int counts, QLatin1String millivolts) = 0;
    // The throttle: the bar LEV_Tps in counts and the text VAL_Tps in volts ("%0.2f").
    virtual void ShowTps(int counts, QLatin1String volts) = 0;
    // The engine speed: the gauge LEV_Rpm in thousands of rev/min and the text VAL_Rpm.
    virtual void ShowRpm(double thousands, QLatin1String rpm) = 0;
    // The valve: the text VAL_AperturaActual and the point (rpm, position) on iPlot1 channel 0.
    virtual void ShowValve(QLatin1String position, double rpm, double positionValue) = 0;
    // The lambda plot: the point (time, mV) on iPlot2 channel 0 ("Lambda probe").
    virtual void AddLambdaPoint(double time, double millivolts) = 0;
    // The emulated probe signal of controllers from 0x0104 on: the point on iPlot2 channel 1
    // ("Lambda simulation").
    virtual void AddLambdaSimPoint(double time, double millivolts) = 0;
    // Older controllers report no emulated signal: iPlot2 channel 1 is emptied.
    virtual void ClearLambdaSim() = 0;
};
