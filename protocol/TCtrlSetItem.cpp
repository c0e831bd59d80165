#include "protocol/TCtrlSetItem.h"

#include "protocol/ByteOrder.h"

#include <cmath>

// Marks the texts for the target update-po, which reads this file too; the caller translates.
#define N_(text) text

namespace {

using K = TCtrlSetItem;

// Captions and units are the ones of the controls that edit the items; a group names the box
// around them, where a caption alone would not tell the item apart ("Active", "TPS").
// clang-format off
constexpr TCtrlSetItem kItems[] = {
    // name, group, caption, unit, kind, offset, size, Flags bit, encoding
    { "SwitchMan",   nullptr, N_("Control Mode"), nullptr, K::ikMode, 0, 1, cfManual, feUnscaled },
    { "ActSim",      N_("Lambda probe emulation"), N_("Active"), nullptr, K::ikFlag, 0, 1,
      cfActSim, feUnscaled },
    { "CutOffLAct",  N_("Lower cut-off"), N_("Active"), nullptr, K::ikFlag, 0, 1, cfCutOffLAct,
      feUnscaled },
    { "CutOffHAct",  N_("Upper cut-off"), N_("Active"), nullptr, K::ikFlag, 0, 1, cfCutOffHAct,
      feUnscaled },
    { "ActSim2",     N_("Lambda probe emulation on high regime"), N_("Active"), nullptr,
      K::ikFlag, 0, 1, cfActSim2, feUnscaled },
    { "SimCutOff",   N_("Emulation on Cut-Off"), N_("Active"), nullptr, K::ikFlag, 0, 1,
      cfSimCutOff, feUnscaled },
    { "SondaInv",    N_("Lambda probe"), N_("Inverted (alone for probes of 5 Volts)"), nullptr,
      K::ikFlag, 0, 1, cfSondaInv, feUnscaled },
    { "TpsInv",      nullptr, N_("TPS with inverted signal (5 - 0 Volt)"), nullptr, K::ikFlag, 0,
      1, cfTpsInv, feUnscaled },
    { "PulsoVuelta", nullptr, N_("RPM Signal setting"), nullptr, K::ikRpmSignal, 1, 1, 0,
      feUnscaled },
    { "TimArrSonda", N_("Lambda probe"), N_("Starts up Time"), N_("Sec"), K::ikNumber, 2, 1, 0,
      feUnscaled },
    { "PosInteg",    N_("Positioning of modulate valve"), N_("Positioning Integration"), nullptr,
      K::ikNumber, 3, 1, 0, fePosInteg },
    { "RpmReacL",    N_("Positioning of modulate valve"), N_("Rpm of reaction of slow probe"),
      N_("RPM"), K::ikNumber, 4, 2, 0, feUnscaled },
    { "RpmReacH",    N_("Positioning of modulate valve"), N_("Rpm of reaction of quick probe"),
      N_("RPM"), K::ikNumber, 6, 2, 0, feUnscaled },
    { "SondaIdeal",  N_("Lambda probe"), N_("Ideal/Optimum"), N_("mV"), K::ikNumber, 8, 2, 0,
      feMillivolts },
    { "SondaPobre",  N_("Lambda probe"), N_("Poor"), N_("mV"), K::ikNumber, 10, 2, 0,
      feMillivolts },
    { "SondaRica",   N_("Lambda probe"), N_("Rich"), N_("mV"), K::ikNumber, 12, 2, 0,
      feMillivolts },
    { "SET_AperturaPos",    N_("Valve Position"), N_("Control"), nullptr, K::ikNumber, 14, 2, 0,
      feUnscaled },
    { "SET_AperturaPosMin", N_("Valve Position"), N_("Min"), nullptr, K::ikNumber, 16, 2, 0,
      feUnscaled },
    { "SET_AperturaPosMax", N_("Valve Position"), N_("Max"), nullptr, K::ikNumber, 18, 2, 0,
      feUnscaled },
    { "CutOffLTps",  N_("Lower cut-off"), N_("TPS"), N_("Volt"), K::ikNumber, 20, 2, 0, feVolts },
    { "CutOffLRpm",  N_("Lower cut-off"), N_("RPM"), N_("Rpm"), K::ikNumber, 22, 2, 0,
      feUnscaled },
    { "CutOffLPos",  N_("Lower cut-off"), N_("Valve position"), nullptr, K::ikNumber, 24, 2, 0,
      feUnscaled },
    { "CutOffHTps",  N_("Upper cut-off"), N_("TPS"), N_("Volt"), K::ikNumber, 26, 2, 0, feVolts },
    { "CutOffHRpm",  N_("Upper cut-off"), N_("RPM"), N_("Rpm"), K::ikNumber, 28, 2, 0,
      feUnscaled },
    { "CutOffHPos",  N_("Upper cut-off"), N_("Valve position"), nullptr, K::ikNumber, 30, 2, 0,
      feUnscaled },
    { "SimLTim",     N_("Lambda probe emulation"), N_("Low time"), N_("mS"), K::ikNumber, 32, 2,
      0, feTensOfMs },
    { "SimLLev",     N_("Lambda probe emulation"), N_("Low level"), N_("mV"), K::ikNumber, 34,
      2, 0, feMillivolts },
    { "SimHTim",     N_("Lambda probe emulation"), N_("High time"), N_("mS"), K::ikNumber, 36,
      2, 0, feTensOfMs },
    { "SimHLev",     N_("Lambda probe emulation"), N_("High level"), N_("mV"), K::ikNumber, 38,
      2, 0, feMillivolts },
    { "SimCutOffLevel", N_("Emulation on Cut-Off"), N_("Level"), N_("mV"), K::ikNumber, 40, 2, 0,
      feMillivolts },
    { "Sim2RPM",     N_("Lambda probe emulation on high regime"), N_("Active over"), N_("RPM"),
      K::ikNumber, 42, 2, 0, feUnscaled },
    { "Sim2LTim",    N_("Lambda probe emulation on high regime"), N_("Low time"), N_("mS"),
      K::ikNumber, 44, 2, 0, feTensOfMs },
    { "Sim2HTim",    N_("Lambda probe emulation on high regime"), N_("High time"), N_("mS"),
      K::ikNumber, 46, 2, 0, feTensOfMs },
};
// clang-format on

} // namespace

