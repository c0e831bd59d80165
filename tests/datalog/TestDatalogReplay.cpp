// Which rows a replay hands out when, on a clock the test steps.
#include "datalog/TDatalogReplay.h"

#include "tests/datalog/DatalogFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Rows every 50 ms from 0 to 1950.
constexpr int kRows = 40;
constexpr int64_t kStepMs = 50;

std::vector<int64_t> Times(int64_t from, int64_t to)
{
    std::vector<int64_t> times;
    for (int64_t t = from; t <= to; t += kStepMs)
        times.push_back(t);
    return times;
}

std::vector<int64_t> operator+(std::vector<int64_t> a, const std::vector<int64_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct TOp {
    enum TKind { Play, Pause, Speed, Seek, Advance } kind;
    int64_t nowMs;
    int64_t arg = 0; // the speed or the time sought
};

struct TCase {
    const char* name;
    std::vector<TOp> ops;
    std::vector<int64_t> shown; // the rows' times, in the order handed out
    int64_t positionMs;
    bool playing;
};

const TCase kCases[] = {
    { "paused at open, only the first row",
      { { TOp::Advance, 0 }, { TOp::Advance, 1000 } }, { 0 }, 0, false },
    { "1x in recorded time",
      { { TOp::Play, 0 }, { TOp::Advance, 0 }, { TOp::Advance, 100 }, { TOp::Advance, 149 } },
      Times(0, 100), 149, true },
    { "4x", { { TOp::Speed, 0, 4 }, { TOp::Play, 0 }, { TOp::Advance, 100 } }, Times(0, 400), 400,
      true },
    { "16x", { { TOp::Speed, 0, 16 }, { TOp::Play, 0 }, { TOp::Advance, 100 } }, Times(0, 1600),
      1600, true },
    { "a speed the replay does not have is ignored",
      { { TOp::Speed, 0, 3 }, { TOp::Play, 0 }, { TOp::Advance, 100 } }, Times(0, 100), 100,
      true },
    { "pause keeps the time played and holds",
      { { TOp::Play, 0 }, { TOp::Advance, 100 }, { TOp::Pause, 150 }, { TOp::Advance, 1000 },
        { TOp::Advance, 2000 } },
      Times(0, 150), 150, false },
    { "a new speed counts from the change",
      { { TOp::Play, 0 }, { TOp::Advance, 100 }, { TOp::Speed, 200, 16 }, { TOp::Advance, 210 } },
      Times(0, 360), 360, true },
    { "seek while paused shows the row found at once",
      { { TOp::Advance, 0 }, { TOp::Seek, 10, 1012 }, { TOp::Advance, 10 }, { TOp::Advance, 500 } },
      { 0, 1050 }, 1050, false },
    { "seek while playing goes on from there",
      { { TOp::Play, 0 }, { TOp::Advance, 50 }, { TOp::Seek, 50, 1000 }, { TOp::Advance, 150 } },
      Times(0, 50) + Times(1000, 1100), 1100, true },
    { "seek back",
      { { TOp::Play, 0 }, { TOp::Advance, 400 }, { TOp::Seek, 400, 100 }, { TOp::Advance, 500 } },
      Times(0, 400) + Times(100, 200), 200, true },
    { "seek beyond the end shows the last row",
      { { TOp::Seek, 0, 99999 }, { TOp::Advance, 0 } }, { 1950 }, 1950, false },
    { "playing stops at the last row",
      { { TOp::Speed, 0, 16 }, { TOp::Play, 0 }, { TOp::Advance, 100 }, { TOp::Advance, 200 },
        { TOp::Advance, 300 } },
      Times(0, 1950), 1950, false },
    { "play at the end starts again",
      { { TOp::Speed, 0, 16 }, { TOp::Play, 0 }, { TOp::Advance, 200 }, { TOp::Play, 300 },
        { TOp::Advance, 300 } },
      Times(0, 1950) + Times(0, 0), 0, true },
    { "a caller held up plays at most its longest step",
      { { TOp::Play, 0 }, { TOp::Advance, 0 }, { TOp::Advance, 5000 } },
      Times(0, TDatalogReplay::kMaxStepMs), TDatalogReplay::kMaxStepMs, true },
};

class DatalogReplay : public ::testing::Test {
protected:
    QString Log()
    {
        std::vector<TDatalogRow> rows;
        for (int i = 0; i < kRows; ++i)
            rows.push_back(MakeRow(i * kStepMs, i));
        return FFiles.Write(LogText(rows));
    }
    DatalogFiles FFiles;
};

} // namespace

