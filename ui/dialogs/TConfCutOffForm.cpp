#include "ui/dialogs/TConfCutOffForm.h"

#include "protocol/CtrlSetEncoding.h"
#include "ui/dialogs/TFlagBox.h"
#include "ui/dialogs/TMainDisplays.h"
#include "ui/dialogs/TSliderRow.h"

#include <QGroupBox>

#include "settings/Gettext.h"

namespace {

constexpr TFlagBoxDef kTpsInv = { "TpsInv", N_("TPS with inverted signal (5 - 0 Volt)"), cfTpsInv,
                                   8, 8, 357 };
constexpr TFlagBoxDef kLowerActive = { "CutOffLAct", N_("Active"), cfCutOffLAct, 8, 16, 65 };
constexpr TFlagBoxDef kUpperActive = { "CutOffHAct", N_("Active"), cfCutOffHAct, 8, 16, 65 };

// clang-format off
constexpr TSliderRowDef kLowerRows[] = {
    // slider, caption, top, range, small and large step, major ticks, field;
    // encoding, value box text, unit, decimals of the tick labels
    { "CutOffLTps", N_("TPS"),             32, 0,    5,  1,  10, 6, &CtrlSet::CutOffLTps,
      feVolts, vtVolts, N_("Volt"), 2 },
    { "CutOffLRpm", N_("RPM"),             80, 0, 4000, 10, 100, 5, &CtrlSet::CutOffLRpm,
      feUnscaled, vtField, N_("Rpm") },
    { "CutOffLPos", N_("Valve position"), 128, 0,  500,  1,  10, 6, &CtrlSet::CutOffLPos,
      feUnscaled, vtField },
};
constexpr TSliderRowDef kUpperRows[] = {
    { "CutOffHTps", N_("TPS"),             32, 0,    5,  1,  10, 6, &CtrlSet::CutOffHTps,
      feVolts, vtVolts, N_("Volt"), 2 },
    { "CutOffHRpm", N_("RPM"),             80, 0, 8000, 10, 100, 5, &CtrlSet::CutOffHRpm,
      feUnscaled, vtField, N_("Rpm") },
    { "CutOffHPos", N_("Valve position"), 128, 0,  500,  1,  10, 6, &CtrlSet::CutOffHPos,
      feUnscaled, vtField },
};
// clang-format on

constexpr const char* kLoadOrder[] = {
    "TpsInv",     "CutOffLAct", "CutOffHAct", "CutOffLTps", "CutOffHTps",
    "CutOffLRpm", "CutOffHRpm", "CutOffLPos", "CutOffHPos",
};

} // namespace

TConfCutOffForm::TConfCutOffForm(TControlSet& controlSet, TMainDisplays& displays,
                                 QWidget* parent)
    : TConfDialog(N_("CUT-OFF CONFIGURATION"), { 388, 425 }, { 308, 396 }, controlSet, displays,
                  parent)
{
    AddFlagBox(this, kTpsInv);
    QGroupBox* lower = AddGroupBox(N_("Lower"), { 4, 28, 381, 181 });
    AddFlagBox(lower, kLowerActive);
    AddRows(lower, kLowerRows, {});
    QGroupBox* upper = AddGroupBox(N_("Cut for high"), { 4, 212, 381, 181 });
    AddFlagBox(upper, kUpperActive);
    AddRows(upper, kUpperRows, {});

    FLowerRpm = Row(QStringLiteral("CutOffLRpm"));
    FLowerPos = Row(QStringLiteral("CutOffLPos"));
    FUpperRpm = Row(QStringLiteral("CutOffHRpm"));
    FUpperPos = Row(QStringLiteral("CutOffHPos"));
    FormCreate(kLoadOrder, kLoadOrder);
}

void TConfCutOffForm::UpdateDisplays(TSliderRow& row)
{
    // The marker stands at the cut-off's stored (rpm, position); each handler reads the other
    // coordinate from the working copy.
    const CtrlSet& set = Working();
    if (&row == FLowerRpm || &row == FLowerPos)
        Displays().SetCutOff(TMainDisplays::coLower, set.CutOffLRpm, set.CutOffLPos);
    else if (&row == FUpperRpm || &row == FUpperPos)
        Displays().SetCutOff(TMainDisplays::coUpper, set.CutOffHRpm, set.CutOffHPos);
}
