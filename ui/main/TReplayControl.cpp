#include "ui/main/TReplayControl.h"

#include "protocol/TControllerRules.h"
#include "protocol/TFixedTexts.h"
#include "settings/TComponentTranslator.h"
#include "settings/TOpcionesAvanzadas.h"
#include "ui/datalog/TDatalogRecorder.h"
#include "ui/datalog/TToolsMenu.h"
#include "ui/main/TLiveMonitor.h"
#include "ui/main/TMainActions.h"
#include "ui/main/TMainForm.h"
#include "session/TSupervision.h"
#include "ui/widgets/TPlot.h"
#include "ui/widgets/TSlider.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QToolBar>

#include <algorithm>
#include <climits>

#include "settings/Gettext.h"

namespace {

QString Clock(int64_t ms)
{
    const int64_t s = ms / 1000;
    const QString minutes = QStringLiteral("%1:%2")
                                .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                                .arg(s % 60, 2, 10, QLatin1Char('0'));
    return s >= 3600 ? QStringLiteral("%1:%2").arg(s / 3600).arg(minutes) : minutes;
}

} // namespace

TReplayControl::TReplayControl(TMainForm& window, TToolsMenu& menu)
    : QObject(&window)
    , FWindow(window)
    , FView(window)
{
    setObjectName(QStringLiteral("ReplayControl"));
    FTimer.setInterval(kTickMs);
    connect(&FTimer, &QTimer::timeout, this, &TReplayControl::Tick);
    menu.ReproducirLog1->setEnabled(true);
    connect(menu.ReproducirLog1, &QAction::triggered, this, &TReplayControl::ReproducirLog1Click);

    ChooseOpenFile = [this](const QString& folder) {
        return QFileDialog::getOpenFileName(&FWindow, _("Replay log"), folder,
                                            _("Datalogs (*.csv);;All files (*)"));
    };
    ShowError = [this](const QString& message) {
        QMessageBox::critical(&FWindow, QString::fromLatin1(TFixedTexts::AppTitle), message);
    };
}

void TReplayControl::BuildBar()
{
    // Built on the first replay: the window starts without it.
    FBar = new QToolBar(&FWindow);
    FBar->setObjectName(QStringLiteral("ReplayBar"));
    FBar->setMovable(false);
    FBar->setFloatable(false);
    FBar->toggleViewAction()->setEnabled(false);
    FWindow.addToolBar(Qt::BottomToolBarArea, FBar);

    FMarker = new QLabel(QStringLiteral(N_("REPLAY")), FBar);
    FMarker->setObjectName(QStringLiteral("ReplayMarker"));
    FMarker->setStyleSheet(QStringLiteral(
        "background: #c00000; color: white; font-weight: bold; padding: 2px 8px"));
    FBar->addWidget(FMarker);

    QStyle* style = FBar->style();
    FPlay = FBar->addAction(QString()); // its icon follows the replay (ShowPlaying)
    FPlay->setObjectName(QStringLiteral("ReplayPlay"));
    FPlay->setToolTip(QStringLiteral(N_("Play or pause")));
    connect(FPlay, &QAction::triggered, this, &TReplayControl::PlayPause);

    auto* speeds = new QActionGroup(FBar);
    for (int speed : TDatalogReplay::kSpeeds) {
        QAction* a = FBar->addAction(QStringLiteral("%1\u00D7").arg(speed));
        a->setObjectName(QStringLiteral("ReplaySpeed%1").arg(speed));
        a->setCheckable(true);
        a->setChecked(speed == 1);
        // A number and the multiplication sign read the same in every language.
        TP_Ignore(a);
        TP_Ignore(FBar->widgetForAction(a));
        speeds->addAction(a);
        connect(a, &QAction::triggered, this, [this, speed] { SetSpeed(speed); });
        FSpeeds.push_back(a);
    }

    FSlider = new QSlider(Qt::Horizontal, FBar);
    FSlider->setObjectName(QStringLiteral("ReplayPosition"));
    FSlider->setMinimumWidth(300);
    FBar->addWidget(FSlider);
    connect(FSlider, &QSlider::valueChanged, this, [this](int ms) { SeekTo(ms); });

    FTime = new QLabel(FBar);
    FTime->setObjectName(QStringLiteral("ReplayTime"));
    TP_Ignore(FTime);
    FBar->addWidget(FTime);
    FSkipped = new QLabel(FBar);
    FSkipped->setObjectName(QStringLiteral("ReplaySkipped"));
    TP_Ignore(FSkipped);
    FBar->addWidget(FSkipped);

    FStop = FBar->addAction(style->standardIcon(QStyle::SP_MediaStop), QString());
    FStop->setObjectName(QStringLiteral("ReplayStop"));
    FStop->setToolTip(QStringLiteral(N_("Stop the replay and show the live data")));
    connect(FStop, &QAction::triggered, this, &TReplayControl::Stop);
    FBar->hide();
    TranslateComponent(FBar);
}

