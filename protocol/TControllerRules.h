#pragma once

#include <cstdint>

// Rules about the controller that the window, its dialogs and the command line all follow.
namespace TControllerRules {

// A rich level above 205 counts (about 1002 mV) only a 5-volt probe reaches: the lambda bar and
// plot then take the 5-volt scale.
inline constexpr uint16_t kOneVoltProbeTopCounts = 205;
constexpr bool IsFiveVoltProbe(uint16_t sondaRicaCounts)
{
    return sondaRicaCounts > kOneVoltProbeTopCounts;
}
// The lambda bar's maximum (counts) and the lambda plot's Y span (mV) for either probe.
constexpr int LambdaBarMaximum(bool fiveVolt) { return fiveVolt ? 1024 : kOneVoltProbeTopCounts; }
constexpr int LambdaPlotSpanMv(bool fiveVolt) { return fiveVolt ? 5000 : 1000; }

// Controllers from 0x0104 on have the emulation on high regime and on cut-off, and report the
// emulated probe signal in their telemetry.
inline constexpr uint16_t kHighRegimeVersion = 0x0104;
constexpr bool HasHighRegime(uint16_t controllerVersion)
{
    return controllerVersion >= kHighRegimeVersion;
}

// The limit lines of the valve plot and of the lambda plot, by index.
enum TValveLimit { liAperturaPos, liAperturaPosMax, liAperturaPosMin };
enum TLambdaLimit { liSondaPobre, liSondaRica, liSondaIdeal };

} // namespace TControllerRules
