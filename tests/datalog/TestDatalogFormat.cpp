#include "datalog/TDatalogFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Format(const TDatalogRow& row)
{
    char out[TDatalogFormat::kMaxRowLength];
    return std::string(out, TDatalogFormat::FormatRow(row, out));
}

} // namespace

// Every frame survives a write and a read: counts come back exactly from volts and millivolts,
// the LED and fuel flags from their columns, across the whole range of each word.
TEST(DatalogFormat, RowsRoundTripThroughTheirText)
{
    TTelemetry frames[4];
    frames[0] = {};
    frames[1].StatusFlags = sfOnGas | sfLedSteady | sfLedLit;
    frames[1].Lambda = 1023;
    frames[1].Tps = 205;
    frames[1].Rpm = 2500;
    frames[1].AperturaActual = 500;
    frames[1].LambdaSim = 92;
    frames[2].StatusFlags = sfLedSteady;
    frames[2].Lambda = 65535;
    frames[2].Tps = 65535;
    frames[2].Rpm = 65535;
    frames[2].AperturaActual = 65535;
    for (uint16_t counts = 0; counts < 1024; ++counts) {
        frames[3].Lambda = counts;
        frames[3].Tps = counts;
        frames[3].LambdaSim = 1023 - counts;
        for (const TTelemetry& frame : { frames[0], frames[1], frames[2], frames[3] }) {
            for (const bool sim : { false, true }) {
                const TDatalogRow row = TDatalogRow::FromTelemetry(frame, 1234567, 321, sim);
                const std::string text = Format(row);
                TDatalogRow back;
                ASSERT_EQ(TDatalogFormat::ParseRow(text.substr(0, text.size() - 1), back),
                          TDatalogFormat::erNone) << text;
                EXPECT_EQ(back, row) << text;
                TTelemetry replayed = back.ToTelemetry();
                EXPECT_EQ(replayed.Lambda, frame.Lambda);
                EXPECT_EQ(replayed.Tps, frame.Tps);
                EXPECT_EQ(replayed.StatusFlags, frame.StatusFlags & (sfOnGas | sfLedSteady | sfLedLit));
                EXPECT_EQ(replayed.LambdaSim, sim ? frame.LambdaSim : 0);
            }
        }
    }
}

TEST(DatalogFormat, RowTextIsTheDocumentedOne)
{
    TTelemetry frame;
    frame.StatusFlags = sfOnGas;
    frame.Lambda = 92;
    frame.Tps = 95;
    frame.Rpm = 820;
    frame.AperturaActual = 47;
    EXPECT_EQ(Format(TDatalogRow::FromTelemetry(frame, 0, 47, false)),
              "0,820,0.464,449.7,,47,47,1,0\n");
    EXPECT_EQ(TDatalogFormat::Classify(TDatalogFormat::kHeader), TDatalogFormat::lkHeader);
    EXPECT_EQ(TDatalogFormat::Classify(std::string(TDatalogFormat::kHeader) + "\r"),
              TDatalogFormat::lkHeader);
    EXPECT_EQ(TDatalogFormat::Classify("# anything"), TDatalogFormat::lkComment);
    EXPECT_EQ(TDatalogFormat::Classify(""), TDatalogFormat::lkBlank);
}

TEST(DatalogFormat, BadRowsNameTheirFaultAndColumn)
{
    struct Case {
        const char* name;
        const char* line;
        TDatalogFormat::TError error;
        int column;
    };
    const Case cases[] = {
        { "short", "0,820,0.464", TDatalogFormat::erShortRow, 3 },
        { "long", "0,820,0.464,449.7,,47,47,1,0,9", TDatalogFormat::erLongRow, 9 },
        { "text in rpm", "0,fast,0.464,449.7,,47,47,1,0", TDatalogFormat::erNotNumber, 1 },
        { "empty tps", "0,820,,449.7,,47,47,1,0", TDatalogFormat::erNotNumber, 2 },
        { "nan lambda", "0,820,0.464,nan,,47,47,1,0", TDatalogFormat::erNotNumber, 3 },
        { "negative time", "-5,820,0.464,449.7,,47,47,1,0", TDatalogFormat::erOutOfRange, 0 },
        { "rpm above a word", "0,65536,0.464,449.7,,47,47,1,0", TDatalogFormat::erOutOfRange, 1 },
        { "negative valve", "0,820,0.464,449.7,,-1,47,1,0", TDatalogFormat::erOutOfRange, 5 },
        { "fractional control", "0,820,0.464,449.7,,47,4.5,1,0", TDatalogFormat::erOutOfRange, 6 },
        { "huge millivolts", "0,820,0.464,1e9,,47,47,1,0", TDatalogFormat::erOutOfRange, 3 },
        { "gas 2", "0,820,0.464,449.7,,47,47,2,0", TDatalogFormat::erOutOfRange, 7 },
        { "led 3", "0,820,0.464,449.7,,47,47,1,3", TDatalogFormat::erOutOfRange, 8 },
        { "blank between commas", "0,820,0.464,449.7,, 47,47,1,0", TDatalogFormat::erNotNumber, 5 },
    };
    for (const Case& c : cases) {
        TDatalogRow row;
        int column = -1;
        EXPECT_EQ(TDatalogFormat::ParseRow(c.line, row, &column), c.error) << c.name;
        EXPECT_EQ(column, c.column) << c.name;
        EXPECT_STRNE(TDatalogFormat::ErrorText(c.error), "") << c.name;
    }
}

TEST(DatalogFormat, CommentsNameTheVersionAndTheControlSet)
{
    EXPECT_EQ(TDatalogFormat::CheckComment(TDatalogFormat::kMagic), TDatalogFormat::erNone);
    EXPECT_EQ(TDatalogFormat::CheckComment("# brevon datalog 2"), TDatalogFormat::erVersion);
    EXPECT_EQ(TDatalogFormat::CheckComment("# control set file=a.mem"), TDatalogFormat::erNone);

    CtrlSet set;
    const std::string zero = TDatalogFormat::ControlSetComment("car,1\n.mem", set);
    // SHA-256 of 48 zero bytes.
    EXPECT_EQ(zero, "# control set file=car_1_.mem "
                    "sha256=17b0761f87b081d5cf10757ccc89f12be355c70e2e29df288b65b30710dcbcd1\n");
    set.PosInteg = 11;
    EXPECT_NE(TDatalogFormat::ControlSetComment("car,1\n.mem", set), zero);
}
