#include "ui/dialogs/TConfCtrlForm.h"

#include "ui/dialogs/TSliderRow.h"

#include <QGroupBox>

#include "settings/Gettext.h"

namespace {

// clang-format off
const TSliderRowDef kRows[] = {
    // slider (and its item), value box, handler; top, range, small and large step, major
    // ticks, value box text, unit label
    { "PosInteg", "ValPosInteg", Handler(&TConfCtrlForm::PosIntegPositionChange),
       16,    0,   50,  1,  10, 6, vtSlider },
    { "RpmReacL", "ValRpmReacL", Handler(&TConfCtrlForm::RpmReacLPositionChange),
       64,  500, 1500, 10, 100, 3, vtField, false },
    { "RpmReacH", "ValRpmReacH", Handler(&TConfCtrlForm::RpmReacHPositionChange),
      112, 1000, 5000, 10, 100, 5, vtField, false },
};
// clang-format on

constexpr const char* kLoadOrder[] = { "PosInteg", "RpmReacL", "RpmReacH" };

} // namespace

TConfCtrlForm::TConfCtrlForm(TControlSet& controlSet, TMainDisplays& displays, QWidget* parent)
    : TConfDialog(N_("CONTROL SYSTEM CONFIGURATION"), { 388, 205 }, { 308, 176 }, controlSet,
                  displays, parent)
{
    AddRows(AddGroupBox(N_("Positioning of modulate valve"), { 4, 4, 381, 169 }), kRows, {});
    FRpmReacL = Row(QStringLiteral("RpmReacL"));
    FRpmReacH = Row(QStringLiteral("RpmReacH"));
    FormCreate(kLoadOrder, kLoadOrder);
}

void TConfCtrlForm::PosIntegPositionChange()
{
    SliderPositionChange("PosInteg");
}

// The slow-probe speed may equal the quick-probe speed but not exceed it; positions are compared
// before truncation. Pulling a slider back runs its handler again, nested: the inner run stores
// and commits the pulled-back value and the outer run then does the same once more, all before
// the next tick's write.
void TConfCtrlForm::RpmReacLPositionChange()
{
    SliderPositionChange("RpmReacL", [this] {
        if (FRpmReacL->Position() > FRpmReacH->Position())
            FRpmReacL->SetPosition(FRpmReacH->Position());
    });
}

void TConfCtrlForm::RpmReacHPositionChange()
{
    SliderPositionChange("RpmReacH", [this] {
        if (FRpmReacH->Position() < FRpmReacL->Position())
            FRpmReacH->SetPosition(FRpmReacL->Position());
    });
}
