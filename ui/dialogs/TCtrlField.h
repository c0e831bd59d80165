#pragma once

#include "protocol/CtrlSet.h"

// One field of the control set, byte or word, read and written as an int so that a table of
// slider rows can name any of them.
class TCtrlField {
public:
    constexpr TCtrlField(uint8_t CtrlSet::*byte)
        : FByte(byte)
    {
    }
    constexpr TCtrlField(uint16_t CtrlSet::*word)
        : FWord(word)
    {
    }

    int Get(const CtrlSet& set) const;
    // Keeps the low bits that fit the field's width.
    void Set(CtrlSet& set, int value) const;

private:
    uint8_t CtrlSet::*FByte = nullptr;  // the field, when it is a byte
    uint16_t CtrlSet::*FWord = nullptr; // the field, when it is a word
};
