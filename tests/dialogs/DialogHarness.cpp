#include "tests/dialogs/DialogHarness.h"

#include "ui/dialogs/TConfCtrlForm.h"
#include "ui/dialogs/TConfCutOffForm.h"
#include "ui/dialogs/TConfLambdaForm.h"
#include "ui/dialogs/TFlagBox.h"
#include "ui/dialogs/TSliderRow.h"
#include "ui/widgets/TSlider.h"
#include "ui/widgets/TValueBox.h"

#include <gtest/gtest.h>

std::ostream& operator<<(std::ostream& os, TDialogKind kind)
{
    switch (kind) {
    case TDialogKind::Ctrl:
        return os << "TConfCtrlForm";
    case TDialogKind::CutOff:
        return os << "TConfCutOffForm";
    case TDialogKind::Lambda:
        return os << "TConfLambdaForm";
    }
    return os;
}

std::unique_ptr<TConfDialog> MakeDialog(TDialogKind kind, TControlSet& controlSet,
                                        TMainDisplays& displays)
{
    switch (kind) {
    case TDialogKind::Ctrl:
        return std::make_unique<TConfCtrlForm>(controlSet, displays);
    case TDialogKind::CutOff:
        return std::make_unique<TConfCutOffForm>(controlSet, displays);
    case TDialogKind::Lambda:
        return std::make_unique<TConfLambdaForm>(controlSet, displays);
    }
    return nullptr;
}

TDialogHarness::TDialogHarness(TDialogKind kind,
                               const std::function<void(CtrlSet&)>& beforeCreation)
{
    if (beforeCreation)
        beforeCreation(controlSet.Working());
    dialog = MakeDialog(kind, controlSet, displays);
}

TSlider* TDialogHarness::Slider(const QString& name) const
{
    TSliderRow* row = dialog->Row(name);
    EXPECT_NE(row, nullptr) << "no slider " << name.toStdString();
    return row ? row->Slider() : nullptr;
}

TValueBox* TDialogHarness::ValueBoxOf(const QString& sliderName) const
{
    auto* box = dialog->findChild<TValueBox*>(QStringLiteral("Val") + sliderName);
    EXPECT_NE(box, nullptr) << "no value box for " << sliderName.toStdString();
    return box;
}

QString TDialogHarness::TextOf(const QString& sliderName) const
{
    TValueBox* box = ValueBoxOf(sliderName);
    return box ? box->text() : QString();
}

TFlagBox* TDialogHarness::Box(const QString& name) const
{
    TFlagBox* box = dialog->FlagBox(name);
    EXPECT_NE(box, nullptr) << "no check box " << name.toStdString();
    return box;
}

void TDialogHarness::Move(const QString& slider, double position)
{
    if (TSlider* s = Slider(slider))
        s->setPosition(position);
}

void TDialogHarness::Read(const CtrlSet& block)
{
    controlSet.Device() = block;
    controlSet.LoadWorkingCopy();
    displays.editsEnabled = false;
    dialog->RefreshControls();
    controlSet.ClearPendingSend();
    displays.editsEnabled = true;
}

void TDialogHarness::Read(const std::function<void(CtrlSet&)>& change)
{
    CtrlSet block;
    change(block);
    Read(block);
}
