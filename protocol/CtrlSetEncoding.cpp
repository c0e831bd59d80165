#include "protocol/CtrlSetEncoding.h"

// Marks the texts that a window shows, for the target update-po, which reads this file too;
// the window translates them with its other texts.
#define N_(text) text

namespace {

// Conversions to a field truncate toward zero; the cast does exactly that.
uint16_t TruncU16(double v)
{
    return uint16_t(static_cast<int64_t>(v));
}

struct TPulsoItem {
    uint8_t code;
    const char* text;
};
constexpr TPulsoItem kPulsoItems[kPulsoVueltaItems] = {
    { 4, N_("4 Cylinder / 1 Coil") },
    { 5, N_("5 Cylinder / 1 Coil") },
    { 6, N_("6 Cylinder / 1 Coil") },
    { 8, N_("8 Cylinder / 1 Coil") },
    { 2, N_("4-6-8 Cylinder / 2-3-4 Coil") },
    { 1, N_("4-6-8 Cylinder / 4-6-8 Coil") },
    { 3, N_("3 Cylinder / 1 Coil") },
};

} // namespace

double CountsToMillivolts(uint16_t counts)
{
    return counts * kMillivoltsPerCount;
}

uint16_t MillivoltsToCounts(double millivolts)
{
    // The reciprocal, not a division: 5000 mV must give 1022.9999... and so 1022.
    return TruncU16(millivolts * kCountsPerMillivolt);
}

double CountsToVolts(uint16_t counts)
{
    return counts * kVoltsPerCount;
}

uint16_t VoltsToCounts(double volts)
{
    return TruncU16(volts * kCountsPerVolt);
}

int TensToMilliseconds(uint16_t tens)
{
    return tens * 10;
}

uint16_t MillisecondsToTens(double milliseconds)
{
    return TruncU16(milliseconds * 0.1);
}

int PosIntegToControl(uint8_t field)
{
    return int(field) - 10;
}

uint8_t ControlToPosInteg(double value)
{
    return uint8_t(static_cast<int64_t>(value + 10));
}

int PulsoVueltaCodeToIndex(uint8_t code)
{
    for (int i = 0; i < kPulsoVueltaItems; ++i)
        if (kPulsoItems[i].code == code)
            return i;
    return -1;
}

int PulsoVueltaIndexToCode(int index)
{
    if (index < 0 || index >= kPulsoVueltaItems)
        return -1;
    return kPulsoItems[index].code;
}

const char* PulsoVueltaItemText(int index)
{
    if (index < 0 || index >= kPulsoVueltaItems)
        return nullptr;
    return kPulsoItems[index].text;
}

double FieldToControl(TFieldEncoding encoding, int field)
{
    switch (encoding) {
    case feUnscaled:
        return field;
    case fePosInteg:
        return PosIntegToControl(uint8_t(field));
    case feMillivolts:
        return CountsToMillivolts(uint16_t(field));
    case feVolts:
        return CountsToVolts(uint16_t(field));
    case feTensOfMs:
        return TensToMilliseconds(uint16_t(field));
    }
    return field;
}

int ControlToField(TFieldEncoding encoding, double value)
{
    switch (encoding) {
    case feUnscaled:
        return static_cast<int>(value);
    case fePosInteg:
        return ControlToPosInteg(value);
    case feMillivolts:
        return MillivoltsToCounts(value);
    case feVolts:
        return VoltsToCounts(value);
    case feTensOfMs:
        return MillisecondsToTens(value);
    }
    return static_cast<int>(value);
}
