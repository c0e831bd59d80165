#pragma once

#include <QColor>
#include <QString>

// What the supervision timers show; the main window implements it.
class TSupervisionView {
public:
    virtual ~TSupervisionView() = default;
    virtual void SetLinkLed(bool on) = 0;                         // iLedCommSts
    virtual void SetAdapterText(const QString& text) = 0;         // status-bar panel 0
    virtual void SetControllerText(const QString& text) = 0;      // status-bar panel 1
    virtual void SetControlLed(const QColor& color, bool on) = 0; // LedCtrl
    virtual void ShowFirmwareWarning(const QString& text) = 0;    // modal "Warning" box
    // A notice that must not hold the supervision up: shown without waiting for the user.
    virtual void ShowNotice(const QString& text) = 0;
};
