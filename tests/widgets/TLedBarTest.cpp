#include "ui/widgets/TLedBar.h"

#include <gtest/gtest.h>

#include <string>

namespace {

template <class Row>
std::string rowName(const testing::TestParamInfo<Row>& info)
{
    return info.param.name;
}

// The lambda bar with its sections at SondaPobre 100 and SondaRica 205 counts.
struct SectionRow {
    std::string name;
    double value;
    QColor expected;
};

void PrintTo(const SectionRow& row, std::ostream* os)
{
    *os << row.name;
}

class LedBarSections : public testing::TestWithParam<SectionRow> {};

TEST_P(LedBarSections, ColourFollowsTheSectionEnds)
{
    TLedBar bar;
    bar.setSection1End(100);
    bar.setSection2End(205);
    EXPECT_EQ(bar.colorAt(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, LedBarSections,
                         testing::Values(SectionRow {"zero", 0, Qt::yellow},
                                         SectionRow {"inside_first", 99.5, Qt::yellow},
                                         SectionRow {"end_of_first", 100, QColor(0, 220, 0)},
                                         SectionRow {"inside_second", 204, QColor(0, 220, 0)},
                                         SectionRow {"end_of_second", 205, Qt::red},
                                         SectionRow {"beyond", 1023, Qt::red}),
                         rowName<SectionRow>);

TEST(LedBarSections, PlainUntilSectionsAreSetAndColoursSettable)
{
    TLedBar bar;
    EXPECT_EQ(bar.colorAt(0), Qt::yellow);
    EXPECT_EQ(bar.colorAt(1024), Qt::yellow);

    bar.setSection1End(10);
    bar.setSection2End(20);
    bar.setSection1Color(Qt::blue);
    bar.setSection2Color(Qt::cyan);
    bar.setSection3Color(Qt::magenta);
    EXPECT_EQ(bar.colorAt(5), Qt::blue);
    EXPECT_EQ(bar.colorAt(15), Qt::cyan);
    EXPECT_EQ(bar.colorAt(25), Qt::magenta);
}

// Lit share of the bar for a maximum and a position.
struct LitRow {
    std::string name;
    double maximum;
    double position;
    double litShare; // of the segments
};

void PrintTo(const LitRow& row, std::ostream* os)
{
    *os << row.name;
}

class LedBarMaximum : public testing::TestWithParam<LitRow> {};

TEST_P(LedBarMaximum, LightsThePositionsShareOfTheMaximum)
{
    const LitRow& row = GetParam();
    TLedBar bar;
    bar.resize(409, 21);
    bar.setMaximum(row.maximum);
    bar.setPosition(row.position);
    const int n = bar.segmentCount();
    ASSERT_GT(n, 50);
    EXPECT_NEAR(bar.litSegmentCount(), row.litShare * n, 0.5);
    EXPECT_DOUBLE_EQ(bar.position(), row.position) << "the bar keeps what it was given";
}

INSTANTIATE_TEST_SUITE_P(Rows, LedBarMaximum,
                         testing::Values(LitRow {"empty", 1024, 0, 0},
                                         LitRow {"half_of_1024", 1024, 512, 0.5},
                                         LitRow {"full_1024", 1024, 1024, 1},
                                         LitRow {"full_205", 205, 205, 1},
                                         LitRow {"half_of_205", 205, 102.5, 0.5},
                                         LitRow {"beyond_205", 205, 1023, 1},
                                         LitRow {"below_zero", 1024, -5, 0}),
                         rowName<LitRow>);

TEST(LedBarMaximum, NonPositiveMaximumIgnored)
{
    TLedBar bar;
    bar.setMaximum(205);
    bar.setMaximum(0);
    bar.setMaximum(-1);
    EXPECT_DOUBLE_EQ(bar.maximum(), 205);
}

} // namespace