void TReplayControl::ReproducirLog1Click()
{
    const QString folder = FFolder.isEmpty() ? FWindow.Options().DatalogFolder() : FFolder;
    const QString path = ChooseOpenFile(folder.isEmpty() ? QDir::homePath() : folder);
    if (path.isEmpty())
        return;
    FFolder = QFileInfo(path).absolutePath();
    Start(path);
}

bool TReplayControl::Start(const QString& path)
{
    Stop();
    if (!FReplay.Open(path)) {
        ShowError(_("Cannot open the log %1:\n%2")
                      .arg(QDir::toNativeSeparators(path), FReplay.ErrorText()));
        return false;
    }
    if (!FBar)
        BuildBar();
    FActive = true;
    SetWindowEditable(false);
    ClearPlots();
    FMonitor.ResetPlotTime();
    FWindow.Supervision().SetShownTelemetry(&FMonitor);

    {
        const QSignalBlocker quiet(FSlider);
        FSlider->setRange(0, int(std::min<int64_t>(FReplay.EndMs() - FReplay.StartMs(), INT_MAX)));
        FSlider->setPageStep(10000);
        FSlider->setValue(0);
    }
    const int64_t skipped = FReplay.SkippedRows();
    FSkipped->setText(skipped > 0 ? _("%1 unreadable rows skipped").arg(skipped) : QString());
    FSkipped->setVisible(skipped > 0);
    FBar->show();
    const int64_t now = NowMs();
    FReplay.SetSpeed(1, now);
    FSpeeds.front()->setChecked(true);
    FReplay.Play(now);
    FTimer.start();
    Tick();
    return true;
}

void TReplayControl::Stop()
{
    if (!FActive)
        return;
    FTimer.stop();
    FReplay.Pause(NowMs());
    FActive = false;
    FBar->hide();
    FWindow.Supervision().SetShownTelemetry(nullptr);
    // The live frames start the plots again from their left edge.
    ClearPlots();
    FWindow.Protocol().Telemetry().ResetPlotTime();
    SetWindowEditable(true);
}

void TReplayControl::Tick()
{
    if (!FActive)
        return;
    FReplay.Advance(NowMs(), [this](const TDatalogRow& row) { ShowRow(row); });
    if (FReplay.ReadFailed()) {
        const QString error = FReplay.ErrorText();
        Stop();
        ShowError(error);
        return;
    }
    ShowPosition();
    // Play, pause and the end of the log change the button, not the ticks between them.
    if (FShownPlaying != FReplay.IsPlaying())
        ShowPlaying();
}

void TReplayControl::PlayPause()
{
    if (!FActive)
        return;
    const int64_t now = NowMs();
    if (FReplay.IsPlaying())
        FReplay.Pause(now);
    else
        FReplay.Play(now);
    Tick();
}

void TReplayControl::SetSpeed(int speed)
{
    FReplay.SetSpeed(speed, NowMs());
    for (size_t i = 0; i < FSpeeds.size(); ++i)
        FSpeeds[i]->setChecked(TDatalogReplay::kSpeeds[i] == FReplay.Speed());
}

void TReplayControl::SeekTo(int64_t ms)
{
    if (!FActive)
        return;
    FReplay.Seek(FReplay.StartMs() + ms, NowMs());
    Tick();
}

