#include "ui/dialogs/TConfLambdaForm.h"

#include "protocol/CtrlSetEncoding.h"
#include "ui/dialogs/TFlagBox.h"
#include "ui/dialogs/TMainDisplays.h"
#include "ui/dialogs/TSliderRow.h"

#include <QGroupBox>

#include "settings/Gettext.h"

namespace {

constexpr TFlagBoxDef kSondaInv = { "SondaInv", N_("Inverted (alone for probes of 5 Volts)"),
                                     cfSondaInv, 8, 16, 357 };
constexpr TFlagBoxDef kActSim = { "ActSim", N_("Active"), cfActSim, 8, 16, 97 };
constexpr TFlagBoxDef kActSim2 = { "ActSim2", N_("Active"), cfActSim2, 8, 16, 97 };
constexpr TFlagBoxDef kSimCutOff = { "SimCutOff", N_("Active"), cfSimCutOff, 8, 16, 97 };

// clang-format off
constexpr TSliderRowDef kProbeRows[] = {
    // slider, caption, top, range, small and large step, major ticks, field;
    // encoding, value box text, unit
    { "TimArrSonda", N_("Starts up Time"),  32, 0,  250,  1,  10, 6, &CtrlSet::TimArrSonda,
      feUnscaled, vtField, N_("Sec") },
    { "SondaRica",   N_("Rich"),            80, 0, 5000,  1,  10, 6, &CtrlSet::SondaRica,
      feMillivolts, vtSlider, N_("mV") },
    { "SondaPobre",  N_("Poor"),           128, 0, 5000,  1,  10, 6, &CtrlSet::SondaPobre,
      feMillivolts, vtSlider, N_("mV") },
    { "SondaIdeal",  N_("Ideal/Optimum"),  176, 0, 5000,  1,  10, 6, &CtrlSet::SondaIdeal,
      feMillivolts, vtSlider, N_("mV") },
};
constexpr TSliderRowDef kEmulationRows[] = {
    { "SimHTim",     N_("High time"),       32, 0, 5000, 10, 100, 6, &CtrlSet::SimHTim,
      feTensOfMs, vtSlider, N_("mS") },
    { "SimLTim",     N_("Low time"),        80, 0, 5000, 10, 100, 6, &CtrlSet::SimLTim,
      feTensOfMs, vtSlider, N_("mS") },
    { "SimHLev",     N_("High level"),     128, 0, 5000,  5, 100, 6, &CtrlSet::SimHLev,
      feMillivolts, vtSlider, N_("mV") },
    { "SimLLev",     N_("Low level"),      176, 0, 5000,  5, 100, 6, &CtrlSet::SimLLev,
      feMillivolts, vtSlider, N_("mV") },
};
constexpr TSliderRowDef kHighRegimeRows[] = {
    { "Sim2RPM",     N_("Active over"),     33, 2000, 7000, 5, 100, 6, &CtrlSet::Sim2RPM,
      feUnscaled, vtSlider, N_("RPM") },
    { "Sim2HTim",    N_("High time"),       82, 0, 1500, 10, 100, 6, &CtrlSet::Sim2HTim,
      feTensOfMs, vtSlider, N_("mS") },
    { "Sim2LTim",    N_("Low time"),       130, 0, 1500, 10, 100, 6, &CtrlSet::Sim2LTim,
      feTensOfMs, vtSlider, N_("mS") },
};
constexpr TSliderRowDef kCutOffRows[] = {
    { "SimCutOffLevel", N_("Level"),        40, 0, 5000,  1,  10, 6, &CtrlSet::SimCutOffLevel,
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

// Controls of features that firmware before 0x0104 lacks.
constexpr uint16_t kFirmwareWithHighRegime = 0x0104;
constexpr const char* kFirmwareDependent[] = {
    "ActSim2", "Sim2RPM", "Sim2HTim", "Sim2LTim", "SimCutOff", "SimCutOffLevel",
};

// Above 205 counts (about 1002 mV) the rich level needs the 5-volt scale.
constexpr uint16_t kOneVoltScaleCounts = 205;

// iPlot2's limit lines.
constexpr int kLimitPobre = 0;
constexpr int kLimitRica = 1;
constexpr int kLimitIdeal = 2;

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

    FSondaRica = Row(QStringLiteral("SondaRica"));
    FSondaPobre = Row(QStringLiteral("SondaPobre"));
    FSondaIdeal = Row(QStringLiteral("SondaIdeal"));
    FormCreate(kCreationOrder, kRefreshOrder);
}

void TConfLambdaForm::FormActivate()
{
    SetControlsEnabled(kFirmwareDependent,
                       Displays().ControllerVersion() >= kFirmwareWithHighRegime);
}

void TConfLambdaForm::UpdateDisplays(TSliderRow& row)
{
    const CtrlSet& set = Working();
    // Section ends take the stored counts; the limit lines the position itself, not truncated.
    if (&row == FSondaRica) {
        Displays().SetLambdaScale(set.SondaRica > kOneVoltScaleCounts);
        Displays().SetLambdaSection2End(set.SondaRica);
        Displays().SetLambdaLimit(kLimitRica, row.Position());
    } else if (&row == FSondaPobre) {
        Displays().SetLambdaSection1End(set.SondaPobre);
        Displays().SetLambdaLimit(kLimitPobre, row.Position());
    } else if (&row == FSondaIdeal) {
        Displays().SetLambdaLimit(kLimitIdeal, row.Position());
    }
}
