// The bookkeeping that keeps edits the controller has not confirmed: the table of items, what a
// read does with such edits, the write's bounded sends and what a save writes.
#include "protocol/CtrlSetEncoding.h"
#include "protocol/TCommandCodes.h"
#include "protocol/TControlSet.h"
#include "protocol/TCtrlSetItem.h"
#include "protocol/TWriteRetry.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

const TCtrlSetItem& Item(const char* name)
{
    const TCtrlSetItem* item = TCtrlSetItem::Find(name);
    EXPECT_NE(item, nullptr) << name;
    return *item;
}

QString Untranslated(const char* text)
{
    return QString::fromUtf8(text);
}

// The controller's block in these tests: every field different from zero.
CtrlSet Held()
{
    CtrlSet s;
    s.Flags = 0x04;
    s.PulsoVuelta = 4;
    s.AperturaPos = 200;
    s.AperturaPosMin = 100;
    s.SondaRica = 143;
    s.CutOffLTps = 102;
    return s;
}

TEST(TCtrlSetItem, TheItemsCoverEveryBitOfTheBlockOnce)
{
    std::array<uint8_t, kCtrlSetSize> covered {};
    for (const TCtrlSetItem& item : TCtrlSetItem::All()) {
        for (int i = 0; i < item.size; ++i) {
            const uint8_t bits = item.mask ? item.mask : 0xFF;
            EXPECT_EQ(covered[size_t(item.offset + i)] & bits, 0) << item.name;
            covered[size_t(item.offset + i)] |= bits;
        }
        EXPECT_EQ(TCtrlSetItem::Find(item.name), &item) << "names are unique";
    }
    for (int i = 0; i < kCtrlSetSize; ++i)
        EXPECT_EQ(covered[size_t(i)], 0xFF) << "byte " << i;
}

TEST(TCtrlSetItem, SetChangesItsOwnFieldOrBitOnly)
{
    for (const TCtrlSetItem& item : TCtrlSetItem::All()) {
        CtrlSet set = Held();
        const CtrlSet before = set;
        const int value = item.mask ? !item.Get(set) : (item.size == 2 ? 0xA5C3 : 0x5A);
        item.Set(set, value);
        EXPECT_EQ(item.Get(set), value) << item.name;
        item.Set(set, item.Get(before));
        EXPECT_EQ(set, before) << item.name << ": another byte or bit moved";
    }
}

TEST(TCtrlSetItem, ValuesReadAsTheWindowsShowThem)
{
    struct Row {
        const char* name;
        int raw;
        const char* text;
    };
    const Row rows[] = {
        { "SondaRica", 143, "698" },       // 698.9 mV, truncated as a slider shows it
        { "SondaRica", 1023, "5000" },
        { "CutOffLTps", 102, "0.50" },      // volts with two decimals
        { "SimLTim", 150, "1500" },         // tens of ms shown as ms
        { "PosInteg", 30, "20" },           // the byte minus 10
        { "PosInteg", 0, "-10" },
        { "RpmReacL", 1000, "1000" },
        { "SET_AperturaPos", 321, "321" },
        { "ActSim", 1, "On" },
        { "TpsInv", 0, "Off" },
        { "SwitchMan", 1, "Manual" },
        { "SwitchMan", 0, "Automatic" },
        { "PulsoVuelta", 3, "3 Cylinder / 1 Coil" },
        { "PulsoVuelta", 7, "7" },          // a code the list has no item for
    };
    for (const Row& r : rows)
        EXPECT_EQ(Item(r.name).ValueText(r.raw, Untranslated).toStdString(), r.text)
            << r.name << " " << r.raw;
}

// --- what a read does with edits ---------------------------------------------------------------

TEST(TControlSetRead, WithoutEditsBothCopiesTakeTheBlock)
{
    TControlSet set;
    set.Working().AperturaPos = 5;
    set.CommitWorkingCopy();
    CtrlSet held = Held();
    held.AperturaPos = 5; // the controller already holds the committed value
    EXPECT_TRUE(set.TakeRead(held).empty());
    EXPECT_EQ(set.Device(), held);
    EXPECT_EQ(set.Working(), held);
    EXPECT_EQ(set.Confirmed(), held);
    EXPECT_FALSE(set.PendingSend());
    EXPECT_FALSE(set.HasUnsentEdits());
}

