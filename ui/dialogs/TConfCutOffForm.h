#pragma once

#include "ui/dialogs/TConfDialog.h"

// "CUT-OFF CONFIGURATION": the lower and the upper fuel cut-off (active, TPS threshold, RPM
// threshold, valve position) and the throttle sensor's inversion. A change of a cut-off's RPM or
// valve position also moves that cut-off's marker and line on the main window's valve plot.
class TConfCutOffForm : public TConfDialog {
    Q_OBJECT
public:
    TConfCutOffForm(TControlSet& controlSet, TMainDisplays& displays, QWidget* parent = nullptr);

protected:
    void UpdateDisplays(TSliderRow& row) override;

private:
    TSliderRow* FLowerRpm;
    TSliderRow* FLowerPos;
    TSliderRow* FUpperRpm;
    TSliderRow* FUpperPos;
};
