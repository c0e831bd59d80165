#include "settings/TProgramStart.h"

#include "link/LinkLog.h"
#include "settings/TGettext.h"
#include "tests/settings/TEnvironmentGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The programs' command line, as the program itself starts it, with the catalogs built from
// po/ beside it.
namespace {

const QString kProgramDir = QStringLiteral(BREVON_PROGRAM_DIR);

const TProgramStart::TProgram kProgram { QStringLiteral("brevon"), QStringLiteral("1.4.3.0"),
                                         "Sets up and watches the Orbel controller of a "
                                         "natural-gas conversion kit through the KORVEL-CONNECT "
                                         "USB adapter." };

struct TStartRun {
    bool finished;
    int code;
    QString out;
    QString err;
    bool verbose;
};

// Starts the program with `arguments` (after its name) in the environment's language `language`.
TStartRun Start(const QStringList& arguments, const QByteArray& language = "C")
{
    TEnvironmentGuard guard;
    TEnvironmentGuard::Start({ { "LANGUAGE", language } });
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    TStartRun run;
    {
        const TProgramStart start(kProgram, QStringList { kProgram.name } + arguments,
                                  kProgramDir, outStream, errStream);
        run.finished = start.Finished();
        run.code = start.ExitCode();
        run.verbose = lcLink().isDebugEnabled();
    }
    TLogSink::SetVerbose(false);
    outStream.flush();
    errStream.flush();
    run.out = out;
    run.err = err;
    return run;
}

struct OptionCase {
    const char* name;
    QStringList arguments;
    QByteArray language;
    bool finished;
    int code;
    std::vector<const char*> out; // texts the standard output holds
    std::vector<const char*> err; // texts standard error holds
};

class ProgramOptions : public ::testing::TestWithParam<OptionCase> {};

TEST_P(ProgramOptions, AnswerOrRun)
{
    const OptionCase& c = GetParam();
    const TStartRun run = Start(c.arguments, c.language);
    EXPECT_EQ(run.finished, c.finished);
    EXPECT_EQ(run.code, c.code);
    for (const char* text : c.out)
        EXPECT_TRUE(run.out.contains(QString::fromUtf8(text)))
            << "'" << text << "' not in: " << run.out.toStdString();
    for (const char* text : c.err)
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(text)))
            << "'" << text << "' not in: " << run.err.toStdString();
    if (c.out.empty())
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    if (c.err.empty())
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
}

const char* const kUsage = "Usage: brevon [options]";

INSTANTIATE_TEST_SUITE_P(
    CommandLine, ProgramOptions,
    ::testing::Values(
        OptionCase { "Version", { "--version" }, "C", true, 0, { "brevon 1.4.3.0\n" }, {} },
        OptionCase { "ShortVersion", { "-v" }, "C", true, 0, { "brevon 1.4.3.0\n" }, {} },
        OptionCase { "Help",
                     { "--help" },
                     "C",
                     true,
                     0,
                     { kUsage, "Sets up and watches", "-h, --help", "-v, --version",
                       "--verbose", "--log <FILE>", "Also append the log to FILE.",
                       "--list-languages" },
                     {} },
        OptionCase { "HelpInSpanish",
                     { "-h" },
                     "es",
                     true,
                     0,
                     { "Uso: brevon [opciones]", "Configura y vigila", "Opciones:",
                       "--log <ARCHIVO>" },
                     {} },
        OptionCase { "UnknownOption",
                     { "--frobnicate" },
                     "C",
                     true,
                     TProgramStart::kUsageError,
                     {},
                     { "brevon: Unknown option: frobnicate", kUsage } },
        OptionCase { "UnknownOptionInSpanish",
                     { "--frobnicate" },
                     "es",
                     true,
                     TProgramStart::kUsageError,
                     {},
                     { "Opción desconocida: frobnicate", "Uso: brevon" } },
        OptionCase { "Argument",
                     { "file.mem" },
                     "C",
                     true,
                     TProgramStart::kUsageError,
                     {},
                     { "Unexpected argument: file.mem", kUsage } },
        OptionCase { "LogWithoutFile", { "--log" }, "C", true, TProgramStart::kUsageError, {},
                     { "--log", kUsage } },
        OptionCase { "LogInAMissingFolder",
                     { "--log", "/nonexistent-folder/brevon.log" },
                     "C",
                     true,
                     TProgramStart::kUsageError,
                     {},
                     { "brevon: cannot write the log file /nonexistent-folder/brevon.log: No "
                       "such file or directory" } },
        OptionCase { "LogIntoAFolder",
                     { "--log", "/" },
                     "C",
                     true,
                     TProgramStart::kUsageError,
                     {},
                     { "cannot write the log file /: Is a directory" } },
        OptionCase { "ListLanguages", { "--list-languages" }, "C", true, 0,
                     { "en\tEnglish\nes\tEspañol\n" }, {} },
        OptionCase { "NothingRuns", {}, "C", false, 0, {}, {} }),
    [](const ::testing::TestParamInfo<OptionCase>& info) { return std::string(info.param.name); });

