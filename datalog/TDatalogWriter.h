#pragma once

#include "datalog/TDatalogFormat.h"
#include "protocol/CtrlSet.h"
#include "protocol/TTelemetry.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

// Records telemetry frames into a datalog file. Rows gather in memory and reach the disk when
// a second has passed since the last write (the caller's clock, so tests step it) or the buffer
// fills, so a frame costs no disk I/O. The first write error stops the recording: what reached
// the file stays, nothing more is written, and the error is handed out once.
class TDatalogWriter {
public:
    static constexpr int64_t kFlushIntervalMs = 1000;
    static constexpr std::size_t kFlushBytes = 64 * 1024;

    ~TDatalogWriter();

    // Creates `path` and writes the magic line, the start time, the control set when there is
    // one (`set` may be null) and the header. `nowMs` is time zero of the rows. False when the
    // file cannot be created; TakeError says why.
    bool Open(const QString& path, const QDateTime& startUtc, int64_t nowMs,
              std::string_view setFileName, const CtrlSet* set);
    // Notes the device copy again when it differs from the one last noted.
    void NoteControlSet(std::string_view setFileName, const CtrlSet& set);
    void Frame(const TTelemetry& record, int64_t nowMs, uint16_t valveControl, bool hasLambdaSim);
    // Writes what gathered when the flush interval has passed.
    void Tick(int64_t nowMs);
    // Writes what gathered and closes the file; what a failed write lost is reported.
    void Close();

    bool IsRecording() const { return FFile.isOpen() && !FFailed; }
    bool HasFailed() const { return FFailed; }
    // The write error, the first time it is asked for; empty otherwise.
    QString TakeError();
    int64_t Rows() const { return FRows; }
    int64_t ElapsedMs(int64_t nowMs) const { return nowMs - FStartMs; }
    QString Path() const { return FFile.fileName(); }

private:
    void Append(std::string_view text);
    void Flush(int64_t nowMs);
    void Fail(const QString& message);

    QFile FFile;
    std::string FBuffer;
    // The set and file name last noted: a frame that brings neither anew costs no hash.
    bool FSetNoted = false;
    CtrlSet::TBytes FLastSetBytes {};
    std::string FLastSetName;
    int64_t FStartMs = 0;
    int64_t FLastFlushMs = 0;
    int64_t FRows = 0;
    qint64 FGoodSize = 0; // bytes of whole writes in the file
    bool FFailed = false;
    bool FErrorTaken = false;
    QString FError;
};
