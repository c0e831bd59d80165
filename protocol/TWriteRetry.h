#pragma once

#include "protocol/CtrlSet.h"

#include <cstdint>

class TControlSet;

// The bookkeeping of the control set's write. One change is sent at most kMaxSends times;
// between two sends the exchange stays free for kPauseTicks supervision ticks, so that other
// requests get their turn. An answer ends the change either way: a refusal is not sent again.
// A write that does not reach the controller leaves the change in the working copy as an
// unsent edit (TControlSet::DropUnconfirmedWrite).
class TWriteRetry {
public:
    static constexpr int kMaxSends = 4;
    static constexpr int kPauseTicks = 5;

    enum TOutcome {
        woConfirmed,   // acknowledged
        woRefused,     // answered with anything but an acknowledgement
        woRetrying,    // no answer; it is sent again after the pause
        woUnconfirmed, // no answer to the last send allowed
        woLinkLost,    // no answer, and the link no longer receives
    };

    explicit TWriteRetry(TControlSet& controlSet);

    // A supervision tick: true when the device copy is to be written now. It then clears the
    // pending-send flag and counts the send.
    bool TakeDue();
    // The write of `sent` ended with `answerType` (an answer's first byte, or -1 for none);
    // `linkReceiving`: the link still receives.
    TOutcome Finish(const CtrlSet& sent, int answerType, bool linkReceiving);

    // Sends of the change being written, so far.
    int Sends() const { return FSends; }

private:
    TControlSet& FControlSet;
    uint64_t FChange = 0; // the commit count of the change being written
    int FSends = 0;
    int FPause = 0;       // ticks left before the next send of the same change
};
