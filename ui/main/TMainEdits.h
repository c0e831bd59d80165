#pragma once

#include <cstdint>

class TControlSet;
class TControllerSession;
class TSupervision;

// What the editing controls of the main window do to the working copy: the control mode (also
// sent to the controller at once), the RPM-signal layout and the three valve positions. Each
// edit restarts the write delay, so a burst of edits reaches the controller as one write.
// No widget here: the window tests the edit guard and shows the results.
class TMainEdits {
public:
    enum TValveField { vfAperturaPos, vfAperturaPosMin, vfAperturaPosMax };

    TMainEdits(TControllerSession& session, TSupervision& supervision);

    // `index` 0 automatic, 1 manual: sends command 0x18 with the index (the result is not
    // looked at) and sets Flags bit 0 from the index's bit 0.
    void SetControlMode(int index);
    // Stores the slider's value (its position truncated toward zero) and returns the field.
    uint16_t SetValve(TValveField field, int value);
    // Stores the code of a list index; an index outside the list leaves the field alone.
    void SetPulsoVuelta(int index);

private:
    uint16_t& Field(TValveField field);

    TControllerSession& FSession;
    TControlSet& FControlSet;
    TSupervision& FSupervision;
};
