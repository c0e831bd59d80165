#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What an emulated USB device shows of itself: its interfaces, their alternate settings and
// the endpoints of each, written out as the raw descriptors the kernel keeps in sysfs.
struct TUsbEndpoint {
    uint8_t address;    // bit 7 set: IN
    uint8_t attributes; // transfer type in bits 0-1: 2 bulk, 3 interrupt
};

struct TUsbAltSetting {
    std::vector<TUsbEndpoint> endpoints;
};

struct TUsbInterface {
    std::vector<TUsbAltSetting> altSettings;
};

class TUsbShape {
public:
    static constexpr uint8_t kBulk = 2;
    static constexpr uint8_t kInterrupt = 3;
    static constexpr uint16_t kMaxPacketSize = 64; // full speed

    // The adapter as it is built: bulk IN 0x81 and bulk OUT 0x01 on interface 0.
    static TUsbShape Adapter();
    // One interface with one alternate setting holding `endpoints`.
    static TUsbShape SingleSetting(std::vector<TUsbEndpoint> endpoints);

    // Device descriptor followed by the one configuration descriptor with all it holds.
    std::vector<uint8_t> Descriptors(uint16_t vendorId, uint16_t productId) const;
    // The same as a hexadecimal string, the form umockdev's device records take.
    std::string DescriptorsHex(uint16_t vendorId, uint16_t productId) const;

    std::vector<TUsbInterface> interfaces;
};
