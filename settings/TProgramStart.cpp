#include "settings/TProgramStart.h"

#include "settings/TGettext.h"

#include "settings/Gettext.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

// The options with their translated descriptions, in the order the usage lists them.
struct TOptions {
    QCommandLineOption help { { QStringLiteral("h"), QStringLiteral("help") },
                              _("Show this help and exit.") };
    QCommandLineOption version { { QStringLiteral("v"), QStringLiteral("version") },
                                 _("Show the program's version and exit.") };
    QCommandLineOption verbose { QStringLiteral("verbose"),
                                 _("Log everything, not only warnings: the adapter, the link, "
                                   "the commands sent to the controller and the windows.") };
    QCommandLineOption log { QStringLiteral("log"),
                             _("Also append the log to FILE."), _("FILE") };
    QCommandLineOption listLanguages { QStringLiteral("list-languages"),
                                       _("List the languages that have a catalog and exit.") };

    QList<QCommandLineOption> All() const
    {
        return { help, version, verbose, log, listLanguages };
    }
};

// "-h, --help" or "--log <FILE>".
QString OptionNames(const QCommandLineOption& option)
{
    QStringList names;
    for (const QString& name : option.names())
        names.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    QString text = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        text += QStringLiteral(" <") + option.valueName() + u'>';
    return text;
}

QString Usage(const TProgramStart::TProgram& program, const TOptions& options)
{
    QString text = _("Usage: %1 [options]").arg(program.name) + u'\n'
        + TGettext::Translate(program.description) + QStringLiteral("\n\n") + _("Options:")
        + u'\n';
    qsizetype width = 0;
    for (const QCommandLineOption& option : options.All())
        width = qMax(width, OptionNames(option).size());
    for (const QCommandLineOption& option : options.All())
        text += QStringLiteral("  ") + OptionNames(option).leftJustified(width + 2)
            + option.description() + u'\n';
    return text;
}

// The folder of the running executable, without a QCoreApplication.
QString ExecutableDir(const char* argv0)
{
    const QString self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    if (!self.isEmpty())
        return QFileInfo(self).path();
    return QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath();
}

} // namespace

TProgramStart::TProgramStart(const TProgram& program, const QStringList& arguments,
                             const QString& programDir, QTextStream& out, QTextStream& err)
{
    Run(program, arguments, programDir, out, err);
}

TProgramStart::TProgramStart(const TProgram& program, int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QTextStream out(stdout);
    QTextStream err(stderr);
    Run(program, arguments, ExecutableDir(argc > 0 ? argv[0] : ""), out, err);
}

TProgramStart::~TProgramStart() = default;

void TProgramStart::Finish(int code)
{
    FFinished = true;
    FExitCode = code;
}

void TProgramStart::Run(const TProgram& program, const QStringList& arguments,
                        const QString& programDir, QTextStream& out, QTextStream& err)
{
    // The catalogs in the environment's language, for the texts below and nothing else: the
    // windows choose their language later from the stored options.
    TGettext gettext(TGettext::ProgramCatalogBase(programDir));
    const TOptions options;
    QCommandLineParser parser;
    parser.addOptions(options.All());

    QString problem;
    if (!parser.parse(arguments))
        problem = parser.unknownOptionNames().isEmpty()
            ? parser.errorText()
            : _("Unknown option: %1").arg(parser.unknownOptionNames().constFirst());
    else if (!parser.positionalArguments().isEmpty())
        problem = _("Unexpected argument: %1").arg(parser.positionalArguments().constFirst());
    if (!problem.isEmpty()) {
        err << program.name << ": " << problem << "\n\n" << Usage(program, options);
        err.flush();
        return Finish(kUsageError);
    }
    if (parser.isSet(options.help)) {
        out << Usage(program, options);
        return Finish(0);
    }
    if (parser.isSet(options.version)) {
        out << program.name << ' ' << program.version << '\n';
        return Finish(0);
    }

    FVerbose = parser.isSet(options.verbose);
    TLogSink::SetVerbose(FVerbose);
    FSink = std::make_unique<TLogSink>();
    if (parser.isSet(options.log)) {
        const QString file = parser.value(options.log);
        QString reason;
        if (!FSink->OpenFile(file, reason)) {
            err << program.name << ": "
                << _("cannot write the log file %1: %2").arg(file, reason) << '\n';
            err.flush();
            return Finish(kUsageError);
        }
    }

    if (parser.isSet(options.listLanguages)) {
        const TLanguageLists languages = gettext.LanguageStartUp({});
        for (qsizetype i = 0; i < languages.LangCodes.size(); ++i)
            out << languages.LangCodes[i] << '\t' << languages.LangNames.value(i) << '\n';
        return Finish(0);
    }
}
