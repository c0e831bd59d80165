#pragma once

#include "datalog/TDatalogRow.h"

#include <QString>

#include <cstdint>
#include <span>

// The channels of a datalog as the log viewer shows them: each with its caption and unit, and
// how a row's raw value (converter counts, rev/min, a valve position, a state) reads in that
// unit. The captions and units are the untranslated English texts; whoever shows them
// translates them.
struct TDatalogChannel {
    enum TId {
        chRpm,
        chTps,
        chLambda,
        chLambdaSim,
        chValveActual,
        chValveControl,
        chGas,
        chLed,
        kCount
    };

    TId id;
    const char* caption;
    const char* unit;   // nullptr when the value has none
    double scale;       // the unit's value of one raw step
    int decimals;       // of the value in its unit
    // The texts of the states 0, 1, 2 of a state channel (fuel, control LED); else nullptr.
    const char* const* states;

    // The row's raw value of this channel; false when the row has none (no emulated lambda).
    bool Raw(const TDatalogRow& row, uint16_t& raw) const;
    double Value(uint16_t raw) const { return raw * scale; }
    // The value as the viewer reads it out, without the unit; a state by its translated name.
    QString ValueText(uint16_t raw) const;
    // The highest raw state of a state channel; 0 for the others.
    int HighestState() const;

    static std::span<const TDatalogChannel> All();
    static const TDatalogChannel& Get(TId id) { return All()[id]; }
};
