#include "ctl/TCtlCommand.h"
#include "ctl/TCtlRig.h"
#include "link/TKorvelComm.h"
#include "link/TLibusbTransport.h"
#include "session/TControllerSession.h"
#include "sim/TSimController.h"
#include "tests/usb/TEmulatedRoadTest.h"

#include "TSteppedClock.h"

#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

// brevonctl's info, read and write on the program's USB road: the session over TLibusbTransport,
// through the emulated adapter, to the simulated controller on its serial line. The link keeps
// its thread; its ticks, the controller's clock and the waits run on a stepped clock.
namespace {

class TLibusbRig : public TCtlRig {
public:
    explicit TLibusbRig(TSimController& controller)
    {
        TKorvelComm::TTransports transports;
        transports.push_back(std::make_unique<TLibusbTransport>());
        FSession = std::make_unique<TControllerSession>(
            std::make_unique<TKorvelComm>(std::move(transports), TKorvelComm::TOptions { false }),
            &FClock);
        FClock.Every(TKorvelComm::kTickMs, [this] {
            FSession->Link()->Tick();
            FSession->Link()->WaitIdle();
        });
        FClock.Follow([&controller](int ms) { controller.Advance(ms); });
    }
    ~TLibusbRig() override { FSession.reset(); }
    TControllerSession& Session() override { return *FSession; }

private:
    TSteppedClock FClock;
    std::unique_ptr<TControllerSession> FSession;
};

class CtlOverLibusb : public TEmulatedRoadTest {
protected:
    int Run(const QStringList& args, QString& out)
    {
        QString err;
        QTextStream o(&out);
        QTextStream e(&err);
        TCtlCommand command([this](bool) { return std::make_unique<TLibusbRig>(*controller); },
                            o, e);
        const int code = command.Run(QStringList { QStringLiteral("brevonctl") } + args);
        o.flush();
        e.flush();
        if (code != 0)
            ADD_FAILURE() << err.toStdString();
        return code;
    }

};

} // namespace

TEST_F(CtlOverLibusb, InfoReadAndWrite)
{
    QString out;
    ASSERT_EQ(Run({ QStringLiteral("info") }, out), 0);
    EXPECT_EQ(out, QStringLiteral("KorvelConnect V-1.71\nOrbel V-1.04\n"));

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("car.mem"));
    out.clear();
    ASSERT_EQ(Run({ QStringLiteral("read"), QStringLiteral("-o"), file }, out), 0);
    QFile read(file);
    ASSERT_TRUE(read.open(QIODevice::ReadOnly));
    QByteArray bytes = read.readAll();
    ASSERT_EQ(bytes.size(), kCtrlSetSize);
    EXPECT_EQ(bytes, QByteArray(reinterpret_cast<const char*>(
                                    TSimController::DefaultControlSet().data()), kCtrlSetSize));
    read.close();

    // The file changed in one field goes back through write, and the controller holds it.
    bytes[14] = char(0x41);
    bytes[15] = char(0x01);
    {
        QFile edited(file);
        ASSERT_TRUE(edited.open(QIODevice::WriteOnly));
        edited.write(bytes);
    }
    ASSERT_EQ(Run({ QStringLiteral("write"), file }, out), 0);
    const TSimController::TBytes held = controller->ControlSet();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(held.data()), kCtrlSetSize), bytes);
}
