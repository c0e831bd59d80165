#include "ui/widgets/TAngularGauge.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct ClampRow {
    std::string name;
    double set;
    double expected;
};

void PrintTo(const ClampRow& row, std::ostream* os)
{
    *os << row.name;
}

class GaugePosition : public testing::TestWithParam<ClampRow> {};

TEST_P(GaugePosition, StaysWithinTheRange)
{
    TAngularGauge gauge; // the RPM gauge: 0 to 8 thousand rev/min
    gauge.setRange(0, 8);
    gauge.setPosition(3);
    gauge.setPosition(GetParam().set);
    EXPECT_DOUBLE_EQ(gauge.position(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, GaugePosition,
                         testing::Values(ClampRow {"inside", 2.5, 2.5},
                                         ClampRow {"minimum", 0, 0},
                                         ClampRow {"maximum", 8, 8},
                                         ClampRow {"below", -1, 0},
                                         ClampRow {"above", 12.75, 8},
                                         ClampRow {"nan_ignored", std::nan(""), 3}),
                         [](const auto& info) { return info.param.name; });

TEST(GaugeRange, NarrowingClampsThePosition)
{
    TAngularGauge gauge;
    gauge.setRange(0, 8);
    gauge.setPosition(7);
    gauge.setRange(0, 5);
    EXPECT_DOUBLE_EQ(gauge.position(), 5);
    gauge.setRange(4, 4); // empty range ignored
    EXPECT_DOUBLE_EQ(gauge.maximum(), 5);
}

TEST(GaugeArc, RunsClockwiseFromTheStartAngle)
{
    TAngularGauge gauge;
    gauge.setRange(0, 8);
    gauge.setArcStart(230);
    gauge.setArcSpan(280);
    EXPECT_DOUBLE_EQ(gauge.angleOf(0), 230);
    EXPECT_DOUBLE_EQ(gauge.angleOf(4), 90); // straight up
    EXPECT_DOUBLE_EQ(gauge.angleOf(8), -50);
    EXPECT_DOUBLE_EQ(gauge.angleOf(20), -50);
}

} // namespace
