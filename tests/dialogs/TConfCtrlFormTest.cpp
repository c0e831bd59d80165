#include "tests/dialogs/DialogTables.h"

#include "ui/widgets/TSlider.h"

#include <utility>

namespace {

constexpr TDialogKind kCtrl = TDialogKind::Ctrl;

// clang-format off
const TShownRow kShown[] = {
    // Before any read: each slider shows the zero working copy clamped to its range, and the
    // RPM boxes show the field itself.
    { "StartUpPosInteg", kCtrl, nullptr, "PosInteg",    0, "0" },
    { "StartUpRpmReacL", kCtrl, nullptr, "RpmReacL",  500, "0" },
    { "StartUpRpmReacH", kCtrl, nullptr, "RpmReacH", 1000, "0" },
    { "ReadPosInteg10",  kCtrl, [](CtrlSet& s) { s.PosInteg = 10; },  "PosInteg",  0, "0" },
    { "ReadPosInteg47",  kCtrl, [](CtrlSet& s) { s.PosInteg = 47; },  "PosInteg", 37, "37" },
    { "ReadPosInteg0ClampsToZero", kCtrl, [](CtrlSet& s) { s.PosInteg = 0; }, "PosInteg", 0, "0" },
    { "ReadRpmReacLBelowRangeShowsField", kCtrl, [](CtrlSet& s) { s.RpmReacL = 200; },
      "RpmReacL", 500, "200" },
    // A read is not an edit: the rule leaves a slow speed above the quick one as it came.
    { "ReadSlowAboveQuickSlow", kCtrl, [](CtrlSet& s) { s.RpmReacL = 1400; s.RpmReacH = 1200; },
      "RpmReacL", 1400, "1400" },
    { "ReadSlowAboveQuickQuick", kCtrl, [](CtrlSet& s) { s.RpmReacL = 1400; s.RpmReacH = 1200; },
      "RpmReacH", 1200, "1200" },
};

const TEditRow kEdits[] = {
    { "PosInteg37", kCtrl, nullptr, "PosInteg", 37, [](CtrlSet& s) { s.PosInteg = 47; }, "37", {} },
    { "PosInteg0", kCtrl, [](CtrlSet& s) { s.PosInteg = 30; }, "PosInteg", 0,
      [](CtrlSet& s) { s.PosInteg = 10; }, "0", {} },
    { "PosInteg50", kCtrl, nullptr, "PosInteg", 50, [](CtrlSet& s) { s.PosInteg = 60; }, "50", {} },
    { "RpmReacLTruncates", kCtrl, nullptr, "RpmReacL", 873.6,
      [](CtrlSet& s) { s.RpmReacL = 873; }, "873", {} },
    { "RpmReacHTruncates", kCtrl, nullptr, "RpmReacH", 2500.9,
      [](CtrlSet& s) { s.RpmReacH = 2500; }, "2500", {} },
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Ctrl, SliderShown, testing::ValuesIn(kShown), RowName<TShownRow>);
INSTANTIATE_TEST_SUITE_P(Ctrl, SliderEdit, testing::ValuesIn(kEdits), RowName<TEditRow>);

// After the user moves either RPM slider, the slow-probe speed does not exceed the quick one.
struct TRpmRuleRow {
    std::string name;
    std::vector<std::pair<const char*, double>> before; // the user's earlier moves
    const char* slider;                                 // then dragged to `to`
    double to;
    double slowPosition;
    double quickPosition;
    uint16_t slowStored;
    uint16_t quickStored;
    const char* text; // the dragged slider's value box
};
class RpmRule : public testing::TestWithParam<TRpmRuleRow> {};
void PrintTo(const TRpmRuleRow& row, std::ostream* os) { *os << row.name; }

TEST_P(RpmRule, PullsBackStoresThePulledBackValueAndGivesOneWrite)
{
    const TRpmRuleRow& row = GetParam();
    TDialogHarness h(kCtrl);
    for (const auto& [slider, position] : row.before)
        h.Move(slider, position);
    h.controlSet.TakePendingSend(); // a supervision tick writes the earlier moves

    h.Move(row.slider, row.to);

    EXPECT_EQ(h.Slider("RpmReacL")->position(), row.slowPosition);
    EXPECT_EQ(h.Slider("RpmReacH")->position(), row.quickPosition);
    EXPECT_EQ(h.controlSet.Working().RpmReacL, row.slowStored);
    EXPECT_EQ(h.controlSet.Working().RpmReacH, row.quickStored);
    EXPECT_EQ(h.TextOf(row.slider).toStdString(), row.text);
    EXPECT_TRUE(h.controlSet.Device() == h.controlSet.Working());
    // However many commits the nested runs made, the next tick writes once.
    EXPECT_TRUE(h.controlSet.TakePendingSend());
    EXPECT_FALSE(h.controlSet.TakePendingSend());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Ctrl, RpmRule, testing::Values(
    // name, earlier moves, dragged slider and where to,
    //   slow and quick positions afterwards, slow and quick stored, the dragged slider's text
    TRpmRuleRow{ "SlowDraggedAboveQuick", { { "RpmReacH", 1200 } }, "RpmReacL", 1400,
                 1200, 1200, 1200, 1200, "1200" },
    TRpmRuleRow{ "QuickDraggedBelowSlow", { { "RpmReacH", 2000 }, { "RpmReacL", 1300 } },
                 "RpmReacH", 1000,
                 1300, 1300, 1300, 1300, "1300" },
    TRpmRuleRow{ "EqualAllowed", { { "RpmReacH", 1200 } }, "RpmReacL", 1200,
                 1200, 1200, 1200, 1200, "1200" },
    // 1200.7 is above 1200.4 although both store 1200.
    TRpmRuleRow{ "ComparedBeforeTruncation", { { "RpmReacH", 1200.4 } }, "RpmReacL", 1200.7,
                 1200.4, 1200.4, 1200, 1200, "1200" },
    TRpmRuleRow{ "SlowBelowQuickUntouched", { { "RpmReacH", 1200 } }, "RpmReacL", 1100,
                 1100, 1200, 1100, 1200, "1100" }),
    RowName<TRpmRuleRow>);
// clang-format on

TEST(ConfCtrlForm, UserMoveAfterReadOfSlowAboveQuickAppliesTheRule)
{
    TDialogHarness h(kCtrl);
    h.Read([](CtrlSet& s) { s.RpmReacL = 1400; s.RpmReacH = 1200; });

    h.Move("RpmReacH", 1250);

    EXPECT_EQ(h.Slider("RpmReacH")->position(), 1400);
    EXPECT_EQ(h.controlSet.Working().RpmReacH, 1400);
    EXPECT_EQ(h.controlSet.Working().RpmReacL, 1400);
}

} // namespace
