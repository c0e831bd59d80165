#pragma once

#include "ui/dialogs/TConfDialog.h"

// "CONTROL SYSTEM CONFIGURATION": how the modulating gas valve is positioned, its positioning
// integration and the engine speeds of the slow and the quick probe reaction.
class TConfCtrlForm : public TConfDialog {
    Q_OBJECT
public:
    TConfCtrlForm(TControlSet& controlSet, TMainDisplays& displays, QWidget* parent = nullptr);

protected:
    void ApplyRule(TSliderRow& row) override;

private:
    TSliderRow* FRpmReacL; // slow-probe reaction, never above FRpmReacH after a user's move
    TSliderRow* FRpmReacH; // quick-probe reaction
};
