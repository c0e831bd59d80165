// Writes a drive of the simulated controller as a datalog, for trying the log viewer and for
// the screenshots, or the control set that drive is tuned to as a control-set file:
//   brevon-simlog FILE SECONDS [CONTROLLER-VERSION-HEX]
//   brevon-simlog --tuned-set FILE
#include "sim/TSimDriveLog.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    QString error;
    if (argc == 3 && std::strcmp(argv[1], "--tuned-set") == 0) {
        if (!TSimDriveLog::WriteTunedSet(QString::fromLocal8Bit(argv[2]), error)) {
            std::fprintf(stderr, "%s: %s\n", argv[0], qPrintable(error));
            return 1;
        }
        return 0;
    }
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr,
                     "usage: %s FILE SECONDS [CONTROLLER-VERSION-HEX]\n"
                     "       %s --tuned-set FILE\n",
                     argv[0], argv[0]);
        return 2;
    }
    const long long seconds = std::atoll(argv[2]);
    const unsigned long version =
        argc == 4 ? std::strtoul(argv[3], nullptr, 16) : TSimController::kDefaultVersion;
    if (seconds <= 0 || version == 0 || version > 0xFFFF) {
        std::fprintf(stderr, "%s: SECONDS must be above 0 and the version a 16-bit hex word\n",
                     argv[0]);
        return 2;
    }
    if (!TSimDriveLog::Write(QString::fromLocal8Bit(argv[1]), seconds, error,
                             uint16_t(version))) {
        std::fprintf(stderr, "%s: %s\n", argv[0], qPrintable(error));
        return 1;
    }
    return 0;
}
