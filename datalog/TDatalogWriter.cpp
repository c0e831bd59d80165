#include "datalog/TDatalogWriter.h"

#include "settings/Gettext.h"

TDatalogWriter::~TDatalogWriter()
{
    Close();
}

bool TDatalogWriter::Open(const QString& path, const QDateTime& startUtc, int64_t nowMs,
                          std::string_view setFileName, const CtrlSet* set)
{
    Close();
    FBuffer.clear();
    FSetNoted = false;
    FRows = 0;
    FFailed = false;
    FErrorTaken = false;
    FError.clear();
    FStartMs = nowMs;
    FLastFlushMs = nowMs;
    FGoodSize = 0;
    FFile.setFileName(path);
    // Unbuffered: the rows gather in FBuffer, and a write that fails must say so at once.
    if (!FFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        Fail(FFile.errorString());
        return false;
    }
    FBuffer.reserve(kFlushBytes + TDatalogFormat::kMaxRowLength);
    Append(TDatalogFormat::kMagic);
    Append("\n");
    Append(TDatalogFormat::StartedComment(startUtc));
    if (set)
        NoteControlSet(setFileName, *set);
    Append(TDatalogFormat::kHeader);
    Append("\n");
    // Even the header waits for the first flush: a full disk shows at the first tick.
    return true;
}

void TDatalogWriter::NoteControlSet(std::string_view setFileName, const CtrlSet& set)
{
    if (!IsRecording())
        return;
    const CtrlSet::TBytes bytes = set.ToBytes();
    if (FSetNoted && bytes == FLastSetBytes && setFileName == FLastSetName)
        return;
    Append(TDatalogFormat::ControlSetComment(setFileName, set));
    FSetNoted = true;
    FLastSetBytes = bytes;
    FLastSetName = setFileName;
}

void TDatalogWriter::Frame(const TTelemetry& record, int64_t nowMs, uint16_t valveControl,
                           bool hasLambdaSim)
{
    if (!IsRecording())
        return;
    const int64_t timeMs = nowMs < FStartMs ? 0 : nowMs - FStartMs;
    char text[TDatalogFormat::kMaxRowLength];
    const std::size_t length = TDatalogFormat::FormatRow(
        TDatalogRow::FromTelemetry(record, timeMs, valveControl, hasLambdaSim), text);
    Append(std::string_view(text, length));
    ++FRows;
    if (FBuffer.size() >= kFlushBytes)
        Flush(nowMs);
}

void TDatalogWriter::Tick(int64_t nowMs)
{
    if (IsRecording() && nowMs - FLastFlushMs >= kFlushIntervalMs)
        Flush(nowMs);
}

void TDatalogWriter::Close()
{
    if (!FFile.isOpen())
        return;
    if (!FFailed)
        Flush(FLastFlushMs);
    FFile.close();
    FBuffer.clear();
}

QString TDatalogWriter::TakeError()
{
    if (!FFailed || FErrorTaken)
        return {};
    FErrorTaken = true;
    return FError;
}

void TDatalogWriter::Append(std::string_view text)
{
    FBuffer.append(text);
}

void TDatalogWriter::Flush(int64_t nowMs)
{
    FLastFlushMs = nowMs;
    if (FBuffer.empty())
        return;
    const qint64 written = FFile.write(FBuffer.data(), qint64(FBuffer.size()));
    if (written != qint64(FBuffer.size())) {
        const QString message = FFile.errorString();
        // A part of a row left at the end would read as a damaged row: cut back to the last
        // whole write.
        if (written > 0)
            FFile.resize(FGoodSize);
        Fail(message.isEmpty() ? QStringLiteral("short write") : message);
        return;
    }
    FGoodSize += written;
    FBuffer.clear();
}

void TDatalogWriter::Fail(const QString& message)
{
    FFailed = true;
    FError = _("The datalog could not be written: %1").arg(message);
    FBuffer.clear();
    FBuffer.shrink_to_fit();
}