int TCtrlSetItem::Get(const CtrlSet& set) const
{
    const CtrlSet::TBytes bytes = set.ToBytes();
    const uint8_t* p = bytes.data() + offset;
    if (kind == ikFlag || kind == ikMode)
        return (*p & mask) != 0 ? 1 : 0;
    return size == 2 ? ReadU16Le(p) : *p;
}

void TCtrlSetItem::Set(CtrlSet& set, int value) const
{
    CtrlSet::TBytes bytes = set.ToBytes();
    uint8_t* p = bytes.data() + offset;
    if (kind == ikFlag || kind == ikMode)
        *p = WithFlag(*p, mask, value != 0);
    else if (size == 2)
        WriteU16Le(p, uint16_t(value));
    else
        *p = uint8_t(value);
    set = CtrlSet::FromBytes(bytes.data());
}

QString TCtrlSetItem::ValueText(int value,
                                const std::function<QString(const char*)>& translate) const
{
    switch (kind) {
    case ikFlag:
        return translate(value ? N_("On") : N_("Off"));
    case ikMode:
        return translate(value ? N_("Manual") : N_("Automatic"));
    case ikRpmSignal:
        if (const char* item = PulsoVueltaItemText(PulsoVueltaCodeToIndex(uint8_t(value))))
            return translate(item);
        return QString::number(value); // a code the list has no item for
    case ikNumber:
        break;
    }
    const double shown = FieldToControl(encoding, value);
    if (encoding == feVolts)
        return QString::asprintf("%0.2f", shown);
    // What a slider shows: its position truncated toward zero.
    return QString::number(static_cast<long long>(std::trunc(shown)));
}

QString TCtrlSetItem::CaptionText(const std::function<QString(const char*)>& translate) const
{
    return group ? translate(group) + QStringLiteral(": ") + translate(caption)
                 : translate(caption);
}

std::span<const TCtrlSetItem> TCtrlSetItem::All()
{
    return kItems;
}

const TCtrlSetItem* TCtrlSetItem::Find(std::string_view name)
{
    for (const TCtrlSetItem& item : kItems)
        if (name == item.name)
            return &item;
    return nullptr;
}
