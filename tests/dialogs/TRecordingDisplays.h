#pragma once

#include "ui/dialogs/TMainDisplays.h"

#include <string>
#include <vector>

class TControlSet;

// The main window as the dialogs see it: a guard that is a bool, a version that the test sets,
// and displays that only write down how they were called.
class TRecordingDisplays : public TMainDisplays {
public:
    bool editsEnabled = true;
    uint16_t version = 0;
    // Every display call in order, written as "SetCutOff(1, 6000, 120)".
    std::vector<std::string> calls;
    // Every SetEditsEnabled argument in order.
    std::vector<bool> guardSets;
    // When set, the pending-send flag at the moment of each display call.
    const TControlSet* watched = nullptr;
    std::vector<bool> pendingAtCalls;

    bool EditsEnabled() const override { return editsEnabled; }
    void SetEditsEnabled(bool enabled) override;
    uint16_t ControllerVersion() const override { return version; }
    void SetLambdaScale(bool fiveVolt) override;
    void SetLambdaSection1End(double counts) override;
    void SetLambdaSection2End(double counts) override;
    void SetLambdaLimit(int limit, double millivolts) override;
    void SetCutOff(TCutOff which, double rpm, double position) override;

private:
    void Record(std::string call);
};
