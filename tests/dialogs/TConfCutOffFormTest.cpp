#include "tests/dialogs/DialogTables.h"

#include "protocol/CtrlSetEncoding.h"
#include "ui/dialogs/TFlagBox.h"

namespace {

constexpr TDialogKind kCutOff = TDialogKind::CutOff;

// clang-format off
const TShownRow kShown[] = {
    // name, dialog, block read (none: as created), slider, position, value box text
    { "StartUpLowerTps", kCutOff, nullptr, "CutOffLTps", 0, "0.00" },
    { "StartUpUpperTps", kCutOff, nullptr, "CutOffHTps", 0, "0.00" },
    { "StartUpLowerRpm", kCutOff, nullptr, "CutOffLRpm", 0, "0" },
    { "StartUpUpperRpm", kCutOff, nullptr, "CutOffHRpm", 0, "0" },
    { "StartUpLowerPos", kCutOff, nullptr, "CutOffLPos", 0, "0" },
    { "StartUpUpperPos", kCutOff, nullptr, "CutOffHPos", 0, "0" },
    // Just under 5 V, shown rounded to two decimals.
    { "ReadTps1023", kCutOff, [](CtrlSet& s) { s.CutOffLTps = 1023; },
      "CutOffLTps", 4.9999999665, "5.00" },
    { "ReadTps511", kCutOff, [](CtrlSet& s) { s.CutOffHTps = 511; },
      "CutOffHTps", 511 * kVoltsPerCount, "2.50" },
    { "ReadTps0", kCutOff, [](CtrlSet& s) { s.CutOffHTps = 0; }, "CutOffHTps", 0, "0.00" },
    { "ReadLowerRpm", kCutOff, [](CtrlSet& s) { s.CutOffLRpm = 2500; }, "CutOffLRpm", 2500, "2500" },
    { "ReadLowerRpmAboveRangeShowsField", kCutOff, [](CtrlSet& s) { s.CutOffLRpm = 6000; },
      "CutOffLRpm", 4000, "6000" },
    { "ReadUpperPos", kCutOff, [](CtrlSet& s) { s.CutOffHPos = 321; }, "CutOffHPos", 321, "321" },
};

const TEditRow kEdits[] = {
    // name, dialog, block read before, slider, position,
    //   what it stores, value box text, main-window updates
    { "LowerTps2_5", kCutOff, nullptr, "CutOffLTps", 2.5,
      [](CtrlSet& s) { s.CutOffLTps = 511; }, "2.50", {} },
    { "LowerTps5", kCutOff, nullptr, "CutOffLTps", 5,
      [](CtrlSet& s) { s.CutOffLTps = 1023; }, "5.00", {} },
    { "LowerTps0_01", kCutOff, nullptr, "CutOffLTps", 0.01,
      [](CtrlSet& s) { s.CutOffLTps = 2; }, "0.01", {} },
    { "UpperTps1", kCutOff, nullptr, "CutOffHTps", 1,
      [](CtrlSet& s) { s.CutOffHTps = 204; }, "1.00", {} },
    { "UpperRpmMovesUpperMarker", kCutOff, [](CtrlSet& s) { s.CutOffHPos = 120; }, "CutOffHRpm", 6000,
      [](CtrlSet& s) { s.CutOffHRpm = 6000; }, "6000", { "SetCutOff(1, 6000, 120)" } },
    { "UpperPosMovesUpperMarker", kCutOff, [](CtrlSet& s) { s.CutOffHRpm = 5000; }, "CutOffHPos", 250.8,
      [](CtrlSet& s) { s.CutOffHPos = 250; }, "250", { "SetCutOff(1, 5000, 250)" } },
    { "LowerPosMovesLowerMarker", kCutOff, [](CtrlSet& s) { s.CutOffLRpm = 1500; }, "CutOffLPos", 80,
      [](CtrlSet& s) { s.CutOffLPos = 80; }, "80", { "SetCutOff(0, 1500, 80)" } },
    { "LowerRpmMovesLowerMarkerTruncated", kCutOff, [](CtrlSet& s) { s.CutOffLPos = 45; },
      "CutOffLRpm", 1999.9,
      [](CtrlSet& s) { s.CutOffLRpm = 1999; }, "1999", { "SetCutOff(0, 1999, 45)" } },
    // The two cut-offs are not compared with each other.
    { "LowerRpmAboveUpperStored", kCutOff,
      [](CtrlSet& s) { s.CutOffHRpm = 1000; s.CutOffLPos = 10; }, "CutOffLRpm", 3000,
      [](CtrlSet& s) { s.CutOffLRpm = 3000; }, "3000", { "SetCutOff(0, 3000, 10)" } },
    { "LowerPosAboveUpperStored", kCutOff,
      [](CtrlSet& s) { s.CutOffHPos = 100; s.CutOffLRpm = 900; }, "CutOffLPos", 400,
      [](CtrlSet& s) { s.CutOffLPos = 400; }, "400", { "SetCutOff(0, 900, 400)" } },
};

const TFlagEditRow kFlagEdits[] = {
    { "TickTpsInv",        kCutOff, 0x04, "TpsInv",     true,  0x84 },
    { "UntickCutOffLAct",  kCutOff, 0x84, "CutOffLAct", false, 0x80 },
    { "TickCutOffHAct",    kCutOff, 0xF7, "CutOffHAct", true,  0xFF },
    { "UntickTpsInvOnAll", kCutOff, 0xFF, "TpsInv",     false, 0x7F },
};

const TBoxShownRow kBoxesShown[] = {
    { "CreationTpsInv",     kCutOff, false, 0x80, "TpsInv",     true  },
    { "CreationCutOffLAct", kCutOff, false, 0x04, "CutOffLAct", true  },
    { "CreationCutOffHAct", kCutOff, false, 0x04, "CutOffHAct", false },
    { "ReadCutOffHAct",     kCutOff, true,  0x08, "CutOffHAct", true  },
    { "ReadTpsInvCleared",  kCutOff, true,  0x7F, "TpsInv",     false },
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(CutOff, SliderShown, testing::ValuesIn(kShown), RowName<TShownRow>);
INSTANTIATE_TEST_SUITE_P(CutOff, SliderEdit, testing::ValuesIn(kEdits), RowName<TEditRow>);
INSTANTIATE_TEST_SUITE_P(CutOff, FlagEdit, testing::ValuesIn(kFlagEdits), RowName<TFlagEditRow>);
INSTANTIATE_TEST_SUITE_P(CutOff, BoxShown, testing::ValuesIn(kBoxesShown), RowName<TBoxShownRow>);

TEST(ConfCutOffForm, StartsWithNoBoxTicked)
{
    TDialogHarness h(kCutOff);
    for (const char* box : { "TpsInv", "CutOffLAct", "CutOffHAct" })
        EXPECT_FALSE(h.Box(box)->isChecked()) << box;
}

} // namespace
