#pragma once

#include "sim/TSimController.h"

#include <QString>

#include <cstdint>

// A drive of the simulated controller as a datalog, for the benchmarks and the screenshots: the
// controller's own telemetry bytes, decoded by the real frame decoder and telemetry handling,
// one row a frame at the time of the controller's clock, with the control set named at the
// start. Halfway through, the control position moves on, as an installer tuning at the road
// would move it, and the log names the changed control set.
class TSimDriveLog {
public:
    // Writes `seconds` of driving to `path`. False, with the reason in `error`, when the file
    // cannot be written.
    static bool Write(const QString& path, int64_t seconds, QString& error,
                      uint16_t controllerVersion = TSimController::kDefaultVersion);
};
