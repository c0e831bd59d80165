#include "CtlFixture.h"

#include "datalog/TDatalogFormat.h"
#include "datalog/TDatalogRow.h"
#include "protocol/TCommandCodes.h"
#include "protocol/TCtrlSetItem.h"

#include <QDir>
#include <QFileInfo>

namespace {

CtrlSet Tuned()
{
    CtrlSet set = CtrlSet::FromBytes(TSimController::DefaultControlSet().data());
    set.AperturaPos = 321;
    set.SondaRica = 230;
    set.CutOffHRpm = 4100;
    return set;
}

QStringList Lines(const QString& text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

// Every command on the simulated adapter and controller: its exit code, what it prints and what
// the controller holds afterwards.
TEST_F(CtlFixture, CommandTable)
{
    const QString tuned = WriteSetFile(QStringLiteral("tuned.mem"), Tuned());
    const QString same = WriteSetFile(QStringLiteral("default.mem"), Default());
    struct TRow {
        const char* name;
        CtrlSet start; // what the controller holds before the command
        QStringList args;
        int code;
        QStringList outContains;
        CtrlSet held; // and after it
    };
    const TRow rows[] = {
        { "info", Default(), { "info" }, 0, { "KorvelConnect V-1.71\nOrbel V-1.04\n" },
          Default() },
        { "info json", Default(), { "--json", "info" }, 0,
          { "\"adapterVersion\": \"V-1.71\"", "\"controllerVersion\": \"V-1.04\"" },
          Default() },
        { "read", Tuned(), { "read" }, 0, { "\t321\n" }, Tuned() },
        { "read json", Tuned(), { "read", "--json" }, 0,
          { "\"name\": \"SET_AperturaPos\"", "\"raw\": 321" }, Tuned() },
        { "write", Default(), { "write", tuned }, 0, {}, Tuned() },
        { "write what it holds", Tuned(), { "write", tuned }, 0, {}, Tuned() },
        { "diff two files", Default(), { "diff", same, tuned }, 1, { "\t321" }, Default() },
        { "diff equal files", Default(), { "diff", tuned, tuned }, 0, {}, Default() },
        { "diff file and controller, equal", Default(), { "diff", same }, 0, {}, Default() },
        { "diff json", Default(), { "--json", "diff", tuned }, 1, { "\"rawA\": 321" },
          Default() },
        { "load unprotected", Default(), { "load" }, 0, {}, Default() },
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.name);
        controller->SetControlSet(row.start.ToBytes());
        const TCtlRun run = Run(row.args);
        EXPECT_EQ(run.code, row.code) << run.err.toStdString();
        for (const QString& text : row.outContains)
            EXPECT_TRUE(run.out.contains(text)) << text.toStdString() << " not in\n"
                                                << run.out.toStdString();
        EXPECT_EQ(Held(), row.held);
    }
}

TEST_F(CtlFixture, ReadListsEveryItemAndWritesTheFile)
{
    TCtlRun run = Run({ "read" });
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(Lines(run.out).size(), qsizetype(TCtrlSetItem::All().size()));

    const QString file = Path(QStringLiteral("out.mem"));
    run = Run({ "read", "-o", file });
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const CtrlSet::TBytes held = controller->ControlSet();
    EXPECT_EQ(written.readAll(),
              QByteArray(reinterpret_cast<const char*>(held.data()), int(held.size())));
}

TEST_F(CtlFixture, RestoreBringsBackTheSetBeforeTheWrite)
{
    ASSERT_EQ(Run({ "write", WriteSetFile(QStringLiteral("t.mem"), Tuned()) }).code, 0);
    ASSERT_EQ(Held(), Tuned());
    const TCtlRun run = Run({ "restore" });
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(Held(), Default());
}

// About 40 rows for 2 s of the controller's 50 ms telemetry, in the datalog format.
TEST_F(CtlFixture, MonitorCsvWritesTheDatalog)
{
    const TCtlRun run = Run({ "monitor", "--csv", "--duration", "2" });
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QStringList lines = Lines(run.out);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], QString::fromLatin1(TDatalogFormat::kMagic.data()));
    EXPECT_TRUE(lines[1].startsWith("# started "));
    EXPECT_TRUE(lines[2].startsWith("# control set file= sha256="));
    EXPECT_EQ(lines[3], QString::fromLatin1(TDatalogFormat::kHeader.data()));
    const qsizetype rows = lines.size() - 4;
    EXPECT_GE(rows, 38);
    EXPECT_LE(rows, 42);
    int64_t last = -1;
    for (qsizetype i = 4; i < lines.size(); ++i) {
        TDatalogRow row;
        const std::string line = lines[i].toStdString();
        ASSERT_EQ(TDatalogFormat::ParseRow(line, row), TDatalogFormat::erNone) << line;
        EXPECT_GE(row.timeMs, last);
        EXPECT_LE(row.timeMs, 2000);
        EXPECT_EQ(row.valveControl, Default().AperturaPos);
        EXPECT_TRUE(row.lambdaSim.has_value()); // firmware 1.04 reports the emulated signal
        last = row.timeMs;
    }
}

