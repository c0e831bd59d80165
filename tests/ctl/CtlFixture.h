#pragma once

#include "ctl/TCtlCommand.h"
#include "ctl/TCtlRig.h"
#include "link/TKorvelComm.h"
#include "session/TControllerSession.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimController.h"
#include "sim/TSimTransport.h"

#include "TSteppedClock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

// A rig on the simulated adapter and controller, the link without its thread, every wait on a
// stepped clock: a command runs in simulated time, a 5-second time-out costs no real time.
class TSteppedRig : public TCtlRig {
public:
    // A null adapter: no adapter is plugged in.
    TSteppedRig(std::shared_ptr<TSimAdapter> adapter, TSimController* controller)
    {
        TKorvelComm::TTransports transports;
        if (adapter)
            transports.push_back(std::make_unique<TSimTransport>(adapter));
        auto link = std::make_unique<TKorvelComm>(std::move(transports),
                                                  TKorvelComm::TOptions { false, false });
        FSession = std::make_unique<TControllerSession>(std::move(link), &FClock);
        FClock.Every(TKorvelComm::kTickMs, [this] {
            FSession->Link()->Tick();
            FSession->Link()->WaitIdle();
        });
        if (controller)
            FClock.Follow([controller](int ms) { controller->Advance(ms); });
    }
    ~TSteppedRig() override { FSession.reset(); }
    TControllerSession& Session() override { return *FSession; }
    const TSteppedClock& Clock() const { return FClock; }

private:
    TSteppedClock FClock; // first made, last gone: the session waits on it
    std::unique_ptr<TControllerSession> FSession;
};

struct TCtlRun {
    int code = -1;
    QString out;
    QString err;
    int64_t simulatedMs = 0; // how long the run took on the rig's clock
};

class CtlFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        adapter = std::make_shared<TSimAdapter>();
        controller = std::make_unique<TSimController>(adapter);
    }

    TCtlRun Run(QStringList args, bool plugged = true)
    {
        args.prepend(QStringLiteral("brevonctl"));
        TCtlRun run;
        QTextStream out(&run.out);
        QTextStream err(&run.err);
        const TSteppedRig* made = nullptr;
        {
            TCtlCommand command(
                [&](bool) {
                    auto rig = std::make_unique<TSteppedRig>(plugged ? adapter : nullptr,
                                                             controller.get());
                    made = rig.get();
                    return rig;
                },
                out, err);
            run.code = command.Run(args);
            if (made)
                run.simulatedMs = made->Clock().NowMs();
        }
        out.flush();
        err.flush();
        return run;
    }

    QString Path(const QString& name) const { return dir.filePath(name); }

    QString WriteFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QString WriteSetFile(const QString& name, const CtrlSet& set) const
    {
        const CtrlSet::TBytes b = set.ToBytes();
        return WriteFile(name, QByteArray(reinterpret_cast<const char*>(b.data()), int(b.size())));
    }

    CtrlSet Held() const { return CtrlSet::FromBytes(controller->ControlSet().data()); }
    static CtrlSet Default()
    {
        return CtrlSet::FromBytes(TSimController::DefaultControlSet().data());
    }

    QTemporaryDir dir;
    std::shared_ptr<TSimAdapter> adapter;
    std::unique_ptr<TSimController> controller;
};
