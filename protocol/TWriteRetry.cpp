#include "protocol/TWriteRetry.h"

#include "protocol/TCommandCodes.h"
#include "protocol/TControlSet.h"

TWriteRetry::TWriteRetry(TControlSet& controlSet)
    : FControlSet(controlSet)
{
}

bool TWriteRetry::TakeDue()
{
    if (!FControlSet.PendingSend())
        return false;
    if (FControlSet.Commits() != FChange) {
        // A new change: its own count, and no pause to wait for.
        FChange = FControlSet.Commits();
        FSends = 0;
        FPause = 0;
    }
    if (FPause > 0 && --FPause > 0)
        return false;
    FControlSet.TakePendingSend();
    ++FSends;
    return true;
}

TWriteRetry::TOutcome TWriteRetry::Finish(const CtrlSet& sent, int answerType,
                                          bool linkReceiving)
{
    if (answerType == fbAck) {
        FControlSet.ConfirmWrite(sent);
        return woConfirmed;
    }
    if (answerType >= 0) {
        FControlSet.DropUnconfirmedWrite();
        return woRefused;
    }
    if (!linkReceiving) {
        FControlSet.DropUnconfirmedWrite();
        return woLinkLost;
    }
    if (FSends < kMaxSends) {
        FControlSet.RestorePendingSend();
        FPause = kPauseTicks;
        return woRetrying;
    }
    FControlSet.DropUnconfirmedWrite();
    return woUnconfirmed;
}
