#pragma once

#include "ui/dialogs/TConfDialog.h"

// "CONTROL SYSTEM CONFIGURATION": how the modulating gas valve is positioned, its positioning
// integration and the engine speeds of the slow and the quick probe reaction.
class TConfCtrlForm : public TConfDialog {
    Q_OBJECT
public:
    TConfCtrlForm(TControlSet& controlSet, TMainDisplays& displays, QWidget* parent = nullptr);

    // Slider handlers. The two RPM handlers keep the slow-probe speed from passing the
    // quick-probe speed when the user moves either slider.
    void PosIntegPositionChange();
    void RpmReacLPositionChange();
    void RpmReacHPositionChange();

private:
    TSliderRow* FRpmReacL; // slow-probe reaction
    TSliderRow* FRpmReacH; // quick-probe reaction
};
