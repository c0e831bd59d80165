#pragma once

#include "protocol/TTelemetry.h"

#include <cstdint>
#include <optional>

// One row of a datalog: a telemetry frame as the window showed it, with the time it arrived and
// the valve's control position of that moment. Probe and TPS readings are kept as the
// controller's converter counts, so a row written and read back gives the very same frame.
struct TDatalogRow {
    // What the control LED did: blinking yellow, or steady red dark or lit.
    enum TLed : uint8_t { ldBlinking = 0, ldRedOff = 1, ldRedOn = 2 };

    int64_t timeMs = 0;       // since the recording started
    uint16_t rpm = 0;
    uint16_t tps = 0;         // counts
    uint16_t lambda = 0;      // counts
    std::optional<uint16_t> lambdaSim; // counts; absent for controllers without probe emulation
    uint16_t valveActual = 0;
    uint16_t valveControl = 0; // AperturaPos of the device copy
    bool gas = false;
    TLed led = ldBlinking;

    static TDatalogRow FromTelemetry(const TTelemetry& record, int64_t timeMs,
                                     uint16_t valveControl, bool hasLambdaSim);
    // The frame to replay: the flags the row keeps, no reload request, the rest zero.
    TTelemetry ToTelemetry() const;

    bool operator==(const TDatalogRow&) const = default;
};
