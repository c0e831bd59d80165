#include "ctl/TCtlCommand.h"
#include "settings/TGettext.h"
#include "settings/TLogSink.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The texts in the environment's language.
    TGettext gettext(TGettext::ProgramCatalogBase(QCoreApplication::applicationDirPath()));
    const QStringList arguments = QCoreApplication::arguments();
    TLogSink::SetVerbose(arguments.contains(QStringLiteral("--verbose")));
    const TLogSink log;
    QTextStream out(stdout);
    QTextStream err(stderr);
    TCtlCommand command([](bool demo) { return demo ? TCtlRig::Demo() : TCtlRig::Hardware(); },
                        out, err);
    return command.Run(arguments);
}
