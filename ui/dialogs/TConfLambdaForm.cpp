#include "ui/dialogs/TConfLambdaForm.h"

#include "protocol/CtrlSet.h"
#include "protocol/CtrlSetEncoding.h"
#include "protocol/TControllerRules.h"
#include "ui/dialogs/TFlagBox.h"
#include "ui/dialogs/TMainDisplays.h"
#include "ui/dialogs/TSliderRow.h"

#include <QGroupBox>

#include "settings/Gettext.h"

namespace {

// clang-format off
const TFlagBoxDef kSondaInv = { "SondaInv", Handler(&TConfLambdaForm::SondaInvClick), 8, 16, 357 };
const TFlagBoxDef kActSim = { "ActSim", Handler(&TConfLambdaForm::ActSimClick), 8, 16, 97 };
const TFlagBoxDef kActSim2 = { "ActSim2", Handler(&TConfLambdaForm::ActSim2Click), 8, 16, 97 };
const TFlagBoxDef kSimCutOff = { "SimCutOff", Handler(&TConfLambdaForm::SimCutOffClick),
                                 8, 16, 97 };

const TSliderRowDef kProbeRows[] = {
    // slider (and its item), value box, handler; top, range, small and large step, major
    // ticks, value box text
    { "TimArrSonda", "ValTimArrSonda", Handler(&TConfLambdaForm::TimArrSondaPositionChange),
       32, 0,  250,  1,  10, 6, vtField },
    { "SondaRica",   "ValSondaRica", Handler(&TConfLambdaForm::SondaRicaPositionChange),
       80, 0, 5000,  1,  10, 6, vtSlider },
    { "SondaPobre",  "ValSondaPobre", Handler(&TConfLambdaForm::SondaPobrePositionChange),
      128, 0, 5000,  1,  10, 6, vtSlider },
    { "SondaIdeal",  "ValSondaIdeal", Handler(&TConfLambdaForm::SondaIdealPositionChange),
      176, 0, 5000,  1,  10, 6, vtSlider },
};
const TSliderRowDef kEmulationRows[] = {
    { "SimHTim",     "ValSimHTim", Handler(&TConfLambdaForm::SimHTimPositionChange),
       32, 0, 5000, 10, 100, 6, vtSlider },
    { "SimLTim",     "ValSimLTim", Handler(&TConfLambdaForm::SimLTimPositionChange),
       80, 0, 5000, 10, 100, 6, vtSlider },
    { "SimHLev",     "ValSimHLev", Handler(&TConfLambdaForm::SimHLevPositionChange),
      128, 0, 5000,  5, 100, 6, vtSlider },
    { "SimLLev",     "ValSimLLev", Handler(&TConfLambdaForm::SimLLevPositionChange),
      176, 0, 5000,  5, 100, 6, vtSlider },
};
const TSliderRowDef kHighRegimeRows[] = {
    { "Sim2RPM",     "ValSim2RPM", Handler(&TConfLambdaForm::Sim2RPMPositionChange),
       33, 2000, 7000, 5, 100, 6, vtSlider },
    { "Sim2HTim",    "ValSim2HTim", Handler(&TConfLambdaForm::Sim2HTimPositionChange),
       82, 0, 1500, 10, 100, 6, vtSlider },
    { "Sim2LTim",    "ValSim2LTim", Handler(&TConfLambdaForm::Sim2LTimPositionChange),
      130, 0, 1500, 10, 100, 6, vtSlider },
};
const TSliderRowDef kCutOffRows[] = {
    { "SimCutOffLevel", "ValSimCutOffLevel",
      Handler(&TConfLambdaForm::SimCutOffLevelPositionChange),
       40, 0, 5000,  1,  10, 6, vtSlider },
};
// clang-format on

constexpr TRowPlace kCutOffPlace = { .captionLeft = 8, .valueBoxLeft = 307 };

constexpr const char* kCreationOrder[] = {
    "SondaInv",  "TimArrSonda", "SondaIdeal", "SondaPobre", "SondaRica",
    "ActSim",    "SimLTim",     "SimLLev",    "SimHTim",    "SimHLev",
    "ActSim2",   "Sim2LTim",    "Sim2HTim",   "SimCutOffLevel", "Sim2RPM",
};
// A read refreshes the emulation on cut-off too: a box left as creation or the user set it,
// beside values freshly read, would show a state the controller does not have.
constexpr const char* kRefreshOrder[] = {
    "SondaInv",  "TimArrSonda", "SondaIdeal", "SondaPobre", "SondaRica",
    "ActSim",    "SimLTim",     "SimLLev",    "SimHTim",    "SimHLev",
    "ActSim2",   "Sim2LTim",    "Sim2HTim",   "SimCutOffLevel", "Sim2RPM",
    "SimCutOff",
};

// Controls of features that firmware before the high regime lacks.
constexpr const char* kFirmwareDependent[] = {
    "ActSim2", "Sim2RPM", "Sim2HTim", "Sim2LTim", "SimCutOff", "SimCutOffLevel",
};


} // namespace