void TReplayControl::ShowRow(const TDatalogRow& row)
{
    // The frame as the controller sent it: the record at payload bytes 1 to 16.
    uint8_t frame[1 + kTelemetrySize] = {};
    row.ToTelemetry().ToBytes(frame + 1);
    // Controllers that emulate the probe are those from the first version that reports it.
    const uint16_t version = row.lambdaSim ? TControllerRules::kHighRegimeVersion
                                           : uint16_t(TControllerRules::kHighRegimeVersion - 1);
    FFeeding = true;
    FMonitor.HandleFrame(frame, version, this);
    FFeeding = false;
}

void TReplayControl::ClearPlots()
{
    TLiveMonitor& m = FWindow.Monitor();
    m.iPlot1()->Clear(TLiveMonitor::chActual);
    m.iPlot2()->ClearAll();
}

void TReplayControl::SetWindowEditable(bool editable)
{
    if (!editable) {
        FEditActions.clear();
        for (QAction* action : FWindow.Actions().ControlSetActions()) {
            FEditActions.emplace_back(action, action->isEnabled());
            action->setEnabled(false);
        }
        FEditWidgets.clear();
        for (QWidget* widget : FWindow.Monitor().ControlSetEditors()) {
            FEditWidgets.emplace_back(widget, widget->isEnabled());
            widget->setEnabled(false);
        }
        FEditsWereEnabled = FWindow.EditsEnabled();
        FWindow.SetEditsEnabled(false);
        return;
    }
    for (const auto& [action, enabled] : FEditActions)
        action->setEnabled(enabled);
    for (const auto& [widget, enabled] : FEditWidgets)
        widget->setEnabled(enabled);
    FEditActions.clear();
    FEditWidgets.clear();
    if (FEditsWereEnabled)
        FWindow.SetEditsEnabled(true);
}

void TReplayControl::ShowPosition()
{
    const int64_t position = FReplay.PositionMs() - FReplay.StartMs();
    if (!FSlider->isSliderDown()) {
        const QSignalBlocker quiet(FSlider);
        FSlider->setValue(int(std::min<int64_t>(position, INT_MAX)));
    }
    FTime->setText(Clock(position) + QStringLiteral(" / ")
                   + Clock(FReplay.EndMs() - FReplay.StartMs()));
}

void TReplayControl::ShowPlaying()
{
    FShownPlaying = FReplay.IsPlaying();
    FPlay->setIcon(FBar->style()->standardIcon(*FShownPlaying ? QStyle::SP_MediaPause
                                                             : QStyle::SP_MediaPlay));
}

int64_t TReplayControl::NowMs() const
{
    return TDatalogRecorder::ClockMs(FWindow.Protocol());
}

void TReplayControl::ShowControllerText(QLatin1String text)
{
    // The status bar keeps telling about the controller that is there.
    if (!FActive)
        FView.ShowControllerText(text);
}

void TReplayControl::ShowFuel(bool onGas)
{
    if (Passes())
        FView.ShowFuel(onGas);
}

void TReplayControl::ShowLambda(int counts, QLatin1String millivolts)
{
    if (Passes())
        FView.ShowLambda(counts, millivolts);
}

void TReplayControl::ShowTps(int counts, QLatin1String volts)
{
    if (Passes())
        FView.ShowTps(counts, volts);
}

void TReplayControl::ShowRpm(double thousands, QLatin1String rpm)
{
    if (Passes())
        FView.ShowRpm(thousands, rpm);
}

void TReplayControl::ShowValve(QLatin1String position, double rpm, double positionValue)
{
    if (Passes())
        FView.ShowValve(position, rpm, positionValue);
}

void TReplayControl::AddLambdaPoint(double time, double millivolts)
{
    if (Passes())
        FView.AddLambdaPoint(time, millivolts);
}

void TReplayControl::AddLambdaSimPoint(double time, double millivolts)
{
    if (Passes())
        FView.AddLambdaSimPoint(time, millivolts);
}

void TReplayControl::ClearLambdaSim()
{
    if (Passes())
        FView.ClearLambdaSim();
}
