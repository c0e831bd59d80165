#include "tests/dialogs/DialogTables.h"

#include "ui/dialogs/TFlagBox.h"
#include "ui/widgets/TSlider.h"

// Exact to well under the smallest step any dialog shows (0.01 V).
constexpr double kPositionTolerance = 1e-9;

TEST_P(SliderEdit, StoresConvertedPositionShowsTextUpdatesDisplaysThenCommits)
{
    const TEditRow& row = GetParam();
    TDialogHarness h(row.kind);
    if (row.read)
        h.Read(row.read);
    CtrlSet expected = h.controlSet.Working();
    row.stores(expected);
    h.displays.calls.clear();
    h.displays.watched = &h.controlSet;

    h.Move(row.slider, row.position);

    EXPECT_EQ(h.Slider(row.slider)->position(), row.position);
    EXPECT_TRUE(h.controlSet.Working() == expected) << "the working copy holds more than the edit";
    EXPECT_TRUE(h.controlSet.Device() == expected) << "not committed";
    EXPECT_TRUE(h.controlSet.PendingSend());
    EXPECT_EQ(h.TextOf(row.slider).toStdString(), row.text);
    EXPECT_EQ(h.displays.calls, row.displayCalls);
    // The displays are updated before the commit raises the flag.
    EXPECT_EQ(h.displays.pendingAtCalls, std::vector<bool>(row.displayCalls.size(), false));
}

TEST_P(SliderShown, LoadsPositionAndTextWithoutWritingBack)
{
    const TShownRow& row = GetParam();
    TDialogHarness h(row.kind);
    CtrlSet expected;
    if (row.read) {
        h.displays.calls.clear();
        row.read(expected);
        h.Read(expected);
    }

    EXPECT_NEAR(h.Slider(row.slider)->position(), row.position, kPositionTolerance);
    EXPECT_EQ(h.TextOf(row.slider).toStdString(), row.text);
    EXPECT_TRUE(h.controlSet.Working() == expected);
    EXPECT_TRUE(h.controlSet.Device() == expected);
    EXPECT_FALSE(h.controlSet.PendingSend());
    EXPECT_TRUE(h.displays.calls.empty()) << "the dialog draws nothing when it loads";
}

TEST_P(FlagEdit, ChangesOnlyItsOwnBitAndCommits)
{
    const TFlagEditRow& row = GetParam();
    TDialogHarness h(row.kind);
    h.Read([&row](CtrlSet& s) { s.Flags = row.flags; });
    TFlagBox* box = h.Box(row.box);
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->isChecked(), row.tick) << "the read should leave the box the other way";

    box->click();

    EXPECT_EQ(box->isChecked(), row.tick);
    EXPECT_EQ(int(h.controlSet.Working().Flags), int(row.expected));
    EXPECT_EQ(int(h.controlSet.Device().Flags), int(row.expected));
    EXPECT_TRUE(h.controlSet.PendingSend());
}

TEST_P(BoxShown, LoadsItsBit)
{
    const TBoxShownRow& row = GetParam();
    auto atCreation = [&row](CtrlSet& s) { s.Flags = row.byRead ? 0 : row.flags; };
    TDialogHarness h(row.kind, atCreation);
    if (row.byRead)
        h.Read([&row](CtrlSet& s) { s.Flags = row.flags; });

    EXPECT_EQ(h.Box(row.box)->isChecked(), row.ticked);
    EXPECT_EQ(int(h.controlSet.Working().Flags), int(row.flags));
    EXPECT_FALSE(h.controlSet.PendingSend());
}
