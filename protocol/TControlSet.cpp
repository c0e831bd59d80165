#include "protocol/TControlSet.h"

// The copy clears the destination and copies every field in layout order; a plain
// assignment of the all-value struct gives the same 48 bytes.
void TControlSet::LoadWorkingCopy()
{
    FWorking = FDevice;
}

void TControlSet::CommitWorkingCopy()
{
    FDevice = FWorking;
    FPendingSend = true;
}

bool TControlSet::TakePendingSend()
{
    const bool was = FPendingSend;
    FPendingSend = false;
    return was;
}
