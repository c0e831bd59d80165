#include "tests/protocol/ProtocolOverLink.h"

#include "link/LinkLog.h"
#include "protocol/CtrlSet.h"
#include "protocol/ProtocolLog.h"
#include "settings/TLogSink.h"
#include "tests/support/TAllocationCounter.h"
#include "tests/support/TMessageLog.h"

#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>


// The log of a run against the simulated controller: what the link and the protocol say at
// debug level, through the program's log sink (the link thread writes to it too); and a protocol
// path that tests its category and formats nothing while the category is off.
namespace {

// The categories' debug messages on for the life of the object, off again afterwards.
class TVerbose {
public:
    TVerbose() { TLogSink::SetVerbose(true); }
    ~TVerbose() { TLogSink::SetVerbose(false); }
};

// The link starts after the log does, so the fixture's own start is not used.
class ProtocolLog : public ProtocolOverLink {
protected:
    void SetUp() override {}
};

TEST_F(ProtocolLog, DebugLogFollowsARunInOrder)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("brevon.log"));
    {
        const TVerbose verbose;
        TLogSink sink;
        QString error;
        ASSERT_TRUE(sink.OpenFile(file, error)) << error.toStdString();
        ProtocolOverLink::SetUp();
        uint8_t answer[kMaxFramePayload];
        ASSERT_EQ(2, Request({ cmdVersion }, answer));
        TearDown();
    }
    QFile log(file);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);

    const char* const expected[] = {
        R"(info brevon\.link: adapter opened through the simulated adapter: bulk IN 0x81)",
        R"(debug brevon\.link: link status 0 -> 2$)",
        R"(debug brevon\.link: information block: adapter firmware 0x0171$)",
        R"(debug brevon\.link: link status 2 -> 3$)",
        R"(debug brevon\.protocol: command 0xff \(firmware version\) sent: 3 bytes in 1 records$)",
        R"(debug brevon\.protocol: command 0xff \(firmware version\) answered: ACK, 2 bytes$)",
        R"(info brevon\.link: adapter closed$)",
    };
    qsizetype at = 0;
    for (const char* pattern : expected) {
        const qsizetype found = TMessageLog::Find(lines, QString::fromLatin1(pattern), at);
        ASSERT_NE(found, -1) << "no line after line " << at << " matches " << pattern << "\n"
                             << lines.join(u'\n').toStdString();
        at = found + 1;
    }
    // Every line has its time, level and category.
    const QRegularExpression shape(QStringLiteral(
        R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} (debug|info|warning|critical) \S+: )"));
    for (const QString& line : lines)
        EXPECT_TRUE(shape.match(line).hasMatch()) << line.toStdString();
}

struct OutcomeCase {
    const char* name;
    std::function<void(ProtocolOverLink&)> arrange; // after the link receives
    int32_t result;
    const char* line; // the protocol's line for the request, as a pattern
};

void PrintTo(const OutcomeCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProtocolOutcome : public ProtocolOverLink, public ::testing::WithParamInterface<OutcomeCase> {
};

TEST_P(ProtocolOutcome, EveryRequestLogsItsOutcome)
{
    const OutcomeCase& c = GetParam();
    c.arrange(*this);
    const TVerbose verbose;
    const TMessageLog log;
    EXPECT_EQ(Request({ cmdReadSet }), c.result);
    EXPECT_NE(TMessageLog::Find(log.Lines(), QString::fromLatin1(c.line), 0), -1)
        << log.Lines().join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ProtocolOutcome,
    ::testing::Values(
        OutcomeCase { "Answered", [](ProtocolOverLink&) {}, kCtrlSetSize,
                      R"(^brevon\.protocol: command 0x20 \(read control set\) answered: ACK, 48 bytes$)" },
        OutcomeCase { "Nak",
                      [](ProtocolOverLink& f) { f.controller.SetFault(TSimController::fmNakAll); },
                      0, R"(^brevon\.protocol: command 0x20 \(read control set\) answered: NAK, 0 bytes$)" },
        OutcomeCase { "TimedOut",
                      [](ProtocolOverLink& f) {
                          f.controller.SetFault(TSimController::fmDropAnswer);
                          f.protocol.SetReplyTimeoutMs(50);
                      },
                      -1, R"(^brevon\.protocol: command 0x20 \(read control set\) timed out$)" },
        OutcomeCase { "Busy",
                      [](ProtocolOverLink& f) {
                          // A second read is asked for while the first one waits.
                          QTimer::singleShot(0, [&f] { f.Request({ cmdReadSet }); });
                      },
                      kCtrlSetSize, R"(^brevon\.protocol: command 0x20 \(read control set\) busy: another request waits$)" },
        OutcomeCase { "NoLink",
                      [](ProtocolOverLink& f) { f.protocol.SetLink(nullptr); },
                      -1, R"(^brevon\.protocol: command 0x20 \(read control set\) not sent: no link$)" }),
    [](const ::testing::TestParamInfo<OutcomeCase>& info) { return std::string(info.param.name); });

// The commands go out and their answers come in with the protocol's category off and on. Off,
// the protocol path makes no allocation at all, so it formats no text; on, the same path
// formats its lines, which shows that the count sees them.
TEST_F(ProtocolLog, OffCategoryFormatsNothing)
{
    ProtocolOverLink::SetUp();
    link->OnLinkData = nullptr; // what comes in waits in the ring for ReceiveFrames below
    protocol.SetTelemetryView(nullptr);
    controllerRunning = false; // telemetry frames come only when the test moves the controller's clock
    const uint8_t version[] = { cmdVersion };
    TAllocationCounter counter;

    // Sends version requests and takes in what comes back, counting the allocations of the
    // protocol's own calls but not of the waiting between them. A telemetry frame follows each
    // answer on the serial line: once it is decoded, so is the answer.
    auto roundTrips = [&]() -> uint64_t {
        uint64_t allocations = 0;
        for (int i = 0; i < 3; ++i) {
            // Counted before the send: the next step of the clock hands the frame over.
            const int asked = controller.CommandsReceived(cmdVersion);
            counter.Start();
            const bool sent = protocol.SendFrame(version, 1);
            allocations += counter.Stop();
            EXPECT_TRUE(sent);
            EXPECT_TRUE(WaitFor([&] { return controller.CommandsReceived(cmdVersion) > asked; },
                                2000));
            controller.Advance(TSimController::kDefaultTelemetryPeriodMs);
            const uint32_t frames = protocol.Telemetry().FramesHandled();
            EXPECT_TRUE(WaitFor(
                [&] {
                    counter.Start();
                    protocol.ReceiveFrames();
                    allocations += counter.Stop();
                    return protocol.Telemetry().FramesHandled() > frames;
                },
                2000));
        }
        return allocations;
    };

    QLoggingCategory::setFilterRules(QStringLiteral("brevon.protocol.debug=false"));
    const uint64_t off = roundTrips();
    EXPECT_EQ(off, 0u);

    const TMessageLog log;
    QLoggingCategory::setFilterRules(QStringLiteral("brevon.protocol.debug=true"));
    const uint64_t on = roundTrips();
    QLoggingCategory::setFilterRules(QStringLiteral("brevon.protocol.debug=false"));
    EXPECT_GT(on, 0u);
    EXPECT_NE(TMessageLog::Find(log.Lines(), QStringLiteral(R"(command 0xff \(firmware version\) sent)"), 0),
              -1);
    EXPECT_NE(TMessageLog::Find(log.Lines(), QStringLiteral("answer with no request waiting: ACK, 2 bytes"), 0),
              -1);
}

} // namespace
