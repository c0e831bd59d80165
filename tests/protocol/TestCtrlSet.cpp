#include "protocol/CtrlSet.h"
#include "protocol/CtrlSetEncoding.h"
#include "protocol/TControlSet.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// --- layout -------------------------------------------------------------------------------

struct TFieldRow {
    const char* name;
    int offset;
    uint8_t CtrlSet::* byte;   // set for the four single bytes
    uint16_t CtrlSet::* word;  // set for the 22 words
};

const TFieldRow kLayout[] = {
    { "Flags", 0, &CtrlSet::Flags, nullptr },
    { "PulsoVuelta", 1, &CtrlSet::PulsoVuelta, nullptr },
    { "TimArrSonda", 2, &CtrlSet::TimArrSonda, nullptr },
    { "PosInteg", 3, &CtrlSet::PosInteg, nullptr },
    { "RpmReacL", 4, nullptr, &CtrlSet::RpmReacL },
    { "RpmReacH", 6, nullptr, &CtrlSet::RpmReacH },
    { "SondaIdeal", 8, nullptr, &CtrlSet::SondaIdeal },
    { "SondaPobre", 10, nullptr, &CtrlSet::SondaPobre },
    { "SondaRica", 12, nullptr, &CtrlSet::SondaRica },
    { "AperturaPos", 14, nullptr, &CtrlSet::AperturaPos },
    { "AperturaPosMin", 16, nullptr, &CtrlSet::AperturaPosMin },
    { "AperturaPosMax", 18, nullptr, &CtrlSet::AperturaPosMax },
    { "CutOffLTps", 20, nullptr, &CtrlSet::CutOffLTps },
    { "CutOffLRpm", 22, nullptr, &CtrlSet::CutOffLRpm },
    { "CutOffLPos", 24, nullptr, &CtrlSet::CutOffLPos },
    { "CutOffHTps", 26, nullptr, &CtrlSet::CutOffHTps },
    { "CutOffHRpm", 28, nullptr, &CtrlSet::CutOffHRpm },
    { "CutOffHPos", 30, nullptr, &CtrlSet::CutOffHPos },
    { "SimLTim", 32, nullptr, &CtrlSet::SimLTim },
    { "SimLLev", 34, nullptr, &CtrlSet::SimLLev },
    { "SimHTim", 36, nullptr, &CtrlSet::SimHTim },
    { "SimHLev", 38, nullptr, &CtrlSet::SimHLev },
    { "SimCutOffLevel", 40, nullptr, &CtrlSet::SimCutOffLevel },
    { "Sim2RPM", 42, nullptr, &CtrlSet::Sim2RPM },
    { "Sim2LTim", 44, nullptr, &CtrlSet::Sim2LTim },
    { "Sim2HTim", 46, nullptr, &CtrlSet::Sim2HTim },
};

TEST(CtrlSetLayout, EachFieldSitsAtItsOffsetLittleEndian)
{
    for (const TFieldRow& row : kLayout) {
        SCOPED_TRACE(row.name);
        CtrlSet set;
        uint8_t expected[kCtrlSetSize] {};
        if (row.byte) {
            set.*row.byte = 0xA7;
            expected[row.offset] = 0xA7;
        } else {
            set.*row.word = 0xBEEF;
            expected[row.offset] = 0xEF;
            expected[row.offset + 1] = 0xBE;
        }
        const auto bytes = set.ToBytes();
        EXPECT_EQ(0, std::memcmp(bytes.data(), expected, kCtrlSetSize));
        EXPECT_EQ(set, CtrlSet::FromBytes(expected));
    }
}

TEST(CtrlSetLayout, AnyFortyEightBytesRoundTrip)
{
    uint8_t in[kCtrlSetSize];
    for (int i = 0; i < kCtrlSetSize; ++i)
        in[i] = uint8_t(i * 37 + 11);
    uint8_t out[kCtrlSetSize] {};
    CtrlSet::FromBytes(in).ToBytes(out);
    EXPECT_EQ(0, std::memcmp(in, out, kCtrlSetSize));
}

// --- the two copies -------------------------------------------------------------------------

TEST(TControlSet, StartsZeroWithTheFlagClear)
{
    TControlSet sets;
    EXPECT_EQ(CtrlSet {}, sets.Device());
    EXPECT_EQ(CtrlSet {}, sets.Working());
    EXPECT_FALSE(sets.PendingSend());
}

TEST(TControlSet, LoadCopiesDeviceToWorkingAndLeavesTheFlag)
{
    TControlSet sets;
    sets.Working().SondaRica = 7;
    sets.CommitWorkingCopy();
    sets.Device().SondaRica = 206;
    sets.LoadWorkingCopy();
    EXPECT_EQ(206, sets.Working().SondaRica);
    EXPECT_TRUE(sets.PendingSend());
}

TEST(TControlSet, CommitCopiesWorkingToDeviceAndRaisesTheFlag)
{
    TControlSet sets;
    sets.Working().AperturaPos = 321;
    sets.CommitWorkingCopy();
    EXPECT_EQ(321, sets.Device().AperturaPos);
    EXPECT_TRUE(sets.TakePendingSend());
    EXPECT_FALSE(sets.PendingSend());
    EXPECT_FALSE(sets.TakePendingSend());
}

