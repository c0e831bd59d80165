#pragma once

#include <cstdint>

// A check box that shows and sets one bit of the control set's Flags.
struct TFlagBoxDef {
    const char* name; // object name
    const char* caption;
    uint8_t mask; // a TCtrlFlag
    int left;
    int top;
    int width;
};
