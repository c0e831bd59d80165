// The log viewer's data: the compact columns, the pyramid of minima and maxima, and the
// decimation to pixel columns, each against a brute-force reading of the rows.
#include "tests/datalog/DatalogFiles.h"

#include "datalog/TDatalogColumns.h"
#include "datalog/TDatalogDecimation.h"
#include "datalog/TDatalogReader.h"
#include "datalog/TMinMaxPyramid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using TRange = TMinMaxPyramid::TRange;
using TId = TDatalogChannel::TId;

// A log of `count` rows with uneven time steps (some equal times, some long gaps), values that
// swing and spike, and the emulated lambda missing over whole stretches.
TDatalogColumns MakeLog(int count, unsigned seed)
{
    std::mt19937 random(seed);
    TDatalogColumns log;
    int64_t t = 1000000;
    for (int i = 0; i < count; ++i) {
        TDatalogRow row = MakeRow(t, i);
        if (random() % 500 == 0)
            row.rpm = 65535; // a spike one row wide
        if ((i / 700) % 3 == 1)
            row.lambdaSim.reset();
        EXPECT_TRUE(log.Append(row));
        const unsigned step = random() % 100;
        t += step < 5 ? 0 : step < 98 ? 50 : 20000;
    }
    log.Finish();
    return log;
}

bool SameRange(const TRange& a, const TRange& b)
{
    return a.Empty() ? b.Empty() : (a.min == b.min && a.max == b.max);
}

} // namespace

TEST(MinMaxPyramid, AnswersEveryRunAsTheRowsDo)
{
    std::mt19937 random(7);
    for (const std::size_t size : { std::size_t(0), std::size_t(1), std::size_t(15),
                                    std::size_t(16), std::size_t(17), std::size_t(1000),
                                    std::size_t(4099) }) {
        std::vector<uint16_t> values(size);
        std::vector<bool> present(size);
        for (std::size_t i = 0; i < size; ++i) {
            values[i] = uint16_t(random());
            present[i] = (i / 40) % 4 != 3 && random() % 10 != 0;
        }
        TMinMaxPyramid pyramid;
        pyramid.Build(values, &present);
        for (int trial = 0; trial < 2000; ++trial) {
            std::size_t first = size ? random() % (size + 1) : 0;
            std::size_t last = size ? random() % (size + 1) : 0;
            if (first > last)
                std::swap(first, last);
            TRange brute;
            for (std::size_t i = first; i < last; ++i)
                if (present[i])
                    brute.Add(values[i]);
            const TRange got = pyramid.Range(first, last);
            ASSERT_TRUE(SameRange(got, brute))
                << "size " << size << " rows " << first << ".." << last;
        }
    }
}

TEST(DatalogColumns, KeepEveryRowAsItWasRead)
{
    std::vector<TDatalogRow> rows;
    for (int i = 0; i < 3000; ++i)
        rows.push_back(MakeRow(5000 + int64_t(i) * 50, i));
    DatalogFiles files;
    TDatalogReader reader;
    ASSERT_TRUE(reader.Open(files.Write(LogText(rows))));
    TDatalogColumns log;
    ASSERT_TRUE(TDatalogColumns::Load(reader, log));
    ASSERT_EQ(log.Rows(), rows.size());
    EXPECT_EQ(log.StartMs(), 5000);
    EXPECT_EQ(log.DurationMs(), 2999 * 50);
    for (std::size_t i = 0; i < rows.size(); ++i)
        ASSERT_EQ(log.Row(i), rows[i]) << i;
    EXPECT_FALSE(log.Truncated());
}

// The cursor reads the row in effect at an instant: the last one at or before it.
TEST(DatalogColumns, RowAtAnInstantIsTheLastRowAtOrBeforeIt)
{
    TDatalogColumns log;
    for (const int64_t t : { 100, 150, 150, 200, 400 })
        log.Append(MakeRow(t, int(t)));
    log.Finish();
    struct Case {
        double timeMs; // since the first row
        std::size_t row;
    };
    const Case cases[] = { { -10, 0 }, { 0, 0 },  { 49.9, 0 }, { 50, 2 },
                           { 99, 2 },  { 100, 3 }, { 250, 3 }, { 300, 4 }, { 1e9, 4 } };
    for (const Case& c : cases)
        EXPECT_EQ(log.RowAt(c.timeMs), c.row) << c.timeMs;
}

// Times count from the first row in 32 bits: a recording running on past 2^31 ms is held up
// to there and says so.
TEST(DatalogColumns, HoldALogUpToTheLongestTimeTheyKeep)
{
    TDatalogColumns log;
    const int64_t start = 7'000'000'000;
    EXPECT_TRUE(log.Append(MakeRow(start, 0)));
    EXPECT_TRUE(log.Append(MakeRow(start + std::numeric_limits<int32_t>::max(), 1)));
    EXPECT_FALSE(log.Append(MakeRow(start + std::numeric_limits<int32_t>::max() + 1, 2)));
    EXPECT_FALSE(log.Append(MakeRow(start + std::numeric_limits<int32_t>::max(), 3)));
    EXPECT_TRUE(log.Truncated());
    EXPECT_EQ(log.Rows(), 2u);
}