TEST(TControlSet, LoadThenCommitLeavesTheDeviceCopyUnchanged)
{
    uint8_t block[kCtrlSetSize];
    for (int i = 0; i < kCtrlSetSize; ++i)
        block[i] = uint8_t(0xFF - i);
    TControlSet sets;
    sets.Device() = CtrlSet::FromBytes(block);
    sets.LoadWorkingCopy();
    sets.CommitWorkingCopy();
    EXPECT_EQ(0, std::memcmp(block, sets.Device().ToBytes().data(), kCtrlSetSize));
}

TEST(TControlSet, TwoEditsBeforeATickGiveOneWriteCarryingBoth)
{
    TControlSet sets;
    sets.Working().RpmReacL = 900;
    sets.CommitWorkingCopy();
    sets.Working().RpmReacH = 3000;
    sets.CommitWorkingCopy();
    ASSERT_TRUE(sets.TakePendingSend());
    EXPECT_EQ(900, sets.Device().RpmReacL);
    EXPECT_EQ(3000, sets.Device().RpmReacH);
    EXPECT_FALSE(sets.TakePendingSend());
}

// --- encodings ------------------------------------------------------------------------------

struct TStoreRow {
    const char* name;
    uint16_t (*store)(double);
    double control;
    uint16_t field;
};

const TStoreRow kStores[] = {
    { "5000 mV", MillivoltsToCounts, 5000, 1022 },
    { "1007 mV", MillivoltsToCounts, 1007, 206 },
    { "1006 mV", MillivoltsToCounts, 1006, 205 },
    { "1000 mV", MillivoltsToCounts, 1000, 204 },
    { "0 mV", MillivoltsToCounts, 0, 0 },
    { "5 V", VoltsToCounts, 5, 1023 },
    { "2.5 V", VoltsToCounts, 2.5, 511 },
    { "1 V", VoltsToCounts, 1, 204 },
    { "1500 ms", MillisecondsToTens, 1500, 150 },
    { "5000 ms", MillisecondsToTens, 5000, 500 },
    { "19 ms", MillisecondsToTens, 19, 1 },
};

TEST(CtrlSetEncoding, ControlToFieldTruncates)
{
    for (const TStoreRow& row : kStores) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.field, row.store(row.control));
    }
}

TEST(CtrlSetEncoding, FieldToControl)
{
    // Just above 5000: a 0 to 5000 mV control clamps it to 5000.
    EXPECT_GT(CountsToMillivolts(1023), 5000.0);
    EXPECT_NEAR(5000.0000000002, CountsToMillivolts(1023), 1e-9);
    EXPECT_NEAR(1001.955, CountsToMillivolts(205), 1e-3);
    EXPECT_NEAR(4.99999996, CountsToVolts(1023), 1e-8);
    EXPECT_EQ(1500, TensToMilliseconds(150));
}

TEST(CtrlSetEncoding, EveryTimeStepStoresItsTensExactly)
{
    // ms x 0.1 must never fall just below an integer and truncate one too low.
    for (int tens = 0; tens <= 500; ++tens)
        ASSERT_EQ(tens, MillisecondsToTens(tens * 10)) << tens * 10 << " ms";
}

TEST(CtrlSetEncoding, PosIntegAddsTen)
{
    EXPECT_EQ(10, ControlToPosInteg(0));
    EXPECT_EQ(60, ControlToPosInteg(50));
    EXPECT_EQ(0, PosIntegToControl(10));
    EXPECT_EQ(-10, PosIntegToControl(0));
}

TEST(CtrlSetEncoding, PulsoVueltaBothWays)
{
    struct {
        uint8_t code;
        int index;
        const char* item;
    } const rows[] = {
        { 4, 0, "4 Cylinder / 1 Coil" },         { 5, 1, "5 Cylinder / 1 Coil" },
        { 6, 2, "6 Cylinder / 1 Coil" },         { 8, 3, "8 Cylinder / 1 Coil" },
        { 2, 4, "4-6-8 Cylinder / 2-3-4 Coil" }, { 1, 5, "4-6-8 Cylinder / 4-6-8 Coil" },
        { 3, 6, "3 Cylinder / 1 Coil" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.item);
        EXPECT_EQ(row.index, PulsoVueltaCodeToIndex(row.code));
        EXPECT_EQ(row.code, PulsoVueltaIndexToCode(row.index));
        EXPECT_STREQ(row.item, PulsoVueltaItemText(row.index));
    }
    for (int code : { 0, 7, 9, 255 })
        EXPECT_EQ(-1, PulsoVueltaCodeToIndex(uint8_t(code))) << code;
    for (int index : { -1, 7 }) {
        EXPECT_EQ(-1, PulsoVueltaIndexToCode(index)) << index;
        EXPECT_EQ(nullptr, PulsoVueltaItemText(index)) << index;
    }
}

TEST(CtrlSetEncoding, FlagBitsChangeOnlyTheirOwnBit)
{
    EXPECT_EQ(0x85, WithFlag(0x05, cfTpsInv, true));
    EXPECT_EQ(0xFD, WithFlag(0xFF, cfActSim, false));
    const uint8_t masks[] = { cfManual, cfActSim, cfCutOffLAct, cfCutOffHAct,
                              cfActSim2, cfSimCutOff, cfSondaInv, cfTpsInv };
    for (int bit = 0; bit < 8; ++bit) {
        SCOPED_TRACE(bit);
        EXPECT_EQ(1 << bit, masks[bit]);
        EXPECT_EQ(0xFF, WithFlag(uint8_t(0xFF & ~masks[bit]), masks[bit], true));
        EXPECT_EQ(0x00, WithFlag(masks[bit], masks[bit], false));
        EXPECT_TRUE(HasFlag(masks[bit], masks[bit]));
    }
}

} // namespace
