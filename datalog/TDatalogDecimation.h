#pragma once

#include "datalog/TDatalogColumns.h"

#include <vector>

// What a plot draws of one channel over a span of time and a width of pixels: where the span
// holds more rows than the pixels can show, one pair of points per pixel column, its least and
// its greatest value, so that no peak is lost however far out the view is; otherwise the rows
// themselves. Either way one row before and one after the span come along, so the line runs
// to the edges. A row without a value (or a column without one) is a NaN, which breaks the
// line there. The cost follows the pixels, not the rows.
class TDatalogDecimation {
public:
    struct TPoint {
        double key;   // seconds since the first row
        double value; // in the channel's unit
    };

    // Below this many rows a pixel column, the rows are drawn as they are.
    static constexpr double kRowsPerColumnToDecimate = 2.0;

    // The least and greatest raw value of each of `pixels` equal columns over [fromMs, toMs]
    // (the last column includes toMs); an empty range for a column without a value.
    static std::vector<TDatalogColumns::TRange> ColumnRanges(const TDatalogColumns& log,
                                                             TDatalogColumns::TId channel,
                                                             double fromMs, double toMs,
                                                             int pixels);

    // The points to draw, into `points` (cleared first; its capacity is reused).
    static void Points(const TDatalogColumns& log, TDatalogColumns::TId channel, double fromMs,
                       double toMs, int pixels, std::vector<TPoint>& points);
};
