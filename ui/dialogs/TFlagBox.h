#pragma once

#include "protocol/CtrlSet.h"
#include "ui/dialogs/TFlagBoxDef.h"

#include <QCheckBox>

// A bold check box that shows one bit of the control set's Flags and sets or clears that bit
// alone. Caption and bit are those of its item of the control set.
class TFlagBox : public QCheckBox {
    Q_OBJECT
public:
    TFlagBox(const TFlagBoxDef& def, QWidget* parent);

    uint8_t Mask() const { return FMask; }
    void Load(const CtrlSet& set);
    // Sets or clears the box's bit, keeping the other seven.
    void Store(CtrlSet& set) const;

private:
    uint8_t FMask;
};
