#include "tests/dialogs/TRecordingDisplays.h"

#include "protocol/TControlSet.h"

#include <QString>

namespace {

std::string Num(double v)
{
    return QString::number(v, 'g', 12).toStdString();
}

} // namespace

void TRecordingDisplays::SetEditsEnabled(bool enabled)
{
    editsEnabled = enabled;
    guardSets.push_back(enabled);
}

void TRecordingDisplays::SetLambdaScale(bool fiveVolt)
{
    Record(fiveVolt ? "SetLambdaScale(5V)" : "SetLambdaScale(1V)");
}

void TRecordingDisplays::SetLambdaSection1End(double counts)
{
    Record("SetLambdaSection1End(" + Num(counts) + ")");
}

void TRecordingDisplays::SetLambdaSection2End(double counts)
{
    Record("SetLambdaSection2End(" + Num(counts) + ")");
}

void TRecordingDisplays::SetLambdaLimit(int limit, double millivolts)
{
    Record("SetLambdaLimit(" + std::to_string(limit) + ", " + Num(millivolts) + ")");
}

void TRecordingDisplays::SetCutOff(TCutOff which, double rpm, double position)
{
    Record("SetCutOff(" + std::to_string(int(which)) + ", " + Num(rpm) + ", " + Num(position)
           + ")");
}

void TRecordingDisplays::Record(std::string call)
{
    calls.push_back(std::move(call));
    if (watched)
        pendingAtCalls.push_back(watched->PendingSend());
}
