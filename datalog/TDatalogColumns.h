#pragma once

#include "datalog/TDatalogChannel.h"
#include "datalog/TMinMaxPyramid.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class TDatalogReader;

// A whole recording held compactly for the log viewer: the time of each row as milliseconds
// since the first row (32 bits), every channel as a column of 16-bit raw values, a flag a row
// for the emulated lambda (absent from controllers without it), and for each channel a pyramid
// of minima and maxima that answers for any run of rows at once. About 21 bytes a row: a day at
// 20 frames a second is some 36 MB.
//
// It holds at most kMaxRows rows, and times up to 2^31 - 1 ms (24 days) after the first row;
// a longer recording is held up to there and says so (Truncated).
class TDatalogColumns {
public:
    using TId = TDatalogChannel::TId;
    using TRange = TMinMaxPyramid::TRange;

    static constexpr std::size_t kMaxRows = 6'000'000; // 83 hours at 20 frames a second

    // Keeps the row; false, and the row is dropped, once the columns are full.
    bool Append(const TDatalogRow& row);
    void Reserve(std::size_t rows);
    // Builds the pyramids; run once every row is in, before the first MinMax.
    void Finish();

    // Reads up to `maxRows` more rows of `reader`; false once the reader has none left or the
    // columns are full.
    bool ReadFrom(TDatalogReader& reader, std::size_t maxRows);
    // Reads every remaining row of `reader` into `columns` and finishes them. False when
    // the reader failed on the way (the rows read before stay).
    static bool Load(TDatalogReader& reader, TDatalogColumns& columns);

    std::size_t Rows() const { return FTime.size(); }
    bool Truncated() const { return FTruncated; }
    // The file's time of the first row; the columns count from it.
    int64_t StartMs() const { return FStartMs; }
    int32_t TimeMs(std::size_t row) const { return FTime[row]; }
    int32_t DurationMs() const { return FTime.empty() ? 0 : FTime.back(); }
    uint16_t Raw(TId channel, std::size_t row) const { return FColumns[channel][row]; }
    bool Present(TId channel, std::size_t row) const;
    // The row as it was read (the file's own time).
    TDatalogRow Row(std::size_t row) const;

    // The first row at or after `timeMs`; Rows() when there is none.
    std::size_t LowerBound(double timeMs) const;
    // The first row after `timeMs`; Rows() when there is none.
    std::size_t UpperBound(double timeMs) const;
    // The row in effect at `timeMs`: the last one at or before it, or the first row.
    std::size_t RowAt(double timeMs) const;

    // Least and greatest raw value of a channel over rows [first, last).
    TRange MinMax(TId channel, std::size_t first, std::size_t last) const;
    // Over the whole recording.
    TRange WholeRange(TId channel) const { return MinMax(channel, 0, Rows()); }

    std::size_t MemoryBytes() const;

private:
    std::vector<int32_t> FTime;
    std::array<std::vector<uint16_t>, TDatalogChannel::kCount> FColumns;
    std::vector<bool> FHasLambdaSim;
    std::array<TMinMaxPyramid, TDatalogChannel::kCount> FPyramids;
    int64_t FStartMs = 0;
    bool FTruncated = false;
};
