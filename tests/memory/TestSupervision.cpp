#include "MemoryFixture.h"

#include "protocol/TCommandCodes.h"

namespace {

class Supervision : public MemoryFixture {
protected:
    // Supervision ticks every 100 ms of real time, the link and the controller running.
    void RunTicks(int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            supervision->TimerRefreshCtrlSetTimer();
            Pump(100);
        }
    }
    bool TickUntil(const std::function<bool()>& done, int maxTicks = 40)
    {
        for (int i = 0; i < maxTicks; ++i) {
            supervision->TimerRefreshCtrlSetTimer();
            if (done())
                return true;
            Pump(100);
        }
        return false;
    }
};

TEST_F(Supervision, ReadsTheSetAtEachEntryIntoReceiving)
{
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() == lkReceiving; }));
    EXPECT_EQ(controller->CommandsReceived(cmdReadSet), 1);
    EXPECT_EQ(view.adapterText, QStringLiteral(" KorvelConnect V-1.71"));
    EXPECT_TRUE(view.linkLed);

    controller->SetFault(TSimController::fmSilent);
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() == lkAdapterReady; }));
    view.adapterText.clear();
    controller->SetFault(TSimController::fmNone);
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() == lkReceiving; }));
    EXPECT_EQ(controller->CommandsReceived(cmdReadSet), 2);
    EXPECT_EQ(view.adapterText, QStringLiteral(" KorvelConnect V-1.71"));
}

TEST_F(Supervision, MainWindowEditsGiveOneWriteAtTheSecondTick)
{
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() == lkReceiving; }));
    RunTicks(2);
    const int writes = controller->CommandsReceived(cmdWriteSet);
    // Three slider moves 50 ms apart, the ticks every 100 ms.
    controlSet.Working().AperturaPos = 100;
    supervision->RestartWriteDelay();
    Pump(50);
    controlSet.Working().AperturaPos = 110;
    supervision->RestartWriteDelay();
    supervision->TimerRefreshCtrlSetTimer();
    Pump(50);
    controlSet.Working().AperturaPos = 120;
    supervision->RestartWriteDelay();
    supervision->TimerRefreshCtrlSetTimer(); // first tick after the last edit
    EXPECT_EQ(controller->CommandsReceived(cmdWriteSet), writes);
    supervision->TimerRefreshCtrlSetTimer(); // second: commit and write
    EXPECT_EQ(controller->CommandsReceived(cmdWriteSet), writes + 1);
    EXPECT_EQ(CtrlSet::FromBytes(controller->ControlSet().data()).AperturaPos, 120);
    RunTicks(3);
    EXPECT_EQ(controller->CommandsReceived(cmdWriteSet), writes + 1);
}

TEST_F(Supervision, EditMadeWhileNotReceivingIsNeverSent)
{
    controller->SetTelemetryPeriodMs(0);
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() == lkAdapterReady; }));
    controlSet.Working().AperturaPos = 99;
    supervision->RestartWriteDelay();
    RunTicks(3);
    controller->SetTelemetryPeriodMs(50);
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() == lkReceiving; }));
    RunTicks(3);
    EXPECT_EQ(controller->CommandsReceived(cmdWriteSet), 0);
    EXPECT_NE(controlSet.Working().AperturaPos, 99); // the read brought the controller's value
}

TEST_F(Supervision, UnansweredWriteIsRetriedAndARefusalIsNot)
{
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() == lkReceiving; }));
    RunTicks(2);
    controller->SetFault(TSimController::fmDropAnswer, 1);
    controlSet.Working().AperturaPos = 140;
    controlSet.CommitWorkingCopy();
    supervision->TimerRefreshCtrlSetTimer();
    EXPECT_TRUE(controlSet.PendingSend());
    supervision->TimerRefreshCtrlSetTimer();
    EXPECT_FALSE(controlSet.PendingSend());
    EXPECT_EQ(controller->CommandsReceived(cmdWriteSet), 2);

    controller->SetFault(TSimController::fmNakAll, 1);
    controlSet.CommitWorkingCopy();
    supervision->TimerRefreshCtrlSetTimer();
    EXPECT_FALSE(controlSet.PendingSend());
    EXPECT_EQ(controller->CommandsReceived(cmdWriteSet), 3);
}

TEST_F(Supervision, OldAdapterFirmwareIsWarnedOncePerRun)
{
    adapter->SetVersion(0x0170);
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() >= lkAdapterReady; }));
    EXPECT_EQ(view.adapterText, QStringLiteral(" KorvelConnect V-1.70"));
    EXPECT_EQ(view.warnings, 1);
    EXPECT_TRUE(view.warningText.contains(QStringLiteral("FV 1.71")));
    transport->SetPlugged(false);
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() == lkNoAdapter; }));
    EXPECT_EQ(view.adapterText, QStringLiteral(" KorvelConnect Desconectado"));
    EXPECT_FALSE(view.linkLed);
    transport->SetPlugged(true);
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() >= lkAdapterReady; }, 80));
    EXPECT_EQ(view.adapterText, QStringLiteral(" KorvelConnect V-1.70"));
    EXPECT_EQ(view.warnings, 1);
}

TEST_F(Supervision, CurrentAdapterFirmwareIsNotWarned)
{
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() >= lkAdapterReady; }));
    EXPECT_EQ(view.warnings, 0);
}

TEST_F(Supervision, SilentControllerIsNotDetectedAndItsVersionAskedAgain)
{
    ASSERT_TRUE(TickUntil([this] { return protocol->ControllerVersion() != 0; }));
    EXPECT_EQ(protocol->ControllerVersion(), TSimController::kDefaultVersion);
    controller->SetFault(TSimController::fmSilent);
    for (int i = 0; i < 4; ++i)
        supervision->Timer1Timer();
    EXPECT_NE(view.controllerText, QStringLiteral(" No Detectado"));
    supervision->Timer1Timer();
    EXPECT_EQ(view.controllerText, QStringLiteral(" No Detectado"));
    EXPECT_EQ(protocol->ControllerVersion(), 0);
    const int asked = controller->CommandsReceived(cmdVersion);
    controller->SetFault(TSimController::fmNone);
    supervision->TimerRefreshCtrlSetTimer();
    EXPECT_EQ(controller->CommandsReceived(cmdVersion), asked + 1);
}

TEST_F(Supervision, ControlLedIsSteadyRedOrBlinksYellow)
{
    supervision->Timer1Timer(); // no frame yet: blinking yellow
    EXPECT_EQ(view.ledColor, QColor(255, 255, 0));
    const bool first = view.ledOn;
    supervision->Timer1Timer();
    EXPECT_NE(view.ledOn, first);

    // A frame with bit 4 set and bit 1 clear: dark red, steady.
    // STX, byte 0, StatusFlags 0x10 (escaped: DLE, 0xEF), fifteen zero bytes, EOT.
    const uint8_t frame[] = { 0x02, 0x00, 0x10, 0xEF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04 };
    TLinkMsg msg;
    msg.Type = mtFrame;
    msg.Len = sizeof frame;
    std::memcpy(msg.Data, frame, sizeof frame);
    protocol->HandleRecord(msg);
    for (int i = 0; i < 2; ++i) {
        supervision->Timer1Timer();
        EXPECT_EQ(view.ledColor, QColor(255, 0, 0));
        EXPECT_FALSE(view.ledOn);
    }
}

} // namespace
