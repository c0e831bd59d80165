// The streaming reader of datalog files: what it refuses, what it skips and counts, and how it
// seeks.
#include "tests/datalog/DatalogFiles.h"

#include "datalog/TDatalogReader.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kMagic = std::string(TDatalogFormat::kMagic) + "\n";
const std::string kHeader = std::string(TDatalogFormat::kHeader) + "\n";
const std::string kRow0 = "0,820,0.464,449.7,,47,47,1,0\n";
const std::string kRow1 = "50,830,0.469,454.5,,48,47,1,0\n";

std::vector<TDatalogRow> ReadAll(TDatalogReader& reader)
{
    std::vector<TDatalogRow> rows;
    TDatalogRow row;
    while (reader.Next(row))
        rows.push_back(row);
    return rows;
}

} // namespace

// Files that are no datalog at all are refused at Open, each with its own reason.
TEST(DatalogReader, RefusesWhatIsNoDatalog)
{
    struct Case {
        const char* name;
        std::string content;
        TDatalogFormat::TError error;
    };
    const Case cases[] = {
        { "0-byte file", "", TDatalogFormat::erEmpty },
        { "comments only", kMagic + "# started 2026-12-10T14:03:07Z\n", TDatalogFormat::erEmpty },
        { "blank lines only", "\n\r\n\n", TDatalogFormat::erEmpty },
        { "another header", kMagic + "time,rpm,tps\n" + kRow0, TDatalogFormat::erHeader },
        { "header short of a column",
          "time_ms,rpm,tps_V,lambda_mV,lambda_sim_mV,valve_actual,valve_control,gas\n",
          TDatalogFormat::erHeader },
        { "header in other case", "TIME_MS,RPM,TPS_V,LAMBDA_MV,LAMBDA_SIM_MV,VALVE_ACTUAL,"
                                  "VALVE_CONTROL,GAS,LED\n", TDatalogFormat::erHeader },
        { "rows without a header", kRow0 + kRow1, TDatalogFormat::erHeader },
        { "another version", "# brevon datalog 2\n" + kHeader + kRow0, TDatalogFormat::erVersion },
        { "a version that is no number", "# brevon datalog one\n" + kHeader,
          TDatalogFormat::erVersion },
        { "binary bytes", std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10),
          TDatalogFormat::erHeader },
    };
    DatalogFiles files;
    for (const Case& c : cases) {
        TDatalogReader reader;
        EXPECT_FALSE(reader.Open(files.Write(c.content))) << c.name;
        EXPECT_EQ(reader.Failure(), TDatalogReader::fcFormat) << c.name;
        EXPECT_EQ(reader.ErrorText().toStdString(), TDatalogFormat::ErrorText(c.error)) << c.name;
        TDatalogRow row;
        EXPECT_FALSE(reader.Next(row)) << c.name;
    }
}

TEST(DatalogReader, RefusesAMissingFileAndAFolder)
{
    DatalogFiles files;
    TDatalogReader reader;
    EXPECT_FALSE(reader.Open(files.Path(QStringLiteral("absent.csv"))));
    EXPECT_EQ(reader.Failure(), TDatalogReader::fcMissing);
    EXPECT_FALSE(reader.ErrorText().isEmpty());

    ASSERT_TRUE(QDir(files.Path({})).mkdir(QStringLiteral("folder.csv")));
    EXPECT_FALSE(reader.Open(files.Path(QStringLiteral("folder.csv"))));
    EXPECT_EQ(reader.Failure(), TDatalogReader::fcDirectory);
    EXPECT_NE(reader.ErrorText(), TDatalogReader().ErrorText());
}

