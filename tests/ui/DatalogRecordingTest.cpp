// Recording the window's telemetry into a datalog from the "&Tools" menu, on the simulated
// controller in stepped time.
#include "tests/ui/MainWindowFixture.h"

#include "datalog/TDatalogReader.h"
#include "session/TControlSetFile.h"
#include "ui/datalog/TDatalogRecorder.h"
#include "ui/main/TLiveMonitor.h"
#include "ui/main/TReplayControl.h"
#include "ui/memory/TMemoryOps.h"
#include "ui/widgets/TLed.h"
#include "ui/widgets/TLedBar.h"
#include "ui/widgets/TValueBox.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

class DatalogRecording : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        FRecorder = window().findChild<TDatalogRecorder*>();
        ASSERT_NE(FRecorder, nullptr);
        FRecord = window().findChild<QAction*>(QStringLiteral("GrabarLog1"));
        FStop = window().findChild<QAction*>(QStringLiteral("DetenerGrabacion1"));
        ASSERT_TRUE(FRecord && FStop);
        FRecorder->ChooseSaveFile = [this](const QString& proposed) {
            FProposed = proposed;
            return FChosen;
        };
        FRecorder->ShowError = [this](const QString& message) { FErrors << message; };
    }

    TDatalogRecorder* FRecorder = nullptr;
    QAction* FRecord = nullptr;
    QAction* FStop = nullptr;
    QString FChosen;
    QString FProposed;
    QStringList FErrors;
    QTemporaryDir FDir;
};

} // namespace

// A minute of driving gives a row every 50 ms, and the last row holds what the window shows.
TEST_F(DatalogRecording, AMinuteGivesTwelveHundredRowsAsTheWindowShowedThem)
{
    ASSERT_TRUE(RunUntilReceiving());
    EXPECT_TRUE(FRecord->isEnabled());
    EXPECT_FALSE(FStop->isEnabled());
    FChosen = FDir.filePath(QStringLiteral("drive.csv"));
    FRecord->trigger();
    EXPECT_TRUE(FProposed.contains(QRegularExpression(QStringLiteral("/brevon-\\d{8}-\\d{6}\\.csv$"))))
        << FProposed.toStdString();
    ASSERT_TRUE(FRecorder->IsRecording());
    EXPECT_FALSE(FRecord->isEnabled());
    EXPECT_TRUE(FStop->isEnabled());
    EXPECT_TRUE(FRecorder->Indicator()->isVisible());

    PumpFor(60000);
    EXPECT_TRUE(FRecorder->Indicator()->text().startsWith(QStringLiteral("\u25CF REC 00:01:00, ")))
        << FRecorder->Indicator()->text().toStdString();
    EXPECT_TRUE(FRecorder->Indicator()->text().endsWith(QStringLiteral(" frames")));
    FStop->trigger();
    EXPECT_FALSE(FRecorder->IsRecording());
    EXPECT_FALSE(FRecorder->Indicator()->isVisible());
    EXPECT_TRUE(FRecord->isEnabled());
    EXPECT_TRUE(FErrors.isEmpty());

    TDatalogReader reader;
    ASSERT_TRUE(reader.Open(FChosen)) << reader.ErrorText().toStdString();
    std::vector<TDatalogRow> rows;
    for (TDatalogRow row; reader.Next(row);)
        rows.push_back(row);
    EXPECT_EQ(reader.SkippedRows(), 0);
    ASSERT_GE(rows.size(), 1199u);
    EXPECT_LE(rows.size(), 1201u);
    EXPECT_EQ(int64_t(rows.size()), FRecorder->Writer().Rows());
    EXPECT_LE(rows.back().timeMs, 60000);
    EXPECT_GE(rows.back().timeMs, 59950);

    const TDatalogRow& last = rows.back();
    const TLiveMonitor& m = window().Monitor();
    EXPECT_EQ(m.VAL_Rpm()->text(), QString::number(last.rpm));
    EXPECT_EQ(m.LEV_Lambda()->position(), last.lambda);
    EXPECT_EQ(m.LEV_Tps()->position(), last.tps);
    EXPECT_EQ(m.VAL_AperturaActual()->text(), QString::number(last.valveActual));
    EXPECT_EQ(m.LedGnc()->isActive(), last.gas);
    EXPECT_EQ(last.valveControl, controlSet().Device().AperturaPos);
    EXPECT_TRUE(last.lambdaSim.has_value()); // the simulated controller emulates the probe
    bool controlSetNamed = false;
    for (const TDatalogReader::TComment& comment : reader.Comments())
        controlSetNamed |= comment.text.rfind("control set file= sha256=", 0) == 0;
    EXPECT_TRUE(controlSetNamed);
}

