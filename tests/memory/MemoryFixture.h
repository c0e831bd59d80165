#pragma once

#include "link/TKorvelComm.h"
#include "protocol/TControlSet.h"
#include "protocol/TControllerProtocol.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimController.h"
#include "sim/TSimTransport.h"
#include "ui/dialogs/TControlRefresher.h"
#include "ui/dialogs/TMainDisplays.h"
#include "ui/main/TMainForm.h"
#include "session/TSupervision.h"
#include "ui/memory/TFLoadProg.h"
#include "ui/memory/TMemProtForm.h"
#include "ui/memory/TMemoryOps.h"
#include "ui/memory/TPassForm.h"
#include "session/TControllerSession.h"
#include "session/TPasswords.h"

#include "TSteppedClock.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The main window's displays as the memory operations see them: the edit guard and what the
// refresh puts on screen, recorded.
struct RecordingDisplays : TMainDisplays {
    bool editsEnabled = true;
    bool EditsEnabled() const override { return editsEnabled; }
    void SetEditsEnabled(bool e) override { editsEnabled = e; }
    uint16_t ControllerVersion() const override { return 0; }
    void SetLambdaScale(bool) override {}
    void SetLambdaSection1End(double) override {}
    void SetLambdaSection2End(double) override {}
    void SetLambdaLimit(int, double) override {}
    void SetCutOff(TCutOff, double, double) override {}
};

// A window refreshed after a read: remembers what the working copy held then, and whether the
// edit guard was off as it must be.
struct RecordingRefresher : TControlRefresher {
    explicit RecordingRefresher(TControlSet& s, RecordingDisplays& d) : set(s), displays(d) {}
    void RefreshControls() override
    {
        ++refreshes;
        seen = set.Working();
        guardWasOff = !displays.editsEnabled;
    }
    TControlSet& set;
    RecordingDisplays& displays;
    int refreshes = 0;
    CtrlSet seen;
    bool guardWasOff = false;
};

// What the supervision reports, recorded.
struct RecordingView {
    void Listen(TSupervision& s)
    {
        QObject::connect(&s, &TSupervision::LinkLed, [this](bool on) { linkLed = on; });
        QObject::connect(&s, &TSupervision::AdapterText,
                         [this](const QString& t) { adapterText = t; });
        QObject::connect(&s, &TSupervision::ControllerText,
                         [this](const QString& t) { controllerText = t; });
        QObject::connect(&s, &TSupervision::ControlLed,
                         [this](TSupervision::TControlLed mode, bool on) {
                             ledColor = TMainForm::ControlLedColor(mode); // as the window shows it
                             ledOn = on;
                         });
        QObject::connect(&s, &TSupervision::FirmwareWarning, [this](const QString& t) {
            ++warnings;
            warningText = t;
        });
        QObject::connect(&s, &TSupervision::AccessNotice, [this](const QString& t) {
            ++accessNotices;
            accessNoticeText = t;
            accessNoticeShown = true;
        });
        QObject::connect(&s, &TSupervision::AccessNoticeGone,
                         [this] { accessNoticeShown = false; });
        QObject::connect(&s, &TSupervision::Notice, [this](const QString& t) { notices << t; });
    }
    int accessNotices = 0;
    bool accessNoticeShown = false;
    QString accessNoticeText;
    bool linkLed = false;
    QString adapterText, controllerText, warningText;
    QColor ledColor;
    bool ledOn = false;
    int warnings = 0;
    QStringList notices;
};

