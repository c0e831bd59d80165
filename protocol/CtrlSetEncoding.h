#pragma once

#include <cstdint>

// The encodings between the control set's fields and what the controls show, and
// the scales of the telemetry. The decimal constants are used as written, and every
// conversion from a control's value to a field truncates toward zero, never rounds: 5000 mV
// stores 1022 while 5 V stores 1023.

inline constexpr double kMillivoltsPerCount = 4.887585532747;
inline constexpr double kCountsPerMillivolt = 0.2045999999999926;
inline constexpr double kVoltsPerCount = 0.0048875855;
inline constexpr double kCountsPerVolt = 204.6000013708;

// How a control's value and the field it edits convert into each other.
enum TFieldEncoding {
    feUnscaled,   // rev/min, seconds, valve positions
    fePosInteg,   // the field is the control's value plus 10
    feMillivolts, // probe counts shown as millivolts
    feVolts,      // TPS counts shown as volts
    feTensOfMs,   // tens of milliseconds shown as milliseconds
};
// The value a control shows for a field.
double FieldToControl(TFieldEncoding encoding, int field);
// The field a control's value stores, truncated toward zero.
int ControlToField(TFieldEncoding encoding, double value);

// Probe and TPS readings (10-bit converter counts).
double CountsToMillivolts(uint16_t counts);
uint16_t MillivoltsToCounts(double millivolts);
double CountsToVolts(uint16_t counts);
uint16_t VoltsToCounts(double volts);

// Emulation times, stored in tens of milliseconds.
int TensToMilliseconds(uint16_t tens);
uint16_t MillisecondsToTens(double milliseconds);

// PosInteg: the control's value plus 10. A byte below 10 gives a negative control value.
int PosIntegToControl(uint8_t field);
uint8_t ControlToPosInteg(double value);

// PulsoVuelta: codes 4, 5, 6, 8, 2, 1, 3 are the items 0 to 6 of the RPM-signal list.
inline constexpr int kPulsoVueltaItems = 7;
// The list index of a code, or -1 when the code has no item (0, 7, 9 to 255).
int PulsoVueltaCodeToIndex(uint8_t code);
// The code of a list index, or -1 for an index outside 0 to 6 (the field is then left as it is).
int PulsoVueltaIndexToCode(int index);
// The untranslated item text of a list index; nullptr outside 0 to 6.
const char* PulsoVueltaItemText(int index);

// CtrlSet.Flags bits.
enum TCtrlFlag : uint8_t {
    cfManual = 0x01,     // control mode manual (clear: automatic)
    cfActSim = 0x02,     // lambda probe emulation active
    cfCutOffLAct = 0x04, // lower cut-off active
    cfCutOffHAct = 0x08, // upper cut-off active
    cfActSim2 = 0x10,    // emulation on high regime active
    cfSimCutOff = 0x20,  // emulation on cut-off active
    cfSondaInv = 0x40,   // lambda probe inverted (5-volt probes)
    cfTpsInv = 0x80,     // TPS signal inverted (5 to 0 volt)
};

// `flags` with the bits of `mask` set or cleared; the other bits are kept.
constexpr uint8_t WithFlag(uint8_t flags, uint8_t mask, bool on)
{
    return on ? uint8_t(flags | mask) : uint8_t(flags & ~mask);
}
constexpr bool HasFlag(uint8_t flags, uint8_t mask)
{
    return (flags & mask) != 0;
}
