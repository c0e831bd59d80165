#pragma once

#include "tests/usb/TUsbShape.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

class TSimAdapter;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

// One KORVEL-CONNECT on the emulated USB bus: the simulated adapter firmware behind the kernel's
// usbfs interface. umockdev hands every ioctl on the device node to this object on umockdev's
// own thread, while the caller waits in ioctl(): control URBs go to TSimAdapter::ControlTransfer,
// bulk URBs to TSimAdapter::BulkIn and BulkOut. The in-process transport reaches the same model
// directly, so both ways in share one adapter.
class TEmulatedAdapter {
public:
    // What the device node has seen.
    struct TUsbCounters {
        int ioctls = 0;
        int setConfiguration = 0;
        int claims = 0;
        int releases = 0;
        int discards = 0;
        int refused = 0; // ioctls failed on purpose (RefuseIoctl)
        int lastConfiguration = -1;
        int lastClaimed = -1;
        int discardedBytes = 0; // bytes the discarded IN URBs had already received
    };

    TEmulatedAdapter(uint16_t productId, TUsbShape shape, int busNumber);
    ~TEmulatedAdapter();
    TEmulatedAdapter(const TEmulatedAdapter&) = delete;
    TEmulatedAdapter& operator=(const TEmulatedAdapter&) = delete;

    TSimAdapter& Sim() { return *FSim; }
    std::shared_ptr<TSimAdapter> SharedSim() const { return FSim; }
    uint16_t ProductId() const { return FProductId; }
    std::string DevNode() const;      // /dev/bus/usb/BBB/001
    std::string SysPath() const;      // /sys/devices/usbB
    std::string DeviceRecord() const; // the device in umockdev's record format
    UMockdevIoctlBase* IoctlHandler() const { return FHandler; }

    TUsbCounters Counters() const;
    // A device that is gone answers every ioctl with ENODEV; the URBs it still held end with
    // ESHUTDOWN and can be reaped, as the kernel does after a disconnect.
    void SetPresent(bool present);
    // Every later ioctl `request` (a set-up ioctl such as USBDEVFS_CLAIMINTERFACE) fails with
    // `error`.
    void RefuseIoctl(unsigned long request, int error);

private:
    struct TUrb;

    // umockdev's "handle-ioctl" signal; the header stays free of GLib, which clashes with Qt.
    static int OnIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
    bool HandleIoctl(UMockdevIoctlClient* client);
    void Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void Discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void RunControl(TUrb& urb);
    void RunBulkOut(TUrb& urb);
    void ServeBulkIn();
    bool HasEndpoint(uint8_t address) const;

    const uint16_t FProductId;
    const TUsbShape FShape;
    const int FBusNumber;
    std::shared_ptr<TSimAdapter> FSim;
    UMockdevIoctlBase* FHandler = nullptr;

    // URB bookkeeping, touched on umockdev's thread; the tests read the counters.
    mutable std::mutex FLock;
    bool FPresent = true;
    std::deque<std::unique_ptr<TUrb>> FPendingIn; // bulk IN URBs waiting for data
    std::deque<std::unique_ptr<TUrb>> FDone;      // finished URBs waiting to be reaped
    std::map<unsigned long, int> FRefusals;
    TUsbCounters FCounters;
};
