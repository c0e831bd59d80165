#pragma once

#include "ui/dialogs/TDialogHandler.h"

// A check box that shows and sets one bit of the control set's Flags, and the handler its
// clicks run. Its name is that of its item of the control set (TCtrlSetItem), which gives the
// caption and the bit.
struct TFlagBoxDef {
    const char* name; // object name, and the item's
    TDialogHandler handler;
    int left;
    int top;
    int width;
};
