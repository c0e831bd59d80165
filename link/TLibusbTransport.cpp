#include "link/TLibusbTransport.h"

#include <libusb.h>

#include <climits>

namespace {

// The adapter has one configuration with one interface, one alternate setting and two
// endpoints; anything else is another device wearing the same ids.
bool HasAdapterShape(const libusb_config_descriptor& config)
{
    return config.bNumInterfaces == 1 && config.interface[0].num_altsetting == 1
        && config.interface[0].altsetting[0].bNumEndpoints == 2;
}

} // namespace

TLibusbTransport::~TLibusbTransport()
{
    Close();
    if (FContextTaken)
        libusb_exit(nullptr);
}

TOpenOutcome TLibusbTransport::Open(uint8_t& epIn, uint8_t& epOut)
{
    Close(); // a handle still held is released, not leaked
    if (!FContextTaken) {
        if (libusb_init(nullptr) != 0)
            return TOpenOutcome::NotFound;
        FContextTaken = true;
    }
    for (const uint16_t productId : kProductIds) {
        FHandle = libusb_open_device_with_vid_pid(nullptr, kVendorId, productId);
        if (FHandle)
            return Configure(epIn, epOut);
    }
    return TOpenOutcome::NotFound;
}

TOpenOutcome TLibusbTransport::Configure(uint8_t& epIn, uint8_t& epOut)
{
    if (libusb_set_configuration(FHandle, kConfiguration) != 0
        || libusb_claim_interface(FHandle, kInterface) != 0)
        return TOpenOutcome::SetupFailed;
    libusb_device* device = libusb_get_device(FHandle);
    libusb_device_descriptor deviceDescriptor;
    if (libusb_get_device_descriptor(device, &deviceDescriptor) < 0)
        return TOpenOutcome::SetupFailed;
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_config_descriptor(device, 0, &config) != 0)
        return TOpenOutcome::SetupFailed;
    if (!HasAdapterShape(*config)) {
        libusb_free_config_descriptor(config);
        return TOpenOutcome::SetupFailed;
    }
    // Only the directions found as bulk endpoints are overwritten; the others keep the
    // caller's addresses.
    const libusb_interface_descriptor& setting = config->interface[0].altsetting[0];
    for (int i = 0; i < setting.bNumEndpoints; ++i) {
        const libusb_endpoint_descriptor& ep = setting.endpoint[i];
        if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK)
            continue;
        if (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN)
            epIn = ep.bEndpointAddress;
        else
            epOut = ep.bEndpointAddress;
    }
    libusb_free_config_descriptor(config);
    return TOpenOutcome::Opened;
}

void TLibusbTransport::Close()
{
    if (!FHandle)
        return;
    libusb_release_interface(FHandle, kInterface);
    libusb_close(FHandle);
    FHandle = nullptr;
}

bool TLibusbTransport::VendorRequest(uint8_t bmRequestType, uint8_t bRequest, uint16_t wValue,
                                     uint16_t wIndex, uint8_t* data, uint16_t wLength,
                                     uint32_t timeoutMs)
{
    if (!FHandle)
        return false;
    // The count moved is not compared with wLength.
    return libusb_control_transfer(FHandle, bmRequestType, bRequest, wValue, wIndex, data,
                                   wLength, timeoutMs)
        >= 0;
}

int32_t TLibusbTransport::BulkRead(uint8_t endpoint, uint8_t* buffer, uint32_t length,
                                   uint32_t timeoutMs)
{
    return BulkTransfer(endpoint, buffer, length, timeoutMs);
}

int32_t TLibusbTransport::BulkWrite(uint8_t endpoint, const uint8_t* buffer, uint32_t length,
                                    uint32_t timeoutMs)
{
    // libusb only reads the buffer of an OUT transfer.
    return BulkTransfer(endpoint, const_cast<uint8_t*>(buffer), length, timeoutMs);
}

// A transfer that ends in an error returns -1 even when some bytes moved (a time-out after a
// part arrived): the caller never sees a part.
int32_t TLibusbTransport::BulkTransfer(uint8_t endpoint, uint8_t* buffer, uint32_t length,
                                       uint32_t timeoutMs)
{
    if (!FHandle || length > uint32_t(INT_MAX))
        return -1;
    int transferred = 0;
    if (libusb_bulk_transfer(FHandle, endpoint, buffer, int(length), &transferred, timeoutMs) != 0)
        return -1;
    return transferred;
}
