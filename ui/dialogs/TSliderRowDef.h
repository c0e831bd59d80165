#pragma once

#include "ui/dialogs/TDialogHandler.h"

// What a row's value box shows, after a change as after a load.
enum TValueText {
    vtSlider, // the slider's position truncated toward zero, as an integer
    vtField,  // the stored field's own value, as an integer, whatever the slider shows
    vtVolts,  // the slider's position with two decimals
};

// One slider row of a configuration dialog: the slider with its value box and the handler that
// its moves run. The slider's name is that of the item of the control set it edits
// (TCtrlSetItem): the row takes its caption, its unit, its field and the field's encoding from
// there, the one place that names each item.
struct TSliderRowDef {
    const char* name;     // the slider's object name, and its item's
    const char* valueBox; // the value box's object name
    TDialogHandler handler;
    int top; // within the row's group box
    double minimum;
    double maximum;
    double smallStep; // arrow keys and wheel
    double largeStep; // page keys
    int majorTicks;   // labelled ticks, both ends included
    TValueText text;
    bool unitLabel = true;  // the item's unit stands beside the value box, where it has one
    int labelDecimals = 0;  // decimals of the tick labels
};

// Where a group's rows put their caption and value box; the slider and the unit label stand at
// the same place in every row.
struct TRowPlace {
    int captionLeft = 8;
    int valueBoxLeft = 312;
};
