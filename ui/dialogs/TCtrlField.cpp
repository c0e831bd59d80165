#include "ui/dialogs/TCtrlField.h"

int TCtrlField::Get(const CtrlSet& set) const
{
    return FByte ? set.*FByte : set.*FWord;
}

void TCtrlField::Set(CtrlSet& set, int value) const
{
    if (FByte)
        set.*FByte = uint8_t(value);
    else
        set.*FWord = uint16_t(value);
}
