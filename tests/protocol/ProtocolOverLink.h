#pragma once

// The program's protocol wiring over the real link engine, the simulated adapter and the
// simulated controller, as a test fixture; and a telemetry view that keeps the controller text.

#include "link/TKorvelComm.h"
#include "protocol/TControllerProtocol.h"
#include "protocol/TTelemetryView.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimController.h"
#include "sim/TSimTransport.h"

#include "TSteppedClock.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using TBytes = std::vector<uint8_t>;

// Only the controller text matters to these tests.
class TTextView : public TTelemetryView {
public:
    std::string controllerText;
    void ShowControllerText(QLatin1String text) override
    {
        controllerText.assign(text.data(), size_t(text.size()));
    }
    void ShowFuel(bool) override {}
    void ShowLambda(int, QLatin1String) override {}
    void ShowTps(int, QLatin1String) override {}
    void ShowRpm(double, QLatin1String) override {}
    void ShowValve(QLatin1String, double, double) override {}
    void AddLambdaPoint(double, double) override {}
    void AddLambdaSimPoint(double, double) override {}
    void ClearLambdaSim() override {}
};

// The program's wiring, with the simulated adapter as the transport. One stepped clock runs
// the link's 25 ms tick (the link without its thread), the controller's clock and the
// exchange's waits: no real time passes.
class ProtocolOverLink : public ::testing::Test {
public: // the members are the tests' own: tables of cases reach them too
    void SetUp() override
    {
        TKorvelComm::TTransports ts;
        ts.push_back(std::make_unique<TSimTransport>(adapter));
        link = std::make_unique<TKorvelComm>(std::move(ts), TKorvelComm::TOptions { false, false });
        link->OnLinkData = [this] { protocol.ReceiveFrames(); };
        protocol.SetLink(link.get());
        protocol.SetTelemetryView(&view);
        protocol.SetWaitClock(&clock);

        clock.Every(TKorvelComm::kTickMs, [this] {
            if (link) {
                link->Tick();
                link->WaitIdle();
            }
        });
        clock.Follow([this](int ms) {
            if (controllerRunning)
                controller.Advance(ms);
        });
        ASSERT_TRUE(WaitFor([this] { return link->GetLinkStatus() == lkReceiving; }, 3000));
    }

    void TearDown() override
    {
        protocol.SetLink(nullptr);
        link.reset(); // before the controller: the link calls into it
    }

    // Runs the clock until `done` holds, at most `ms` of it.
    bool WaitFor(const std::function<bool()>& done, int ms) { return clock.RunUntil(done, ms); }

    int32_t Request(const TBytes& payload, uint8_t* answer = nullptr, uint8_t* type = nullptr)
    {
        return protocol.SendRequest(payload.data(), int(payload.size()), answer, type);
    }

    TSteppedClock clock; // first made, last gone: the protocol waits on it
    std::shared_ptr<TSimAdapter> adapter = std::make_shared<TSimAdapter>();
    TSimController controller { adapter };
    std::unique_ptr<TKorvelComm> link;
    TControllerProtocol protocol;
    TTextView view;
    bool controllerRunning = true; // the controller's clock moves with the rig's
};
