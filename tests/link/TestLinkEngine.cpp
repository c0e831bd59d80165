#include "LinkFixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <latch>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using LinkEngine = LinkFixture;

TEST_F(LinkEngine, FirstOpenComesFourTicksAfterConstruction)
{
    Ticks(3);
    EXPECT_EQ(transport->Attempts(), 0);
    EXPECT_EQ(link->GetLinkStatus(), lkNoAdapter);
    Ticks(1);
    EXPECT_EQ(transport->Opens(), 1);
    EXPECT_EQ(link->GetLinkStatus(), lkAdapterReady);
    EXPECT_EQ(link->Backend(), beSimulated);
    EXPECT_EQ(link->EpIn(), 0x81);
    EXPECT_EQ(link->EpOut(), 0x01);
}

TEST_F(LinkEngine, WithoutAdapterOneAttemptEveryFortyTicks)
{
    transport->SetPlugged(false);
    Ticks(4);
    EXPECT_EQ(transport->Attempts(), 1);
    Ticks(39);
    EXPECT_EQ(transport->Attempts(), 1);
    Ticks(1);
    EXPECT_EQ(transport->Attempts(), 2);
    Ticks(40);
    EXPECT_EQ(transport->Attempts(), 3);
    EXPECT_EQ(link->GetLinkStatus(), lkNoAdapter);
}

TEST_F(LinkEngine, SetupFailureRetriesAfterEightyTicks)
{
    transport->SetSetupFails(true);
    Ticks(4);
    EXPECT_EQ(transport->Attempts(), 1);
    EXPECT_EQ(transport->Closes(), 1);
    EXPECT_EQ(link->GetLinkStatus(), lkNoAdapter);
    EXPECT_EQ(link->OpenWaitTicks(), 80);
}

struct VersionCase {
    const char* name;
    uint32_t version;
    TLinkPhase phase;     // after the information tick
    TLinkStatus status;
    bool release;         // rqRelease sent before the refusal close
    uint16_t shown;       // GetAdapterVersion
};

void PrintTo(const VersionCase& c, std::ostream* os)
{
    *os << c.name;
}

