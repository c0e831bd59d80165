#include "datalog/TDatalogReader.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

#include "settings/Gettext.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

TDatalogReader::TDatalogReader(std::size_t bufferSize)
    : FBuffer(std::max(bufferSize, kMinBufferSize))
{
}

bool TDatalogReader::Open(const QString& path)
{
    FFile.close();
    FFailure = fcNone;
    FFormatError = TDatalogFormat::erNone;
    FSystemError.clear();
    FBegin = FEnd = 0;
    FBufferOffset = 0;
    FAtEnd = FReadFailed = FDiscarding = false;
    FLine = FLineSeen = FRowIndex = FSkipped = FCommentCount = 0;
    FLastTime = -1;
    FPending.reset();
    FIndex.clear();
    FFirstSkips.clear();
    FComments.clear();

    const QFileInfo info(path);
    if (!info.exists()) {
        FFailure = fcMissing;
        return false;
    }
    if (info.isDir()) {
        FFailure = fcDirectory;
        return false;
    }
    FFile.setFileName(path);
    // Unbuffered: the reader's own buffer is the only one.
    if (!FFile.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        FFailure = fcUnreadable;
        FSystemError = FFile.errorString();
        return false;
    }
    FFileSize = FFile.size();
    if (!Fill()) {
        FFailure = fcUnreadable;
        return false;
    }
    // Spreadsheet programs put a byte-order mark before UTF-8 text.
    if (std::string_view(FBuffer.data(), FEnd).substr(0, kByteOrderMark.size()) == kByteOrderMark)
        FBegin = kByteOrderMark.size();

    for (;;) {
        std::string_view line;
        const TLine got = ReadLine(line);
        if (got == lnLine || got == lnTooLong)
            ++FLine;
        switch (got) {
        case lnEnd:
            return FailFormat(TDatalogFormat::erEmpty);
        case lnError:
            FFailure = fcUnreadable;
            return false;
        case lnTooLong:
            if (TDatalogFormat::Classify(line) != TDatalogFormat::lkComment)
                return FailFormat(TDatalogFormat::erHeader);
            NoteComment(line);
            continue;
        case lnLine:
            break;
        }
        switch (TDatalogFormat::Classify(line)) {
        case TDatalogFormat::lkBlank:
            continue;
        case TDatalogFormat::lkComment:
            if (const TDatalogFormat::TError e = TDatalogFormat::CheckComment(line))
                return FailFormat(e);
            NoteComment(line);
            continue;
        case TDatalogFormat::lkHeader:
            FLineSeen = FLine;
            return true;
        case TDatalogFormat::lkRow:
            return FailFormat(TDatalogFormat::erHeader);
        }
    }
}

bool TDatalogReader::FailFormat(TDatalogFormat::TError error)
{
    FFailure = fcFormat;
    FFormatError = error;
    FFile.close();
    return false;
}

QString TDatalogReader::ErrorText() const
{
    switch (FFailure) {
    case fcNone:
        break;
    case fcMissing:
        return _("The file does not exist.");
    case fcDirectory:
        return _("It is a folder, not a file.");
    case fcUnreadable:
        return FSystemError;
    case fcFormat:
        return TGettext::Translate(TDatalogFormat::ErrorText(FFormatError));
    }
    if (FReadFailed)
        return _("The file could not be read to its end: %1").arg(FSystemError);
    return {};
}

bool TDatalogReader::Fill()
{
    if (FBegin > 0) {
        std::memmove(FBuffer.data(), FBuffer.data() + FBegin, FEnd - FBegin);
        FBufferOffset += qint64(FBegin);
        FEnd -= FBegin;
        FBegin = 0;
    }
    const qint64 n = FFile.read(FBuffer.data() + FEnd, qint64(FBuffer.size() - FEnd));
    if (n < 0) {
        FSystemError = FFile.errorString();
        return false;
    }
    if (n == 0)
        FAtEnd = true;
    FEnd += std::size_t(n);
    return true;
}

bool TDatalogReader::PassOverLongLine()
{
    while (FDiscarding) {
        const char* start = FBuffer.data() + FBegin;
        if (const void* nl = std::memchr(start, '\n', FEnd - FBegin)) {
            FBegin = std::size_t(static_cast<const char*>(nl) - FBuffer.data()) + 1;
            FDiscarding = false;
        } else if (FAtEnd) {
            FBegin = FEnd;
            FDiscarding = false;
        } else {
            FBegin = FEnd;
            if (!Fill())
                return false;
        }
    }
    return true;
}

