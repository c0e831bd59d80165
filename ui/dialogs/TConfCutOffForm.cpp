#include "ui/dialogs/TConfCutOffForm.h"

#include "protocol/CtrlSet.h"
#include "protocol/CtrlSetEncoding.h"
#include "ui/dialogs/TFlagBox.h"
#include "ui/dialogs/TMainDisplays.h"
#include "ui/dialogs/TSliderRow.h"

#include <QGroupBox>

#include "settings/Gettext.h"

namespace {

// clang-format off
const TFlagBoxDef kTpsInv = { "TpsInv", Handler(&TConfCutOffForm::TpsInvClick), 8, 8, 357 };
const TFlagBoxDef kLowerActive = { "CutOffLAct", Handler(&TConfCutOffForm::CutOffLActClick),
                                   8, 16, 65 };
const TFlagBoxDef kUpperActive = { "CutOffHAct", Handler(&TConfCutOffForm::CutOffHActClick),
                                   8, 16, 65 };

const TSliderRowDef kLowerRows[] = {
    // slider (and its item), value box, handler; top, range, small and large step, major
    // ticks, value box text, unit label, decimals of the tick labels
    { "CutOffLTps", "ValCutOffLTps", Handler(&TConfCutOffForm::CutOffLTpsPositionChange),
       32, 0,    5,  1,  10, 6, vtVolts, true, 2 },
    { "CutOffLRpm", "ValCutOffLRpm", Handler(&TConfCutOffForm::CutOffLRpmPositionChange),
       80, 0, 4000, 10, 100, 5, vtField },
    { "CutOffLPos", "ValCutOffLPos", Handler(&TConfCutOffForm::CutOffLPosPositionChange),
      128, 0,  500,  1,  10, 6, vtField },
};
const TSliderRowDef kUpperRows[] = {
    { "CutOffHTps", "ValCutOffHTps", Handler(&TConfCutOffForm::CutOffHTpsPositionChange),
       32, 0,    5,  1,  10, 6, vtVolts, true, 2 },
    { "CutOffHRpm", "ValCutOffHRpm", Handler(&TConfCutOffForm::CutOffHRpmPositionChange),
       80, 0, 8000, 10, 100, 5, vtField },
    { "CutOffHPos", "ValCutOffHPos", Handler(&TConfCutOffForm::CutOffHPosPositionChange),
      128, 0,  500,  1,  10, 6, vtField },
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

    FormCreate(kLoadOrder, kLoadOrder);
}

void TConfCutOffForm::TpsInvClick()
{
    FlagBoxClick("TpsInv");
}

void TConfCutOffForm::CutOffLActClick()
{
    FlagBoxClick("CutOffLAct");
}

void TConfCutOffForm::CutOffHActClick()
{
    FlagBoxClick("CutOffHAct");
}

void TConfCutOffForm::CutOffLTpsPositionChange()
{
    SliderPositionChange("CutOffLTps");
}

void TConfCutOffForm::CutOffHTpsPositionChange()
{
    SliderPositionChange("CutOffHTps");
}

void TConfCutOffForm::CutOffLRpmPositionChange()
{
    SliderPositionChange("CutOffLRpm", {}, [this] { ShowLowerCutOff(); });
}

void TConfCutOffForm::CutOffHRpmPositionChange()
{
    SliderPositionChange("CutOffHRpm", {}, [this] { ShowUpperCutOff(); });
}

void TConfCutOffForm::CutOffLPosPositionChange()
{
    SliderPositionChange("CutOffLPos", {}, [this] { ShowLowerCutOff(); });
}

void TConfCutOffForm::CutOffHPosPositionChange()
{
    SliderPositionChange("CutOffHPos", {}, [this] { ShowUpperCutOff(); });
}

void TConfCutOffForm::ShowLowerCutOff()
{
    const CtrlSet& set = Working();
    Displays().SetCutOff(TMainDisplays::coLower, set.CutOffLRpm, set.CutOffLPos);
}

void TConfCutOffForm::ShowUpperCutOff()
{
    const CtrlSet& set = Working();
    Displays().SetCutOff(TMainDisplays::coUpper, set.CutOffHRpm, set.CutOffHPos);
}
