// Replaying a datalog onto the main window's instruments, on the simulated controller in
// stepped time.
#include "tests/ui/MainWindowFixture.h"

#include "datalog/TDatalogReader.h"
#include "tests/datalog/DatalogFiles.h"
#include "ui/datalog/TDatalogRecorder.h"
#include "ui/main/TLiveMonitor.h"
#include "ui/main/TMainActions.h"
#include "ui/main/TReplayControl.h"
#include "ui/widgets/TAngularGauge.h"
#include "ui/widgets/TLed.h"
#include "ui/widgets/TLedBar.h"
#include "ui/widgets/TPlot.h"
#include "ui/widgets/TSlider.h"
#include "ui/widgets/TValueBox.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QToolBar>

namespace {

// What the instruments show: the texts, the gauge, the LED bars, the LEDs and the plots' points.
struct TShown {
    QString rpm, lambda, tps, valve;
    double gauge = 0;
    double lambdaBar = 0, tpsBar = 0;
    bool gas = false, gasoline = false;
    QColor controlLed;
    QList<QPointF> valvePoints, lambdaPoints, lambdaSimPoints;

    static TShown Of(const TLiveMonitor& m)
    {
        TShown s;
        s.rpm = m.VAL_Rpm()->text();
        s.lambda = m.VAL_Lambda()->text();
        s.tps = m.VAL_Tps()->text();
        s.valve = m.VAL_AperturaActual()->text();
        s.gauge = m.LEV_Rpm()->position();
        s.lambdaBar = m.LEV_Lambda()->position();
        s.tpsBar = m.LEV_Tps()->position();
        s.gas = m.LedGnc()->isActive();
        s.gasoline = m.LedNafta()->isActive();
        s.controlLed = m.LedCtrl()->onColor();
        s.valvePoints = m.iPlot1()->points(TLiveMonitor::chActual);
        s.lambdaPoints = m.iPlot2()->points(TLiveMonitor::chLambda);
        s.lambdaSimPoints = m.iPlot2()->points(TLiveMonitor::chLambdaSim);
        return s;
    }
};

void ExpectSame(const TShown& live, const TShown& replayed)
{
    EXPECT_EQ(replayed.rpm.toStdString(), live.rpm.toStdString());
    EXPECT_EQ(replayed.lambda.toStdString(), live.lambda.toStdString());
    EXPECT_EQ(replayed.tps.toStdString(), live.tps.toStdString());
    EXPECT_EQ(replayed.valve.toStdString(), live.valve.toStdString());
    EXPECT_EQ(replayed.gauge, live.gauge);
    EXPECT_EQ(replayed.lambdaBar, live.lambdaBar);
    EXPECT_EQ(replayed.tpsBar, live.tpsBar);
    EXPECT_EQ(replayed.gas, live.gas);
    EXPECT_EQ(replayed.gasoline, live.gasoline);
    EXPECT_EQ(replayed.controlLed, live.controlLed);
    EXPECT_EQ(replayed.valvePoints, live.valvePoints);
    EXPECT_EQ(replayed.lambdaPoints, live.lambdaPoints);
    EXPECT_EQ(replayed.lambdaSimPoints, live.lambdaSimPoints);
}

class DatalogReplayWindow : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        FReplay = window().findChild<TReplayControl*>();
        FRecorder = window().findChild<TDatalogRecorder*>();
        ASSERT_TRUE(FReplay && FRecorder);
        FReplayItem = window().findChild<QAction*>(QStringLiteral("ReproducirLog1"));
        ASSERT_NE(FReplayItem, nullptr);
        FReplay->ChooseOpenFile = [this](const QString&) { return FChosen; };
        FReplay->ShowError = [this](const QString& message) { FErrors << message; };
        rig().clock().Drive(FReplay->TickTimer(), [this] { FReplay->Tick(); });
    }

    // Plays the chosen log to its end at 16 times its speed, and one more control-LED tick.
    void ReplayToTheEnd()
    {
        FReplayItem->trigger();
        ASSERT_TRUE(FReplay->IsReplaying());
        window().findChild<QAction*>(QStringLiteral("ReplaySpeed16"))->trigger();
        ASSERT_TRUE(RunUntil([this] { return FReplay->Replay().AtEnd(); }, 60000));
        PumpFor(2 * TMainForm::kTimer1IntervalMs);
    }

    TReplayControl* FReplay = nullptr;
    TDatalogRecorder* FRecorder = nullptr;
    QAction* FReplayItem = nullptr;
    QString FChosen;
    QStringList FErrors;
    DatalogFiles FFiles;
};

} // namespace

