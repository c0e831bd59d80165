#pragma once

#include "ui/dialogs/TConfDialog.h"

// "LAMBDA CONTROL CONFIGURATION": how the controller reads its lambda probe (start-up time,
// inversion, rich, lean and ideal levels) and how it emulates a probe signal (always, on high
// regime, on cut-off). The three probe levels also set the main window's lambda bar and plot.
class TConfLambdaForm : public TConfDialog {
    Q_OBJECT
public:
    TConfLambdaForm(TControlSet& controlSet, TMainDisplays& displays, QWidget* parent = nullptr);

    // Enables the high-regime and cut-off emulation controls only for controller firmware
    // 0x0104 and later, from the version known at this moment; values and Flags are untouched.
    void FormActivate() override;

    // Check box handlers: Flags bits 6, 1, 4 and 5.
    void SondaInvClick();
    void ActSimClick();
    void ActSim2Click();
    void SimCutOffClick();

    // Slider handlers. The three probe levels also set the main window's lambda bar and plot.
    void TimArrSondaPositionChange();
    void SondaRicaPositionChange();
    void SondaPobrePositionChange();
    void SondaIdealPositionChange();
    void SimHTimPositionChange();
    void SimLTimPositionChange();
    void SimHLevPositionChange();
    void SimLLevPositionChange();
    void Sim2RPMPositionChange();
    void Sim2HTimPositionChange();
    void Sim2LTimPositionChange();
    void SimCutOffLevelPositionChange();
};
