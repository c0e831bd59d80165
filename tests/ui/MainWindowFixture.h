#pragma once

// The program's seven windows on the simulated KORVEL-CONNECT adapter with the simulated Orbel
// controller on its serial line, put together as the demo does: the real link, the real
// protocol, the window's own timer handlers and the dialogs all run unchanged. One stepped
// clock drives them all: the link's 25 ms tick (the link without its thread, unless a test
// asks for it), the window's supervision and Timer1 ticks, the controller's clock and every
// wait of an exchange or of the load-progress dialog. Time passes only in the rig's helpers
// and in those waits, and costs no real time.
//
// Use MainWindowFixture as a test fixture, or MainWindowRig on its own (in a fixture of your
// own, or several in one test). Link the test with brevon_ui and brevon_demo_rig; the test
// main must be MAIN widgets.
//
// The window's message boxes are not shown: their texts are collected in warnings (the adapter
// firmware warning), faults (a fault inside the link) and notices (the supervision's), and the
// questions about unsent edits are answered by unsentAnswer and saveAnswer.
//
// The advanced options live in a settings file of the rig's own, never in the user's store;
// the catalogs are looked for below the test program's folder, which holds none, unless the
// options name another folder.

#include "link/TKorvelComm.h"
#include "protocol/TControlSet.h"
#include "protocol/TControllerProtocol.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimController.h"
#include "sim/TSimTransport.h"
#include "ui/main/TMainForm.h"
#include "session/TSupervision.h"
#include "ui/main/TWindowSet.h"
#include "ui/memory/TMemoryOps.h"

#include "TSteppedClock.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

class MainWindowRig {
public:
    struct TOptions {
        uint16_t controllerVersion = TSimController::kDefaultVersion; // 0x0104
        uint32_t adapterVersion = 0x0171;
        bool startClock = true; // the controller's clock runs: a telemetry frame every 50 ms
        bool linkThread = false; // the link runs on its own thread (tests about that thread)
        bool show = true;       // the main window is shown (offscreen)
        QString settingsFile;   // empty: Brevon.conf in a temporary folder of the rig's own
        QString catalogBaseDir; // the folder that holds locale/; empty: the test's folder
    };

    MainWindowRig() : MainWindowRig(TOptions {}) {}

    explicit MainWindowRig(TOptions options)
        : FAdapter(std::make_shared<TSimAdapter>())
        , FController(std::make_unique<TSimController>(FAdapter))
        , FTelemetryRunning(options.startClock)
    {
        FAdapter->SetVersion(options.adapterVersion);
        FController->SetVersion(options.controllerVersion);
        TMainForm::TOptions windowOptions;
        windowOptions.settingsFile = options.settingsFile.isEmpty()
            ? FSettingsDir.filePath(QStringLiteral("Brevon.conf"))
            : options.settingsFile;
        windowOptions.catalogBaseDir = options.catalogBaseDir;
        windowOptions.link.autoTick = false;
        windowOptions.link.ownThread = options.linkThread;
        FWindows = std::make_unique<TWindowSet>(
            [this] {
                auto t = std::make_unique<TSimTransport>(FAdapter);
                FTransport = t.get();
                // A slow answer holds the link, not the clock: the ticks go on queuing, and
                // the link takes them up once the answer's time has passed.
                t->SetDelayClock([this](int ms) {
                    FLinkBusyUntil = std::max(FLinkBusyUntil, FClock.NowMs()) + ms;
                });
                TKorvelComm::TTransports transports;
                transports.push_back(std::move(t));
                return transports;
            },
            windowOptions);
        window().ShowWarningBox = [this](const QString& text) { warnings.push_back(text); };
        window().ShowFaultBox = [this](const QString& text) { faults.push_back(text); };
        window().ShowNoticeBox = [this](const QString& text) { notices.push_back(text); };
        window().Session().AskUnsentEdits = [this](const std::vector<TUnsentEdit>& edits) {
            unsentAsked.push_back(edits);
            return unsentAnswer;
        };
        window().MemoryOps().AskSaveChoice = [this]() {
            ++saveAsked;
            return saveAnswer;
        };
        window().Protocol().SetWaitClock(&FClock);
        FClock.Every(TKorvelComm::kTickMs, [this] {
            if (TKorvelComm* l = link()) {
                l->Tick();
                if (FClock.NowMs() >= FLinkBusyUntil)
                    l->WaitIdle();
            }
        });
        FClock.Drive(window().TimerRefreshCtrlSet(), [this] { window().TimerRefreshCtrlSetTimer(); });
        FClock.Drive(window().Timer1(), [this] { window().Timer1Timer(); });
        FClock.Follow([this](int ms) {
            if (FTelemetryRunning)
                FController->Advance(ms);
        });
        if (options.show)
            window().show();
    }

    // The link goes before the controller that sits on its adapter.
    ~MainWindowRig() { FWindows.reset(); }

    MainWindowRig(const MainWindowRig&) = delete;
    MainWindowRig& operator=(const MainWindowRig&) = delete;

