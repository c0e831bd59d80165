#include "datalog/TDatalogRow.h"

TDatalogRow TDatalogRow::FromTelemetry(const TTelemetry& record, int64_t timeMs,
                                       uint16_t valveControl, bool hasLambdaSim)
{
    TDatalogRow row;
    row.timeMs = timeMs;
    row.rpm = record.Rpm;
    row.tps = record.Tps;
    row.lambda = record.Lambda;
    if (hasLambdaSim)
        row.lambdaSim = record.LambdaSim;
    row.valveActual = record.AperturaActual;
    row.valveControl = valveControl;
    row.gas = (record.StatusFlags & sfOnGas) != 0;
    if (record.StatusFlags & sfLedSteady)
        row.led = (record.StatusFlags & sfLedLit) ? ldRedOn : ldRedOff;
    return row;
}

TTelemetry TDatalogRow::ToTelemetry() const
{
    TTelemetry record;
    record.Rpm = rpm;
    record.Tps = tps;
    record.Lambda = lambda;
    record.LambdaSim = lambdaSim.value_or(0);
    record.AperturaActual = valveActual;
    if (gas)
        record.StatusFlags |= sfOnGas;
    if (led != ldBlinking)
        record.StatusFlags |= sfLedSteady;
    if (led == ldRedOn)
        record.StatusFlags |= sfLedLit;
    return record;
}