TDatalogReader::TLine TDatalogReader::ReadLine(std::string_view& line)
{
    // The rest of a line too long for the buffer goes unread.
    if (!PassOverLongLine())
        return lnError;
    for (;;) {
        const char* start = FBuffer.data() + FBegin;
        if (const void* nl = std::memchr(start, '\n', FEnd - FBegin)) {
            const char* end = static_cast<const char*>(nl);
            line = std::string_view(start, std::size_t(end - start));
            FBegin = std::size_t(end - FBuffer.data()) + 1;
            return lnLine;
        }
        if (FAtEnd) {
            if (FBegin == FEnd)
                return lnEnd;
            // The last line, without its line end (a recording cut short).
            line = std::string_view(start, FEnd - FBegin);
            FBegin = FEnd;
            return lnLine;
        }
        if (FBegin == 0 && FEnd == FBuffer.size()) {
            line = std::string_view(start, FEnd);
            FBegin = FEnd;
            FDiscarding = true;
            return lnTooLong;
        }
        if (!Fill())
            return lnError;
    }
}

void TDatalogReader::NoteSkip(int64_t line, TDatalogFormat::TError error, int column)
{
    ++FSkipped;
    if (FFirstSkips.size() < std::size_t(kKeptSkips))
        FFirstSkips.push_back({ line, error, column });
}

void TDatalogReader::NoteComment(std::string_view text)
{
    ++FCommentCount;
    if (FComments.size() >= std::size_t(kKeptComments))
        return;
    text.remove_prefix(1);
    if (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    FComments.push_back({ FLine, FRowIndex - 1, std::string(text) });
}

bool TDatalogReader::ReadRow(TDatalogRow& row)
{
    for (;;) {
        // A row's place in the file is where its line begins, past the rest of a long line.
        if (!PassOverLongLine()) {
            FReadFailed = true;
            return false;
        }
        const qint64 offset = Position();
        std::string_view line;
        const TLine got = ReadLine(line);
        if (got == lnEnd)
            return false;
        if (got == lnError) {
            FReadFailed = true;
            return false;
        }
        ++FLine;
        // A line read again after a seek was counted the first time.
        const bool fresh = FLine > FLineSeen;
        FLineSeen = std::max(FLineSeen, FLine);
        const TDatalogFormat::TLineKind kind = TDatalogFormat::Classify(line);
        if (kind == TDatalogFormat::lkComment) {
            if (fresh)
                NoteComment(line);
            continue;
        }
        if (got == lnTooLong) {
            if (fresh)
                NoteSkip(FLine, TDatalogFormat::erLongLine, -1);
            continue;
        }
        if (kind != TDatalogFormat::lkRow)
            continue;
        int column = -1;
        if (const TDatalogFormat::TError e = TDatalogFormat::ParseRow(line, row, &column)) {
            if (fresh)
                NoteSkip(FLine, e, column);
            continue;
        }
        if (row.timeMs < FLastTime) {
            if (fresh)
                NoteSkip(FLine, TDatalogFormat::erTimeBackwards, 0);
            continue;
        }
        if (FRowIndex == int64_t(FIndex.size()) * kIndexStep)
            FIndex.push_back({ offset, FLine, FRowIndex, row.timeMs, FLastTime });
        FLastTime = row.timeMs;
        return true;
    }
}

bool TDatalogReader::Next(TDatalogRow& row)
{
    if (FPending) {
        row = *FPending;
        FPending.reset();
        ++FRowIndex;
        return true;
    }
    if (!FFile.isOpen() || !ReadRow(row))
        return false;
    ++FRowIndex;
    return true;
}

bool TDatalogReader::RestartAt(const TIndexEntry& entry)
{
    if (!FFile.seek(entry.offset)) {
        FSystemError = FFile.errorString();
        FReadFailed = true;
        return false;
    }
    FBufferOffset = entry.offset;
    FBegin = FEnd = 0;
    FAtEnd = FDiscarding = false;
    FLine = entry.line - 1;
    FRowIndex = entry.rowIndex;
    FLastTime = entry.timeBefore;
    return true;
}

bool TDatalogReader::SeekTime(int64_t timeMs)
{
    if (!FFile.isOpen() || FReadFailed)
        return false;
    if (FPending) {
        // A row found by the last seek: passed over when it is earlier, else read again.
        if (FPending->timeMs < timeMs)
            ++FRowIndex;
        FPending.reset();
    }
    // The last entry earlier than the instant: rows of equal times may run across entries.
    const auto after = std::lower_bound(
        FIndex.begin(), FIndex.end(), timeMs,
        [](const TIndexEntry& e, int64_t t) { return e.timeMs < t; });
    if (after != FIndex.begin()) {
        const TIndexEntry& entry = *std::prev(after);
        // Ahead of the reading, from where it stands; otherwise from the entry.
        const bool readOn = FLastTime < timeMs && entry.rowIndex <= FRowIndex;
        if (!readOn && !RestartAt(entry))
            return false;
    } else if (!FIndex.empty()) {
        if (!RestartAt(FIndex.front()))
            return false;
    }
    TDatalogRow row;
    while (ReadRow(row)) {
        if (row.timeMs >= timeMs) {
            FPending = row;
            return true;
        }
        ++FRowIndex;
    }
    return !FReadFailed;
}
