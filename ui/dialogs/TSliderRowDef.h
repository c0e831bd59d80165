#pragma once

#include "ui/dialogs/TCtrlField.h"
#include "ui/dialogs/TDialogHandler.h"

// How a slider's position and its field convert into each other. Every conversion to the field
// truncates toward zero.
enum TFieldEncoding {
    feUnscaled,   // rev/min, seconds, valve positions
    fePosInteg,   // the field is the position plus 10
    feMillivolts, // probe counts shown as millivolts
    feVolts,      // TPS counts shown as volts
    feTensOfMs,   // tens of milliseconds shown as milliseconds
};

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