TEST(DatalogReader, RefusesAFileItMayNotRead)
{
    DatalogFiles files;
    const QString path = files.Write(kMagic + kHeader + kRow0);
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    QFile probe(path);
    if (probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "this user reads any file";
    TDatalogReader reader;
    EXPECT_FALSE(reader.Open(path));
    EXPECT_EQ(reader.Failure(), TDatalogReader::fcUnreadable);
    EXPECT_FALSE(reader.ErrorText().isEmpty());
}

// Rows that cannot be read are skipped and counted, each with its line and reason; the rows
// around them are read.
TEST(DatalogReader, SkipsAndCountsRowsItCannotRead)
{
    struct Case {
        const char* name;
        std::string bad;
        TDatalogFormat::TError error;
        int column;
    };
    const Case cases[] = {
        { "short row", "70,820,0.464\n", TDatalogFormat::erShortRow, 3 },
        { "long row", "70,820,0.464,449.7,,47,47,1,0,1\n", TDatalogFormat::erLongRow, 9 },
        { "text in a number", "70,820,0.464,rich,,47,47,1,0\n", TDatalogFormat::erNotNumber, 3 },
        { "empty time", ",820,0.464,449.7,,47,47,1,0\n", TDatalogFormat::erNotNumber, 0 },
        { "rpm beyond a word", "70,70000,0.464,449.7,,47,47,1,0\n", TDatalogFormat::erOutOfRange,
          1 },
        { "led 7", "70,820,0.464,449.7,,47,47,1,7\n", TDatalogFormat::erOutOfRange, 8 },
        { "time going back", "10,820,0.464,449.7,,47,47,1,0\n", TDatalogFormat::erTimeBackwards,
          0 },
        { "a row cut short", "70,820,0.4", TDatalogFormat::erShortRow, 3 },
    };
    DatalogFiles files;
    for (const Case& c : cases) {
        // Line 4 is the bad one; a row cut short can only be last.
        const bool last = c.bad.back() != '\n';
        const std::string content = kMagic + kHeader + kRow1 + c.bad + (last ? "" : "100,1,0,0,,0,0,0,0\n");
        TDatalogReader reader;
        ASSERT_TRUE(reader.Open(files.Write(content))) << c.name;
        const std::vector<TDatalogRow> rows = ReadAll(reader);
        EXPECT_EQ(rows.size(), last ? 1u : 2u) << c.name;
        EXPECT_EQ(reader.SkippedRows(), 1) << c.name;
        ASSERT_EQ(reader.FirstSkips().size(), 1u) << c.name;
        EXPECT_EQ(reader.FirstSkips()[0].line, 4) << c.name;
        EXPECT_EQ(reader.FirstSkips()[0].error, c.error) << c.name;
        EXPECT_EQ(reader.FirstSkips()[0].column, c.column) << c.name;
        EXPECT_FALSE(reader.ReadFailed()) << c.name;
    }
}

TEST(DatalogReader, KeepsTheFirstReasonsAndCountsEverySkip)
{
    std::string content = kMagic + kHeader;
    for (int i = 0; i < 100; ++i)
        content += i % 2 ? "x\n" : RowText(MakeRow(i, i));
    DatalogFiles files;
    TDatalogReader reader;
    ASSERT_TRUE(reader.Open(files.Write(content)));
    EXPECT_EQ(ReadAll(reader).size(), 50u);
    EXPECT_EQ(reader.SkippedRows(), 50);
    ASSERT_EQ(reader.FirstSkips().size(), std::size_t(TDatalogReader::kKeptSkips));
    EXPECT_EQ(reader.FirstSkips()[0].line, 4);
    EXPECT_EQ(reader.FirstSkips()[4].line, 12);
}

// What writers and editors put in a file that is still a datalog.
TEST(DatalogReader, ReadsWhatIsStillADatalog)
{
    struct Case {
        const char* name;
        std::string content;
        std::size_t comments;
    };
    const std::string crlf = "# brevon datalog 1\r\n" + std::string(TDatalogFormat::kHeader)
        + "\r\n0,820,0.464,449.7,,47,47,1,0\r\n50,830,0.469,454.5,,48,47,1,0\r\n";
    const Case cases[] = {
        { "plain", kMagic + kHeader + kRow0 + kRow1, 1 },
        { "without the version line", kHeader + kRow0 + kRow1, 0 },
        { "CRLF line ends", crlf, 1 },
        { "a byte-order mark", "\xEF\xBB\xBF" + kMagic + kHeader + kRow0 + kRow1, 1 },
        { "comments and blank lines between rows",
          kMagic + "\n# started 2026-12-10T14:03:07Z\n" + kHeader + kRow0
              + "# control set file=a.mem sha256=00\n\n" + kRow1, 3 },
        { "the header again between rows", kMagic + kHeader + kRow0 + kHeader + kRow1, 1 },
        { "no line end after the last row", kMagic + kHeader + kRow0 + kRow1.substr(0, kRow1.size() - 1),
          1 },
    };
    DatalogFiles files;
    for (const Case& c : cases) {
        TDatalogReader reader;
        ASSERT_TRUE(reader.Open(files.Write(c.content))) << c.name;
        const std::vector<TDatalogRow> rows = ReadAll(reader);
        ASSERT_EQ(rows.size(), 2u) << c.name;
        EXPECT_EQ(rows[0].rpm, 820) << c.name;
        EXPECT_EQ(rows[1].timeMs, 50) << c.name;
        EXPECT_EQ(rows[1].lambda, 93) << c.name;
        EXPECT_EQ(reader.SkippedRows(), 0) << c.name;
        EXPECT_EQ(reader.Comments().size(), c.comments) << c.name;
        EXPECT_TRUE(reader.AtEnd()) << c.name;
    }
}

TEST(DatalogReader, KeepsCommentsWithTheRowTheyFollow)
{
    DatalogFiles files;
    TDatalogReader reader;
    ASSERT_TRUE(reader.Open(files.Write(kMagic + "# started 2026-12-10T14:03:07Z\n" + kHeader
                                        + "# control set file=a.mem sha256=ab\n" + kRow0
                                        + "# control set file=b.mem sha256=cd\r\n" + kRow1)));
    ReadAll(reader);
    const auto& c = reader.Comments();
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0].text, "brevon datalog 1");
    EXPECT_EQ(c[1].text, "started 2026-12-10T14:03:07Z");
    EXPECT_EQ(c[2].text, "control set file=a.mem sha256=ab");
    EXPECT_EQ(c[2].afterRow, -1);
    EXPECT_EQ(c[3].text, "control set file=b.mem sha256=cd");
    EXPECT_EQ(c[3].afterRow, 0);
    EXPECT_EQ(c[3].line, 6);
    EXPECT_EQ(reader.CommentCount(), 4);
}

