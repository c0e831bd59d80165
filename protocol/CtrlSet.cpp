#include "protocol/CtrlSet.h"

#include "protocol/ByteOrder.h"

namespace {

// The 22 words in layout order, from offset 4 on; ToBytes and FromBytes walk the same table so
// the two directions cannot drift apart.
constexpr uint16_t CtrlSet::* kWords[] = {
    &CtrlSet::RpmReacL,   &CtrlSet::RpmReacH,       &CtrlSet::SondaIdeal,     &CtrlSet::SondaPobre,
    &CtrlSet::SondaRica,  &CtrlSet::AperturaPos,    &CtrlSet::AperturaPosMin, &CtrlSet::AperturaPosMax,
    &CtrlSet::CutOffLTps, &CtrlSet::CutOffLRpm,     &CtrlSet::CutOffLPos,     &CtrlSet::CutOffHTps,
    &CtrlSet::CutOffHRpm, &CtrlSet::CutOffHPos,     &CtrlSet::SimLTim,        &CtrlSet::SimLLev,
    &CtrlSet::SimHTim,    &CtrlSet::SimHLev,        &CtrlSet::SimCutOffLevel, &CtrlSet::Sim2RPM,
    &CtrlSet::Sim2LTim,   &CtrlSet::Sim2HTim,
};
constexpr int kFirstWordOffset = 4;
static_assert(kFirstWordOffset + 2 * int(std::size(kWords)) == kCtrlSetSize);

} // namespace

void CtrlSet::ToBytes(uint8_t* out) const
{
    out[0] = Flags;
    out[1] = PulsoVuelta;
    out[2] = TimArrSonda;
    out[3] = PosInteg;
    uint8_t* p = out + kFirstWordOffset;
    for (auto word : kWords) {
        WriteU16Le(p, this->*word);
        p += 2;
    }
}

CtrlSet::TBytes CtrlSet::ToBytes() const
{
    TBytes bytes {};
    ToBytes(bytes.data());
    return bytes;
}

CtrlSet CtrlSet::FromBytes(const uint8_t* in)
{
    CtrlSet set;
    set.Flags = in[0];
    set.PulsoVuelta = in[1];
    set.TimArrSonda = in[2];
    set.PosInteg = in[3];
    const uint8_t* p = in + kFirstWordOffset;
    for (auto word : kWords) {
        set.*word = ReadU16Le(p);
        p += 2;
    }
    return set;
}
