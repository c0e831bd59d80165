#pragma once

#include "settings/TLogSink.h"

#include <QString>
#include <QStringList>

#include <memory>

class QTextStream;

// What a Brevon program does with its command line before any window exists:
//   -h, --help          the usage on standard output; the program ends with 0
//   -v, --version       the program's name and version; likewise
//   --list-languages    the language codes that have a catalog, each with its name; likewise
//   --verbose           the brevon.* categories log their debug and info messages too
//   --log FILE          the log is also appended to FILE
// An unknown option or an argument: the reason and the usage on standard error, and the
// program ends with 2; so does a log file that cannot be written, with the reason. Otherwise
// the program runs, with the log going to standard error (and the file) for as long as this
// object lives. The texts come from the program's catalogs in the environment's language.
class TProgramStart {
public:
    struct TProgram {
        QString name;            // as the user types it: brevon, brevon-demo
        QString version;         // 1.4.3.0
        const char* description; // an English text marked with N_, translated here
    };

    TProgramStart(const TProgram& program, const QStringList& arguments,
                  const QString& programDir, QTextStream& out, QTextStream& err);
    // The program's own: its arguments, its folder, standard output and error.
    TProgramStart(const TProgram& program, int argc, char** argv);
    ~TProgramStart();
    TProgramStart(const TProgramStart&) = delete;
    TProgramStart& operator=(const TProgramStart&) = delete;

    // Whether the program ends here, and with which code.
    bool Finished() const { return FFinished; }
    int ExitCode() const { return FExitCode; }
    bool Verbose() const { return FVerbose; }

    static constexpr int kUsageError = 2;

private:
    void Run(const TProgram& program, const QStringList& arguments, const QString& programDir,
             QTextStream& out, QTextStream& err);
    void Finish(int code);

    std::unique_ptr<TLogSink> FSink;
    bool FFinished = false;
    int FExitCode = 0;
    bool FVerbose = false;
};