TEST(TControlSetRead, UnsentEditsSurviveOverTheValuesRead)
{
    TControlSet set;
    ASSERT_TRUE(set.TakeRead(Held()).empty());
    set.Working().AperturaPos = 321;                                 // edited
    set.Working().Flags = WithFlag(set.Working().Flags, cfTpsInv, true); // edited bit
    set.Working().AperturaPosMin = 150; // edited, but the controller will hold it too

    CtrlSet now = Held();
    now.SondaRica = 150;      // changed on the controller meanwhile
    now.AperturaPosMin = 150;
    const std::vector<TUnsentEdit> kept = set.TakeRead(now);

    ASSERT_EQ(kept.size(), 2u);
    EXPECT_STREQ(kept[0].item->name, "TpsInv");
    EXPECT_EQ(kept[0].controllerValue, 0);
    EXPECT_EQ(kept[0].editedValue, 1);
    EXPECT_STREQ(kept[1].item->name, "SET_AperturaPos");
    EXPECT_EQ(kept[1].controllerValue, 200);
    EXPECT_EQ(kept[1].editedValue, 321);

    CtrlSet shown = now;
    shown.AperturaPos = 321;
    shown.Flags = WithFlag(shown.Flags, cfTpsInv, true);
    EXPECT_EQ(set.Working(), shown);
    EXPECT_EQ(set.Device(), now);
    EXPECT_EQ(set.Confirmed(), now);
    EXPECT_FALSE(set.PendingSend()) << "nothing goes out before the user says so";
    EXPECT_TRUE(set.HasUnsentEdits());
}

TEST(TControlSetRead, AChangeOnItsWayKeepsItsWayWithoutAQuestion)
{
    TControlSet set;
    ASSERT_TRUE(set.TakeRead(Held()).empty());
    set.Working().AperturaPos = 321;
    set.CommitWorkingCopy();
    EXPECT_TRUE(set.TakeRead(Held()).empty());
    EXPECT_TRUE(set.PendingSend());
    EXPECT_EQ(set.Device().AperturaPos, 321);
    EXPECT_EQ(set.Working().AperturaPos, 321);
    EXPECT_EQ(set.Confirmed(), Held());

    // Withdrawn (the link went away before it), it is an unsent edit for the next read.
    set.WithdrawPendingWrite();
    EXPECT_FALSE(set.PendingSend());
    EXPECT_TRUE(set.HasUnsentEdits());
    EXPECT_EQ(set.TakeRead(Held()).size(), 1u);
}

TEST(TControlSetRead, ABlockLoadedAtTheDeskCountsWhole)
{
    TControlSet set;
    ASSERT_TRUE(set.TakeRead(Held()).empty());
    CtrlSet file = Held();
    file.AperturaPos = 250;
    file.CutOffLTps = 0; // a zero of the file is an edit too
    set.LoadUnsent(file);
    EXPECT_TRUE(set.HasUnsentEdits());
    EXPECT_EQ(set.Device(), Held());

    CtrlSet other = Held(); // another controller: it differs from the file in three items
    other.CutOffLTps = 300;
    other.SondaRica = 100;
    const std::vector<TUnsentEdit> kept = set.TakeRead(other);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(set.Working(), file) << "the whole file stays on screen";
    EXPECT_EQ(set.Device(), other);
}

// --- the write's bounded sends -----------------------------------------------------------------

struct WriteRow {
    const char* name;
    std::vector<int> answers;  // answer type of each send, -1 none
    bool linkReceiving;
    int sends;                 // sends made
    TWriteRetry::TOutcome last; // the outcome of the last one
    bool unsent;               // the edit is an unsent one afterwards
};

void PrintTo(const WriteRow& row, std::ostream* os)
{
    *os << row.name;
}

