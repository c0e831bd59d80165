#pragma once

#include <array>
#include <cstdint>

inline constexpr int kCtrlSetSize = 48;

// The controller's 48-byte control set, as named fields. The wire and file layout is
// little-endian without padding: four bytes, then 22 unsigned 16-bit words, in this order.
// ToBytes/FromBytes are the only way between the two forms.
struct CtrlSet {
    uint8_t Flags = 0;           //  0: TCtrlFlag bits
    uint8_t PulsoVuelta = 0;     //  1: RPM-signal code (see PulsoVueltaCodeToIndex)
    uint8_t TimArrSonda = 0;     //  2: probe start-up time, seconds
    uint8_t PosInteg = 0;        //  3: valve positioning integration, control value plus 10
    uint16_t RpmReacL = 0;       //  4: rev/min of reaction of the slow probe
    uint16_t RpmReacH = 0;       //  6: rev/min of reaction of the quick probe
    uint16_t SondaIdeal = 0;     //  8: probe level of the ideal mixture, counts
    uint16_t SondaPobre = 0;     // 10: probe level of a lean mixture, counts
    uint16_t SondaRica = 0;      // 12: probe level of a rich mixture, counts
    uint16_t AperturaPos = 0;    // 14: valve control position, 0 to 500
    uint16_t AperturaPosMin = 0; // 16: valve lower limit
    uint16_t AperturaPosMax = 0; // 18: valve upper limit
    uint16_t CutOffLTps = 0;     // 20: lower cut-off TPS threshold, counts
    uint16_t CutOffLRpm = 0;     // 22: lower cut-off RPM threshold
    uint16_t CutOffLPos = 0;     // 24: valve position during the lower cut-off
    uint16_t CutOffHTps = 0;     // 26: upper cut-off TPS threshold, counts
    uint16_t CutOffHRpm = 0;     // 28: upper cut-off RPM threshold
    uint16_t CutOffHPos = 0;     // 30: valve position during the upper cut-off
    uint16_t SimLTim = 0;        // 32: emulation low time, tens of ms
    uint16_t SimLLev = 0;        // 34: emulation low level, counts
    uint16_t SimHTim = 0;        // 36: emulation high time, tens of ms
    uint16_t SimHLev = 0;        // 38: emulation high level, counts
    uint16_t SimCutOffLevel = 0; // 40: emulated level during cut-off, counts
    uint16_t Sim2RPM = 0;        // 42: RPM above which the high-regime emulation runs
    uint16_t Sim2LTim = 0;       // 44: high-regime emulation low time, tens of ms
    uint16_t Sim2HTim = 0;       // 46: high-regime emulation high time, tens of ms

    using TBytes = std::array<uint8_t, kCtrlSetSize>;

    void ToBytes(uint8_t* out) const; // writes exactly kCtrlSetSize bytes
    TBytes ToBytes() const;
    static CtrlSet FromBytes(const uint8_t* in); // reads exactly kCtrlSetSize bytes

    bool operator==(const CtrlSet&) const = default;
};
