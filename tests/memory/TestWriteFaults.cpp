// A main-window edit under each way a write can fail, and the reconnection that offers what did
// not reach the controller: through the real link, the simulated adapter and the simulated
// controller, with the supervision ticked by hand.
#include "MemoryFixture.h"

#include "protocol/TCommandCodes.h"
#include "protocol/TCtrlSetItem.h"
#include "sim/TSimSerialPeer.h"

#include <QScopeGuard>
#include <QStringList>

namespace {

// On the adapter's serial line in front of the controller: pulls the adapter out the moment a
// write frame arrives, so the frame is lost with everything the adapter held.
class TUnplugOnWrite : public TSimSerialPeer {
public:
    TUnplugOnWrite(TSimController& controller, TSimTransport& transport)
        : FController(controller), FTransport(transport)
    {
    }
    void OnSerialFromPc(const uint8_t* bytes, size_t count) override
    {
        if (count >= 2 && bytes[0] == fbSoh && bytes[1] == cmdWriteSet) {
            FTransport.SetPlugged(false);
            return;
        }
        FController.OnSerialFromPc(bytes, count);
    }

private:
    TSimController& FController;
    TSimTransport& FTransport;
};

enum TWriteFault { wfDroppedAnswer, wfNak, wfSilence, wfUnplugBeforeDelay, wfUnplugInExchange };

struct WriteFaultRow {
    const char* name;
    TWriteFault fault;
    int replyTimeoutMs; // the exchange's limit in this row; the program's is 1600 ms
    int sends;          // write frames that reached the adapter
    int unanswered;     // of them, those whose exchange ran to its limit
    const char* notice; // what the supervision told, or nullptr for nothing but the marker
};

void PrintTo(const WriteFaultRow& row, std::ostream* os)
{
    *os << row.name;
}

class WriteFaults : public MemoryFixture, public ::testing::WithParamInterface<WriteFaultRow> {
protected:
    int WritesSent() const
    {
        int n = 0;
        for (const auto& r : adapter->SentRecords())
            n += r.size() >= 4 && r[0] == mtFrame && r[2] == fbSoh && r[3] == cmdWriteSet;
        return n;
    }
};

const char* const kUnconfirmed =
    "The controller did not confirm the change after 4 attempts. It is kept on screen as an "
    "unsent edit (marked * in the title).";
const char* const kRefused =
    "The controller refused the change. It is kept on screen as an unsent edit (marked * in the "
    "title).";

TEST_P(WriteFaults, KeepTheEditAndSaySo)
{
    const WriteFaultRow& row = GetParam();
    ASSERT_TRUE(Connect());
    RunTicks(2, 20);
    const CtrlSet before = controlSet.Device();
    ASSERT_EQ(Held(), before);
    protocol->SetReplyTimeoutMs(row.replyTimeoutMs);
    TUnplugOnWrite unplugger(*controller, *transport);
    const auto reattach = qScopeGuard([this] { adapter->AttachPeer(controller.get()); });
    switch (row.fault) {
    case wfDroppedAnswer:
        controller->SetCommandFault(cmdWriteSet, TSimController::cmfDropAnswer);
        break;
    case wfNak:
        controller->SetCommandFault(cmdWriteSet, TSimController::cmfNak);
        break;
    case wfSilence:
        controller->SetFault(TSimController::fmSilent);
        break;
    case wfUnplugInExchange:
        adapter->AttachPeer(&unplugger);
        break;
    case wfUnplugBeforeDelay:
        break;
    }

    // A slider move in the main window: the write delay, then the write and its fate.
    controlSet.Working().AperturaPos = uint16_t(before.AperturaPos + 77);
    supervision->RestartWriteDelay();
    if (row.fault == wfUnplugBeforeDelay) {
        transport->SetPlugged(false);
        ASSERT_TRUE(PumpUntil([this] { return link->GetLinkStatus() == lkNoAdapter; }));
    }
    // Told: the caption's marker, and the notice where there is one; without a notice, once
    // the write is over and the edit is an unsent one for good.
    auto settled = [&] {
        const bool delayOver = supervision->WriteDelay() == 0
            || link->GetLinkStatus() != lkReceiving;
        return !controlSet.PendingSend() && controlSet.Device() == before && delayOver;
    };
    int ticks = 0;
    bool toldYet = false;
    while (!toldYet && ticks < 60) {
        Tick();
        ++ticks;
        toldYet = window->windowTitle().endsWith(QStringLiteral(" *"))
            && (row.notice ? !view.notices.isEmpty() : settled());
        Pump(20);
    }
    ASSERT_TRUE(toldYet);
    RunTicks(TWriteRetry::kPauseTicks * 2, 20); // nothing more goes out

    EXPECT_EQ(WritesSent(), row.sends);
    if (row.notice)
        EXPECT_EQ(view.notices, QStringList { QString::fromUtf8(row.notice) });
    else
        EXPECT_TRUE(view.notices.isEmpty());
    EXPECT_EQ(controlSet.Working().AperturaPos, before.AperturaPos + 77);
    EXPECT_EQ(controlSet.Device(), before);
    EXPECT_TRUE(controlSet.HasUnsentEdits());
    EXPECT_FALSE(controlSet.PendingSend());
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral(" *")));

    // The program's figures: 100 ms a supervision tick, 1600 ms an exchange left unanswered.
    RecordProperty("sends", row.sends);
    RecordProperty("ticks_until_told", ticks);
    RecordProperty("told_after_ms", ticks * 100 + row.unanswered * kDefaultReplyTimeoutMs);
}

