#pragma once

#include "ctl/TCtlRig.h"
#include "session/TControllerSession.h"

#include <QCommandLineOption>
#include <QStringList>

class QTextStream;
struct CtrlSet;

// One run of brevonctl: parses the command line, runs the command on a session from the rig
// factory and writes its output. The program's main and the tests both run it, so the tests
// see exactly what a user sees.
class TCtlCommand {
public:
    enum TExit {
        exOk = 0,
        exFailed = 1,    // with a message on standard error
        exUsage = 2,
        exNoAnswer = 3,  // no adapter, or no controller answered within the time-out
        exRefused = 4,   // NAK, protected memory, wrong password
    };
    static constexpr double kDefaultTimeoutS = 5.0;
    static constexpr double kMaxTimeoutS = 3600.0;
    static constexpr double kMaxDurationS = 7 * 24 * 3600.0;

    TCtlCommand(TCtlRigFactory rigs, QTextStream& out, QTextStream& err);

    // `arguments` with the program name first, as QCoreApplication::arguments() gives them.
    int Run(const QStringList& arguments);
    // Set after Run parsed the command line: the log is to be verbose.
    bool Verbose() const { return FVerbose; }

private:
    int Info();
    int Read();
    int Write(const QString& path);
    int Restore();
    int Load();
    int Monitor();
    int Diff(const QStringList& files);

    // Connects the session; a failure is reported and mapped to its exit code.
    int Connect();
    int Fail(TExit code, const QString& message);
    int ResultExit(TControllerSession::TResult result, const QString& what);
    bool ReadFile(const QString& path, CtrlSet& set);
    TControllerSession& Session();

    TCtlRigFactory FRigs;
    QTextStream& FOut;
    QTextStream& FErr;
    std::unique_ptr<TCtlRig> FRig;
    bool FDemo = false;
    bool FJson = false;
    bool FVerbose = false;
    bool FCsv = false;
    int FTimeoutMs = int(kDefaultTimeoutS * 1000);
    double FDurationS = 0; // 0: until interrupted
    QString FOutput;
    QString FPassword;
    bool FPasswordSet = false;
};
