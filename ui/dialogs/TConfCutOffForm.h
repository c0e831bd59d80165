#pragma once

#include "ui/dialogs/TConfDialog.h"

// "CUT-OFF CONFIGURATION": the lower and the upper fuel cut-off (active, TPS threshold, RPM
// threshold, valve position) and the throttle sensor's inversion. A change of a cut-off's RPM or
// valve position also moves that cut-off's marker and line on the main window's valve plot.
class TConfCutOffForm : public TConfDialog {
    Q_OBJECT
public:
    TConfCutOffForm(TControlSet& controlSet, TMainDisplays& displays, QWidget* parent = nullptr);

    // Check box handlers: Flags bits 7, 2 and 3.
    void TpsInvClick();
    void CutOffLActClick();
    void CutOffHActClick();

    // Slider handlers. Those of a cut-off's RPM and valve position also move its marker and
    // line on the valve plot.
    void CutOffLTpsPositionChange();
    void CutOffHTpsPositionChange();
    void CutOffLRpmPositionChange();
    void CutOffHRpmPositionChange();
    void CutOffLPosPositionChange();
    void CutOffHPosPositionChange();

private:
    // The marker stands at the cut-off's stored (rpm, position); each handler reads the other
    // coordinate from the working copy.
    void ShowLowerCutOff();
    void ShowUpperCutOff();
};
