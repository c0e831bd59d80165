#pragma once

#include "ui/dialogs/TDialogHandler.h"

#include <cstdint>

// A check box that shows and sets one bit of the control set's Flags, and the handler its
// clicks run.
struct TFlagBoxDef {
    const char* name; // object name
    TDialogHandler handler;
    const char* caption;
    uint8_t mask; // a TCtrlFlag
    int left;
    int top;
    int width;
};
