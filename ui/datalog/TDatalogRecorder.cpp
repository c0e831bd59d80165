#include "ui/datalog/TDatalogRecorder.h"

#include "protocol/TControlSet.h"
#include "protocol/TControllerProtocol.h"
#include "protocol/TFixedTexts.h"
#include "protocol/TWaitClock.h"
#include "settings/TOpcionesAvanzadas.h"
#include "ui/datalog/TToolsMenu.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>

#include "settings/Gettext.h"

TDatalogRecorder::TDatalogRecorder(TToolsMenu& menu, TControllerProtocol& protocol,
                                   const TControlSet& set, TTelemetryView& window,
                                   QStatusBar& statusBar)
    : QObject(&menu)
    , FMenu(menu)
    , FProtocol(protocol)
    , FControlSet(set)
    , FWindow(window)
    , FIndicator(new QLabel(&statusBar))
    , FFolder(QDir::homePath())
{
    setObjectName(QStringLiteral("DatalogRecorder"));
    FIndicator->setObjectName(QStringLiteral("RecordingIndicator"));
    FIndicator->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
    FIndicator->hide();
    statusBar.addPermanentWidget(FIndicator);
    FProtocol.SetTelemetryView(this);
    FTimer.setInterval(kTickMs);
    connect(&FTimer, &QTimer::timeout, this, &TDatalogRecorder::Tick);
    connect(FMenu.GrabarLog1, &QAction::triggered, this, &TDatalogRecorder::GrabarLog1Click);
    connect(FMenu.DetenerGrabacion1, &QAction::triggered, this,
            &TDatalogRecorder::DetenerGrabacion1Click);

    QWidget* owner = statusBar.window();
    ChooseSaveFile = [owner](const QString& proposed) {
        return QFileDialog::getSaveFileName(owner, _("Record log"), proposed,
                                            _("Datalogs (*.csv);;All files (*)"));
    };
    ShowError = [owner](const QString& message) {
        QMessageBox::critical(owner, QString::fromLatin1(TFixedTexts::AppTitle), message);
    };
    ShowState();
}

QString TDatalogRecorder::ProposedName(const QDateTime& now)
{
    return now.toString(QStringLiteral("'brevon-'yyyyMMdd-HHmmss'.csv'"));
}

void TDatalogRecorder::GrabarLog1Click()
{
    const QString path =
        ChooseSaveFile(QDir(Folder()).filePath(ProposedName(QDateTime::currentDateTime())));
    if (path.isEmpty())
        return;
    FFolder = QFileInfo(path).absolutePath();
    if (TOpcionesAvanzadas* options = Options ? Options() : nullptr)
        options->SetDatalogFolder(FFolder);
    Start(path);
}

QString TDatalogRecorder::Folder() const
{
    const TOpcionesAvanzadas* options = Options ? Options() : nullptr;
    const QString stored = options ? options->DatalogFolder() : QString();
    return stored.isEmpty() ? FFolder : stored;
}

void TDatalogRecorder::DetenerGrabacion1Click()
{
    Stop();
}

bool TDatalogRecorder::Start(const QString& path)
{
    Stop();
    const bool opened = FWriter.Open(path, QDateTime::currentDateTimeUtc(), NowMs(), SetFileName(),
                                     &FControlSet.Device());
    FShownSecond = -1;
    if (opened)
        FTimer.start();
    CheckFailure();
    ShowState();
    return opened;
}

void TDatalogRecorder::Stop()
{
    FTimer.stop();
    FWriter.Close();
    CheckFailure();
    ShowState();
}

int64_t TDatalogRecorder::NowMs() const
{
    return ClockMs(FProtocol);
}

int64_t TDatalogRecorder::ClockMs(const TControllerProtocol& protocol)
{
    if (const TWaitClock* clock = protocol.WaitClock())
        return clock->NowMs();
    static QElapsedTimer wall = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return wall.elapsed();
}

const std::string& TDatalogRecorder::SetFileName()
{
    const QString path = CurrentFile ? CurrentFile() : QString();
    if (path != FSetPath) {
        FSetPath = path;
        FSetName = QFileInfo(path).fileName().toStdString();
    }
    return FSetName;
}

void TDatalogRecorder::RecordFrame(bool hasLambdaSim)
{
    if (!FWriter.IsRecording())
        return;
    const int64_t now = NowMs();
    FWriter.NoteControlSet(SetFileName(), FControlSet.Device());
    FWriter.Frame(FProtocol.Telemetry().Record(), now, FControlSet.Device().AperturaPos,
                  hasLambdaSim);
    FWriter.Tick(now);
    CheckFailure();
    if (FWriter.ElapsedMs(now) / 1000 != FShownSecond)
        ShowState();
}

void TDatalogRecorder::Tick()
{
    FWriter.Tick(NowMs());
    CheckFailure();
    ShowState();
}

void TDatalogRecorder::CheckFailure()
{
    const QString error = FWriter.TakeError();
    if (error.isEmpty())
        return;
    FTimer.stop();
    ShowState();
    ShowError(error);
}

void TDatalogRecorder::ShowState()
{
    const bool recording = FWriter.IsRecording();
    FMenu.GrabarLog1->setEnabled(!recording);
    FMenu.DetenerGrabacion1->setEnabled(recording);
    FIndicator->setVisible(recording);
    if (!recording)
        return;
    const int64_t seconds = FWriter.ElapsedMs(NowMs()) / 1000;
    FShownSecond = seconds;
    const QString elapsed = QStringLiteral("%1:%2:%3")
                                .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                                .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    FIndicator->setText(_("\u25CF REC %1, %2 frames").arg(elapsed).arg(FWriter.Rows()));
}

void TDatalogRecorder::ShowControllerText(QLatin1String text) { FWindow.ShowControllerText(text); }
void TDatalogRecorder::ShowFuel(bool onGas) { FWindow.ShowFuel(onGas); }
void TDatalogRecorder::ShowLambda(int counts, QLatin1String millivolts)
{
    FWindow.ShowLambda(counts, millivolts);
}
void TDatalogRecorder::ShowTps(int counts, QLatin1String volts) { FWindow.ShowTps(counts, volts); }
void TDatalogRecorder::ShowRpm(double thousands, QLatin1String rpm)
{
    FWindow.ShowRpm(thousands, rpm);
}
void TDatalogRecorder::ShowValve(QLatin1String position, double rpm, double positionValue)
{
    FWindow.ShowValve(position, rpm, positionValue);
}
void TDatalogRecorder::AddLambdaPoint(double time, double millivolts)
{
    FWindow.AddLambdaPoint(time, millivolts);
}

// One of the last two calls of every frame: the record is complete and shown.
void TDatalogRecorder::AddLambdaSimPoint(double time, double millivolts)
{
    FWindow.AddLambdaSimPoint(time, millivolts);
    RecordFrame(true);
}

void TDatalogRecorder::ClearLambdaSim()
{
    FWindow.ClearLambdaSim();
    RecordFrame(false);
}