class WriteSends : public ::testing::TestWithParam<WriteRow> {};

TEST_P(WriteSends, EndAsTheAnswersSay)
{
    const WriteRow& row = GetParam();
    TControlSet set;
    set.TakeRead(Held());
    TWriteRetry writes(set);
    set.Working().AperturaPos = 321;
    set.CommitWorkingCopy();

    int sends = 0;
    int ticks = 0;
    TWriteRetry::TOutcome outcome = TWriteRetry::woRetrying;
    for (int answer : row.answers) {
        while (!writes.TakeDue()) {
            ++ticks;
            ASSERT_LT(ticks, 100) << "no send came";
        }
        ++sends;
        outcome = writes.Finish(set.Device(), answer, row.linkReceiving);
    }
    EXPECT_EQ(sends, row.sends);
    EXPECT_EQ(outcome, row.last);
    EXPECT_EQ(writes.Sends(), row.sends);
    EXPECT_FALSE(set.PendingSend());
    for (int i = 0; i < 20; ++i)
        EXPECT_FALSE(writes.TakeDue()) << "a send after the end";
    EXPECT_EQ(set.HasUnsentEdits(), row.unsent);
    EXPECT_EQ(set.Working().AperturaPos, 321);
    EXPECT_EQ(set.Device().AperturaPos, row.unsent ? 200 : 321);
    EXPECT_EQ(set.Confirmed().AperturaPos, row.unsent ? 200 : 321);
}

INSTANTIATE_TEST_SUITE_P(
    Protocol, WriteSends,
    ::testing::Values(
        WriteRow { "acknowledged", { fbAck }, true, 1, TWriteRetry::woConfirmed, false },
        WriteRow { "refused", { fbNak }, true, 1, TWriteRetry::woRefused, true },
        WriteRow { "answered_the_third_time", { -1, -1, fbAck }, true, 3,
                   TWriteRetry::woConfirmed, false },
        WriteRow { "never_answered", { -1, -1, -1, -1 }, true, 4, TWriteRetry::woUnconfirmed,
                   true },
        WriteRow { "link_lost", { -1 }, false, 1, TWriteRetry::woLinkLost, true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TWriteRetry, PausesBetweenSendsAndANewChangeStartsAfresh)
{
    TControlSet set;
    TWriteRetry writes(set);
    set.CommitWorkingCopy();
    ASSERT_TRUE(writes.TakeDue());
    ASSERT_EQ(writes.Finish(set.Device(), -1, true), TWriteRetry::woRetrying);
    int idle = 0;
    while (!writes.TakeDue())
        ++idle;
    EXPECT_EQ(idle, TWriteRetry::kPauseTicks - 1);
    ASSERT_EQ(writes.Finish(set.Device(), -1, true), TWriteRetry::woRetrying);
    EXPECT_EQ(writes.Sends(), 2);

    // An edit during the pause is a new change: sent at the next tick, counted from one.
    set.Working().AperturaPos = 7;
    set.CommitWorkingCopy();
    EXPECT_TRUE(writes.TakeDue());
    EXPECT_EQ(writes.Sends(), 1);
}

// --- what a save writes ------------------------------------------------------------------------

TEST(TControlSetSave, AsksOnlyWithUnsentEditsAndKnownControllerValues)
{
    TControlSet set;
    set.Working().AperturaPos = 321; // edited before any controller was heard
    EXPECT_TRUE(set.HasUnsentEdits());
    EXPECT_FALSE(set.SaveNeedsChoice()) << "no controller values to offer";
    EXPECT_EQ(set.BlockToSave(TSaveChoice::OnScreen), set.Working());

    set.TakeRead(Held());
    EXPECT_TRUE(set.SaveNeedsChoice());
    EXPECT_EQ(set.BlockToSave(TSaveChoice::OnScreen).AperturaPos, 321);
    EXPECT_EQ(set.BlockToSave(TSaveChoice::Controller), Held());

    set.LoadWorkingCopy();
    EXPECT_FALSE(set.SaveNeedsChoice());
}

} // namespace