TConfLambdaForm::TConfLambdaForm(TControlSet& controlSet, TMainDisplays& displays,
                                 QWidget* parent)
    : TConfDialog(N_("LAMBDA CONTROL CONFIGURATION"), { 778, 468 }, { 693, 438 }, controlSet,
                  displays, parent)
{
    QGroupBox* probe = AddGroupBox(N_("Lambda probe"), { 5, 5, 381, 229 });
    AddFlagBox(probe, kSondaInv);
    AddRows(probe, kProbeRows, {});

    QGroupBox* emulation = AddGroupBox(N_("Lambda probe emulation"), { 5, 235, 381, 230 });
    AddFlagBox(emulation, kActSim);
    AddRows(emulation, kEmulationRows, {});

    QGroupBox* highRegime = AddGroupBox(N_("Lambda probe emulation on high regime"),
                                        { 390, 5, 381, 186 });
    AddFlagBox(highRegime, kActSim2);
    AddRows(highRegime, kHighRegimeRows, {});

    QGroupBox* cutOff = AddGroupBox(N_("Emulation on Cut-Off"), { 389, 235, 381, 101 });
    AddFlagBox(cutOff, kSimCutOff);
    AddRows(cutOff, kCutOffRows, kCutOffPlace);

    FormCreate(kCreationOrder, kRefreshOrder);
}

void TConfLambdaForm::FormActivate()
{
    SetControlsEnabled(kFirmwareDependent,
                       TControllerRules::HasHighRegime(Displays().ControllerVersion()));
}

void TConfLambdaForm::SondaInvClick()
{
    FlagBoxClick("SondaInv");
}

void TConfLambdaForm::ActSimClick()
{
    FlagBoxClick("ActSim");
}

void TConfLambdaForm::ActSim2Click()
{
    FlagBoxClick("ActSim2");
}

void TConfLambdaForm::SimCutOffClick()
{
    FlagBoxClick("SimCutOff");
}

void TConfLambdaForm::TimArrSondaPositionChange()
{
    SliderPositionChange("TimArrSonda");
}

// The section ends of the lambda bar take the stored counts; the limit lines of the lambda plot
// the slider's position itself, not truncated.
void TConfLambdaForm::SondaRicaPositionChange()
{
    SliderPositionChange("SondaRica", {}, [this] {
        const uint16_t counts = Working().SondaRica;
        Displays().SetLambdaScale(TControllerRules::IsFiveVoltProbe(counts));
        Displays().SetLambdaSection2End(counts);
        Displays().SetLambdaLimit(TControllerRules::liSondaRica, Row(QStringLiteral("SondaRica"))->Position());
    });
}

void TConfLambdaForm::SondaPobrePositionChange()
{
    SliderPositionChange("SondaPobre", {}, [this] {
        Displays().SetLambdaSection1End(Working().SondaPobre);
        Displays().SetLambdaLimit(TControllerRules::liSondaPobre, Row(QStringLiteral("SondaPobre"))->Position());
    });
}

void TConfLambdaForm::SondaIdealPositionChange()
{
    SliderPositionChange("SondaIdeal", {}, [this] {
        Displays().SetLambdaLimit(TControllerRules::liSondaIdeal, Row(QStringLiteral("SondaIdeal"))->Position());
    });
}

void TConfLambdaForm::SimHTimPositionChange()
{
    SliderPositionChange("SimHTim");
}

void TConfLambdaForm::SimLTimPositionChange()
{
    SliderPositionChange("SimLTim");
}

void TConfLambdaForm::SimHLevPositionChange()
{
    SliderPositionChange("SimHLev");
}

void TConfLambdaForm::SimLLevPositionChange()
{
    SliderPositionChange("SimLLev");
}

void TConfLambdaForm::Sim2RPMPositionChange()
{
    SliderPositionChange("Sim2RPM");
}

void TConfLambdaForm::Sim2HTimPositionChange()
{
    SliderPositionChange("Sim2HTim");
}

void TConfLambdaForm::Sim2LTimPositionChange()
{
    SliderPositionChange("Sim2LTim");
}

void TConfLambdaForm::SimCutOffLevelPositionChange()
{
    SliderPositionChange("SimCutOffLevel");
}
