#include "sim/TSimTransport.h"

#include "sim/TSimAdapter.h"

#include <chrono>
#include <stdexcept>
#include <thread>

TSimTransport::TSimTransport(std::shared_ptr<TSimAdapter> adapter)
    : FAdapter(std::move(adapter))
{
}

void TSimTransport::Delay()
{
    if (FBeforeCall)
        FBeforeCall();
    if (const int ms = FDelayMs.load(); ms > 0) {
        if (FDelayClock)
            FDelayClock(ms);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    if (FThrow.exchange(false))
        throw std::runtime_error("Simulated adapter fault");
}

TOpenOutcome TSimTransport::Open(uint8_t& epIn, uint8_t& epOut)
{
    if (FBeforeCall)
        FBeforeCall();
    FAttempts.fetch_add(1);
    if (!FPlugged.load())
        return TOpenOutcome::NotFound;
    if (FAccessDenied.load())
        return TOpenOutcome::AccessDenied;
    FOpens.fetch_add(1);
    FOpen.store(true);
    if (FSetupFails.load())
        return TOpenOutcome::SetupFailed;
    epIn = 0x81;
    epOut = 0x01;
    return TOpenOutcome::Opened;
}

void TSimTransport::Close()
{
    if (FOpen.exchange(false))
        FCloses.fetch_add(1);
    if (FThrowOnClose.exchange(false))
        throw std::runtime_error("Simulated fault while closing the adapter");
}

bool TSimTransport::VendorRequest(uint8_t bmRequestType, uint8_t bRequest, uint16_t wValue,
                                  uint16_t wIndex, uint8_t* data, uint16_t wLength,
                                  uint32_t /*timeoutMs*/)
{
    Delay();
    if (!FOpen.load() || !FPlugged.load())
        return false;
    return FAdapter->ControlTransfer(bmRequestType, bRequest, wValue, wIndex, data, wLength) >= 0;
}

int32_t TSimTransport::BulkRead(uint8_t /*endpoint*/, uint8_t* buffer, uint32_t length,
                                uint32_t /*timeoutMs*/)
{
    Delay();
    if (!FOpen.load() || !FPlugged.load())
        return -1;
    const int n = FAdapter->BulkIn(buffer, length);
    // Nothing to deliver means the transfer would run into its time-out.
    return n > 0 ? n : -1;
}

int32_t TSimTransport::BulkWrite(uint8_t /*endpoint*/, const uint8_t* buffer, uint32_t length,
                                 uint32_t /*timeoutMs*/)
{
    Delay();
    if (!FOpen.load() || !FPlugged.load())
        return -1;
    return FAdapter->BulkOut(buffer, length);
}

void TSimTransport::SetPlugged(bool plugged)
{
    FPlugged.store(plugged);
    if (!plugged)
        FAdapter->Reset();
}
