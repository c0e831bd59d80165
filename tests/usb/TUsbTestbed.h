#pragma once

#include "tests/usb/TEmulatedAdapter.h"
#include "tests/usb/TUsbShape.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;

// An emulated USB bus: a umockdev testbed whose sysfs and /dev show the adapters added to it.
// Only one exists at a time; while it lives UMOCKDEV_DIR points into it. libusb has to be
// initialised after the adapters present at its start have been added, and exited before the
// testbed goes.
class TUsbTestbed {
public:
    static constexpr const char* kUnavailable =
        "the umockdev preload library is not in this process: no emulated USB bus";

    // Whether umockdev's preload library is in the process; without it nothing is emulated.
    static bool PreloadActive();

    TUsbTestbed();
    ~TUsbTestbed();
    TUsbTestbed(const TUsbTestbed&) = delete;
    TUsbTestbed& operator=(const TUsbTestbed&) = delete;

    // Plugs in an adapter on a bus of its own, announcing it with an "add" uevent.
    TEmulatedAdapter& Add(uint16_t productId, TUsbShape shape = TUsbShape::Adapter());
    // The adapter stops answering and a "remove" uevent goes out.
    void Unplug(TEmulatedAdapter& adapter);
    // The adapter answers again, announced with an "add" uevent; it has lost what it held.
    void Replug(TEmulatedAdapter& adapter);
    // The file that stands for the adapter's device node: its mode is the node's, and without
    // it the node is gone.
    std::string NodeFile(const TEmulatedAdapter& adapter) const;

private:
    UMockdevTestbed* FTestbed = nullptr;
    std::vector<std::unique_ptr<TEmulatedAdapter>> FAdapters;
};
