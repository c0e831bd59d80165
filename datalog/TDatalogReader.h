#pragma once

#include "datalog/TDatalogFormat.h"
#include "datalog/TDatalogRow.h"

#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads a datalog front to back through a buffer of fixed size, whatever the file's length: a
// log of a whole day is never held in memory. Open checks everything before the first row (the
// comments, the format version, the header); Next then gives the readable rows in file order,
// skipping and counting those it cannot read (short or long rows, cells that are not numbers
// or are out of range, a time earlier than the row before). SeekTime jumps to an instant
// through a sparse index of byte offsets made while reading, so a replay can move back and
// forth without reading the file again from its start.
//
// A line longer than the buffer is skipped whole (a comment keeps its beginning). Blank lines
// and a header repeated between rows are passed over.
class TDatalogReader {
public:
    static constexpr std::size_t kDefaultBufferSize = 64 * 1024;
    // The smallest buffer a reader takes: room for the longest row and the header.
    static constexpr std::size_t kMinBufferSize = 256;
    // The first skipped rows whose reasons are kept.
    static constexpr int kKeptSkips = 5;
    // Comments kept; those beyond are counted only.
    static constexpr int kKeptComments = 256;
    // Readable rows between two entries of the seek index.
    static constexpr int64_t kIndexStep = 1024;

    enum TFailure {
        fcNone,
        fcMissing,    // no file by that name
        fcDirectory,  // a folder
        fcUnreadable, // the system refused to open or read it
        fcFormat,     // no datalog: empty, another version, wrong header
    };

    // A row that was skipped: its line (from 1), why, and the cell at fault.
    struct TSkip {
        int64_t line;
        TDatalogFormat::TError error;
        int column; // -1 when the fault is not in one cell
    };

    // A comment line, without its '#' and the blank after it, and where it stood: after the
    // row of `afterRow` (counted from 0; -1 before the first row).
    struct TComment {
        int64_t line;
        int64_t afterRow;
        std::string text;
    };

    explicit TDatalogReader(std::size_t bufferSize = kDefaultBufferSize);
    TDatalogReader(const TDatalogReader&) = delete;
    TDatalogReader& operator=(const TDatalogReader&) = delete;

    // Opens `path` and reads up to its header line. False when the file is no datalog this
    // version reads or cannot be read; Failure and ErrorText then say why.
    bool Open(const QString& path);
    TFailure Failure() const { return FFailure; }
    // What went wrong, in the current language: at Open, or while reading rows.
    QString ErrorText() const;

    // The next readable row; false at the end of the file or after a read error (ReadFailed).
    bool Next(TDatalogRow& row);
    // The file could not be read on after the header (a disk error, a file cut short under
    // the reader). The rows read before stay good.
    bool ReadFailed() const { return FReadFailed; }
    bool AtEnd() const { return FAtEnd && FBegin == FEnd && !FPending; }

    // Makes the next row Next gives the first readable row whose time is at or after `timeMs`
    // (none when every row is earlier). Reads forward from the nearest index entry before it.
    // False after a read error.
    bool SeekTime(int64_t timeMs);

    // Rows skipped so far, each counted once however often seeking reads it again.
    int64_t SkippedRows() const { return FSkipped; }
    const std::vector<TSkip>& FirstSkips() const { return FFirstSkips; }
    // The rows given so far, in order, from the file's start; after a seek, the ordinal of the
    // next row Next gives.
    int64_t RowIndex() const { return FRowIndex; }
    const std::vector<TComment>& Comments() const { return FComments; }
    int64_t CommentCount() const { return FCommentCount; }

    qint64 FileSize() const { return FFileSize; }
    // The file offset of the next line to read: how far the reading has come.
    qint64 Position() const { return FBufferOffset + qint64(FBegin); }
    std::size_t BufferSize() const { return FBuffer.size(); }

private:
    struct TIndexEntry {
        qint64 offset;     // of the row's line
        int64_t line;      // of the row
        int64_t rowIndex;  // the row's ordinal among the readable rows
        int64_t timeMs;    // the row's time
        int64_t timeBefore; // the time of the readable row before it, or -1
    };
    enum TLine { lnLine, lnTooLong, lnEnd, lnError };

    TLine ReadLine(std::string_view& line);
    // Reads on to the end of a line too long for the buffer; false on a read error.
    bool PassOverLongLine();
    bool Fill();
    // The next readable row, whose ordinal is FRowIndex; the caller counts it.
    bool ReadRow(TDatalogRow& row);
    void NoteSkip(int64_t line, TDatalogFormat::TError error, int column);
    void NoteComment(std::string_view line);
    bool FailFormat(TDatalogFormat::TError error);
    bool RestartAt(const TIndexEntry& entry);

    QFile FFile;
    qint64 FFileSize = 0;
    std::vector<char> FBuffer;
    std::size_t FBegin = 0;    // first unread byte in FBuffer
    std::size_t FEnd = 0;      // end of the bytes in FBuffer
    qint64 FBufferOffset = 0;  // file offset of FBuffer[0]
    bool FAtEnd = false;       // the file has no more bytes to read
    bool FDiscarding = false;  // passing over the rest of a line too long for the buffer
    bool FReadFailed = false;
    TFailure FFailure = fcNone;
    TDatalogFormat::TError FFormatError = TDatalogFormat::erNone;
    QString FSystemError;

    int64_t FLine = 0;          // lines read, the current one included
    int64_t FLineSeen = 0;      // the furthest line already counted and kept
    int64_t FRowIndex = 0;      // ordinal of the next readable row
    int64_t FLastTime = -1;     // time of the last readable row
    std::optional<TDatalogRow> FPending; // found by a seek, given by the next Next
    std::vector<TIndexEntry> FIndex;
    int64_t FSkipped = 0;
    std::vector<TSkip> FFirstSkips;
    std::vector<TComment> FComments;
    int64_t FCommentCount = 0;
};
