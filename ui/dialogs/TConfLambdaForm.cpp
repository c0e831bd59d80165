#include "ui/dialogs/TConfLambdaForm.h"

#include "protocol/CtrlSetEncoding.h"
#include "protocol/TControllerRules.h"
#include "ui/dialogs/TFlagBox.h"
#include "ui/dialogs/TMainDisplays.h"
#include "ui/dialogs/TSliderRow.h"

#include <QGroupBox>

#include "settings/Gettext.h"

namespace {

// clang-format off
const TFlagBoxDef kSondaInv = { "SondaInv", Handler(&TConfLambdaForm::SondaInvClick),
                                    N_("Inverted (alone for probes of 5 Volts)"), cfSondaInv,
                                    8, 16, 357 };
const TFlagBoxDef kActSim = { "ActSim", Handler(&TConfLambdaForm::ActSimClick),
                                  N_("Active"), cfActSim, 8, 16, 97 };
const TFlagBoxDef kActSim2 = { "ActSim2", Handler(&TConfLambdaForm::ActSim2Click),
                                   N_("Active"), cfActSim2, 8, 16, 97 };
const TFlagBoxDef kSimCutOff = { "SimCutOff", Handler(&TConfLambdaForm::SimCutOffClick),
                                     N_("Active"), cfSimCutOff, 8, 16, 97 };

const TSliderRowDef kProbeRows[] = {
    // slider, value box, handler; caption, top, range, small and large step, major ticks,
    // field; encoding, value box text, unit
    { "TimArrSonda", "ValTimArrSonda", Handler(&TConfLambdaForm::TimArrSondaPositionChange),
      N_("Starts up Time"),  32, 0,  250,  1,  10, 6, &CtrlSet::TimArrSonda,
      feUnscaled, vtField, N_("Sec") },
    { "SondaRica",   "ValSondaRica", Handler(&TConfLambdaForm::SondaRicaPositionChange),
      N_("Rich"),            80, 0, 5000,  1,  10, 6, &CtrlSet::SondaRica,
      feMillivolts, vtSlider, N_("mV") },
    { "SondaPobre",  "ValSondaPobre", Handler(&TConfLambdaForm::SondaPobrePositionChange),
      N_("Poor"),           128, 0, 5000,  1,  10, 6, &CtrlSet::SondaPobre,
      feMillivolts, vtSlider, N_("mV") },
    { "SondaIdeal",  "ValSondaIdeal", Handler(&TConfLambdaForm::SondaIdealPositionChange),
      N_("Ideal/Optimum"),  176, 0, 5000,  1,  10, 6, &CtrlSet::SondaIdeal,
      feMillivolts, vtSlider, N_("mV") },
};
const TSliderRowDef kEmulationRows[] = {
    { "SimHTim",     "ValSimHTim", Handler(&TConfLambdaForm::SimHTimPositionChange),
      N_("High time"),       32, 0, 5000, 10, 100, 6, &CtrlSet::SimHTim,
      feTensOfMs, vtSlider, N_("mS") },
    { "SimLTim",     "ValSimLTim", Handler(&TConfLambdaForm::SimLTimPositionChange),
      N_("Low time"),        80, 0, 5000, 10, 100, 6, &CtrlSet::SimLTim,
      feTensOfMs, vtSlider, N_("mS") },
    { "SimHLev",     "ValSimHLev", Handler(&TConfLambdaForm::SimHLevPositionChange),
      N_("High level"),     128, 0, 5000,  5, 100, 6, &CtrlSet::SimHLev,
      feMillivolts, vtSlider, N_("mV") },
    { "SimLLev",     "ValSimLLev", Handler(&TConfLambdaForm::SimLLevPositionChange),
      N_("Low level"),      176, 0, 5000,  5, 100, 6, &CtrlSet::SimLLev,
      feMillivolts, vtSlider, N_("mV") },
};
const TSliderRowDef kHighRegimeRows[] = {
    { "Sim2RPM",     "ValSim2RPM", Handler(&TConfLambdaForm::Sim2RPMPositionChange),
      N_("Active over"),     33, 2000, 7000, 5, 100, 6, &CtrlSet::Sim2RPM,
      feUnscaled, vtSlider, N_("RPM") },
    { "Sim2HTim",    "ValSim2HTim", Handler(&TConfLambdaForm::Sim2HTimPositionChange),
      N_("High time"),       82, 0, 1500, 10, 100, 6, &CtrlSet::Sim2HTim,
      feTensOfMs, vtSlider, N_("mS") },
    { "Sim2LTim",    "ValSim2LTim", Handler(&TConfLambdaForm::Sim2LTimPositionChange),
      N_("Low time"),       130, 0, 1500, 10, 100, 6, &CtrlSet::Sim2LTim,
      feTensOfMs, vtSlider, N_("mS") },
};
const TSliderRowDef kCutOffRows[] = {
    { "SimCutOffLevel", "ValSimCutOffLevel",
      Handler(&TConfLambdaForm::SimCutOffLevelPositionChange),
      N_("Level"),           40, 0, 5000,  1,  10, 6, &CtrlSet::SimCutOffLevel,
      feMillivolts, vtSlider, N_("mV") },
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
