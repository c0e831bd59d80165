#include "datalog/TDatalogChannel.h"

#include "protocol/CtrlSetEncoding.h"

#include "settings/Gettext.h"

namespace {

const char* const kFuelStates[] = { N_("Gasoline"), N_("Cng/Ngv"), nullptr };
const char* const kLedStates[] = { N_("Blinking yellow"), N_("Red, dark"), N_("Red, lit"), nullptr };

// clang-format off
const TDatalogChannel kChannels[] = {
    // id, caption, unit, scale, decimals, states
    { TDatalogChannel::chRpm,          N_("Engine speed"),      N_("rpm"), 1, 0, nullptr },
    { TDatalogChannel::chTps,          N_("TPS"),               N_("V"), kVoltsPerCount, 3, nullptr },
    { TDatalogChannel::chLambda,       N_("Lambda probe"),      N_("mV"), kMillivoltsPerCount, 1,
      nullptr },
    { TDatalogChannel::chLambdaSim,    N_("Lambda simulation"), N_("mV"), kMillivoltsPerCount, 1,
      nullptr },
    { TDatalogChannel::chValveActual,  N_("Actual position"),   nullptr, 1, 0, nullptr },
    { TDatalogChannel::chValveControl, N_("Control position"),  nullptr, 1, 0, nullptr },
    { TDatalogChannel::chGas,          N_("Fuel"),              nullptr, 1, 0, kFuelStates },
    { TDatalogChannel::chLed,          N_("Control LED"),       nullptr, 1, 0, kLedStates },
};
// clang-format on

} // namespace

bool TDatalogChannel::Raw(const TDatalogRow& row, uint16_t& raw) const
{
    switch (id) {
    case chRpm: raw = row.rpm; return true;
    case chTps: raw = row.tps; return true;
    case chLambda: raw = row.lambda; return true;
    case chLambdaSim:
        if (!row.lambdaSim)
            return false;
        raw = *row.lambdaSim;
        return true;
    case chValveActual: raw = row.valveActual; return true;
    case chValveControl: raw = row.valveControl; return true;
    case chGas: raw = row.gas ? 1 : 0; return true;
    case chLed: raw = uint16_t(row.led); return true;
    case kCount: break;
    }
    return false;
}

QString TDatalogChannel::ValueText(uint16_t raw) const
{
    if (states && int(raw) <= HighestState())
        return TGettext::Translate(states[raw]);
    return QString::number(Value(raw), 'f', decimals);
}

int TDatalogChannel::HighestState() const
{
    int n = 0;
    while (states && states[n + 1])
        ++n;
    return n;
}

std::span<const TDatalogChannel> TDatalogChannel::All()
{
    return kChannels;
}
