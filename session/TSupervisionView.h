#pragma once

#include <QString>

// What the supervision timers show; the main window implements it.
class TSupervisionView {
public:
    // The control LED: steady, lit or dark as the controller's status flags say, or blinking
    // while they leave it to the program.
    enum class TControlLed { Steady, Blinking };

    virtual ~TSupervisionView() = default;
    virtual void SetLinkLed(bool on) = 0;                        // iLedCommSts
    virtual void SetAdapterText(const QString& text) = 0;        // status-bar panel 0
    virtual void SetControllerText(const QString& text) = 0;     // status-bar panel 1
    virtual void SetControlLed(TControlLed mode, bool on) = 0;   // LedCtrl
    virtual void ShowFirmwareWarning(const QString& text) = 0;   // modal "Warning" box
    // The adapter is plugged in but this user may not open it: a notice that does not block.
    virtual void ShowAccessNotice(const QString& text) = 0;
    virtual void HideAccessNotice() = 0;
    // A notice that must not hold the supervision up: shown without waiting for the user.
    virtual void ShowNotice(const QString& text) = 0;
};