// A line longer than the buffer is passed over whole: a row is a skipped row, a comment keeps
// its beginning, and the rows after it are read.
TEST(DatalogReader, PassesOverLinesLongerThanItsBuffer)
{
    const std::size_t buffer = TDatalogReader::kMinBufferSize;
    const std::string longRow = "60," + std::string(3 * buffer, '7') + ",0,0,,0,0,0,0\n";
    const std::string longComment = "# control set file=" + std::string(3 * buffer, 'n') + "\n";
    DatalogFiles files;
    TDatalogReader reader(buffer);
    ASSERT_TRUE(reader.Open(files.Write(kMagic + longComment + kHeader + kRow0 + longRow
                                        + longComment + "70,1,0,0,,0,0,0,0\n")));
    const std::vector<TDatalogRow> rows = ReadAll(reader);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].timeMs, 70);
    EXPECT_EQ(reader.SkippedRows(), 1);
    EXPECT_EQ(reader.FirstSkips().at(0).error, TDatalogFormat::erLongLine);
    EXPECT_EQ(reader.FirstSkips().at(0).line, 5);
    ASSERT_EQ(reader.Comments().size(), 3u);
    EXPECT_EQ(reader.Comments()[1].text.substr(0, 12), "control set ");
    EXPECT_LE(reader.Comments()[1].text.size(), buffer);
    EXPECT_EQ(reader.BufferSize(), buffer);
}

// A seek starts at the row's own line, not inside the long line before it whose end happens to
// read as a row.
TEST(DatalogReader, SeeksToTheRowAfterALineLongerThanItsBuffer)
{
    const std::size_t buffer = TDatalogReader::kMinBufferSize;
    const std::string longComment = "# " + std::string(buffer - 2, 'x') + "10,999,0,0,,0,0,0,0\n";
    DatalogFiles files;
    TDatalogReader reader(buffer);
    ASSERT_TRUE(reader.Open(files.Write(kMagic + kHeader + longComment + "10,820,0,0,,0,0,0,0\n"
                                        + "20,830,0,0,,0,0,0,0\n")));
    ASSERT_EQ(ReadAll(reader).size(), 2u);
    for (const int64_t time : { 20, 10 }) {
        ASSERT_TRUE(reader.SeekTime(time));
        TDatalogRow row;
        ASSERT_TRUE(reader.Next(row));
        EXPECT_EQ(row.timeMs, time);
        EXPECT_EQ(row.rpm, time == 10 ? 820 : 830) << "seek to " << time;
    }
}

