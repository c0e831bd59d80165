#include "link/TLibusbTransport.h"

#include "link/LinkLog.h"
#include "link/TAdapterProtocol.h"

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

const char* ErrorName(int error)
{
    return libusb_error_name(error);
}

// The first device on the list with the adapter's vendor id and `productId`, or null.
libusb_device* FindAdapter(libusb_device* const* devices, uint16_t productId)
{
    for (libusb_device* const* d = devices; *d; ++d) {
        libusb_device_descriptor descriptor;
        if (libusb_get_device_descriptor(*d, &descriptor) == 0
            && descriptor.idVendor == TLibusbTransport::kVendorId
            && descriptor.idProduct == productId)
            return *d;
    }
    return nullptr;
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
        if (const int error = libusb_init(nullptr); error != 0) {
            qCWarning(lcUsb, "libusb_init failed: %s", ErrorName(error));
            return TOpenOutcome::NotFound;
        }
        FContextTaken = true;
    }
    libusb_device** devices = nullptr;
    if (const ssize_t count = libusb_get_device_list(nullptr, &devices); count < 0) {
        qCWarning(lcUsb, "listing the USB devices failed: %s", ErrorName(int(count)));
        return TOpenOutcome::NotFound;
    }
    TOpenOutcome outcome = TOpenOutcome::NotFound;
    int error = 0;
    for (const uint16_t productId : kProductIds) {
        libusb_device* device = FindAdapter(devices, productId);
        if (!device)
            continue;
        error = libusb_open(device, &FHandle);
        if (error == 0) {
            FLastOpenError = 0;
            break;
        }
        FHandle = nullptr;
        outcome = error == LIBUSB_ERROR_ACCESS ? TOpenOutcome::AccessDenied
                                               : TOpenOutcome::OpenFailed;
        LogOpenError(productId, libusb_get_bus_number(device),
                     libusb_get_device_address(device), error);
        break; // like an open by ids: the first device with the first ids that match
    }
    libusb_free_device_list(devices, 1);
    if (!FHandle) {
        if (outcome == TOpenOutcome::NotFound)
            FLastOpenError = 0;
        return outcome;
    }
    return Configure(epIn, epOut);
}

// An open that keeps failing the same way is retried every second: the first failure of a kind
// is a warning, its repetitions are debug lines.
void TLibusbTransport::LogOpenError(uint16_t productId, int bus, int address, int error)
{
    const bool repeated = error == FLastOpenError;
    FLastOpenError = error;
    const char* format = "libusb_open of the adapter %04x:%04x on bus %03d device %03d failed: %s";
    if (repeated)
        qCDebug(lcUsb, format, kVendorId, productId, bus, address, ErrorName(error));
    else
        qCWarning(lcUsb, format, kVendorId, productId, bus, address, ErrorName(error));
}

TOpenOutcome TLibusbTransport::Configure(uint8_t& epIn, uint8_t& epOut)
{
    if (const int error = libusb_set_configuration(FHandle, kConfiguration); error != 0) {
        qCWarning(lcUsb, "libusb_set_configuration %d failed: %s", kConfiguration,
                  ErrorName(error));
        return TOpenOutcome::SetupFailed;
    }
    if (const int error = libusb_claim_interface(FHandle, kInterface); error != 0) {
        qCWarning(lcUsb, "libusb_claim_interface %d failed: %s", kInterface, ErrorName(error));
        return TOpenOutcome::SetupFailed;
    }
    libusb_device* device = libusb_get_device(FHandle);
    libusb_device_descriptor deviceDescriptor;
    if (const int error = libusb_get_device_descriptor(device, &deviceDescriptor); error < 0) {
        qCWarning(lcUsb, "libusb_get_device_descriptor failed: %s", ErrorName(error));
        return TOpenOutcome::SetupFailed;
    }
    libusb_config_descriptor* config = nullptr;
    if (const int error = libusb_get_config_descriptor(device, 0, &config); error != 0) {
        qCWarning(lcUsb, "libusb_get_config_descriptor 0 failed: %s", ErrorName(error));
        return TOpenOutcome::SetupFailed;
    }
    if (!HasAdapterShape(*config)) {
        qCWarning(lcUsb, "the device with the adapter's ids has another shape: %d interfaces",
                  int(config->bNumInterfaces));
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
    if (const int error = libusb_release_interface(FHandle, kInterface);
        error != 0 && error != LIBUSB_ERROR_NO_DEVICE && error != LIBUSB_ERROR_NOT_FOUND)
        qCWarning(lcUsb, "libusb_release_interface %d failed: %s", kInterface, ErrorName(error));
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
    const int result = libusb_control_transfer(FHandle, bmRequestType, bRequest, wValue, wIndex,
                                               data, wLength, timeoutMs);
    if (result >= 0)
        return true;
    qCWarning(lcUsb, "control transfer %s (request %u, type 0x%02x, %u bytes) failed: %s",
              AdapterRequestName(bRequest), unsigned(bRequest), unsigned(bmRequestType),
              unsigned(wLength), ErrorName(result));
    return false;
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
    const int error =
        libusb_bulk_transfer(FHandle, endpoint, buffer, int(length), &transferred, timeoutMs);
    if (error == 0)
        return transferred;
    qCWarning(lcUsb, "bulk %s on endpoint 0x%02x (%u bytes, %d moved) failed: %s",
              (endpoint & LIBUSB_ENDPOINT_IN) ? "read" : "write", unsigned(endpoint),
              unsigned(length), transferred, ErrorName(error));
    return -1;
}
