#pragma once

#include "ui/dialogs/TSliderRowDef.h"

struct CtrlSet;
struct TCtrlSetItem;
class QLabel;
class QWidget;
class TSlider;
class TValueBox;

// The controls of one slider row, made in their parent (a group box) by the common layout:
// caption, slider at left 108 (201 x 49, tick labels under the track), value box (37 x 21) and
// unit label at left 352. The row converts between its slider and its item's field; the dialog
// owns the handler that runs when the slider moves.
class TSliderRow {
public:
    TSliderRow(QWidget* parent, const TSliderRowDef& def, const TRowPlace& place);

    const TSliderRowDef& Def() const { return FDef; }
    // The item of the control set the row edits, which names it.
    const TCtrlSetItem& Item() const { return FItem; }
    TSlider* Slider() const { return FSlider; }
    TValueBox* ValueBox() const { return FValueBox; }
    QLabel* Caption() const { return FCaption; }
    QLabel* Unit() const { return FUnit; } // null when the row has none

    double Position() const;
    // Clamped to the slider's range; runs the row's handler if the position changes.
    void SetPosition(double position);

    // Slider from the field, converted for display, then the value box's text.
    void Load(const CtrlSet& set);
    // The position, converted and truncated, into the field.
    void Store(CtrlSet& set) const;
    void ShowText(const CtrlSet& set);

    // Slider and value box only: caption and unit stay as they are.
    void SetEnabled(bool enabled);

private:
    double DisplayOf(int field) const;
    int FieldOf(double position) const;

    TSliderRowDef FDef;
    const TCtrlSetItem& FItem;
    QLabel* FCaption;
    TSlider* FSlider;
    TValueBox* FValueBox;
    QLabel* FUnit = nullptr;
};