// A file many times its buffer is read through that buffer alone.
TEST(DatalogReader, ReadsAFileFarLargerThanItsBuffer)
{
    std::vector<TDatalogRow> written;
    for (int i = 0; i < 20000; ++i)
        written.push_back(MakeRow(int64_t(i) * 50, i));
    DatalogFiles files;
    const QString path = files.Write(LogText(written));
    TDatalogReader reader(TDatalogReader::kMinBufferSize);
    ASSERT_TRUE(reader.Open(path));
    EXPECT_GT(reader.FileSize(), qint64(2000 * TDatalogReader::kMinBufferSize));
    EXPECT_EQ(ReadAll(reader), written);
    EXPECT_EQ(reader.BufferSize(), TDatalogReader::kMinBufferSize);
    EXPECT_EQ(reader.Position(), reader.FileSize());
}

// Seeking gives the first row at or after the instant, reading forward or going back, and a
// row read twice is counted once.
TEST(DatalogReader, SeeksToTheFirstRowAtOrAfterAnInstant)
{
    // Time steps of 50 ms with runs of equal times across index entries, and a bad row now and
    // then.
    std::vector<TDatalogRow> rows;
    std::string content = kMagic + kHeader;
    int64_t t = 0;
    for (int i = 0; i < 5000; ++i) {
        if (i % 997 == 0)
            content += "bad row\n";
        if (!(i >= 2000 && i < 2100))
            t += 50;
        rows.push_back(MakeRow(t, i));
        content += RowText(rows.back());
    }
    DatalogFiles files;
    TDatalogReader reader(1024);
    ASSERT_TRUE(reader.Open(files.Write(content)));
    const int64_t skipped = 6;

    struct Target {
        const char* name;
        int64_t timeMs;
    };
    const int64_t equal = rows[2000].timeMs;
    const Target targets[] = {
        { "far ahead before reading", 200000 },
        { "back to the start", 0 },
        { "before the first row", -100 },
        { "between two rows", 12345 },
        { "a run of equal times", equal },
        { "just after the run", equal + 1 },
        { "the last row", rows.back().timeMs },
        { "past the end", rows.back().timeMs + 1 },
        { "back again", 50 },
        { "ahead from there", 70000 },
    };
    for (const Target& target : targets) {
        ASSERT_TRUE(reader.SeekTime(target.timeMs)) << target.name;
        std::size_t expected = 0;
        while (expected < rows.size() && rows[expected].timeMs < target.timeMs)
            ++expected;
        EXPECT_EQ(reader.RowIndex(), int64_t(expected)) << target.name;
        TDatalogRow row;
        if (expected == rows.size()) {
            EXPECT_FALSE(reader.Next(row)) << target.name;
            continue;
        }
        ASSERT_TRUE(reader.Next(row)) << target.name;
        EXPECT_EQ(row, rows[expected]) << target.name;
        // Reading on gives the following rows in order.
        for (std::size_t i = expected + 1; i < std::min(rows.size(), expected + 1500); ++i) {
            ASSERT_TRUE(reader.Next(row)) << target.name;
            ASSERT_EQ(row, rows[i]) << target.name << " row " << i;
        }
    }
    ASSERT_TRUE(reader.SeekTime(0));
    EXPECT_EQ(ReadAll(reader).size(), rows.size());
    EXPECT_EQ(reader.SkippedRows(), skipped);
}

// Seeking twice in a row, the second time before the row the first one found.
TEST(DatalogReader, SeeksBackFromARowFoundBySeeking)
{
    std::vector<TDatalogRow> rows;
    for (int i = 0; i < 3000; ++i)
        rows.push_back(MakeRow(int64_t(i) * 10, i));
    DatalogFiles files;
    TDatalogReader reader;
    ASSERT_TRUE(reader.Open(files.Write(LogText(rows))));
    ASSERT_TRUE(reader.SeekTime(25000));
    ASSERT_TRUE(reader.SeekTime(24990));
    TDatalogRow row;
    ASSERT_TRUE(reader.Next(row));
    EXPECT_EQ(row, rows[2499]);
    ASSERT_TRUE(reader.SeekTime(25010));
    ASSERT_TRUE(reader.Next(row));
    EXPECT_EQ(row, rows[2501]);
    EXPECT_EQ(reader.RowIndex(), 2502);
}