TEST_F(CtlFixture, MonitorPrintsOneLineAFrame)
{
    const TCtlRun run = Run({ "monitor", "--duration", "1" });
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QStringList lines = Lines(run.out);
    EXPECT_GE(lines.size(), 18);
    for (const QString& line : lines)
        EXPECT_TRUE(line.contains(" rpm ") && line.contains(" mV ")) << line.toStdString();
}

// A protected memory: Load Memory needs the password; a wrong or missing one is a refusal.
TEST_F(CtlFixture, ProtectedMemoryAndPasswords)
{
    controller->SetPassword("secret");
    const struct {
        const char* name;
        QStringList args;
        int code;
    } rows[] = {
        { "no password", { "load" }, 4 },
        { "wrong password", { "load", "--password", "wrong" }, 4 },
        { "right password", { "load", "--password", "secret" }, 0 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const TCtlRun run = Run(row.args);
        EXPECT_EQ(run.code, row.code) << run.err.toStdString();
        if (row.code != 0) {
            EXPECT_TRUE(run.err.contains("refused")) << run.err.toStdString();
        }
    }
}

TEST_F(CtlFixture, RefusedWriteIsExitFourAndChangesNothing)
{
    controller->SetCommandFault(cmdWriteSet, TSimController::cmfNak);
    const TCtlRun run = Run({ "write", WriteSetFile(QStringLiteral("t.mem"), Tuned()) });
    EXPECT_EQ(run.code, 4);
    EXPECT_EQ(Held(), Default());
}

// No adapter, or an adapter whose controller is silent: exit 3 once the time-out has passed
// on the rig's clock.
TEST_F(CtlFixture, NothingAnswersWithinTheTimeout)
{
    TCtlRun run = Run({ "--timeout", "2", "info" }, false);
    EXPECT_EQ(run.code, 3);
    EXPECT_TRUE(run.err.contains("No adapter")) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("KorvelConnect Desconectado")) << run.out.toStdString();
    EXPECT_GE(run.simulatedMs, 2000);
    EXPECT_LT(run.simulatedMs, 2000 + 200);

    run = Run({ "read" }, false);
    EXPECT_EQ(run.code, 3);
    EXPECT_GE(run.simulatedMs, 5000); // the default time-out

    controller->SetFault(TSimController::fmSilent);
    run = Run({ "--timeout", "3", "read" });
    EXPECT_EQ(run.code, 3);
    EXPECT_TRUE(run.err.contains("No controller")) << run.err.toStdString();
}

// Bad input: a clear message and the right exit code, before any controller is touched.
TEST_F(CtlFixture, BadInputTable)
{
    const QString shortFile = WriteFile(QStringLiteral("short.mem"), QByteArray(47, '\0'));
    const QString longFile = WriteFile(QStringLiteral("long.mem"), QByteArray(49, '\0'));
    const QString missing = Path(QStringLiteral("missing.mem"));
    QDir(dir.path()).mkdir(QStringLiteral("folder.mem"));
    const QString folder = Path(QStringLiteral("folder.mem"));
    const QString unwritable = Path(QStringLiteral("no/such/folder/out.mem"));
    const struct {
        const char* name;
        QStringList args;
        int code;
        const char* errContains;
    } rows[] = {
        { "file of 47 bytes", { "write", shortFile }, 1, "exactly 48 bytes" },
        { "file of 49 bytes", { "diff", longFile, shortFile }, 1, "exactly 48 bytes" },
        { "missing file", { "write", missing }, 1, "Cannot open" },
        { "folder as file", { "write", folder }, 1, "folder" },
        { "unknown command", { "erase" }, 2, "Unknown command" },
        { "no command", {}, 2, "No command" },
        { "unknown option", { "--force", "info" }, 2, "force" },
        { "option of another command", { "info", "--csv" }, 2, "--csv" },
        { "too many arguments", { "write", shortFile, longFile }, 2, "Wrong number" },
        { "negative timeout", { "--timeout", "-1", "info" }, 2, "time-out" },
        { "zero timeout", { "--timeout", "0", "info" }, 2, "time-out" },
        { "absurd timeout", { "--timeout", "1e9", "info" }, 2, "time-out" },
        { "timeout not a number", { "--timeout", "soon", "info" }, 2, "time-out" },
        { "infinite timeout", { "--timeout", "inf", "info" }, 2, "time-out" },
        { "negative duration", { "monitor", "--duration", "-2" }, 2, "duration" },
        { "unwritable output", { "read", "-o", unwritable }, 1, "Cannot write" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const TCtlRun run = Run(row.args);
        EXPECT_EQ(run.code, row.code) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.errContains)))
            << run.err.toStdString();
        EXPECT_EQ(Held(), Default());
    }
    EXPECT_FALSE(QFileInfo::exists(unwritable));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 2)
        << "a half-written file was left behind";
}
