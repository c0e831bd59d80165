#include "protocol/TTelemetry.h"

#include "protocol/ByteOrder.h"

void TTelemetry::ToBytes(uint8_t* out) const
{
    out[0] = StatusFlags;
    out[1] = RequestFlags;
    WriteU16Le(out + 2, Lambda);
    WriteU16Le(out + 4, Reserved4);
    WriteU16Le(out + 6, AperturaActual);
    WriteU16Le(out + 8, Reserved8);
    WriteU16Le(out + 10, Tps);
    WriteU16Le(out + 12, Rpm);
    WriteU16Le(out + 14, LambdaSim);
}

TTelemetry TTelemetry::FromBytes(const uint8_t* in)
{
    TTelemetry t;
    t.StatusFlags = in[0];
    t.RequestFlags = in[1];
    t.Lambda = ReadU16Le(in + 2);
    t.Reserved4 = ReadU16Le(in + 4);
    t.AperturaActual = ReadU16Le(in + 6);
    t.Reserved8 = ReadU16Le(in + 8);
    t.Tps = ReadU16Le(in + 10);
    t.Rpm = ReadU16Le(in + 12);
    t.LambdaSim = ReadU16Le(in + 14);
    return t;
}