// The recording names the current control-set file beside the set's hash, its "," written "_".
TEST_F(DatalogRecording, NamesTheCurrentControlSetFile)
{
    ASSERT_TRUE(RunUntilReceiving());
    const QString setPath = FDir.filePath(QStringLiteral("car 1,tuned.mem"));
    QString error;
    ASSERT_TRUE(TControlSetFile::Write(setPath, controlSet().Device(), error))
        << error.toStdString();
    TMemoryOps& memory = window().MemoryOps();
    memory.ChooseOpenFile = [&setPath](const QString&) { return setPath; };
    memory.BMemOpenClick();
    ASSERT_EQ(memory.CurrentFile(), setPath);

    FChosen = FDir.filePath(QStringLiteral("named.csv"));
    FRecord->trigger();
    PumpFor(2000);
    FStop->trigger();
    TDatalogReader reader;
    ASSERT_TRUE(reader.Open(FChosen)) << reader.ErrorText().toStdString();
    bool named = false;
    for (const TDatalogReader::TComment& comment : reader.Comments())
        named |= comment.text.rfind("control set file=car 1_tuned.mem sha256=", 0) == 0;
    EXPECT_TRUE(named);
}

// A device that takes no byte stops the recording at its first write, tells the user once,
// and gives the menu back; the telemetry goes on.
TEST_F(DatalogRecording, WriteErrorStopsTheRecordingAndIsToldOnce)
{
    ASSERT_TRUE(RunUntilReceiving());
    ASSERT_TRUE(FRecorder->Start(QStringLiteral("/dev/full")));
    PumpFor(3000);
    ASSERT_EQ(FErrors.size(), 1);
    EXPECT_TRUE(FErrors[0].startsWith(QStringLiteral("The datalog could not be written:")));
    EXPECT_FALSE(FRecorder->IsRecording());
    EXPECT_FALSE(FRecorder->Indicator()->isVisible());
    EXPECT_TRUE(FRecord->isEnabled());
    EXPECT_FALSE(FStop->isEnabled());
    const uint32_t frames = protocol().Telemetry().FramesHandled();
    ASSERT_TRUE(rig().RunFrames(5));
    EXPECT_GT(protocol().Telemetry().FramesHandled(), frames);
    FStop->trigger();
    EXPECT_EQ(FErrors.size(), 1);
}

TEST_F(DatalogRecording, AFolderThatDoesNotExistIsToldAtStart)
{
    FChosen = FDir.filePath(QStringLiteral("gone/drive.csv"));
    FRecord->trigger();
    EXPECT_EQ(FErrors.size(), 1);
    EXPECT_FALSE(FRecorder->IsRecording());
    EXPECT_TRUE(FRecord->isEnabled());
}

// The folder of the last recording is where the next run proposes a recording and opens a
// replay.
TEST(DatalogRecordingFolder, SurvivesARestart)
{
    QTemporaryDir settings, logs;
    MainWindowRig::TOptions options;
    options.settingsFile = settings.filePath(QStringLiteral("Brevon.conf"));
    const QString chosen = logs.filePath(QStringLiteral("drive.csv"));
    {
        MainWindowRig rig(options);
        auto* recorder = rig.window().findChild<TDatalogRecorder*>();
        ASSERT_NE(recorder, nullptr);
        recorder->ChooseSaveFile = [&chosen](const QString&) { return chosen; };
        recorder->GrabarLog1Click();
        ASSERT_TRUE(recorder->IsRecording());
        recorder->Stop();
    }
    MainWindowRig rig(options);
    auto* recorder = rig.window().findChild<TDatalogRecorder*>();
    auto* replay = rig.window().findChild<TReplayControl*>();
    ASSERT_TRUE(recorder && replay);
    QString proposed, replayFolder;
    recorder->ChooseSaveFile = [&proposed](const QString& path) {
        proposed = path;
        return QString();
    };
    replay->ChooseOpenFile = [&replayFolder](const QString& folder) {
        replayFolder = folder;
        return QString();
    };
    recorder->GrabarLog1Click();
    replay->ReproducirLog1Click();
    EXPECT_EQ(QFileInfo(proposed).absolutePath(), QFileInfo(chosen).absolutePath());
    EXPECT_EQ(replayFolder, QFileInfo(chosen).absolutePath());
    EXPECT_FALSE(recorder->IsRecording());
    EXPECT_FALSE(replay->IsReplaying());
}