TEST(ProgramStart, VerboseTurnsOnTheDebugMessagesOfTheCategories)
{
    EXPECT_FALSE(Start({}).verbose);
    const TStartRun run = Start({ "--verbose" });
    EXPECT_FALSE(run.finished);
    EXPECT_TRUE(run.verbose);
    EXPECT_FALSE(lcLink().isDebugEnabled()) << "SetVerbose(false) puts the default back";
}

TEST(ProgramStart, LogIsAppendedToTheFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("brevon.log"));
    {
        QFile earlier(file);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier run\n");
    }
    {
        TEnvironmentGuard guard;
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const TProgramStart start(kProgram, { kProgram.name, QStringLiteral("--log"), file },
                                  kProgramDir, outStream, errStream);
        ASSERT_FALSE(start.Finished());
        qCWarning(lcLink, "a warning for the log");
        qCDebug(lcLink, "a debug line that is off");
    }
    QFile log(file);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("earlier run"));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" warning brevon.link: a warning for the log")))
        << lines[1].toStdString();
}

struct CatalogPlace {
    const char* name;
    const char* made;     // the folder made below a temporary folder; empty: none
    const char* file;     // a file made there; empty: none
    const char* program;  // the program's folder, below the temporary folder
    const char* expected; // the catalog base, below the temporary folder
};

class CatalogBase : public ::testing::TestWithParam<CatalogPlace> {};

TEST_P(CatalogBase, BelowTheProgramFirstThenShare)
{
    const CatalogPlace& c = GetParam();
    QTemporaryDir root;
    const QDir dir(root.path());
    if (*c.made)
        ASSERT_TRUE(dir.mkpath(QString::fromLatin1(c.made)));
    if (*c.file) {
        ASSERT_TRUE(dir.mkpath(QFileInfo(dir.filePath(QString::fromLatin1(c.file))).path()));
        QFile file(dir.filePath(QString::fromLatin1(c.file)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(dir.mkpath(QString::fromLatin1(c.program)));
    EXPECT_EQ(TGettext::ProgramCatalogBase(dir.filePath(QString::fromLatin1(c.program))),
              dir.filePath(QString::fromLatin1(c.expected)));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, CatalogBase,
    ::testing::Values(
        CatalogPlace { "BuildTree", "build/locale", "", "build", "build" },
        CatalogPlace { "Installed", "usr/share/brevon/locale", "", "usr/bin", "usr/share/brevon" },
        // /usr/bin holds the C library's program named locale: a file is no catalog folder.
        CatalogPlace { "InstalledBesideTheLocaleProgram", "usr/share/brevon/locale",
                       "usr/bin/locale", "usr/bin", "usr/share/brevon" },
        CatalogPlace { "BothBelowTheProgramWins", "usr/bin/locale", "", "usr/bin", "usr/bin" },
        CatalogPlace { "NoneStillNamesShare", "", "", "opt/bin", "opt/share/brevon" }),
    [](const ::testing::TestParamInfo<CatalogPlace>& info) {
        return std::string(info.param.name);
    });

} // namespace
