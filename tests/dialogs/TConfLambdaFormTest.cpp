#include "tests/dialogs/DialogTables.h"

#include "protocol/CtrlSetEncoding.h"
#include "ui/dialogs/TFlagBox.h"
#include "ui/widgets/TSlider.h"
#include "ui/widgets/TValueBox.h"

#include <QGroupBox>
#include <QLabel>

namespace {

constexpr TDialogKind kLambda = TDialogKind::Lambda;

// clang-format off
const TShownRow kShown[] = {
    // name, dialog, block read (none: as created), slider, position, value box text
    { "StartUpSim2RPM",        kLambda, nullptr, "Sim2RPM",        2000, "2000" },
    { "StartUpSondaRica",      kLambda, nullptr, "SondaRica",      0, "0" },
    { "StartUpTimArrSonda",    kLambda, nullptr, "TimArrSonda",    0, "0" },
    { "StartUpSim2LTim",       kLambda, nullptr, "Sim2LTim",       0, "0" },
    { "StartUpSimCutOffLevel", kLambda, nullptr, "SimCutOffLevel", 0, "0" },
    { "ReadSondaIdeal92", kLambda, [](CtrlSet& s) { s.SondaIdeal = 92; },
      "SondaIdeal", 449.657869012724, "449" },
    { "ReadProbe1023AtMax", kLambda, [](CtrlSet& s) { s.SondaPobre = 1023; },
      "SondaPobre", 5000, "5000" },
    { "ReadSimLTim123", kLambda, [](CtrlSet& s) { s.SimLTim = 123; }, "SimLTim", 1230, "1230" },
    { "ReadTimArrSonda", kLambda, [](CtrlSet& s) { s.TimArrSonda = 17; }, "TimArrSonda", 17, "17" },
    { "ReadTimArrSondaAboveRangeShowsField", kLambda, [](CtrlSet& s) { s.TimArrSonda = 255; },
      "TimArrSonda", 250, "255" },
    // The high-regime and cut-off emulation follow a read like the rest.
    { "ReadSim2RPM", kLambda, [](CtrlSet& s) { s.Sim2RPM = 4321; }, "Sim2RPM", 4321, "4321" },
    { "ReadSim2RPMZero", kLambda, [](CtrlSet& s) { s.Sim2RPM = 0; }, "Sim2RPM", 2000, "2000" },
    { "ReadSim2HTim", kLambda, [](CtrlSet& s) { s.Sim2HTim = 75; }, "Sim2HTim", 750, "750" },
    { "ReadSim2LTim", kLambda, [](CtrlSet& s) { s.Sim2LTim = 150; }, "Sim2LTim", 1500, "1500" },
    { "ReadSimCutOffLevel", kLambda, [](CtrlSet& s) { s.SimCutOffLevel = 41; },
      "SimCutOffLevel", 41 * kMillivoltsPerCount, "200" },
};

const TEditRow kEdits[] = {
    // name, dialog, block read before, slider, position,
    //   what it stores, value box text, main-window updates
    { "SondaRica1007FiveVolt", kLambda, nullptr, "SondaRica", 1007,
      [](CtrlSet& s) { s.SondaRica = 206; }, "1007",
      { "SetLambdaScale(5V)", "SetLambdaSection2End(206)", "SetLambdaLimit(1, 1007)" } },
    { "SondaRica1006OneVolt", kLambda, nullptr, "SondaRica", 1006,
      [](CtrlSet& s) { s.SondaRica = 205; }, "1006",
      { "SetLambdaScale(1V)", "SetLambdaSection2End(205)", "SetLambdaLimit(1, 1006)" } },
    { "SondaPobreLimitNotTruncated", kLambda, nullptr, "SondaPobre", 400.5,
      [](CtrlSet& s) { s.SondaPobre = 81; }, "400",
      { "SetLambdaSection1End(81)", "SetLambdaLimit(0, 400.5)" } },
    { "SondaIdeal450", kLambda, nullptr, "SondaIdeal", 450,
      [](CtrlSet& s) { s.SondaIdeal = 92; }, "450", { "SetLambdaLimit(2, 450)" } },
    { "ProbeAt5000", kLambda, nullptr, "SondaIdeal", 5000,
      [](CtrlSet& s) { s.SondaIdeal = 1022; }, "5000", { "SetLambdaLimit(2, 5000)" } },
    { "TimArrSonda", kLambda, nullptr, "TimArrSonda", 42.9,
      [](CtrlSet& s) { s.TimArrSonda = 42; }, "42", {} },
    { "SimLTim1234", kLambda, nullptr, "SimLTim", 1234,
      [](CtrlSet& s) { s.SimLTim = 123; }, "1234", {} },
    { "SimHTim5000", kLambda, nullptr, "SimHTim", 5000,
      [](CtrlSet& s) { s.SimHTim = 500; }, "5000", {} },
    { "SimHLev", kLambda, nullptr, "SimHLev", 1000,
      [](CtrlSet& s) { s.SimHLev = 204; }, "1000", {} },
    { "SimLLev", kLambda, nullptr, "SimLLev", 1006,
      [](CtrlSet& s) { s.SimLLev = 205; }, "1006", {} },
    { "Sim2LTim1500", kLambda, nullptr, "Sim2LTim", 1500,
      [](CtrlSet& s) { s.Sim2LTim = 150; }, "1500", {} },
    { "Sim2HTim", kLambda, nullptr, "Sim2HTim", 990,
      [](CtrlSet& s) { s.Sim2HTim = 99; }, "990", {} },
    { "Sim2RPM", kLambda, nullptr, "Sim2RPM", 3500.5,
      [](CtrlSet& s) { s.Sim2RPM = 3500; }, "3500", {} },
    { "SimCutOffLevel", kLambda, nullptr, "SimCutOffLevel", 5000,
      [](CtrlSet& s) { s.SimCutOffLevel = 1022; }, "5000", {} },
    // Levels are not compared with each other.
    { "LowLevelAboveHighStored", kLambda, [](CtrlSet& s) { s.SimHLev = 100; }, "SimLLev", 2000,
      [](CtrlSet& s) { s.SimLLev = 409; }, "2000", {} },
};

const TFlagEditRow kFlagEdits[] = {
    { "TickSimCutOff",   kLambda, 0x42, "SimCutOff", true,  0x62 },
    { "UntickSondaInv",  kLambda, 0x62, "SondaInv",  false, 0x22 },
    { "UntickActSimAll", kLambda, 0xFF, "ActSim",    false, 0xFD },
    { "TickActSim2",     kLambda, 0x00, "ActSim2",   true,  0x10 },
};

const TBoxShownRow kBoxesShown[] = {
    { "CreationSondaInv",       kLambda, false, 0x40, "SondaInv",  true  },
    { "CreationActSim",         kLambda, false, 0x02, "ActSim",    true  },
    { "CreationActSim2",        kLambda, false, 0x10, "ActSim2",   true  },
    // Creation leaves the emulation on cut-off unticked; a read sets it.
    { "CreationLeavesSimCutOff", kLambda, false, 0x20, "SimCutOff", false },
    { "ReadSimCutOff",          kLambda, true,  0x20, "SimCutOff", true  },
    { "ReadActSim2",            kLambda, true,  0x10, "ActSim2",   true  },
    { "ReadSondaInvCleared",    kLambda, true,  0xBF, "SondaInv",  false },
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Lambda, SliderShown, testing::ValuesIn(kShown), RowName<TShownRow>);
INSTANTIATE_TEST_SUITE_P(Lambda, SliderEdit, testing::ValuesIn(kEdits), RowName<TEditRow>);
INSTANTIATE_TEST_SUITE_P(Lambda, FlagEdit, testing::ValuesIn(kFlagEdits), RowName<TFlagEditRow>);
INSTANTIATE_TEST_SUITE_P(Lambda, BoxShown, testing::ValuesIn(kBoxesShown), RowName<TBoxShownRow>);

TEST(ConfLambdaForm, SondaIdealAfterReadOfTheSameBlockShowsTheStoredCounts)
{
    TDialogHarness h(kLambda);
    h.Move("SondaIdeal", 450);
    ASSERT_EQ(h.controlSet.Device().SondaIdeal, 92);

    h.Read(h.controlSet.Device());

    EXPECT_NEAR(h.Slider("SondaIdeal")->position(), 449.66, 0.005);
    EXPECT_EQ(h.TextOf("SondaIdeal"), "449");
}

TEST(ConfLambdaForm, SimLTimAfterReadOfTheSameBlockShowsTensOfMs)
{
    TDialogHarness h(kLambda);
    h.Move("SimLTim", 1234);
    h.Read(h.controlSet.Device());

    EXPECT_EQ(h.Slider("SimLTim")->position(), 1230);
    EXPECT_EQ(h.TextOf("SimLTim"), "1230");
}

// --- firmware-dependent controls ---

const char* const kFirmwareDependent[] = {
    "ActSim2",  "Sim2RPM",        "ValSim2RPM",       "Sim2HTim",  "ValSim2HTim",
    "Sim2LTim", "ValSim2LTim",    "SimCutOff",        "SimCutOffLevel", "ValSimCutOffLevel",
};
const char* const kAlwaysEnabled[] = {
    "SondaInv", "ActSim", "SondaRica", "ValSondaRica", "SimLTim", "ValSimLTim", "BAceptar",
};

struct TFirmwareRow {
    std::string name;
    uint16_t version;
    bool enabled;
};
class Firmware : public testing::TestWithParam<TFirmwareRow> {};
void PrintTo(const TFirmwareRow& row, std::ostream* os) { *os << row.name; }

template <size_t N>
void ExpectEnabled(const TDialogHarness& h, const char* const (&names)[N], bool enabled)
{
    for (const char* name : names) {
        auto* w = h.dialog->findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->isEnabled(), enabled) << name;
    }
}

