#pragma once

#include "protocol/CtrlSetEncoding.h"
#include "ui/dialogs/TCtrlField.h"
#include "ui/dialogs/TDialogHandler.h"

// What a row's value box shows, after a change as after a load.
enum TValueText {
    vtSlider, // the slider's position truncated toward zero, as an integer
    vtField,  // the stored field's own value, as an integer, whatever the slider shows
    vtVolts,  // the slider's position with two decimals
};

// One slider row of a configuration dialog: caption, slider, value box and unit label, and the
// handler that the slider's moves run.
struct TSliderRowDef {
    const char* name;     // the slider's object name
    const char* valueBox; // the value box's object name
    TDialogHandler handler;
    const char* caption;
    int top; // within the row's group box
    double minimum;
    double maximum;
    double smallStep; // arrow keys and wheel
    double largeStep; // page keys
    int majorTicks;   // labelled ticks, both ends included
    TCtrlField field;
    TFieldEncoding encoding;
    TValueText text;
    const char* unit = nullptr; // no unit label when null
    int labelDecimals = 0;      // decimals of the tick labels
};

// Where a group's rows put their caption and value box; the slider and the unit label stand at
// the same place in every row.
struct TRowPlace {
    int captionLeft = 8;
    int valueBoxLeft = 312;
};
