#pragma once

#include "link/TUsbTransport.h"

#include <atomic>
#include <functional>
#include <memory>

class TSimAdapter;

// The simulated adapter as a USB transport, in-process. It can be unplugged and plugged in
// again, and can answer slowly.
class TSimTransport : public TUsbTransport {
public:
    explicit TSimTransport(std::shared_ptr<TSimAdapter> adapter);

    TUsbBackend Kind() const override { return beSimulated; }
    TOpenOutcome Open(uint8_t& epIn, uint8_t& epOut) override;
    void Close() override;
    bool VendorRequest(uint8_t bmRequestType, uint8_t bRequest, uint16_t wValue, uint16_t wIndex,
                       uint8_t* data, uint16_t wLength, uint32_t timeoutMs) override;
    int32_t BulkRead(uint8_t endpoint, uint8_t* buffer, uint32_t length, uint32_t timeoutMs) override;
    int32_t BulkWrite(uint8_t endpoint, const uint8_t* buffer, uint32_t length,
                      uint32_t timeoutMs) override;

    void SetPlugged(bool plugged);
    bool Plugged() const { return FPlugged.load(); }
    // Every primitive first waits this long (a slow adapter); 0 = answer at once.
    void SetDelayMs(int ms) { FDelayMs.store(ms); }
    // Where that wait is spent: null sleeps on the wall clock; a stepped clock passes its own
    // time instead. Set before the link runs.
    void SetDelayClock(std::function<void(int ms)> pass) { FDelayClock = std::move(pass); }
    // Runs on the link thread before every open attempt and every primitive, before the delay:
    // where the simulated controller's clock moves (TSimClock), so that what the controller
    // sent by now waits in the adapter when the link asks. Set before the link runs.
    void SetBeforeCall(std::function<void()> hook) { FBeforeCall = std::move(hook); }
    // Open succeeds but configuring fails (set-up failed).
    void SetSetupFails(bool fails) { FSetupFails.store(fails); }
    // The adapter is plugged in but this user may not open it, as without the udev rule.
    void SetAccessDenied(bool denied) { FAccessDenied.store(denied); }
    // The next primitive raises an exception instead of answering (a fault inside the link).
    void SetThrowOnNextCall(bool t) { FThrow.store(t); }
    // The next close raises an exception (a fault while the link shuts down, for one).
    void SetThrowOnClose(bool t) { FThrowOnClose.store(t); }
    // Open attempts, successful opens and closes seen, for tests.
    int Attempts() const { return FAttempts.load(); }
    int Opens() const { return FOpens.load(); }
    int Closes() const { return FCloses.load(); }
    bool IsOpen() const { return FOpen.load(); }

private:
    void Delay();

    std::shared_ptr<TSimAdapter> FAdapter;
    std::atomic<bool> FPlugged { true };
    std::atomic<bool> FOpen { false };
    std::atomic<bool> FSetupFails { false };
    std::atomic<bool> FAccessDenied { false };
    std::atomic<int> FDelayMs { 0 };
    std::function<void(int ms)> FDelayClock;
    std::function<void()> FBeforeCall;
    std::atomic<bool> FThrow { false };
    std::atomic<bool> FThrowOnClose { false };
    std::atomic<int> FAttempts { 0 };
    std::atomic<int> FOpens { 0 };
    std::atomic<int> FCloses { 0 };
};