// Seconds recorded live and then replayed leave the instruments as the live frames left them.
TEST_F(DatalogReplayWindow, ReplayShowsWhatTheWindowShowedLive)
{
    ASSERT_TRUE(RunUntilReceiving());
    FChosen = FFiles.Path(QStringLiteral("drive.csv"));
    // The lambda plot starts afresh with the recording, as the replay's does.
    window().iPlot2DblClick();
    ASSERT_TRUE(FRecorder->Start(FChosen));
    PumpFor(8000);
    FRecorder->Stop();
    const TShown live = TShown::Of(window().Monitor());
    ASSERT_GE(live.lambdaPoints.size(), 150);

    ReplayToTheEnd();
    EXPECT_TRUE(FErrors.isEmpty());
    ExpectSame(live, TShown::Of(window().Monitor()));
}

// While a log plays, the live frames do not reach the instruments but are still recorded;
// nothing goes to the controller, the edits are off, and stopping gives all of it back.
TEST_F(DatalogReplayWindow, WhileReplayingLiveIsHiddenNothingIsSentAndEditsAreOff)
{
    ASSERT_TRUE(RunUntilReceiving());
    const uint16_t replayedRpm = 4321;
    ASSERT_NE(protocol().Telemetry().Record().Rpm, replayedRpm);
    std::vector<TDatalogRow> rows;
    for (int i = 0; i < 200; ++i) {
        rows.push_back(MakeRow(i * 50, i));
        rows.back().rpm = replayedRpm;
    }
    FChosen = FFiles.Write(LogText(rows));
    const QString recording = FFiles.Path(QStringLiteral("live.csv"));
    ASSERT_TRUE(FRecorder->Start(recording));

    TLiveMonitor& m = window().Monitor();
    const TMainActions& a = window().Actions();
    const uint16_t valve = controlSet().Working().AperturaPos;
    const size_t sent = adapter().SentRecords().size();
    FReplayItem->trigger();
    ASSERT_TRUE(FReplay->IsReplaying());
    EXPECT_TRUE(FReplay->Bar()->isVisible());
    EXPECT_TRUE(FReplay->Marker()->isVisible());
    EXPECT_EQ(FReplay->Marker()->text(), QStringLiteral("REPLAY"));
    EXPECT_FALSE(window().EditsEnabled());
    std::vector<QAction*> items = a.ControlSetActions();
    items.insert(items.end(), { a.Abrir1, a.BMemOpen, a.Cargar1, a.BMemCharge,
                                a.Restauraranterior1, a.Sistemadecontrol1, a.BConfLambda,
                                a.CutOff1 });
    for (QAction* item : items)
        EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
    std::vector<QWidget*> controls = m.ControlSetEditors();
    controls.insert(controls.end(), { m.SET_AperturaPos(), m.SET_AperturaPosMin(),
                                      m.SET_AperturaPosMax(), m.SwitchMan(), m.PulsoVuelta() });
    for (QWidget* control : controls)
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    m.SET_AperturaPos()->setPosition(valve + 40);

    PumpFor(4000);
    EXPECT_EQ(m.VAL_Rpm()->text(), QString::number(replayedRpm));
    EXPECT_EQ(adapter().SentRecords().size(), sent);
    EXPECT_EQ(controlSet().Working().AperturaPos, valve);

    // The slider moves the replay; paused or not, the row found there shows.
    FReplay->PlayAction()->trigger();
    EXPECT_FALSE(FReplay->Replay().IsPlaying());
    FReplay->PositionSlider()->setValue(2500);
    PumpFor(100);
    EXPECT_EQ(FReplay->Replay().PositionMs(), 2500);
    EXPECT_EQ(m.VAL_Tps()->text(), QString::asprintf("%0.2f", rows[50].tps * 0.0048875855));

    FReplay->StopAction()->trigger();
    EXPECT_FALSE(FReplay->IsReplaying());
    EXPECT_FALSE(FReplay->Bar()->isVisible());
    EXPECT_TRUE(window().EditsEnabled());
    EXPECT_TRUE(a.Cargar1->isEnabled());
    EXPECT_FALSE(a.ProtegerMem->isEnabled()); // it was off before
    EXPECT_TRUE(m.SET_AperturaPos()->isEnabled());
    ASSERT_TRUE(rig().RunFrames(1));
    EXPECT_EQ(m.VAL_Rpm()->text(), QString::number(protocol().Telemetry().Record().Rpm));

    FRecorder->Stop();
    TDatalogReader reader;
    ASSERT_TRUE(reader.Open(recording)) << reader.ErrorText().toStdString();
    int64_t recorded = 0;
    for (TDatalogRow row; reader.Next(row); ++recorded)
        EXPECT_NE(row.rpm, replayedRpm);
    EXPECT_GE(recorded, 80); // the four seconds of replay are live frames in the recording
}