// Each pixel column gets the least and the greatest value of exactly the rows in its span of
// time, whatever the zoom; a column without rows, or whose rows lack the value, is empty.
TEST(DatalogDecimation, EachPixelColumnKeepsItsMinimumAndMaximum)
{
    const TDatalogColumns log = MakeLog(30000, 3);
    const double end = log.DurationMs();
    struct Case {
        const char* name;
        double fromMs, toMs;
        int pixels;
    };
    const Case cases[] = {
        { "the whole log", 0, end, 1000 },
        { "one pixel", 0, end, 1 },
        { "an odd width", 0, end, 997 },
        { "zoomed in", end * 0.4, end * 0.41, 800 },
        { "more pixels than rows", end * 0.5, end * 0.5 + 2000, 1500 },
        { "beginning before the log", -end / 3, end / 3, 640 },
        { "ending after the log", end * 0.9, end * 1.5, 640 },
        { "outside the log", end + 10, end + 5000, 100 },
    };
    for (const Case& c : cases) {
        for (int ch = 0; ch < TDatalogChannel::kCount; ++ch) {
            const auto channel = TId(ch);
            const auto ranges =
                TDatalogDecimation::ColumnRanges(log, channel, c.fromMs, c.toMs, c.pixels);
            ASSERT_EQ(ranges.size(), std::size_t(c.pixels)) << c.name;
            // Every row into the column whose span holds its time.
            const double width = (c.toMs - c.fromMs) / c.pixels;
            std::vector<TRange> brute(std::size_t(c.pixels));
            for (std::size_t row = 0; row < log.Rows(); ++row) {
                const double t = log.TimeMs(row);
                if (t < c.fromMs || t > c.toMs || !log.Present(channel, row))
                    continue;
                int col = std::clamp(int((t - c.fromMs) / width), 0, c.pixels - 1);
                while (col + 1 < c.pixels && t >= c.fromMs + (col + 1) * width)
                    ++col;
                while (col > 0 && t < c.fromMs + col * width)
                    --col;
                brute[std::size_t(col)].Add(log.Raw(channel, row));
            }
            for (int col = 0; col < c.pixels; ++col)
                ASSERT_TRUE(SameRange(ranges[std::size_t(col)], brute[std::size_t(col)]))
                    << c.name << ", channel " << ch << ", column " << col;
        }
    }
}

// The points drawn hold every column's minimum and maximum, two a column at most, and the rows
// either side of the view; zoomed in far enough, they are the rows themselves.
TEST(DatalogDecimation, PointsDrawThePeaksOrTheRowsThemselves)
{
    const TDatalogColumns log = MakeLog(20000, 11);
    const TId channel = TDatalogChannel::chRpm;
    const TDatalogChannel& ch = TDatalogChannel::Get(channel);
    std::vector<TDatalogDecimation::TPoint> points;

    const double end = log.DurationMs();
    const int pixels = 500;
    TDatalogDecimation::Points(log, channel, 0, end, pixels, points);
    EXPECT_LE(points.size(), std::size_t(2 * pixels + 2));
    const TRange whole = log.WholeRange(channel);
    double lowest = 1e300, highest = -1e300;
    for (const auto& p : points) {
        if (!std::isnan(p.value)) {
            lowest = std::min(lowest, p.value);
            highest = std::max(highest, p.value);
        }
    }
    EXPECT_EQ(lowest, ch.Value(whole.min));
    EXPECT_EQ(highest, ch.Value(whole.max)) << "a spike one row wide survives";

    // Zoomed in: the rows in view and one either side, as they are.
    const double from = log.TimeMs(10000) + 1;
    const double to = log.TimeMs(10100);
    TDatalogDecimation::Points(log, channel, from, to, pixels, points);
    const std::size_t first = log.LowerBound(from) - 1;
    const std::size_t last = log.UpperBound(to) + 1;
    ASSERT_EQ(points.size(), last - first);
    for (std::size_t i = first; i < last; ++i) {
        EXPECT_EQ(points[i - first].key, log.TimeMs(i) / 1000.0);
        EXPECT_EQ(points[i - first].value, ch.Value(log.Raw(channel, i)));
    }

    // A row without the emulated lambda breaks the line.
    const TId sim = TDatalogChannel::chLambdaSim;
    TDatalogDecimation::Points(log, sim, log.TimeMs(690), log.TimeMs(710), pixels, points);
    EXPECT_TRUE(std::any_of(points.begin(), points.end(),
                            [](const auto& p) { return std::isnan(p.value); }));
}
