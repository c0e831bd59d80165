#pragma once

#include "datalog/TDatalogWriter.h"
#include "protocol/TTelemetryView.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>

class QLabel;
class QStatusBar;
class TControlSet;
class TControllerProtocol;
class TOpcionesAvanzadas;
class TToolsMenu;

// Records the window's telemetry into a datalog from "Record log…" to "Stop recording". It
// stands between the telemetry handling and the window: every frame goes on to the window as
// before, and while recording its record is written as the window showed it, with the device
// copy's control position. It sees only the live frames: a log replayed meanwhile is shown
// behind it and is not recorded again. The status bar shows the time recorded and the frames; a write error
// stops the recording and is told once.
class TDatalogRecorder : public QObject, public TTelemetryView {
    Q_OBJECT
public:
    static constexpr int kTickMs = 250;

    TDatalogRecorder(TToolsMenu& menu, TControllerProtocol& protocol, const TControlSet& set,
                     TTelemetryView& window, QStatusBar& statusBar);

    void GrabarLog1Click();
    void DetenerGrabacion1Click();
    // The same without the file dialog.
    bool Start(const QString& path);
    void Stop();
    bool IsRecording() const { return FWriter.IsRecording(); }
    const TDatalogWriter& Writer() const { return FWriter; }
    // The status bar's recording indicator.
    QLabel* Indicator() const { return FIndicator; }
    QTimer& TickTimer() { return FTimer; }
    // The file name proposed for a recording started at the local time `now`.
    static QString ProposedName(const QDateTime& now);
    // The clock frames are timed on: the protocol's wait clock when it has one (the stepped
    // clock of tests), else a monotonic one.
    static int64_t ClockMs(const TControllerProtocol& protocol);

    // Seams for the save dialog (the chosen path, empty when cancelled) and the error box.
    std::function<QString(const QString& proposedPath)> ChooseSaveFile;
    std::function<void(const QString& message)> ShowError;
    // The path of the current control-set file, empty when there is none; its bare name goes
    // into the recording with the control set's hash.
    std::function<QString()> CurrentFile;
    // The stored options, which keep the folder of the last recording from one run to the
    // next; null or unset: the folder is kept for this run only.
    std::function<TOpcionesAvanzadas*()> Options;
    // Where "Record log…" proposes the file: the last recording's folder, else the home folder.
    QString Folder() const;

    // --- TTelemetryView: on to the window ---
    void ShowControllerText(QLatin1String text) override;
    void ShowFuel(bool onGas) override;
    void ShowLambda(int counts, QLatin1String millivolts) override;
    void ShowTps(int counts, QLatin1String volts) override;
    void ShowRpm(double thousands, QLatin1String rpm) override;
    void ShowValve(QLatin1String position, double rpm, double positionValue) override;
    void AddLambdaPoint(double time, double millivolts) override;
    void AddLambdaSimPoint(double time, double millivolts) override;
    void ClearLambdaSim() override;

private:
    int64_t NowMs() const;
    // The bare name of the current control-set file, worked out again only when it changed.
    const std::string& SetFileName();
    void RecordFrame(bool hasLambdaSim);
    void Tick();
    void ShowState();
    void CheckFailure();

    TToolsMenu& FMenu;
    TControllerProtocol& FProtocol;
    const TControlSet& FControlSet;
    TTelemetryView& FWindow;
    QLabel* FIndicator;
    QTimer FTimer;
    TDatalogWriter FWriter;
    QString FFolder; // where the last recording went, when no options store keeps it
    QString FSetPath;     // the current file when the last frame was recorded
    std::string FSetName; // its bare name
    int64_t FShownSecond = -1;
};