TEST_P(Firmware, EachShowingDecidesFromTheVersionOfThatMoment)
{
    const TFirmwareRow& row = GetParam();
    TDialogHarness h(kLambda);
    h.Read([](CtrlSet& s) { s.Flags = cfActSim2 | cfSimCutOff; s.Sim2RPM = 3000; });
    const CtrlSet before = h.controlSet.Working();

    h.displays.version = row.version;
    h.dialog->show();
    ExpectEnabled(h, kFirmwareDependent, row.enabled);
    ExpectEnabled(h, kAlwaysEnabled, true);
    for (QWidget* w : h.dialog->findChildren<QWidget*>()) {
        const bool plainLabel = qobject_cast<QLabel*>(w) && !qobject_cast<TValueBox*>(w);
        if (plainLabel || qobject_cast<QGroupBox*>(w)) {
            EXPECT_TRUE(w->isEnabled()) << "captions, units and group boxes stay enabled";
        }
    }
    h.dialog->hide();

    // The controller changes its answer; the next showing follows it.
    h.displays.version = row.enabled ? 0x0103 : 0x0104;
    h.dialog->show();
    ExpectEnabled(h, kFirmwareDependent, !row.enabled);
    h.dialog->hide();

    // Values and bits stay as they were; greyed-out controls keep showing them.
    EXPECT_TRUE(h.controlSet.Working() == before);
    EXPECT_TRUE(h.Box("SimCutOff")->isChecked());
    EXPECT_EQ(h.TextOf("Sim2RPM"), "3000");
}

TEST_P(Firmware, FormActivateAppliesTheVersion)
{
    const TFirmwareRow& row = GetParam();
    TDialogHarness h(kLambda);
    h.displays.version = row.version;

    h.dialog->FormActivate();

    ExpectEnabled(h, kFirmwareDependent, row.enabled);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Lambda, Firmware, testing::Values(
    TFirmwareRow{ "Unknown", 0,      false },
    TFirmwareRow{ "V0103",   0x0103, false },
    TFirmwareRow{ "V0104",   0x0104, true  },
    TFirmwareRow{ "V0201",   0x0201, true  }),
    RowName<TFirmwareRow>);
// clang-format on

} // namespace
