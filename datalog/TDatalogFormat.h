#pragma once

#include "datalog/TDatalogRow.h"
#include "protocol/CtrlSet.h"

#include <QDateTime>

#include <cstddef>
#include <string>
#include <string_view>

// The datalog file: UTF-8 text, one telemetry frame a row, comma-separated without quoting.
//
//   # brevon datalog 1
//   # started 2026-12-10T14:03:07Z
//   # control set file=car1.mem sha256=<hash of the 48 bytes of the device copy>
//   time_ms,rpm,tps_V,lambda_mV,lambda_sim_mV,valve_actual,valve_control,gas,led
//   0,820,0.464,449.7,,47,47,1,0
//
// Comment lines begin with '#' and may stand anywhere; the control-set comment is written again
// whenever the device copy changes. Volts carry 3 decimals and millivolts 1, enough to give the
// converter counts back exactly. lambda_sim_mV is empty for controllers without probe emulation.
// gas is 0 or 1; led is TDatalogRow::TLed (0 blinking yellow, 1 red dark, 2 red lit). The window's
// recorder and the command-line monitor both write this, so their logs are interchangeable.
class TDatalogFormat {
public:
    static constexpr int kVersion = 1;
    static constexpr std::string_view kMagic = "# brevon datalog 1";
    static constexpr std::string_view kHeader =
        "time_ms,rpm,tps_V,lambda_mV,lambda_sim_mV,valve_actual,valve_control,gas,led";
    static constexpr int kColumns = 9;
    // Room for the longest row, its line end and a terminating zero.
    static constexpr std::size_t kMaxRowLength = 112;

    enum TError {
        erNone,
        erEmpty,         // the file holds no header
        erVersion,       // a datalog of another format version
        erHeader,        // the first line that is not a comment is not the header
        erShortRow,      // fewer cells than columns
        erLongRow,       // more cells than columns
        erNotNumber,     // a cell is not a number of its column's kind
        erOutOfRange,    // a number its column cannot hold
        erTimeBackwards, // a row earlier than the one before it
        erLongLine,      // a line longer than a reader holds at once
    };
    // The error for the user, in English; marked for the catalogs.
    static const char* ErrorText(TError error);

    // The row with its line end, written into `out` without allocating; returns its length.
    static std::size_t FormatRow(const TDatalogRow& row, char (&out)[kMaxRowLength]);
    static std::string StartedComment(const QDateTime& start);
    // The comment that names the control set: the file's bare name (commas and line breaks
    // made '_') and the SHA-256 of the 48 bytes.
    static std::string ControlSetComment(std::string_view fileName, const CtrlSet& set);

    enum TLineKind { lkBlank, lkComment, lkHeader, lkRow };
    // What a line is; a trailing '\r' is ignored.
    static TLineKind Classify(std::string_view line);
    // erVersion for "# brevon datalog N" of another N, else erNone.
    static TError CheckComment(std::string_view comment);
    // Reads a row; on an error `row` is unspecified and `column` (when given) names the cell.
    static TError ParseRow(std::string_view line, TDatalogRow& row, int* column = nullptr);
};