    TWindowSet& windows() { return *FWindows; }
    TMainForm& window() { return FWindows->MainForm(); }
    TSimAdapter& adapter() { return *FAdapter; }
    TSimController& controller() { return *FController; }
    TSteppedClock& clock() { return FClock; }
    // Valid while the link exists (until the window closes).
    TSimTransport& transport() { return *FTransport; }
    TKorvelComm* link() { return window().Link(); }
    TControllerProtocol& protocol() { return window().Protocol(); }
    TControlSet& controlSet() { return window().ControlSet(); }
    TSupervision& supervision() { return window().Supervision(); }

    // Lets `ms` pass on the rig's clock.
    void PumpFor(int ms) { FClock.Advance(ms); }

    // Runs the rig's clock until `done` holds, at most `limitMs` of it; tells whether it held.
    bool RunUntil(const std::function<bool()>& done, int limitMs = kDefaultLimitMs)
    {
        return FClock.RunUntil(done, limitMs);
    }

    // Until the link receives (status 3) and the supervision has read the control set and the
    // controller's firmware version, with no exchange left waiting.
    bool RunUntilReceiving(int limitMs = kDefaultLimitMs)
    {
        return RunUntil(
            [this] {
                return link() && link()->GetLinkStatus() == lkReceiving
                    && supervision().LastLinkStatus() == lkReceiving
                    && protocol().ControllerVersion() != 0 && !protocol().ExchangeBusy()
                    && controller().CommandsReceived(0x20) > 0
                    && controlSet().Device().ToBytes() == controller().ControlSet();
            },
            limitMs);
    }

    // Until `count` more telemetry frames have been handled.
    bool RunFrames(int count, int limitMs = kDefaultLimitMs)
    {
        const uint32_t until = protocol().Telemetry().FramesHandled() + uint32_t(count);
        return RunUntil([this, until] { return protocol().Telemetry().FramesHandled() >= until; },
                        limitMs);
    }

    // Stops the controller's clock, and with it the telemetry, and handles what was already
    // on its way.
    void StopTelemetry()
    {
        FTelemetryRunning = false;
        PumpFor(150);
    }
    void StartTelemetry() { FTelemetryRunning = true; }

    // The records the PC sent from `from` on.
    std::vector<std::vector<uint8_t>> SentSince(size_t from) const
    {
        const auto all = FAdapter->SentRecords();
        return { all.begin() + std::min(from, all.size()), all.end() };
    }

    // A ceiling on the rig's clock: every helper returns as soon as its condition holds.
    static constexpr int kDefaultLimitMs = 5000;

    std::vector<QString> warnings; // firmware warnings the window raised
    std::vector<QString> faults;   // link faults the window reported
    std::vector<QString> notices;  // the supervision's notices
    // The questions about unsent edits: what they offered, and how the rig answers them.
    std::vector<std::vector<TUnsentEdit>> unsentAsked;
    TMemoryOps::TUnsentChoice unsentAnswer = TMemoryOps::TUnsentChoice::Discard;
    int saveAsked = 0;
    std::optional<TSaveChoice> saveAnswer = TSaveChoice::OnScreen;

private:
    TSteppedClock FClock; // first made, last gone: the windows wait on it
    QTemporaryDir FSettingsDir;
    std::shared_ptr<TSimAdapter> FAdapter;
    std::unique_ptr<TSimController> FController;
    bool FTelemetryRunning;
    int64_t FLinkBusyUntil = 0; // a slow adapter holds the link until then
    TSimTransport* FTransport = nullptr;
    std::unique_ptr<TWindowSet> FWindows;
};

// A fresh rig per test. Override RigOptions for other versions or a stopped clock.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override { FRig = std::make_unique<MainWindowRig>(RigOptions()); }
    void TearDown() override { FRig.reset(); }
    virtual MainWindowRig::TOptions RigOptions() const { return {}; }

    MainWindowRig& rig() { return *FRig; }
    TWindowSet& windows() { return FRig->windows(); }
    TMainForm& window() { return FRig->window(); }
    TSimAdapter& adapter() { return FRig->adapter(); }
    TSimController& controller() { return FRig->controller(); }
    TSimTransport& transport() { return FRig->transport(); }
    TKorvelComm* link() { return FRig->link(); }
    TControllerProtocol& protocol() { return FRig->protocol(); }
    TControlSet& controlSet() { return FRig->controlSet(); }
    void PumpFor(int ms) { FRig->PumpFor(ms); }
    bool RunUntil(const std::function<bool()>& done, int limitMs = MainWindowRig::kDefaultLimitMs)
    {
        return FRig->RunUntil(done, limitMs);
    }
    bool RunUntilReceiving() { return FRig->RunUntilReceiving(); }
    // The control set the simulated controller holds.
    CtrlSet HeldByController() { return CtrlSet::FromBytes(controller().ControlSet().data()); }

private:
    std::unique_ptr<MainWindowRig> FRig;
};