// A file that is no datalog is told with the reader's reason and leaves the window live; rows
// that cannot be read are skipped and their count shown.
TEST_F(DatalogReplayWindow, BadFilesAreToldAndSkippedRowsCounted)
{
    ASSERT_TRUE(RunUntilReceiving());
    FChosen = FFiles.Write("time_ms,rpm\n1,2\n", QStringLiteral("wrong.csv"));
    FReplayItem->trigger();
    ASSERT_EQ(FErrors.size(), 1);
    EXPECT_TRUE(FErrors[0].startsWith(QStringLiteral("Cannot open the log "))) << FErrors[0].toStdString();
    EXPECT_FALSE(FReplay->IsReplaying());
    EXPECT_EQ(FReplay->Bar(), nullptr); // made by the first replay that starts
    EXPECT_TRUE(window().EditsEnabled());

    std::vector<TDatalogRow> rows;
    for (int i = 0; i < 20; ++i)
        rows.push_back(MakeRow(i * 50, i));
    FChosen = FFiles.Write(LogText(rows) + "1000,800\n1050,x,1,1,1,1,1,1,1\n",
                           QStringLiteral("damaged.csv"));
    FReplayItem->trigger();
    EXPECT_EQ(FErrors.size(), 1);
    ASSERT_TRUE(FReplay->IsReplaying());
    EXPECT_TRUE(FReplay->SkippedLabel()->isVisible());
    EXPECT_EQ(FReplay->SkippedLabel()->text(), QStringLiteral("2 unreadable rows skipped"));
}

// The play button shows pause while the log plays and play when it is paused or has reached
// its end; the ticks in between leave the button alone.
TEST_F(DatalogReplayWindow, PlayButtonFollowsPlayingNotTheTicks)
{
    std::vector<TDatalogRow> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back(MakeRow(i * 50, i));
    FChosen = FFiles.Write(LogText(rows));
    FReplayItem->trigger();
    ASSERT_TRUE(FReplay->IsReplaying());
    QAction* play = FReplay->PlayAction();
    const auto shows = [this, play](QStyle::StandardPixmap icon) {
        const QIcon expected = FReplay->Bar()->style()->standardIcon(icon);
        return play->icon().pixmap(16).toImage() == expected.pixmap(16).toImage();
    };
    int changes = 0;
    QObject::connect(play, &QAction::changed, [&changes] { ++changes; });

    EXPECT_TRUE(shows(QStyle::SP_MediaPause));
    PumpFor(1000);
    EXPECT_EQ(changes, 0);
    play->trigger();
    EXPECT_FALSE(FReplay->Replay().IsPlaying());
    EXPECT_TRUE(shows(QStyle::SP_MediaPlay));
    PumpFor(500);
    EXPECT_EQ(changes, 1);
    play->trigger();
    EXPECT_TRUE(shows(QStyle::SP_MediaPause));
    ASSERT_TRUE(RunUntil([this] { return !FReplay->Replay().IsPlaying(); }, 5000));
    EXPECT_TRUE(FReplay->Replay().AtEnd());
    EXPECT_TRUE(shows(QStyle::SP_MediaPlay));
    EXPECT_EQ(changes, 3);
}
