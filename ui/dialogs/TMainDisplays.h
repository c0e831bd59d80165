#pragma once

#include <cstdint>

// What the configuration dialogs and the refresh after a read need of the main window: its
// edit guard, the controller's firmware version and the displays that follow the lambda and
// cut-off settings. TMainForm implements it.
class TMainDisplays {
public:
    virtual ~TMainDisplays() = default;

    // The edit guard: while the supervision timer TimerRefreshCtrlSet is disabled, every
    // editing handler ignores changes.
    virtual bool EditsEnabled() const = 0;
    virtual void SetEditsEnabled(bool enabled) = 0;

    // 0 until the controller has told it.
    virtual uint16_t ControllerVersion() const = 0;

    // LEV_Lambda's maximum and iPlot2's Y span: 1024 and 5000 for 5-volt probes, else 205 and
    // 1000.
    virtual void SetLambdaScale(bool fiveVolt) = 0;
    // Ends of LEV_Lambda's first (SondaPobre) and second (SondaRica) colour sections, counts.
    virtual void SetLambdaSection1End(double counts) = 0;
    virtual void SetLambdaSection2End(double counts) = 0;
    // iPlot2's limit lines: 0 SondaPobre, 1 SondaRica, 2 SondaIdeal, in millivolts.
    virtual void SetLambdaLimit(int limit, double millivolts) = 0;
    // iPlot1's cut-off marker (channel 4 lower, 5 upper) and its vertical line (annotation 0
    // lower, 1 upper) from (rpm, position) up to the top of the plot.
    enum TCutOff { coLower = 0, coUpper = 1 };
    virtual void SetCutOff(TCutOff which, double rpm, double position) = 0;
};
