#include "MemoryFixture.h"

#include "protocol/TCommandCodes.h"

namespace {

using ReadWrite = MemoryFixture;

CtrlSet Sentinel()
{
    CtrlSet s;
    s.AperturaPos = 321;
    s.SondaRica = 77;
    return s;
}

TEST_F(ReadWrite, ReadFillsBothCopiesAndRefreshesWithTheGuardOff)
{
    ASSERT_TRUE(ReachReceiving());
    ASSERT_TRUE(memory->BMemLoadClick());
    const CtrlSet expected = CtrlSet::FromBytes(TSimController::DefaultControlSet().data());
    EXPECT_EQ(controlSet.Device(), expected);
    EXPECT_EQ(controlSet.Working(), expected);
    EXPECT_EQ(controlSet.Confirmed(), expected);
    EXPECT_FALSE(controlSet.PendingSend());
    EXPECT_EQ(refresher->refreshes, 1);
    EXPECT_TRUE(refresher->guardWasOff);
    EXPECT_EQ(refresher->seen, expected);
    EXPECT_TRUE(displays.editsEnabled);
    EXPECT_TRUE(unsentAsked.empty());
}

TEST_F(ReadWrite, ReadKeepsACommittedChangeOnItsWay)
{
    ASSERT_TRUE(ReachReceiving());
    ASSERT_TRUE(memory->BMemLoadClick());
    controlSet.Working().AperturaPos = Sentinel().AperturaPos;
    controlSet.Working().SondaRica = Sentinel().SondaRica;
    controlSet.CommitWorkingCopy();
    ASSERT_TRUE(memory->BMemLoadClick());
    // The controller's values, with the two edited fields laid over them, still to be sent.
    CtrlSet expected = CtrlSet::FromBytes(TSimController::DefaultControlSet().data());
    expected.AperturaPos = Sentinel().AperturaPos;
    expected.SondaRica = Sentinel().SondaRica;
    EXPECT_EQ(controlSet.Working(), expected);
    EXPECT_EQ(controlSet.Device(), expected);
    EXPECT_TRUE(controlSet.PendingSend());
    EXPECT_EQ(refresher->seen, expected);
    EXPECT_TRUE(unsentAsked.empty()) << "the user asked for it already";
}

struct BadRead {
    const char* name;
    TSimController::TFaultMode fault;
    int feedPayload; // bytes of a forged ACK frame fed while the read waits; -1 none
};

void PrintTo(const BadRead& row, std::ostream* os)
{
    *os << row.name;
}

class ReadThatChangesNothing : public MemoryFixture, public ::testing::WithParamInterface<BadRead> {};

TEST_P(ReadThatChangesNothing, LeavesCopiesFlagAndControls)
{
    ASSERT_TRUE(ReachReceiving());
    controlSet.Working() = Sentinel();
    controlSet.CommitWorkingCopy();
    controller->SetFault(GetParam().fault, 1);
    if (GetParam().feedPayload >= 0) {
        QTimer::singleShot(30, window.get(), [this] {
            std::vector<uint8_t> frame { fbAck };
            frame.insert(frame.end(), size_t(GetParam().feedPayload), 0x20);
            frame.push_back(fbEot);
            adapter->FeedSerial(frame.data(), frame.size());
        });
    }
    EXPECT_FALSE(memory->BMemLoadClick());
    EXPECT_EQ(controlSet.Device(), Sentinel());
    EXPECT_EQ(controlSet.Working(), Sentinel());
    EXPECT_TRUE(controlSet.PendingSend());
    EXPECT_EQ(refresher->refreshes, 0);
    EXPECT_TRUE(displays.editsEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Memory, ReadThatChangesNothing,
    ::testing::Values(BadRead { "nak_without_data", TSimController::fmNakAll, -1 },
                      BadRead { "zero_bytes", TSimController::fmDropAnswer, 0 },
                      BadRead { "forty_seven_bytes", TSimController::fmDropAnswer, 47 },
                      BadRead { "no_answer", TSimController::fmDropAnswer, -1 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReadWrite, WriteSendsTheDeviceCopy)
{
    ASSERT_TRUE(ReachReceiving());
    CtrlSet s = Sentinel();
    s.Flags = 0x10; // escaped on the wire
    controlSet.Device() = s;
    EXPECT_EQ(memory->WriteCtrlSet(), fbAck);
    EXPECT_EQ(CtrlSet::FromBytes(controller->ControlSet().data()), s);
}

TEST_F(ReadWrite, RestoreAnsweredWithNakStillReadsBack)
{
    ASSERT_TRUE(ReachReceiving());
    controller->SetFault(TSimController::fmNakAll, 1);
    memory->BMemRestoreClick();
    EXPECT_EQ(controller->CommandsReceived(cmdRestore), 1);
    EXPECT_EQ(refresher->refreshes, 1);
}

TEST_F(ReadWrite, RestoreWithoutAnswerReadsNothing)
{
    ASSERT_TRUE(ReachReceiving());
    controller->SetFault(TSimController::fmDropAnswer, 1);
    memory->BMemRestoreClick();
    EXPECT_EQ(controller->CommandsReceived(cmdReadSet), 0);
    EXPECT_EQ(refresher->refreshes, 0);
}

} // namespace