TEST_F(DatalogReplay, HandsOutTheRowsDueOnTheCallersClock)
{
    const QString path = Log();
    for (const TCase& c : kCases) {
        SCOPED_TRACE(c.name);
        TDatalogReplay replay;
        ASSERT_TRUE(replay.Open(path)) << replay.ErrorText().toStdString();
        std::vector<int64_t> shown;
        const auto show = [&shown](const TDatalogRow& row) { shown.push_back(row.timeMs); };
        for (const TOp& op : c.ops) {
            switch (op.kind) {
            case TOp::Play: replay.Play(op.nowMs); break;
            case TOp::Pause: replay.Pause(op.nowMs); break;
            case TOp::Speed: replay.SetSpeed(int(op.arg), op.nowMs); break;
            case TOp::Seek: replay.Seek(op.arg, op.nowMs); break;
            case TOp::Advance: replay.Advance(op.nowMs, show); break;
            }
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(replay.PositionMs(), c.positionMs);
        EXPECT_EQ(replay.IsPlaying(), c.playing);
    }
}

// The rows come back as written, the unreadable one skipped and counted.
TEST_F(DatalogReplay, GivesTheRowsAsWrittenAndCountsThoseItSkips)
{
    std::vector<TDatalogRow> rows;
    for (int i = 0; i < 6; ++i)
        rows.push_back(MakeRow(i * kStepMs, i));
    std::string text = LogText(rows);
    text.insert(text.find("\n100,") + 1, "75,800,oops\n");
    TDatalogReplay replay;
    ASSERT_TRUE(replay.Open(FFiles.Write(text))) << replay.ErrorText().toStdString();
    EXPECT_EQ(replay.Rows(), 6);
    EXPECT_EQ(replay.SkippedRows(), 1);
    EXPECT_EQ(replay.StartMs(), 0);
    EXPECT_EQ(replay.EndMs(), 250);
    std::vector<TDatalogRow> shown;
    replay.SetSpeed(16, 0);
    replay.Play(0);
    replay.Advance(100, [&shown](const TDatalogRow& row) { shown.push_back(row); });
    EXPECT_EQ(shown, rows);
    EXPECT_EQ(replay.SkippedRows(), 1); // counted once, though read twice
    EXPECT_TRUE(replay.AtEnd());
}

TEST_F(DatalogReplay, FilesThatCannotBeReplayedSayWhy)
{
    const struct {
        const char* name;
        QString path;
        QString error;
    } cases[] = {
        { "missing", FFiles.Path(QStringLiteral("none.csv")),
          QStringLiteral("The file does not exist.") },
        { "no rows", FFiles.Write(LogText({}), QStringLiteral("header.csv")),
          QStringLiteral("The log holds no readable row.") },
        { "only bad rows", FFiles.Write(LogText({}) + "0,1\n", QStringLiteral("bad.csv")),
          QStringLiteral("The log holds no readable row.") },
        { "empty", FFiles.Write("", QStringLiteral("empty.csv")), QString() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TDatalogReplay replay;
        EXPECT_FALSE(replay.Open(c.path));
        EXPECT_FALSE(replay.ErrorText().isEmpty());
        if (!c.error.isEmpty()) {
            EXPECT_EQ(replay.ErrorText(), c.error);
        }
    }
}
