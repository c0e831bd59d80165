#pragma once

#include "protocol/CtrlSet.h"

#include <cstdint>
#include <vector>

struct TCtrlSetItem;

// An item the window shows with another value than the controller holds.
struct TUnsentEdit {
    const TCtrlSetItem* item;
    int controllerValue; // raw, as the controller holds it
    int editedValue;     // raw, as the window shows it
};

// Which block a save writes when the window shows edits the controller has not confirmed.
enum class TSaveChoice {
    OnScreen,   // the working copy
    Controller, // the controller's confirmed values
};

// The program's copies of the control set and the pending-send flag. The main window owns the
// one instance and hands it by reference to the dialogs; it is used on the user-interface
// thread only, so it takes no lock.
//
// Besides the device and the working copy it keeps the controller's confirmed values: the last
// block read from the controller or acknowledged by it. The device copy equals them except
// while a committed change waits for its write; when that write does not reach the controller
// the device copy goes back to them. The working copy's differences from the device copy are
// then the unsent edits: nothing the user changed is dropped without a word.
class TControlSet {
public:
    // The block as last read from the controller; the block that is written to the controller.
    CtrlSet& Device() { return FDevice; }
    const CtrlSet& Device() const { return FDevice; }
    // The block the editing controls read and change.
    CtrlSet& Working() { return FWorking; }
    const CtrlSet& Working() const { return FWorking; }
    // The controller's confirmed values, zero until the first read or acknowledged write.
    const CtrlSet& Confirmed() const { return FConfirmed; }
    bool ConfirmedKnown() const { return FConfirmedKnown; }

    // Working copy := device copy. Leaves the pending-send flag alone.
    void LoadWorkingCopy();
    // Device copy := working copy, then raises the pending-send flag.
    void CommitWorkingCopy();
    // How many commits there have been: a new one is a new change to send.
    uint64_t Commits() const { return FCommits; }

    bool PendingSend() const { return FPendingSend; }
    void ClearPendingSend() { FPendingSend = false; }
    // Clears the flag and tells whether it was set: the supervision tick's "clear, then write".
    bool TakePendingSend();
    // Raises the flag again for a write that is to be tried again, without touching a copy.
    void RestorePendingSend() { FPendingSend = true; }

    // --- the road back from the controller ---
    // The controller acknowledged a write of `sent`.
    void ConfirmWrite(const CtrlSet& sent);
    // A write did not reach the controller (refused, unanswered, link lost): the device copy
    // goes back to the confirmed values, unless a newer commit waits to be sent.
    void DropUnconfirmedWrite();
    // A committed change that waits for its write is not to be sent after all (the link went
    // away before it): it stays in the working copy as an unsent edit.
    void WithdrawPendingWrite();
    // The controller's block has been read. Edits the controller does not hold survive it: the
    // working copy becomes the block read with them laid over it. A committed change on its way
    // keeps its way (the flag stays raised and the device copy holds it). Otherwise they are
    // returned, as unsent edits whose controller values are the ones just read; with none, both
    // copies simply take the block.
    std::vector<TUnsentEdit> TakeRead(const CtrlSet& read);
    // A block to show with no controller to send it to (a file opened at the desk): the working
    // copy takes it and all of it counts as unsent, however it compares with the device copy.
    void LoadUnsent(const CtrlSet& block);

    // The window shows values the controller has not confirmed and no write is on its way.
    bool HasUnsentEdits() const;

    // A save has to ask which block to write: there are unsent edits and controller values to
    // choose instead. Without them it writes BlockToSave(OnScreen).
    bool SaveNeedsChoice() const;
    const CtrlSet& BlockToSave(TSaveChoice choice) const;

private:
    CtrlSet FDevice;              // device copy, zero at start-up
    CtrlSet FWorking;             // working copy, zero at start-up
    CtrlSet FConfirmed;           // what the controller is known to hold
    uint64_t FCommits = 0;        // commits so far
    bool FPendingSend = false;    // the device copy holds edits not yet written
    bool FConfirmedKnown = false; // a read or an acknowledged write has filled FConfirmed
    bool FWholeBlockUnsent = false; // LoadUnsent: every item counts as edited
};
