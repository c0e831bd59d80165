#include "protocol/TControllerRules.h"
#include "protocol/TFixedTexts.h"

#include <gtest/gtest.h>

// The rules sit on thresholds: each row is a value just either side of one.
TEST(ControllerRules, Thresholds)
{
    struct Row {
        const char* name;
        bool got;
        bool want;
    };
    const Row rows[] = {
        { "rich level 205 counts: 1-volt probe", TControllerRules::IsFiveVoltProbe(205), false },
        { "rich level 206 counts: 5-volt probe", TControllerRules::IsFiveVoltProbe(206), true },
        { "firmware 1.03: no high regime", TControllerRules::HasHighRegime(0x0103), false },
        { "firmware 1.04: high regime", TControllerRules::HasHighRegime(0x0104), true },
        { "firmware 2.00: high regime", TControllerRules::HasHighRegime(0x0200), true },
        { "version unknown: no high regime", TControllerRules::HasHighRegime(0), false },
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.got, r.want) << r.name;
}

TEST(ControllerRules, VersionTextIsHexadecimal)
{
    EXPECT_EQ(TFixedTexts::VersionText(0x0171), QStringLiteral("V-1.71"));
    EXPECT_EQ(TFixedTexts::VersionText(0x0104), QStringLiteral("V-1.04"));
    EXPECT_EQ(TFixedTexts::VersionText(0x0A0F), QStringLiteral("V-a.0f"));
}
