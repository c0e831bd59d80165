#include "MemoryFixture.h"

#include "protocol/TCommandCodes.h"

namespace {

using Supervision = MemoryFixture;

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

TEST_F(Supervision, EditMadeWhileNotReceivingIsOfferedNotSent)
{
    controller->SetTelemetryPeriodMs(0);
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() == lkAdapterReady; }));
    controlSet.Working().AperturaPos = 99;
    supervision->RestartWriteDelay();
    RunTicks(3);
    EXPECT_TRUE(controlSet.HasUnsentEdits());
    controller->SetTelemetryPeriodMs(50);
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() == lkReceiving; }));
    RunTicks(3);
    EXPECT_EQ(controller->CommandsReceived(cmdWriteSet), 0);
    ASSERT_EQ(unsentAsked.size(), 1u);
    ASSERT_EQ(unsentAsked[0].size(), 1u);
    EXPECT_EQ(unsentAsked[0][0].editedValue, 99);
    EXPECT_NE(controlSet.Working().AperturaPos, 99); // discarded: the controller's value
    EXPECT_FALSE(controlSet.HasUnsentEdits());
}

TEST_F(Supervision, OtherRequestsGetTheirTurnBetweenTheWriteSends)
{
    ASSERT_TRUE(Connect());
    RunTicks(2);
    controller->SetCommandFault(cmdWriteSet, TSimController::cmfDropAnswer);
    controlSet.Working().AperturaPos = 140;
    controlSet.CommitWorkingCopy();
    Tick(); // the first send: no answer
    ASSERT_EQ(supervision->Writes().Sends(), 1);
    ASSERT_TRUE(controlSet.PendingSend());

    // The exchange is free until the next send: a restore is answered and read back, and the
    // change on its way asks nothing and stays on its way.
    const int reads = controller->CommandsReceived(cmdReadSet);
    memory->BMemRestoreClick();
    EXPECT_EQ(controller->CommandsReceived(cmdRestore), 1);
    EXPECT_EQ(controller->CommandsReceived(cmdReadSet), reads + 1);
    EXPECT_TRUE(unsentAsked.empty());
    EXPECT_TRUE(controlSet.PendingSend());
    EXPECT_EQ(controlSet.Device().AperturaPos, 140);

    ASSERT_TRUE(TickUntil([this] { return !view.notices.isEmpty(); }, 40, 20));
    EXPECT_EQ(controller->CommandsReceived(cmdWriteSet), TWriteRetry::kMaxSends);
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

struct RefusedAdapter {
    const char* name;
    uint32_t version;
    const char* shown;
};

void PrintTo(const RefusedAdapter& row, std::ostream* os)
{
    *os << row.name;
}

class RefusedFirmware : public MemoryFixture,
                        public ::testing::WithParamInterface<RefusedAdapter> {};

TEST_P(RefusedFirmware, IsShownWithItsVersionAndWarnedOnce)
{
    adapter->SetVersion(GetParam().version);
    ASSERT_TRUE(TickUntil([this] { return view.warnings > 0; }));
    EXPECT_EQ(link->GetLinkStatus(), lkOldFirmware);
    EXPECT_EQ(view.adapterText.toStdString(), GetParam().shown);
    // Refused again at every attempt, once a second: still shown, warned no more.
    const int opens = transport->Opens();
    ASSERT_TRUE(TickUntil([&] { return transport->Opens() > opens + 1; }, 40));
    RunTicks(2);
    EXPECT_EQ(view.adapterText.toStdString(), GetParam().shown);
    EXPECT_EQ(view.warnings, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Memory, RefusedFirmware,
    ::testing::Values(RefusedAdapter { "v1_02", 0x0102, " KorvelConnect V-1.02" },
                      RefusedAdapter { "version_zero", 0, " KorvelConnect V-0.00" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Supervision, AdapterSwappedBetweenTwoTicksShowsItsOwnVersion)
{
    ASSERT_TRUE(Connect());
    EXPECT_EQ(view.adapterText, QStringLiteral(" KorvelConnect V-1.71"));
    const int reads = controller->CommandsReceived(cmdReadSet);
    const uint32_t open = link->OpenCount();
    // Out and in again, with older firmware, while no tick looks.
    adapter->SetVersion(0x0170);
    transport->SetPlugged(false);
    ASSERT_TRUE(PumpUntil([this] { return link->GetLinkStatus() == lkNoAdapter; }));
    transport->SetPlugged(true);
    ASSERT_TRUE(PumpUntil([&] {
        return link->InfoOpenCount() > open && link->GetLinkStatus() == lkReceiving;
    }));
    Tick();
    EXPECT_EQ(view.adapterText, QStringLiteral(" KorvelConnect V-1.70"));
    EXPECT_EQ(view.warnings, 1);
    EXPECT_EQ(controller->CommandsReceived(cmdReadSet), reads + 1) << "a new connection: read";
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
