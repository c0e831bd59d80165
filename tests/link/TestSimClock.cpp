#include "LinkFixture.h"

#include "demo/TSimClock.h"
#include "sim/TSimController.h"

#include <memory>

// The demo's simulated controller, its clock moved by the link's own calls to the simulated
// adapter (no timer of its own): it runs with the real time whenever the link asks, and what it
// sent meanwhile waits in the adapter.
namespace {

class SimClockOnTheLink : public LinkFixture {
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        controller = std::make_unique<TSimController>(adapter);
        clock = std::make_unique<TSimClock>(*controller, [this] { return realMs; });
        transport->SetBeforeCall(clock->Stepper());
    }
    void TearDown() override { link.reset(); } // the link goes before the controller

    // Link ticks, the real time moving on by one tick's length with each; the received records
    // are taken after each, as the window does.
    void Run(int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            realMs += TKorvelComm::kTickMs;
            Ticks(1);
            for (TLinkMsg m; link->DequeueRx(m);)
                received += m.Type == 3;
        }
    }

    int64_t realMs = 5000;
    int received = 0;
    std::unique_ptr<TSimController> controller;
    std::unique_ptr<TSimClock> clock;
};

TEST_F(SimClockOnTheLink, TheControllerRunsWithTheRealTimeTheLinkAsksAt)
{
    realMs += 700;
    EXPECT_EQ(controller->NowMs(), 0u) << "nothing moves it before the start";
    clock->Start();
    realMs += 300;
    EXPECT_EQ(controller->NowMs(), 0u) << "no timer moves it; the link has not asked yet";

    Run(4); // the first open attempt, 100 ms after the link's start
    ASSERT_EQ(transport->Attempts(), 1);
    EXPECT_EQ(controller->NowMs(), 400u) << "the whole time since the start, at the attempt";

    Run(40); // a second of information requests and poll passes
    EXPECT_EQ(link->GetLinkStatus(), lkReceiving);
    EXPECT_EQ(controller->NowMs(), 1400u);
    EXPECT_GE(received, 15) << "about 20 telemetry frames a second reach the link";

    clock->Stop();
    Run(8);
    EXPECT_EQ(controller->NowMs(), 1400u) << "a stopped clock stays where it is";
}

TEST_F(SimClockOnTheLink, OpenAttemptsOfAMissingAdapterMoveItToo)
{
    clock->Start();
    transport->SetPlugged(false);
    Run(4 + 40); // attempts after 100 ms and every second after that
    ASSERT_EQ(transport->Attempts(), 2);
    EXPECT_EQ(controller->NowMs(), 1100u);
}

} // namespace
