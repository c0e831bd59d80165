#pragma once

#include "protocol/CtrlSet.h"
#include "protocol/CtrlSetEncoding.h"

#include <QString>

#include <functional>
#include <span>
#include <string_view>

// One thing an editing control of the windows changes in the control set: a field, or one bit
// of Flags. The table of them (All) covers the 48 bytes exactly once and names each item with
// the texts of the control that edits it, so that a list of differences reads as the windows
// do. The texts are the untranslated English ones; whoever shows them translates them.
struct TCtrlSetItem {
    enum TKind {
        ikNumber,    // a byte or word shown as a number in its unit
        ikFlag,      // a bit of Flags behind a check box
        ikMode,      // the Flags bit of the control mode: "Automatic" or "Manual"
        ikRpmSignal, // PulsoVuelta: an item of the RPM-signal list
    };

    const char* name;    // the editing control's object name
    const char* group;   // caption of the box the control sits in; nullptr when none
    const char* caption; // the control's own caption
    const char* unit;    // nullptr when the value has none
    TKind kind;
    int offset;          // of the field in the 48-byte layout
    int size;            // 1 or 2 bytes
    uint8_t mask;        // ikFlag and ikMode: the bit of Flags
    TFieldEncoding encoding;

    // The item's raw value: the field, or 0 and 1 for a bit.
    int Get(const CtrlSet& set) const;
    // Sets the item's raw value and leaves every other byte and bit alone.
    void Set(CtrlSet& set, int value) const;

    // A raw value as the windows show it: a number in the item's unit (millivolts, volts with
    // two decimals, milliseconds...), or a word passed through `translate`.
    QString ValueText(int value, const std::function<QString(const char*)>& translate) const;
    // The item's name in a list of items: "group: caption", or the caption alone, each part
    // passed through `translate`.
    QString CaptionText(const std::function<QString(const char*)>& translate) const;

    static std::span<const TCtrlSetItem> All();
    // The item of the control named `name`, or nullptr.
    static const TCtrlSetItem* Find(std::string_view name);
};
