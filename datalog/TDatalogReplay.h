#pragma once

#include "datalog/TDatalogReader.h"
#include "datalog/TDatalogRow.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// Plays a datalog back in time with its recording: decides which rows are due at each instant
// of the caller's clock, at 1, 4 or 16 times the recorded speed, with play, pause and seeking.
// Rows are read through a streaming reader as they fall due, never all at once. No widget and
// no timer: the caller says what time it is, so tests step the clock themselves.
//
// The position is a time of the log (its time_ms). Every row whose time the position reaches
// is handed out once, in file order, so a plot fed from it gets every point the recording has.
// A seek jumps without handing out the rows it passes over; the row found there is due at once,
// paused or not, so the display follows the slider.
class TDatalogReplay {
public:
    static constexpr int kSpeeds[] = { 1, 4, 16 };
    // The longest stretch of the caller's clock one Advance plays: a caller held up for longer
    // (a busy machine) goes on from where it was instead of pouring out the rows it missed.
    static constexpr int64_t kMaxStepMs = 500;

    using TShow = std::function<void(const TDatalogRow& row)>;

    // Opens `path` and reads it through once for its length and its unreadable rows; paused at
    // the first row, which the next Advance hands out. False when the file cannot be replayed:
    // ErrorText says why.
    bool Open(const QString& path);
    QString ErrorText() const;

    int64_t Rows() const { return FRows; }
    int64_t SkippedRows() const { return FReader.SkippedRows(); }
    int64_t StartMs() const { return FStartMs; }
    int64_t EndMs() const { return FEndMs; }

    // `nowMs` is the caller's clock at the call; it never goes back.
    void Play(int64_t nowMs);
    void Pause(int64_t nowMs);
    bool IsPlaying() const { return FPlaying; }
    // 1, 4 or 16; other values are ignored.
    void SetSpeed(int speed, int64_t nowMs);
    int Speed() const { return FSpeed; }
    // Moves to the first row at or after `timeMs` (kept within the log).
    void Seek(int64_t timeMs, int64_t nowMs);
    int64_t PositionMs() const { return FPositionMs; }
    // Every row has been handed out.
    bool AtEnd() const { return !FNext; }

    // Hands out the rows due by `nowMs`, in order; how many. Playing stops at the last row.
    int Advance(int64_t nowMs, const TShow& show);
    // The file could not be read on (ErrorText says why); the rows before it were handed out.
    bool ReadFailed() const { return FReader.ReadFailed(); }

private:
    void ReadNext();

    TDatalogReader FReader;
    QString FError;
    int64_t FRows = 0;
    int64_t FStartMs = 0;
    int64_t FEndMs = 0;
    std::optional<TDatalogRow> FNext; // the next row to hand out
    int64_t FPositionMs = 0;
    int64_t FLastNowMs = 0; // the caller's clock when the position was last moved
    int FSpeed = 1;
    bool FPlaying = false;
};
