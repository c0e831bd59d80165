#pragma once

#include "link/TUsbTransport.h"

#include <cstdint>

struct libusb_device_handle;

// The KORVEL-CONNECT adapter through libusb-1.0, found by vendor and product id on libusb's
// default context. The context is taken at the first open and given back when the transport
// is destroyed. Every failed libusb call is logged in brevon.usb with libusb's error name.
class TLibusbTransport : public TUsbTransport {
public:
    static constexpr uint16_t kVendorId = 0xFFFF;
    static constexpr uint16_t kProductIds[] = { 0x0033, 0x0010 }; // in the order tried
    static constexpr int kConfiguration = 1;
    static constexpr int kInterface = 0;

    TLibusbTransport() = default;
    ~TLibusbTransport() override;
    TLibusbTransport(const TLibusbTransport&) = delete;
    TLibusbTransport& operator=(const TLibusbTransport&) = delete;

    TUsbBackend Kind() const override { return beLibusb; }
    TOpenOutcome Open(uint8_t& epIn, uint8_t& epOut) override;
    void Close() override;
    bool VendorRequest(uint8_t bmRequestType, uint8_t bRequest, uint16_t wValue, uint16_t wIndex,
                       uint8_t* data, uint16_t wLength, uint32_t timeoutMs) override;
    int32_t BulkRead(uint8_t endpoint, uint8_t* buffer, uint32_t length,
                     uint32_t timeoutMs) override;
    int32_t BulkWrite(uint8_t endpoint, const uint8_t* buffer, uint32_t length,
                      uint32_t timeoutMs) override;

private:
    TOpenOutcome Configure(uint8_t& epIn, uint8_t& epOut);
    void LogOpenError(uint16_t productId, int bus, int address, int error);
    int32_t BulkTransfer(uint8_t endpoint, uint8_t* buffer, uint32_t length, uint32_t timeoutMs);

    bool FContextTaken = false;
    libusb_device_handle* FHandle = nullptr;
    int FLastOpenError = 0; // the libusb error of the last open attempt that found an adapter
};
