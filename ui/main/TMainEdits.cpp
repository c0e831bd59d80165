#include "ui/main/TMainEdits.h"

#include "protocol/CtrlSetEncoding.h"
#include "protocol/TControlSet.h"
#include "session/TControllerSession.h"
#include "session/TSupervision.h"

TMainEdits::TMainEdits(TControllerSession& session, TSupervision& supervision)
    : FSession(session), FControlSet(session.ControlSet()), FSupervision(supervision)
{
}

void TMainEdits::SetControlMode(int index)
{
    FSession.SendControlMode(index);
    CtrlSet& w = FControlSet.Working();
    w.Flags = WithFlag(w.Flags, cfManual, (index & 1) != 0);
    FSupervision.RestartWriteDelay();
}

uint16_t TMainEdits::SetValve(TValveField field, int value)
{
    uint16_t& f = Field(field);
    f = uint16_t(value);
    FSupervision.RestartWriteDelay();
    return f;
}

void TMainEdits::SetPulsoVuelta(int index)
{
    const int code = PulsoVueltaIndexToCode(index);
    if (code >= 0)
        FControlSet.Working().PulsoVuelta = uint8_t(code);
    FSupervision.RestartWriteDelay();
}

uint16_t& TMainEdits::Field(TValveField field)
{
    CtrlSet& w = FControlSet.Working();
    switch (field) {
    case vfAperturaPosMin: return w.AperturaPosMin;
    case vfAperturaPosMax: return w.AperturaPosMax;
    case vfAperturaPos: break;
    }
    return w.AperturaPos;
}
