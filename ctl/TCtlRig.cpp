#include "ctl/TCtlRig.h"

#include "demo/TSimClock.h"
#include "link/TKorvelComm.h"
#include "link/TLibusbTransport.h"
#include "session/TControllerSession.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimController.h"
#include "sim/TSimTransport.h"

namespace {

class THardwareRig : public TCtlRig {
public:
    THardwareRig()
    {
        TKorvelComm::TTransports transports;
        transports.push_back(std::make_unique<TLibusbTransport>());
        FSession = std::make_unique<TControllerSession>(
            std::make_unique<TKorvelComm>(std::move(transports)));
    }
    TControllerSession& Session() override { return *FSession; }

private:
    std::unique_ptr<TControllerSession> FSession;
};

class TDemoRig : public TCtlRig {
public:
    TDemoRig()
        : FAdapter(std::make_shared<TSimAdapter>())
        , FController(FAdapter)
        , FClock(FController)
    {
        TKorvelComm::TTransports transports;
        auto transport = std::make_unique<TSimTransport>(FAdapter);
        transport->SetBeforeCall(FClock.Stepper());
        transports.push_back(std::move(transport));
        FSession = std::make_unique<TControllerSession>(
            std::make_unique<TKorvelComm>(std::move(transports)));
        FClock.Start();
    }
    ~TDemoRig() override
    {
        FClock.Stop();
        FSession.reset(); // the link goes before the controller it talks to
    }
    TControllerSession& Session() override { return *FSession; }

private:
    std::shared_ptr<TSimAdapter> FAdapter;
    TSimController FController;
    TSimClock FClock;
    std::unique_ptr<TControllerSession> FSession;
};

} // namespace

std::unique_ptr<TCtlRig> TCtlRig::Hardware()
{
    return std::make_unique<THardwareRig>();
}

std::unique_ptr<TCtlRig> TCtlRig::Demo()
{
    return std::make_unique<TDemoRig>();
}
