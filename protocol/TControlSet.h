#pragma once

#include "protocol/CtrlSet.h"

// The program's two copies of the control set and the pending-send flag. The main
// window owns the one instance and hands it by reference to the dialogs; it is used on the
// user-interface thread only, so it takes no lock.
class TControlSet {
public:
    // The block as last read from the controller or loaded from a file; the block that is
    // written to the controller and saved to files.
    CtrlSet& Device() { return FDevice; }
    const CtrlSet& Device() const { return FDevice; }
    // The block the editing controls read and change.
    CtrlSet& Working() { return FWorking; }
    const CtrlSet& Working() const { return FWorking; }

    // Working copy := device copy. Leaves the pending-send flag alone.
    void LoadWorkingCopy();
    // Device copy := working copy, then raises the pending-send flag.
    void CommitWorkingCopy();

    bool PendingSend() const { return FPendingSend; }
    void ClearPendingSend() { FPendingSend = false; }
    // Clears the flag and tells whether it was set: the supervision tick's "clear, then write".
    bool TakePendingSend();
    // Raises the flag again for a write that got no answer, without touching either copy, so
    // the next supervision tick retries it.
    void RestorePendingSend() { FPendingSend = true; }

private:
    CtrlSet FDevice;            // device copy, zero at start-up
    CtrlSet FWorking;           // working copy, zero at start-up
    bool FPendingSend = false;  // the device copy holds edits not yet written
};
