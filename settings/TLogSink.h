#pragma once

#include <QString>

// Where the program's log goes: every Qt message, those of the brevon.* categories among them,
// to standard error and, once a file is opened, appended to that file as well, one line each
// with time, level and category. Installed as Qt's message handler for the object's lifetime;
// keep one at a time. Messages come from any thread (the link thread logs too), so each line
// is written whole under one lock.
class TLogSink {
public:
    // The brevon.* categories pass their debug and info messages too, or only warnings and
    // worse (their default). QT_LOGGING_RULES still has the last word.
    static void SetVerbose(bool verbose);

    TLogSink();
    ~TLogSink();
    TLogSink(const TLogSink&) = delete;
    TLogSink& operator=(const TLogSink&) = delete;

    // From now on the log is also appended to `path`. False, with the system's reason in
    // `error`, when the file cannot be opened for writing.
    bool OpenFile(const QString& path, QString& error);
};