class AdapterVersion : public LinkFixture, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(AdapterVersion, IsAcceptedOrRefused)
{
    const VersionCase& c = GetParam();
    adapter->SetVersion(c.version);
    Ticks(5); // open, then the information block
    EXPECT_EQ(link->Phase(), c.phase);
    EXPECT_EQ(link->GetLinkStatus(), c.status);
    EXPECT_EQ(adapter->Counters().release, c.release ? 1 : 0);
    EXPECT_EQ(link->GetAdapterVersion(), c.shown);
    if (c.status == lkOldFirmware) {
        EXPECT_EQ(link->OpenWaitTicks(), 40);
        Ticks(40 + 1); // refused again at every attempt
        EXPECT_EQ(transport->Opens(), 2);
        EXPECT_EQ(link->GetLinkStatus(), lkOldFirmware);
        EXPECT_EQ(adapter->Counters().release, c.release ? 2 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Link, AdapterVersion,
    ::testing::Values(VersionCase { "v1_03", 0x0103, phPoll, lkAdapterReady, false, 0x0103 },
                      VersionCase { "v1_02", 0x0102, phSearch, lkOldFirmware, false, 0x0102 },
                      VersionCase { "v0_40", 0x0040, phSearch, lkOldFirmware, true, 0x0040 },
                      VersionCase { "high_half", 0x10000, phPoll, lkAdapterReady, false, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkEngine, VersionIsKeptAfterTheAdapterIsLost)
{
    EXPECT_EQ(link->GetAdapterVersion(), 0);
    OpenAndPoll();
    transport->SetPlugged(false);
    Ticks(2);
    EXPECT_EQ(link->GetLinkStatus(), lkNoAdapter);
    EXPECT_EQ(link->GetAdapterVersion(), 0x0171);
}

TEST_F(LinkEngine, ReceivedFramesReachTheRingAndHoldStatusThree)
{
    OpenAndPoll();
    Feed({ 0x02, 0x11, 0x22, 0x04 });
    Ticks(2);
    EXPECT_EQ(link->GetLinkStatus(), lkReceiving);
    EXPECT_EQ(announcements, 1);
    TLinkMsg m;
    ASSERT_TRUE(link->DequeueRx(m));
    EXPECT_EQ(m.Type, mtFrame);
    ASSERT_EQ(m.Len, 4);
    EXPECT_EQ(m.Data[1], 0x11);
    EXPECT_FALSE(link->DequeueRx(m));
    // Ten quiet passes later the status falls back to 2.
    Ticks(2 * 9);
    EXPECT_EQ(link->GetLinkStatus(), lkReceiving);
    Ticks(2);
    EXPECT_EQ(link->GetLinkStatus(), lkAdapterReady);
}

TEST_F(LinkEngine, EmptyReceivedRecordIsSkipped)
{
    OpenAndPoll();
    const uint8_t empty[2] = { 3, 0 };
    adapter->QueueMessage(empty, 2);
    Feed({ 0x15, 0x04 });
    Ticks(2);
    TLinkMsg m;
    ASSERT_TRUE(link->DequeueRx(m));
    EXPECT_EQ(m.Len, 2);
    EXPECT_EQ(m.Data[0], 0x15);
}

TEST_F(LinkEngine, FullReceiveRingStopsPolling)
{
    OpenAndPoll();
    for (int i = 0; i < 12; ++i)
        Feed({ uint8_t(i) });
    Ticks(2);
    EXPECT_EQ(adapter->PendingMessages(), 3u);
    const int polls = adapter->Counters().poll;
    Ticks(2);
    EXPECT_EQ(adapter->Counters().poll, polls);
    TLinkMsg m;
    int n = 0;
    while (link->DequeueRx(m))
        EXPECT_EQ(m.Data[0], n++);
    EXPECT_EQ(n, 9);
}

struct OddCount {
    const char* name;
    int32_t count;
};

void PrintTo(const OddCount& c, std::ostream* os)
{
    *os << c.name;
}

class OddPollCount : public LinkFixture, public ::testing::WithParamInterface<OddCount> {};

TEST_P(OddPollCount, ReleasesTheAdapterWithoutOverrun)
{
    OpenAndPoll();
    Feed({ 1, 2, 3 });
    adapter->SetPollCountOverride(GetParam().count);
    Ticks(2);
    EXPECT_EQ(link->GetLinkStatus(), lkNoAdapter);
    EXPECT_EQ(link->OpenWaitTicks(), 40);
    TLinkMsg m;
    EXPECT_FALSE(link->DequeueRx(m));
    adapter->SetPollCountOverride(-1);
    Ticks(40 + 2);
    EXPECT_EQ(link->Phase(), phInfo);
    Feed({ 9 });
    Ticks(2);
    EXPECT_EQ(link->GetLinkStatus(), lkReceiving);
}

INSTANTIATE_TEST_SUITE_P(Link, OddPollCount,
                         ::testing::Values(OddCount { "zero", 0 }, OddCount { "one", 1 },
                                           OddCount { "sixty_seven", 67 },
                                           OddCount { "huge", 1 << 30 }),
                         [](const auto& info) { return std::string(info.param.name); });

struct LossCase {
    const char* name;
    uint32_t fault;
    bool unplug;
    int reopenTicks;
};

void PrintTo(const LossCase& c, std::ostream* os)
{
    *os << c.name;
}

class AdapterLoss : public LinkFixture, public ::testing::WithParamInterface<LossCase> {};

TEST_P(AdapterLoss, DuringPollingGivesStatusZeroAndTheReopenDelay)
{
    const LossCase& c = GetParam();
    OpenAndPoll();
    Feed({ 1, 2, 3, 4, 5, 6 });
    Ticks(1); // the information block; the next tick polls
    adapter->SetFaults(c.fault);
    if (c.unplug)
        transport->SetPlugged(false);
    Ticks(1);
    EXPECT_EQ(link->GetLinkStatus(), lkNoAdapter);
    EXPECT_EQ(link->Phase(), phSearch);
    EXPECT_EQ(link->OpenWaitTicks(), c.reopenTicks);
    EXPECT_EQ(transport->Closes(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Link, AdapterLoss,
    ::testing::Values(LossCase { "unplugged", TSimAdapter::fNone, true, 80 },
                      LossCase { "poll_fails", TSimAdapter::fFailPoll, false, 80 },
                      LossCase { "fetch_fails", TSimAdapter::fFailFetch, false, 40 },
                      LossCase { "read_times_out_part_way", TSimAdapter::fPartialRead, false, 40 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkEngine, InformationFailureReleasesAfterFortyTicks)
{
    Ticks(4);
    adapter->SetFaults(TSimAdapter::fFailInfo);
    Ticks(1);
    EXPECT_EQ(link->GetLinkStatus(), lkNoAdapter);
    EXPECT_EQ(link->OpenWaitTicks(), 40);
}

TEST_F(LinkEngine, QueuedRecordsAreSentAsTheirTypeSays)
{
    OpenAndPoll();
    ASSERT_TRUE(link->EnqueueTx(Record(3, { 0x01, 0xFF, 0x04 })));
    ASSERT_TRUE(link->EnqueueTx(Record(2, { 0xAA })));
    ASSERT_TRUE(link->EnqueueTx(Record(5, { 0xBB })));
    link->WaitIdle();
    const auto sent = adapter->SentRecords();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], (std::vector<uint8_t> { 3, 3, 0x01, 0xFF, 0x04 }));
    EXPECT_EQ(sent[1].size(), 16u); // a type-2 record goes out as 16 bytes whatever its Len
    EXPECT_EQ(sent[1][2], 0xAA);
    EXPECT_EQ(adapter->Counters().send, 2); // the type-5 record went nowhere
    // The type-5 record was consumed: nothing is left to send.
    const int txReady = adapter->Counters().txReady;
    Ticks(2);
    EXPECT_EQ(adapter->Counters().txReady, txReady);
}

TEST_F(LinkEngine, RecordLongerThanItsDataIsRefused)
{
    OpenAndPoll();
    TLinkMsg record = Record(3, { 0x01, 0xFF, 0x04 });
    record.Len = 65;
    EXPECT_FALSE(link->EnqueueTx(record));
    EXPECT_EQ(link->TxFreeSlots(), 9);
    record.Len = 64; // a full record is fine
    EXPECT_TRUE(link->EnqueueTx(record));
    link->WaitIdle();
    const auto sent = adapter->SentRecords();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].size(), 66u);
}

TEST_F(LinkEngine, ReceivedRecordClaimingMoreThanCameIsDropped)
{
    OpenAndPoll();
    const uint8_t claims[] = { 3, 40, 0x06, 0x10 }; // Len 40, two bytes came
    adapter->QueueMessage(claims, sizeof claims);
    Feed({ 0x15, 0x04 });
    Ticks(2);
    EXPECT_EQ(link->Phase(), phInfo) << "the link goes on";
    EXPECT_EQ(link->GetLinkStatus(), lkReceiving);
    TLinkMsg m;
    ASSERT_TRUE(link->DequeueRx(m));
    ASSERT_EQ(m.Len, 2);
    EXPECT_EQ(m.Data[0], 0x15);
    EXPECT_FALSE(link->DequeueRx(m));
}

TEST_F(LinkEngine, WithdrawnRecordsNeverGoOut)
{
    OpenAndPoll();
    transport->SetPlugged(false);
    Ticks(2);
    ASSERT_EQ(link->GetLinkStatus(), lkNoAdapter);
    ASSERT_TRUE(link->EnqueueTx(Record(3, { 0x11 })));
    ASSERT_TRUE(link->EnqueueTx(Record(3, { 0x22 })));
    link->WithdrawTx();
    ASSERT_TRUE(link->EnqueueTx(Record(3, { 0x33 })));
    transport->SetPlugged(true);
    Ticks(80 + 4);
    const auto sent = adapter->SentRecords();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][2], 0x33);
    EXPECT_EQ(link->TxFreeSlots(), 9);
}

TEST_F(LinkEngine, EachOpenTellsWhenItsInformationHasBeenRead)
{
    EXPECT_EQ(link->OpenCount(), 0u);
    Ticks(4);
    EXPECT_EQ(link->OpenCount(), 1u);
    EXPECT_EQ(link->InfoOpenCount(), 0u) << "opened, not read yet";
    Ticks(1);
    EXPECT_EQ(link->InfoOpenCount(), 1u);
    // Another adapter, version 0: refused, and its version known for that open.
    transport->SetPlugged(false);
    Ticks(2);
    adapter->SetVersion(0);
    transport->SetPlugged(true);
    Ticks(80 + 1);
    EXPECT_EQ(link->OpenCount(), 2u);
    EXPECT_EQ(link->InfoOpenCount(), 2u);
    EXPECT_EQ(link->GetLinkStatus(), lkOldFirmware);
    EXPECT_EQ(link->GetAdapterVersion(), 0);
}

TEST_F(LinkEngine, FaultWhileShuttingDownGoesToStandardError)
{
    bool reported = false;
    link->OnFault = [&](const QString&) { reported = true; };
    OpenAndPoll();
    transport->SetThrowOnClose(true);
    testing::internal::CaptureStderr();
    link.reset();
    const std::string err = testing::internal::GetCapturedStderr();
    QCoreApplication::processEvents();
    EXPECT_NE(err.find("Simulated fault while closing the adapter"), std::string::npos) << err;
    EXPECT_FALSE(reported);
}

TEST_F(LinkEngine, EmptyRecordIsNotQueued)
{
    OpenAndPoll();
    TLinkMsg empty;
    empty.Type = 3;
    EXPECT_TRUE(link->EnqueueTx(empty));
    link->WaitIdle();
    EXPECT_EQ(adapter->Counters().txReady, 0);
}

TEST_F(LinkEngine, BusyAdapterKeepsTheRecordForTheNextStep)
{
    OpenAndPoll();
    adapter->SetFaults(TSimAdapter::fTxBusy);
    link->EnqueueTx(Record(3, { 0x42 }));
    Ticks(2);
    EXPECT_TRUE(adapter->SentRecords().empty());
    adapter->SetFaults(TSimAdapter::fNone);
    Ticks(2);
    ASSERT_EQ(adapter->SentRecords().size(), 1u);
    EXPECT_EQ(adapter->SentRecords()[0][2], 0x42);
}

TEST_F(LinkEngine, RecordsWaitWhileSearchingAndTheRingHoldsNine)
{
    transport->SetPlugged(false);
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(link->EnqueueTx(Record(3, { uint8_t(i) })));
    EXPECT_FALSE(link->EnqueueTx(Record(3, { 99 })));
    Ticks(4);
    transport->SetPlugged(true);
    Ticks(40);
    ASSERT_EQ(link->GetLinkStatus(), lkAdapterReady);
    EXPECT_EQ(adapter->SentRecords().size(), 0u); // the open alone sends nothing
    Ticks(2 * 9);
    const auto sent = adapter->SentRecords();
    ASSERT_EQ(sent.size(), 9u);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(sent[i][2], i) << "record " << i;
}

TEST_F(LinkEngine, FailedSendKeepsTheRecordAndTheStatus)
{
    OpenAndPoll();
    Feed({ 1 });
    Ticks(2);
    ASSERT_EQ(link->GetLinkStatus(), lkReceiving);
    adapter->SetFaults(TSimAdapter::fFailBulkWrite);
    link->EnqueueTx(Record(3, { 0x77 }));
    link->WaitIdle();
    EXPECT_EQ(link->Phase(), phSearch);
    EXPECT_EQ(link->GetLinkStatus(), lkReceiving);
    EXPECT_EQ(link->OpenWaitTicks(), 80);
    adapter->SetFaults(TSimAdapter::fNone);
    Ticks(80 + 2);
    ASSERT_EQ(adapter->SentRecords().size(), 1u); // the retry after the reopen
    EXPECT_EQ(adapter->SentRecords()[0][2], 0x77);
}

TEST_F(LinkEngine, FaultInHandlerIsReportedAndTheLinkSearchesAgain)
{
    QString reported;
    link->OnFault = [&](const QString& m) { reported = m; };
    OpenAndPoll();
    Feed({ 1 });
    transport->SetThrowOnNextCall(true);
    Ticks(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(reported, QStringLiteral("Simulated adapter fault"));
    EXPECT_EQ(link->Phase(), phSearch);
    EXPECT_EQ(link->OpenWaitTicks(), 4);
    Ticks(4);
    EXPECT_EQ(transport->Opens(), 2);
}

TEST_F(LinkEngine, DestructionWaitsForTheRunningHandler)
{
    OpenAndPoll();
    const int infos = adapter->Counters().info;
    // The next primitive holds the link thread inside its transfer until the test lets it go.
    std::latch inTransfer(1);
    std::latch letGo(1);
    std::atomic<int> held { 0 };
    transport->SetDelayClock([&](int) {
        if (held.fetch_add(1) == 0) {
            inTransfer.count_down();
            letGo.wait();
        }
    });
    transport->SetDelayMs(1);
    link->Tick();
    inTransfer.wait(); // the handler is in a transfer
    // Let go from another thread, which mostly gets to run only once the destruction has begun;
    // either way the handler's request must be complete when the link is gone.
    std::thread release([&] { letGo.count_down(); });
    link.reset();
    release.join();
    // The information request the handler was making went through before the link ended.
    EXPECT_EQ(adapter->Counters().info, infos + 1);
}

// Eats the link's queued calls to serve a hand-over and counts them: the link thread has
// stored records and nobody serves them.
class THandOverCatcher : public QObject {
public:
    bool came = false;
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::MetaCall)
            return false;
        came = true;
        ++count;
        return true;
    }
};

TEST_F(LinkEngine, DestructionEndsWhileAHandOverIsUnserved)
{
    OpenAndPoll();
    Feed({ 1, 2, 3 });
    THandOverCatcher catcher;
    link->installEventFilter(&catcher);
    link->Tick();
    link->Tick(); // a poll pass that stores a record and posts its hand-over
    // The wait ends when the post arrives.
    QDeadlineTimer limit(5000);
    while (!catcher.came && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    ASSERT_TRUE(catcher.came);
    link.reset(); // must not wait for a hand-over nobody serves
    EXPECT_EQ(adapter->Counters().fetch, 1);
}

// The link thread goes on polling while the user-interface thread has not served the records
// yet: one call is posted however many passes store records, and that one call serves them all.
TEST_F(LinkEngine, PollPassesGoOnWhileAHandOverIsUnserved)
{
    OpenAndPoll();
    THandOverCatcher catcher;
    link->installEventFilter(&catcher);
    int fetched = 0;
    for (uint8_t b : { 0x11, 0x22, 0x33 }) {
        Feed({ 0x02, b, 0x04 });
        link->Tick();
        link->Tick();
        ++fetched;
        QDeadlineTimer limit(5000);
        while (adapter->Counters().fetch < fetched && !limit.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        ASSERT_EQ(adapter->Counters().fetch, fetched) << int(b);
    }
    QDeadlineTimer limit(5000);
    while (!catcher.came && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    QCoreApplication::processEvents(); // a second post, were there one, would be eaten here
    link->removeEventFilter(&catcher);
    EXPECT_EQ(catcher.count, 1);
    EXPECT_EQ(announcements, 0);
    link->WaitIdle(); // serves the flag the eaten call left raised
    EXPECT_EQ(announcements, 1);
    for (uint8_t b : { 0x11, 0x22, 0x33 }) {
        TLinkMsg m;
        ASSERT_TRUE(link->DequeueRx(m)) << int(b);
        EXPECT_EQ(m.Data[1], b);
    }
}

// The point is the real 25 ms timer: the loop waits for its events, four ticks of real time.
TEST_F(LinkEngine, TicksRunOnTheTimerWhenNotDrivenByHand)
{
    link.reset();
    TKorvelComm::TTransports ts;
    ts.push_back(std::make_unique<TSimTransport>(adapter));
    TKorvelComm timed(std::move(ts));
    QDeadlineTimer limit(5000);
    while (timed.GetLinkStatus() != lkAdapterReady && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(timed.GetLinkStatus(), lkAdapterReady);
}

} // namespace

namespace {

// The nice values of this process's threads, from /proc.
std::vector<int> ThreadNiceValues()
{
    std::vector<int> values;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream stat(task.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // The fields after the command's closing parenthesis; nice is the 19th field in all.
        std::istringstream rest(line.substr(line.rfind(')') + 2));
        std::string field;
        for (int i = 3; i <= 19 && rest >> field; ++i) {
            if (i == 19)
                values.push_back(std::stoi(field));
        }
    }
    return values;
}

} // namespace

TEST_F(LinkEngine, ThreadAsksForTheHighestPriorityAndRunsEitherWay)
{
    // Whether a thread of this process may take the highest priority at all.
    int granted = -1;
    std::thread([&granted] { granted = setpriority(PRIO_PROCESS, gettid(), -20); }).join();
    Ticks(4);
    EXPECT_EQ(link->GetLinkStatus(), lkAdapterReady);
    const std::vector<int> nice = ThreadNiceValues();
    EXPECT_EQ(std::count(nice.begin(), nice.end(), -20), granted == 0 ? 1 : 0);
}
