#pragma once

// The program's protocol wiring over the real link engine, the simulated adapter and the
// simulated controller, as a test fixture; and a telemetry view that keeps the controller text.

#include "link/TKorvelComm.h"
#include "protocol/TControllerProtocol.h"
#include "protocol/TTelemetryView.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimController.h"
#include "sim/TSimTransport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

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

// The program's wiring, with the simulated adapter as the transport and the controller's clock
// following real time from a timer, as the demo runs it.
class ProtocolOverLink : public ::testing::Test {
public: // the members are the tests' own: tables of cases reach them too
    void SetUp() override
    {
        TKorvelComm::TTransports ts;
        ts.push_back(std::make_unique<TSimTransport>(adapter));
        link = std::make_unique<TKorvelComm>(std::move(ts), TKorvelComm::TOptions { true });
        link->OnLinkData = [this] { protocol.ReceiveFrames(); };
        protocol.SetLink(link.get());
        protocol.SetTelemetryView(&view);

        elapsed.start();
        connect(&clock, [this] {
            const qint64 now = elapsed.elapsed();
            controller.Advance(int(now - advancedTo));
            advancedTo = now;
        });
        clock.start(10);
        ASSERT_TRUE(WaitFor([this] { return link->GetLinkStatus() == lkReceiving; }, 3000));
    }

    void TearDown() override
    {
        clock.stop();
        protocol.SetLink(nullptr);
        link.reset(); // before the controller: the link thread calls into it
    }

    template <class Pred> static bool WaitFor(Pred done, int ms)
    {
        QDeadlineTimer deadline(ms);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
        return true;
    }

    static void connect(QTimer* timer, std::function<void()> f)
    {
        QObject::connect(timer, &QTimer::timeout, timer, std::move(f));
    }

    int32_t Request(const TBytes& payload, uint8_t* answer = nullptr, uint8_t* type = nullptr)
    {
        return protocol.SendRequest(payload.data(), int(payload.size()), answer, type);
    }

    std::shared_ptr<TSimAdapter> adapter = std::make_shared<TSimAdapter>();
    TSimController controller { adapter };
    std::unique_ptr<TKorvelComm> link;
    TControllerProtocol protocol;
    TTextView view;
    QTimer clock;
    QElapsedTimer elapsed;
    qint64 advancedTo = 0;
};

