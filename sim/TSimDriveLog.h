#pragma once

#include "protocol/CtrlSet.h"
#include "sim/TSimController.h"

#include <QString>

#include <cstdint>

// A drive of the simulated controller as a datalog, for the benchmarks and the screenshots: the
// controller's own telemetry bytes, decoded by the real frame decoder and telemetry handling,
// one row a frame at the time of the controller's clock, with the control set named at the
// start. Halfway through, the control set is tuned (Tune), as an installer at the road would
// tune it, and the log names the changed control set "tuned.mem".
class TSimDriveLog {
public:
    // What the drive changes halfway: the control position, the probe's ideal level and the
    // slow probe's reaction speed.
    static CtrlSet Tune(const CtrlSet& set);
    // The simulated controller's control set as the drive tunes it, as a control-set file.
    static bool WriteTunedSet(const QString& path, QString& error);

    // Writes `seconds` of driving to `path`. False, with the reason in `error`, when the file
    // cannot be written.
    static bool Write(const QString& path, int64_t seconds, QString& error,
                      uint16_t controllerVersion = TSimController::kDefaultVersion);
};
