#pragma once

#include "tests/dialogs/DialogHarness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The tables every dialog fills with its own rows; the tests are in DialogTablesTest.cpp.

// The user moves one slider.
struct TEditRow {
    std::string name;
    TDialogKind kind;
    std::function<void(CtrlSet&)> read; // a block read before the move; null: none
    const char* slider;
    double position;
    std::function<void(CtrlSet&)> stores;  // what the move changes in the working copy
    const char* text;                      // the value box afterwards
    std::vector<std::string> displayCalls; // the main window's updates, in order
};
class SliderEdit : public testing::TestWithParam<TEditRow> {};

// A slider and its value box after creation (no read) or after a read.
struct TShownRow {
    std::string name;
    TDialogKind kind;
    std::function<void(CtrlSet&)> read; // null: as created at start-up
    const char* slider;
    double position;
    const char* text;
};
class SliderShown : public testing::TestWithParam<TShownRow> {};

// The user ticks or unticks a check box.
struct TFlagEditRow {
    std::string name;
    TDialogKind kind;
    uint8_t flags; // Flags as read before
    const char* box;
    bool tick;
    uint8_t expected; // Flags afterwards
};
class FlagEdit : public testing::TestWithParam<TFlagEditRow> {};

// A check box after creation from a working copy, or after a read.
struct TBoxShownRow {
    std::string name;
    TDialogKind kind;
    bool byRead; // false: the working copy held `flags` when the dialog was made
    uint8_t flags;
    const char* box;
    bool ticked;
};
class BoxShown : public testing::TestWithParam<TBoxShownRow> {};

// Failures name the row rather than dump its bytes.
inline void PrintTo(const TEditRow& row, std::ostream* os) { *os << row.name; }
inline void PrintTo(const TShownRow& row, std::ostream* os) { *os << row.name; }
inline void PrintTo(const TFlagEditRow& row, std::ostream* os) { *os << row.name; }
inline void PrintTo(const TBoxShownRow& row, std::ostream* os) { *os << row.name; }

template <class Row>
std::string RowName(const testing::TestParamInfo<Row>& info)
{
    return info.param.name;
}
