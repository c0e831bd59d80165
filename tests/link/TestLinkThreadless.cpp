// A link built without its thread runs the same handlers on the caller's thread: driven by the
// same ticks against the same adapter, it must go through the same phases and statuses, deliver
// the same records and send the same bytes as the link with its thread.

#include "link/TKorvelComm.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimTransport.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct LinkRig {
    explicit LinkRig(bool ownThread)
    {
        adapter = std::make_shared<TSimAdapter>();
        auto t = std::make_unique<TSimTransport>(adapter);
        transport = t.get();
        TKorvelComm::TTransports ts;
        ts.push_back(std::move(t));
        TKorvelComm::TOptions options;
        options.autoTick = false;
        options.ownThread = ownThread;
        link = std::make_unique<TKorvelComm>(std::move(ts), options);
        link->OnLinkData = [this] {
            TLinkMsg msg;
            while (link->DequeueRx(msg))
                trace.push_back("  rx type " + std::to_string(msg.Type) + " len "
                                + std::to_string(msg.Len));
        };
        link->OnFault = [this](const QString& m) { trace.push_back("  fault " + m.toStdString()); };
    }

    void Feed(std::vector<uint8_t> bytes) { adapter->FeedSerial(bytes.data(), bytes.size()); }
    void Send(uint8_t type, uint8_t len)
    {
        TLinkMsg msg;
        msg.Type = type;
        msg.Len = len;
        trace.push_back(std::string("  queued ") + (link->EnqueueTx(msg) ? "yes" : "no"));
    }

    std::shared_ptr<TSimAdapter> adapter;
    TSimTransport* transport = nullptr;
    std::unique_ptr<TKorvelComm> link;
    std::vector<std::string> trace;
};

struct Step {
    int tick; // before this tick
    std::function<void(LinkRig&)> act;
};

struct Scenario {
    const char* name;
    int ticks;
    std::vector<Step> steps;
    const char* mustSee; // a trace line that shows the scenario reached its point
};

void PrintTo(const Scenario& s, std::ostream* os)
{
    *os << s.name;
}

std::vector<std::string> Trace(const Scenario& s, bool ownThread)
{
    LinkRig rig(ownThread);
    for (int tick = 0; tick < s.ticks; ++tick) {
        for (const Step& step : s.steps)
            if (step.tick == tick)
                step.act(rig);
        // What a step posted (a send) is handled before the tick in both links: a link thread
        // would otherwise take it before or after the tick's countdown as it happens to run.
        rig.link->WaitIdle();
        rig.link->Tick();
        rig.link->WaitIdle();
        QCoreApplication::processEvents(); // fault reports arrive as queued calls
        rig.trace.push_back(std::to_string(tick) + ": phase " + std::to_string(rig.link->Phase())
                            + " status " + std::to_string(rig.link->GetLinkStatus()) + " wait "
                            + std::to_string(rig.link->OpenWaitTicks()) + " version "
                            + std::to_string(rig.link->GetAdapterVersion()));
    }
    for (const auto& record : rig.adapter->SentRecords())
        rig.trace.push_back("sent " + std::to_string(record.size()) + " bytes");
    return rig.trace;
}

class ThreadlessLink : public ::testing::TestWithParam<Scenario> {};

TEST_P(ThreadlessLink, FollowsTheThreadedLinkTickForTick)
{
    const Scenario& s = GetParam();
    const std::vector<std::string> threaded = Trace(s, true);
    const std::vector<std::string> threadless = Trace(s, false);
    EXPECT_EQ(threadless, threaded) << s.name;
    EXPECT_NE(std::find(threaded.begin(), threaded.end(), s.mustSee), threaded.end()) << s.name;
}

const Scenario kScenarios[] = {
    { "receives_and_sends", 20,
      { { 5, [](LinkRig& r) { r.Feed({ 0x02, 0x11, 0x04, 0x06, 0x04 }); } },
        { 7, [](LinkRig& r) { r.Send(3, 5); r.Send(2, 1); r.Send(7, 3); } },
        { 9, [](LinkRig& r) { for (int i = 0; i < 12; ++i) r.Feed({ uint8_t(i) }); } } },
      "sent 16 bytes" },
    { "unplugged_while_polling", 130,
      { { 6, [](LinkRig& r) { r.Feed({ 1, 2, 3 }); } },
        { 8, [](LinkRig& r) { r.transport->SetPlugged(false); r.Send(3, 2); } },
        { 60, [](LinkRig& r) { r.transport->SetPlugged(true); } } },
      "sent 4 bytes" },
    { "failing_adapter", 200,
      { { 6,
          [](LinkRig& r) {
              r.Feed({ 9, 9 });
              r.adapter->SetFaults(TSimAdapter::fPartialRead);
          } },
        { 60, [](LinkRig& r) { r.adapter->SetFaults(TSimAdapter::fFailPoll); } },
        { 150,
          [](LinkRig& r) {
              r.adapter->SetFaults(TSimAdapter::fFailBulkWrite);
              r.Send(3, 4);
          } } },
      "  queued yes" },
    { "old_firmware", 50, { { 0, [](LinkRig& r) { r.adapter->SetVersion(0x0040); } } },
      "45: phase 0 status 1 wait 40 version 64" },
    { "fault_in_a_handler", 20,
      { { 6, [](LinkRig& r) { r.transport->SetThrowOnNextCall(true); } } },
      "6: phase 0 status 2 wait 4 version 369" },
};

INSTANTIATE_TEST_SUITE_P(Link, ThreadlessLink, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
