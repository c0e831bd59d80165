#pragma once

#include "protocol/TWriteRetry.h"

#include <QObject>
#include <QString>

#include <cstdint>

class TControlSet;
class TControllerProtocol;
class TControllerSession;
class TKorvelComm;
class TTelemetryMonitor;

// What the supervision timers of a window do with the controller session: TimerRefreshCtrlSet
// (every 100 ms) follows the link status, reads the control set when the controller is first
// heard or asks for it, asks for its firmware version and writes edits; Timer1 (every 500 ms)
// counts the controller's silence and drives the control LED. The window's timers call it,
// and show what its signals report. User-interface thread only.
class TSupervision : public QObject {
    Q_OBJECT
public:
    // The control LED: steady, lit or dark as the controller's status flags say, or blinking
    // while they leave it to the program.
    enum class TControlLed { Steady, Blinking };

    // The adapter firmware below which the user is warned once per run (1.71).
    static constexpr uint16_t kWarnBelowAdapterVersion = 0x0171;

    explicit TSupervision(TControllerSession& session, QObject* parent = nullptr);

    void TimerRefreshCtrlSetTimer();
    void Timer1Timer();

    // Main-window edits are committed 200 ms after the last one: two ticks of 100 ms.
    void RestartWriteDelay();
    bool WriteDelayElapsed();
    void CommitEdits();
    void SetRefreshIntervalMs(int ms) { FRefreshIntervalMs = ms; }
    // Whose record the control LED shows: the protocol's (null) or a replay's.
    void SetShownTelemetry(const TTelemetryMonitor* shown) { FShown = shown; }

    int32_t LastLinkStatus() const { return FLastLinkStatus; }
    int32_t WriteDelay() const { return FWriteDelay; }
    bool FirmwareWarned() const { return FFirmwareWarned; }
    const TWriteRetry& Writes() const { return FWrites; }

signals:
    void LinkLed(bool on);                       // the link LED, iLedCommSts
    void AdapterText(const QString& text);       // status-bar panel 0
    void ControllerText(const QString& text);    // status-bar panel 1
    void ControlLed(TControlLed mode, bool on);  // LedCtrl
    // The adapter's firmware is older than the program needs: told once per run.
    void FirmwareWarning(const QString& text);
    // The adapter is plugged in but this user may not open it: a notice that does not block,
    // until AccessNoticeGone.
    void AccessNotice(const QString& text);
    void AccessNoticeGone();
    // A notice that must not hold the supervision up: shown without waiting for the user.
    void Notice(const QString& text);

private:
    // Shows the adapter of the link's latest open, once its information block has been read;
    // false until then.
    bool ShowAdapterOfThisOpen(const TKorvelComm& link);
    void ShowAdapter(uint16_t version);
    void WriteStep();
    void FollowAccessDenials(const TKorvelComm* link, int32_t status);

    TControllerSession& FSession;
    TControllerProtocol& FProtocol;
    TControlSet& FControlSet;
    const TTelemetryMonitor* FShown = nullptr; // null: the protocol's telemetry
    TWriteRetry FWrites;
    int FRefreshIntervalMs = 100;
    int32_t FLastLinkStatus = 0;   // the link status acted on at the last tick
    int32_t FWriteDelay = 0;       // supervision ticks before main-window edits are committed
    uint32_t FShownOpen = 0;       // the link's open whose adapter the status bar shows
    bool SupervisionBusy = false; // a supervision tick is running
    bool FFirmwareWarned = false;  // the adapter firmware warning was shown in this run
    bool FControlLedOn = false;    // blinking phase of the yellow control LED
    uint32_t FAccessDenialsSeen = 0; // the link's count of refused plug-ins last acted on
    bool FAccessNoticeShown = false;
};
