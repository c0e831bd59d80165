#pragma once

#include "datalog/TDatalogReplay.h"
#include "protocol/TTelemetryMonitor.h"
#include "protocol/TTelemetryView.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QAction;
class QLabel;
class QSlider;
class QToolBar;
class QWidget;
class TMainForm;
class TToolsMenu;

// "Replay log…": plays a datalog onto the main window's instruments as they showed it live. It
// stands between the telemetry handling and the window: while a replay runs, the live frames
// stop here (the link, the supervision's silence count and a recording before this point go
// on), and each row of the log is turned back into its frame and shown through the same
// telemetry handling, so the gauges, LED bars, LEDs and plots take exactly the calls a live
// frame makes. The control LED follows the replayed frames too.
//
// While it runs, a bar below the instruments shows a "REPLAY" marker, play/pause, the speed,
// the position and stop; the window's edits are off (the edit guard, the valve controls and
// every item that changes or sends the control set), so nothing goes to the controller.
// Stopping gives the window back to the live frames at once.
class TReplayControl : public QObject, public TTelemetryView {
    Q_OBJECT
public:
    static constexpr int kTickMs = 25;

    TReplayControl(TMainForm& window, TToolsMenu& menu);

    void ReproducirLog1Click();
    // The same without the file dialog: false after telling why the log cannot be replayed.
    bool Start(const QString& path);
    void Stop();
    bool IsReplaying() const { return FActive; }
    // The timer's handler: shows the rows that fell due and moves the bar on.
    void Tick();

    void PlayPause();
    void SetSpeed(int speed);
    // Jumps to `ms` from the log's start.
    void SeekTo(int64_t ms);

    const TDatalogReplay& Replay() const { return FReplay; }
    QTimer& TickTimer() { return FTimer; }
    // The bar and its parts, built on the first replay: null until then.
    QToolBar* Bar() const { return FBar; }
    QLabel* Marker() const { return FMarker; }
    QLabel* SkippedLabel() const { return FSkipped; }
    QSlider* PositionSlider() const { return FSlider; }
    QAction* PlayAction() const { return FPlay; }
    QAction* StopAction() const { return FStop; }

    // Seams for the file dialog (the chosen path, empty when cancelled; `folder` to start in:
    // the last log replayed in this run, else the last recording's) and the error box.
    std::function<QString(const QString& folder)> ChooseOpenFile;
    std::function<void(const QString& message)> ShowError;

    // --- TTelemetryView: live frames on to the window unless a replay runs ---
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
    void BuildBar();
    // Whether a call reaches the window: always without a replay, else only the replay's own.
    bool Passes() const { return !FActive || FFeeding; }
    void ShowRow(const TDatalogRow& row);
    void ClearPlots();
    void SetWindowEditable(bool editable);
    void ShowPosition();
    // The play/pause button's icon: pause while playing, play otherwise.
    void ShowPlaying();
    int64_t NowMs() const;

    TMainForm& FWindow;
    TTelemetryView& FView; // the window's instruments
    TDatalogReplay FReplay;
    TTelemetryMonitor FMonitor; // the replay's telemetry handling: its record and plot time
    QTimer FTimer;
    QToolBar* FBar = nullptr;
    QLabel* FMarker = nullptr;
    QAction* FPlay = nullptr;
    std::vector<QAction*> FSpeeds;
    QSlider* FSlider = nullptr;
    QLabel* FTime = nullptr;
    QLabel* FSkipped = nullptr;
    QAction* FStop = nullptr;
    QString FFolder; // where the last log replayed in this run was chosen
    // The window's controls that edit or send, and whether each was enabled before the replay.
    std::vector<std::pair<QAction*, bool>> FEditActions;
    std::vector<std::pair<QWidget*, bool>> FEditWidgets;
    bool FEditsWereEnabled = false;
    bool FActive = false;
    bool FFeeding = false; // a replayed frame is being shown
    std::optional<bool> FShownPlaying; // the state the play/pause icon shows
};