INSTANTIATE_TEST_SUITE_P(
    Memory, WriteFaults,
    ::testing::Values(
        WriteFaultRow { "dropped_answer", wfDroppedAnswer, 300, 4, 4, kUnconfirmed },
        WriteFaultRow { "nak", wfNak, 300, 1, 0, kRefused },
        // Long enough for the link to notice the silence before the exchange gives up, as it
        // does with the program's 1600 ms.
        WriteFaultRow { "silence", wfSilence, kDefaultReplyTimeoutMs, 1, 1, nullptr },
        WriteFaultRow { "unplug_before_the_write_delay", wfUnplugBeforeDelay, 300, 0, 0, nullptr },
        WriteFaultRow { "unplug_during_the_exchange", wfUnplugInExchange, 300, 1, 1, nullptr }),
    [](const auto& info) { return std::string(info.param.name); });

// --- the reconnection ---------------------------------------------------------------------------

} // namespace

// The choice is declared outside any namespace, so its printer is too.
static void PrintTo(const TMemoryOps::TUnsentChoice& choice, std::ostream* os)
{
    *os << (choice == TMemoryOps::TUnsentChoice::SendAgain ? "send_again" : "discard");
}

namespace {

class Reconnection : public MemoryFixture,
                     public ::testing::WithParamInterface<TMemoryOps::TUnsentChoice> {};

TEST_P(Reconnection, OffersTheUnsentEditsAndTheControllerHoldsTheChoice)
{
    ASSERT_TRUE(Connect());
    RunTicks(2, 20);
    const CtrlSet before = Held();
    transport->SetPlugged(false);
    ASSERT_TRUE(TickUntil([this] { return supervision->LastLinkStatus() == lkNoAdapter; }));

    // Two edits with no controller: a main-window slider and a dialog's (committed at once).
    controlSet.Working().AperturaPos = 321;
    supervision->RestartWriteDelay();
    controlSet.Working().CutOffLTps = 300;
    controlSet.CommitWorkingCopy();
    RunTicks(3, 20);
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral(" *")));
    // Meanwhile someone else changed another value on the controller.
    CtrlSet changed = before;
    changed.SondaRica = 150;
    controller->SetControlSet(changed.ToBytes());

    unsentAnswer = GetParam();
    transport->SetPlugged(true);
    ASSERT_TRUE(TickUntil([this] { return !unsentAsked.empty(); }, 80));
    ASSERT_EQ(unsentAsked.size(), 1u);
    const std::vector<TUnsentEdit>& offered = unsentAsked[0];
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_STREQ(offered[0].item->name, "SET_AperturaPos");
    EXPECT_EQ(offered[0].controllerValue, before.AperturaPos);
    EXPECT_EQ(offered[0].editedValue, 321);
    EXPECT_STREQ(offered[1].item->name, "CutOffLTps");
    EXPECT_EQ(offered[1].controllerValue, before.CutOffLTps);
    EXPECT_EQ(offered[1].editedValue, 300);
    RunTicks(5, 20);

    CtrlSet expected = changed;
    if (GetParam() == TMemoryOps::TUnsentChoice::SendAgain) {
        expected.AperturaPos = 321;
        expected.CutOffLTps = 300;
        EXPECT_EQ(controller->CommandsReceived(cmdWriteSet), 1);
    } else {
        EXPECT_EQ(controller->CommandsReceived(cmdWriteSet), 0);
    }
    EXPECT_EQ(Held(), expected);
    EXPECT_EQ(controlSet.Working(), expected);
    EXPECT_EQ(controlSet.Device(), expected);
    EXPECT_FALSE(controlSet.HasUnsentEdits());
    EXPECT_FALSE(window->windowTitle().endsWith(QStringLiteral(" *")));
    EXPECT_EQ(unsentAsked.size(), 1u) << "one question";
}

INSTANTIATE_TEST_SUITE_P(Memory, Reconnection,
                         ::testing::Values(TMemoryOps::TUnsentChoice::SendAgain,
                                           TMemoryOps::TUnsentChoice::Discard),
                         [](const auto& info) { return ::testing::PrintToString(info.param); });

} // namespace
