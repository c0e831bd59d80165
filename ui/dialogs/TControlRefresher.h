#pragma once

// A window whose controls show the working copy of the control set. After a read, the memory
// operations refresh the main window and the three configuration dialogs, in that order,
// while the edit guard is off.
class TControlRefresher {
public:
    virtual ~TControlRefresher() = default;
    virtual void RefreshControls() = 0;
};
