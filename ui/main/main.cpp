#include "link/TLibusbTransport.h"
#include "protocol/TFixedTexts.h"
#include "settings/Gettext.h"
#include "settings/TProgramStart.h"
#include "ui/main/TApplicationStart.h"

#include <QApplication>

int main(int argc, char** argv)
{
    const TProgramStart program(
        { QStringLiteral("brevon"), QLatin1String(TFixedTexts::AppVersion),
          N_("Sets up and watches the Orbel controller of a natural-gas conversion kit through "
             "the KORVEL-CONNECT USB adapter.") },
        argc, argv);
    if (program.Finished())
        return program.ExitCode();
    QApplication app(argc, argv);
    TApplicationStart start([] {
        TKorvelComm::TTransports transports;
        transports.push_back(std::make_unique<TLibusbTransport>());
        return transports;
    });
    return start.Run(app);
}
