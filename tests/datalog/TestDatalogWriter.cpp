#include "datalog/TDatalogReader.h"
#include "datalog/TDatalogWriter.h"

#include "DatalogFiles.h"

#include <QFileInfo>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

const QDateTime kStart = QDateTime(QDate(2026, 12, 10), QTime(14, 3, 7), Qt::UTC);

TTelemetry FrameOf(int i)
{
    TTelemetry frame = MakeRow(0, i).ToTelemetry();
    frame.LambdaSim = uint16_t((i * 11) % 1024);
    return frame;
}

std::vector<TDatalogRow> ReadAll(const QString& path, TDatalogReader& reader)
{
    std::vector<TDatalogRow> rows;
    EXPECT_TRUE(reader.Open(path)) << reader.ErrorText().toStdString();
    for (TDatalogRow row; reader.Next(row);)
        rows.push_back(row);
    return rows;
}

} // namespace

// Rows come back as the frames went in, with their times counted from the start, and the
// control set is named at the start and again only when it changes.
TEST(DatalogWriter, WritesFramesAndControlSetChanges)
{
    DatalogFiles files;
    const QString path = files.Path(QStringLiteral("rec.csv"));
    CtrlSet set;
    set.RpmReacL = 1500;
    TDatalogWriter writer;
    ASSERT_TRUE(writer.Open(path, kStart, 5000, "car,1.mem", &set));
    std::vector<TDatalogRow> expected;
    for (int i = 0; i < 300; ++i) {
        const int64_t now = 5000 + i * 50;
        if (i == 100)
            set.RpmReacL = 1600;
        writer.NoteControlSet("car,1.mem", set);
        writer.Frame(FrameOf(i), now, uint16_t(200 + i), i % 2 == 0);
        writer.Tick(now);
        expected.push_back(TDatalogRow::FromTelemetry(FrameOf(i), i * 50, uint16_t(200 + i),
                                                      i % 2 == 0));
    }
    EXPECT_EQ(writer.Rows(), 300);
    writer.Close();
    EXPECT_TRUE(writer.TakeError().isEmpty());

    TDatalogReader reader;
    EXPECT_EQ(ReadAll(path, reader), expected);
    EXPECT_EQ(reader.SkippedRows(), 0);
    std::vector<std::string> setComments;
    for (const TDatalogReader::TComment& comment : reader.Comments()) {
        if (comment.text.rfind("control set", 0) == 0)
            setComments.push_back(comment.text + "@" + std::to_string(comment.afterRow));
    }
    ASSERT_EQ(setComments.size(), 2u);
    EXPECT_EQ(setComments[0].find("control set file=car_1.mem sha256="), 0u);
    EXPECT_NE(setComments[1].find("@99"), std::string::npos) << setComments[1];
    EXPECT_EQ(reader.Comments().front().text, "brevon datalog 1");
    EXPECT_EQ(reader.Comments()[1].text, "started 2026-12-10T14:03:07Z");
}

// A frame costs no disk write: the file grows only when a second has passed on the caller's
// clock, and then holds every row so far.
TEST(DatalogWriter, WritesToDiskOncePerSecond)
{
    DatalogFiles files;
    const QString path = files.Path(QStringLiteral("rec.csv"));
    TDatalogWriter writer;
    ASSERT_TRUE(writer.Open(path, kStart, 0, "", nullptr));
    for (int i = 0; i < 19; ++i) {
        writer.Frame(FrameOf(i), i * 50, 0, true);
        writer.Tick(i * 50);
    }
    EXPECT_EQ(QFileInfo(path).size(), 0);
    writer.Frame(FrameOf(19), 950, 0, true);
    writer.Tick(1000);
    TDatalogReader reader;
    EXPECT_EQ(ReadAll(path, reader).size(), 20u);
    writer.Frame(FrameOf(20), 1050, 0, true);
    writer.Tick(1999);
    EXPECT_EQ(ReadAll(path, reader).size(), 20u);
    writer.Tick(2000);
    EXPECT_EQ(ReadAll(path, reader).size(), 21u);
}

// A full device: the recording stops at the first flush, says so once, and takes no more rows.
TEST(DatalogWriter, FullDeviceStopsTheRecordingAndIsReportedOnce)
{
    TDatalogWriter writer;
    ASSERT_TRUE(writer.Open(QStringLiteral("/dev/full"), kStart, 0, "", nullptr));
    writer.Frame(FrameOf(0), 0, 0, true);
    EXPECT_TRUE(writer.IsRecording());
    writer.Tick(1000);
    EXPECT_TRUE(writer.HasFailed());
    EXPECT_FALSE(writer.IsRecording());
    const QString error = writer.TakeError();
    EXPECT_TRUE(error.startsWith(QStringLiteral("The datalog could not be written:")))
        << error.toStdString();
    writer.Frame(FrameOf(1), 1050, 0, true);
    writer.Tick(2000);
    EXPECT_EQ(writer.Rows(), 1);
    EXPECT_TRUE(writer.TakeError().isEmpty());
}

TEST(DatalogWriter, FolderThatCannotHoldTheFileFailsAtOpen)
{
    DatalogFiles files;
    TDatalogWriter writer;
    EXPECT_FALSE(writer.Open(files.Path(QStringLiteral("missing/rec.csv")), kStart, 0, "",
                             nullptr));
    EXPECT_FALSE(writer.IsRecording());
    EXPECT_FALSE(writer.TakeError().isEmpty());
}

// The disk fills in the middle of a recording (a file size limit stands for it): the rows
// written before stay whole and readable, with no damaged row at the end.
TEST(DatalogWriter, DiskFullingMidwayKeepsTheWholeRowsWrittenBefore)
{
    DatalogFiles files;
    const QString path = files.Path(QStringLiteral("rec.csv"));
    TDatalogWriter writer;
    ASSERT_TRUE(writer.Open(path, kStart, 0, "", nullptr));
    for (int i = 0; i < 20; ++i)
        writer.Frame(FrameOf(i), i * 50, 0, true);
    writer.Tick(1000);
    const qint64 goodSize = QFileInfo(path).size();
    ASSERT_GT(goodSize, 0);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = rlim_t(goodSize + 30); // room for part of one more row only
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    for (int i = 20; i < 40; ++i)
        writer.Frame(FrameOf(i), i * 50, 0, true);
    writer.Tick(2000);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);

    EXPECT_TRUE(writer.HasFailed());
    EXPECT_FALSE(writer.TakeError().isEmpty());
    writer.Close();
    EXPECT_EQ(QFileInfo(path).size(), goodSize);
    TDatalogReader reader;
    EXPECT_EQ(ReadAll(path, reader).size(), 20u);
    EXPECT_EQ(reader.SkippedRows(), 0);
}
