// The cost of the link's work per tick through the simulated adapter: one poll pass that
// fetches a controller frame and hands it over, and one pass that finds nothing waiting.
#include "link/TKorvelComm.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimTransport.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

struct Rig {
    Rig()
    {
        adapter = std::make_shared<TSimAdapter>();
        TKorvelComm::TTransports ts;
        ts.push_back(std::make_unique<TSimTransport>(adapter));
        link = std::make_unique<TKorvelComm>(std::move(ts), TKorvelComm::TOptions { false });
        link->OnLinkData = [this] {
            TLinkMsg m;
            while (link->DequeueRx(m))
                ++records;
        };
        for (int i = 0; i < 5; ++i)
            Tick();
    }
    void Tick()
    {
        link->Tick();
        link->WaitIdle();
    }
    std::shared_ptr<TSimAdapter> adapter;
    std::unique_ptr<TKorvelComm> link;
    int64_t records = 0;
};

// A telemetry-sized frame: STX, 17 payload bytes, EOT.
const uint8_t kFrame[19] = { 0x02, 1, 0x18, 0, 0xCD, 0, 0, 0, 0x2C, 0x01, 0, 0, 0x9A, 0x01,
                             0xC4, 0x09, 0, 0, 0x04 };

void BM_PollPassWithFrame(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state) {
        rig.adapter->FeedSerial(kFrame, sizeof kFrame);
        rig.Tick(); // the information request
        rig.Tick(); // the poll pass: rqPoll, rqFetch, bulk read, hand-over
    }
    state.counters["records"] = double(rig.records);
    state.SetLabel("information tick + poll pass");
}
BENCHMARK(BM_PollPassWithFrame)->UseRealTime();

void BM_QuietPollPass(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state) {
        rig.Tick();
        rig.Tick();
    }
    state.SetLabel("information tick + empty poll pass");
}
BENCHMARK(BM_QuietPollPass)->UseRealTime();

} // namespace
