// The main window's link and windows: closing ends at once whatever the link or a request is
// doing, a fault inside the link is reported, and the configuration dialogs are the objects
// made at start-up.
#include "tests/ui/MainWindowFixture.h"

#include "ui/dialogs/TConfCtrlForm.h"
#include "ui/dialogs/TConfCutOffForm.h"
#include "ui/dialogs/TConfLambdaForm.h"
#include "ui/main/TMainActions.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QThread>

namespace {

using TClose = MainWindowFixture;

TEST_F(TClose, ClosingWhileARequestWaitsEndsTheRequestAndTheLink)
{
    ASSERT_TRUE(RunUntilReceiving());
    controller().SetFault(TSimController::fmDropAnswer);
    const int reads = controller().CommandsReceived(0x20);
    rig().clock().After(100, [this] { window().close(); });

    const int64_t start = rig().clock().NowMs();
    const uint8_t read[] = { 0x20 };
    EXPECT_EQ(protocol().SendRequest(read, 1), -1);
    // Ended by the close, not by the exchange's time limit.
    EXPECT_LT(rig().clock().NowMs() - start, protocol().ReplyTimeoutMs());
    EXPECT_EQ(controller().CommandsReceived(0x20), reads + 1);
    EXPECT_EQ(link(), nullptr);
    EXPECT_FALSE(window().TimerRefreshCtrlSet().isActive());
    EXPECT_FALSE(window().Timer1().isActive());
}

// With the link on its own thread: the point is a hand-over the link thread has posted.
class TCloseThreaded : public MainWindowFixture {
protected:
    MainWindowRig::TOptions RigOptions() const override
    {
        MainWindowRig::TOptions o;
        o.linkThread = true;
        return o;
    }
};

TEST_F(TCloseThreaded, ClosingWithAnUnservedHandOverEnds)
{
    ASSERT_TRUE(RunUntilReceiving());
    rig().StopTelemetry();
    // A frame fetched by a poll pass whose hand-over the user-interface thread never serves:
    // no event is processed from here on.
    const uint8_t frame[] = { 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                              0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04 };
    const uint32_t frames = protocol().Telemetry().FramesHandled();
    adapter().FeedSerial(frame, sizeof frame);
    // Ticks by hand: a poll pass comes every other tick. The waits give the link thread time
    // to reach the poll pass; WaitIdle cannot be used, it would serve the hand-over this test
    // leaves unserved.
    for (int i = 0; i < 20 && adapter().PendingMessages() > 0; ++i) {
        link()->Tick();
        QThread::msleep(10);
    }
    ASSERT_EQ(adapter().PendingMessages(), 0u);

    window().close();
    EXPECT_EQ(link(), nullptr);
    EXPECT_EQ(protocol().Telemetry().FramesHandled(), frames);
}

TEST_F(TClose, ClosingWithNoAdapterShowsNothing)
{
    transport().SetPlugged(false);
    ASSERT_TRUE(RunUntil([this] { return link()->GetLinkStatus() == lkNoAdapter; }));
    PumpFor(150);
    window().close();
    EXPECT_EQ(link(), nullptr);
    EXPECT_TRUE(rig().faults.empty());
    EXPECT_FALSE(window().isVisible());
}

TEST_F(TClose, AFaultInsideTheLinkIsReportedAndTheLinkRecovers)
{
    ASSERT_TRUE(RunUntilReceiving());
    transport().SetThrowOnNextCall(true);
    ASSERT_TRUE(RunUntil([this] { return !rig().faults.empty(); }));
    EXPECT_EQ(rig().faults.front(), QStringLiteral("Simulated adapter fault"));
    EXPECT_TRUE(RunUntil([this] { return link()->GetLinkStatus() == lkReceiving; }));
}

TEST_F(TClose, ExitClosesTheWindow)
{
    window().Actions().Salir1->trigger();
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(link(), nullptr);
}

TEST_F(TClose, ConfigurationCommandsShowTheDialogsMadeAtStartUp)
{
    struct TRow {
        const char* name;
        QAction* action;
        QDialog* dialog;
    };
    const TMainActions& a = window().Actions();
    const TRow rows[] = {
        { "Sistemadecontrol1", a.Sistemadecontrol1, &windows().ConfCtrlForm() },
        { "BConfCtrl", a.BConfCtrl, &windows().ConfCtrlForm() },
        { "Brevon1", a.Brevon1, &windows().ConfLambdaForm() },
        { "BConfLambda", a.BConfLambda, &windows().ConfLambdaForm() },
        { "CutOff1", a.CutOff1, &windows().ConfCutOffForm() },
        { "BConfCutOff", a.BConfCutOff, &windows().ConfCutOffForm() },
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.name);
        QWidget* shown = nullptr;
        QTimer::singleShot(0, [&shown] {
            shown = QApplication::activeModalWidget();
            if (auto* d = qobject_cast<QDialog*>(shown))
                d->reject();
        });
        r.action->trigger(); // returns when the modal dialog is closed
        EXPECT_EQ(shown, r.dialog);
        EXPECT_FALSE(r.dialog->isVisible());
    }
}

} // namespace
