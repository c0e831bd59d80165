#include "link/TLibusbTransport.h"
#include "ui/main/TApplicationStart.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TApplicationStart start([] {
        TKorvelComm::TTransports transports;
        transports.push_back(std::make_unique<TLibusbTransport>());
        return transports;
    });
    return start.Run(app);
}