// The memory operations and the supervision timers on a controller session: the real link,
// the simulated adapter and the simulated controller. One stepped clock runs the link's 25 ms tick (the link without
// its thread), the controller's clock and the exchanges' waits; the supervision ticks when the
// test says. No real time passes.
class MemoryFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        adapter = std::make_shared<TSimAdapter>();
        controller = std::make_unique<TSimController>(adapter);
        auto t = std::make_unique<TSimTransport>(adapter);
        transport = t.get();
        TKorvelComm::TTransports ts;
        ts.push_back(std::move(t));
        session->AttachLink(
            std::make_unique<TKorvelComm>(std::move(ts), TKorvelComm::TOptions { false, false }));
        link = session->Link();
        protocol->SetReplyTimeoutMs(300);
        protocol->SetWaitClock(&clock);
        clock.Every(TKorvelComm::kTickMs, [this] {
            if (TKorvelComm* l = session->Link()) {
                l->Tick();
                l->WaitIdle();
            }
        });
        clock.Follow([this](int ms) { controller->Advance(ms); });
        window = std::make_unique<QWidget>();
        memory = std::make_unique<TMemoryOps>(*session, displays, window.get());
        refresher = std::make_unique<RecordingRefresher>(controlSet, displays);
        memory->SetRefreshers({ refresher.get(), nullptr });
        loadProg = new TFLoadProg(*session, window.get());
        loadProg->SetPauses(0, 0);
        passForm = new TPassForm(passwords, window.get());
        memProt = new TMemProtForm(*session, window.get());
        memory->SetDialogs(loadProg, passForm, memProt);
        supervision = std::make_unique<TSupervision>(*session);
        view.Listen(*supervision);
        // The two questions about unsent edits are answered here, and remembered.
        session->AskUnsentEdits = [this](const std::vector<TUnsentEdit>& edits) {
            unsentAsked.push_back(edits);
            return unsentAnswer;
        };
        memory->AskSaveChoice = [this]() {
            ++saveAsked;
            return saveAnswer;
        };
    }

    void TearDown() override { session->CloseLink(); }

    // Lets `ms` pass on the rig's clock.
    void Pump(int ms) { clock.Advance(ms); }

    bool PumpUntil(const std::function<bool()>& done, int maxMs = 3000)
    {
        return clock.RunUntil(done, maxMs);
    }

    bool ReachReceiving()
    {
        return PumpUntil([this] { return link->GetLinkStatus() == lkReceiving; });
    }

    // The control set the simulated controller holds.
    CtrlSet Held() const { return CtrlSet::FromBytes(controller->ControlSet().data()); }

    // One supervision tick as the main window runs it: the tick, then the caption's marker.
    void Tick()
    {
        supervision->TimerRefreshCtrlSetTimer();
        memory->ShowUnsentMarker();
    }
    // Supervision ticks, `pumpMs` apart, the link and the controller running.
    void RunTicks(int ticks, int pumpMs = 100)
    {
        for (int i = 0; i < ticks; ++i) {
            Tick();
            Pump(pumpMs);
        }
    }
    // Ticks until `done` holds after one, at most `maxTicks`; tells whether it held.
    bool TickUntil(const std::function<bool()>& done, int maxTicks = 40, int pumpMs = 100)
    {
        for (int i = 0; i < maxTicks; ++i) {
            Tick();
            if (done())
                return true;
            Pump(pumpMs);
        }
        return false;
    }
    // Until the supervision has read the controller's set on entering status 3.
    bool Connect()
    {
        return TickUntil([this] {
            return supervision->LastLinkStatus() == lkReceiving && controlSet.ConfirmedKnown();
        });
    }

    // Presses a button of the next modal dialog once `ready` holds for it. The look comes at
    // every pass of the event loop, the dialog's own loop included.
    void AnswerModal(std::function<bool(QWidget*)> answer)
    {
        auto* timer = new QTimer(window.get());
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
            if (QWidget* w = QApplication::activeModalWidget())
                if (answer(w))
                    timer->deleteLater();
        });
        timer->start();
    }

    TSteppedClock clock; // first made, last gone: the protocol waits on it
    std::shared_ptr<TSimAdapter> adapter;
    std::unique_ptr<TSimController> controller;
    TSimTransport* transport = nullptr;
    // The session owns the link, the protocol, the control set and the passwords.
    std::unique_ptr<TControllerSession> session = std::make_unique<TControllerSession>();
    TKorvelComm* link = nullptr; // made by SetUp, gone after TearDown
    TControllerProtocol* protocol = &session->Protocol();
    TControlSet& controlSet = session->ControlSet();
    RecordingDisplays displays;
    TPasswords& passwords = session->Passwords();
    std::unique_ptr<QWidget> window;
    std::unique_ptr<TMemoryOps> memory;
    std::unique_ptr<RecordingRefresher> refresher;
    TFLoadProg* loadProg = nullptr;
    TPassForm* passForm = nullptr;
    TMemProtForm* memProt = nullptr;
    RecordingView view;
    std::unique_ptr<TSupervision> supervision;
    std::vector<std::vector<TUnsentEdit>> unsentAsked;
    TMemoryOps::TUnsentChoice unsentAnswer = TMemoryOps::TUnsentChoice::Discard;
    int saveAsked = 0;
    std::optional<TSaveChoice> saveAnswer = TSaveChoice::OnScreen;
};
