#include "tests/usb/TEmulatedAdapter.h"

#include "sim/TSimAdapter.h"

#include <umockdev.h>

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>

namespace {

constexpr uint32_t kCapabilities = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION
    | USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
constexpr int kSetupSize = 8;

uint16_t U16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

// The unsigned int an ioctl argument points to.
unsigned ReadArgU32(UMockdevIoctlData* arg)
{
    g_autoptr(UMockdevIoctlData) value =
        umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned), nullptr);
    return value ? *reinterpret_cast<unsigned*>(value->data) : ~0u;
}

std::string Format(const char* format, int value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

// A URB copied from the caller's memory with its buffer. The reference it holds keeps the copy
// alive until the URB is reaped; the copy goes back to the caller's memory when umockdev
// completes the reaping ioctl.
struct TEmulatedAdapter::TUrb {
    explicit TUrb(UMockdevIoctlData* urbCopy)
        : data(UMOCKDEV_IOCTL_DATA(g_object_ref(urbCopy)))
    {
    }
    ~TUrb() { g_object_unref(data); }
    TUrb(const TUrb&) = delete;
    TUrb& operator=(const TUrb&) = delete;

    usbdevfs_urb& Urb() const { return *reinterpret_cast<usbdevfs_urb*>(data->data); }
    uint8_t* Buffer() const { return static_cast<uint8_t*>(Urb().buffer); }

    UMockdevIoctlData* data;
};

TEmulatedAdapter::TEmulatedAdapter(uint16_t productId, TUsbShape shape, int busNumber)
    : FProductId(productId)
    , FShape(std::move(shape))
    , FBusNumber(busNumber)
    , FSim(std::make_shared<TSimAdapter>())
    , FHandler(umockdev_ioctl_base_new())
{
    g_signal_connect(FHandler, "handle-ioctl", G_CALLBACK(&TEmulatedAdapter::OnIoctl), this);
}

TEmulatedAdapter::~TEmulatedAdapter()
{
    g_signal_handlers_disconnect_by_data(FHandler, this);
    g_object_unref(FHandler);
}

std::string TEmulatedAdapter::DevNode() const
{
    return Format("/dev/bus/usb/%03d/001", FBusNumber);
}

std::string TEmulatedAdapter::SysPath() const
{
    return Format("/sys/devices/usb%d", FBusNumber);
}

std::string TEmulatedAdapter::DeviceRecord() const
{
    char product[8];
    std::snprintf(product, sizeof product, "%04x", FProductId);
    const std::string bus = Format("%03d", FBusNumber);
    return "P: " + SysPath().substr(4) + "\n"
        + "N: bus/usb/" + bus + "/001\n"
        + "E: SUBSYSTEM=usb\n"
        + "E: DEVTYPE=usb_device\n"
        + "E: DEVNAME=" + DevNode() + "\n"
        + "E: BUSNUM=" + bus + "\n"
        + "E: DEVNUM=001\n"
        + "A: busnum=" + std::to_string(FBusNumber) + "\\n\n"
        + "A: devnum=1\\n\n"
        + "A: idVendor=ffff\\n\n"
        + "A: idProduct=" + product + "\\n\n"
        + "A: bConfigurationValue=1\\n\n"
        + "A: bNumConfigurations=1\\n\n"
        + "A: speed=12\\n\n"
        + "H: descriptors=" + FShape.DescriptorsHex(0xFFFF, FProductId) + "\n";
}

TEmulatedAdapter::TUsbCounters TEmulatedAdapter::Counters() const
{
    std::lock_guard lock(FLock);
    return FCounters;
}

void TEmulatedAdapter::SetPresent(bool present)
{
    std::lock_guard lock(FLock);
    FPresent = present;
    if (present)
        return;
    while (!FPendingIn.empty()) {
        FPendingIn.front()->Urb().status = -ESHUTDOWN;
        FDone.push_back(std::move(FPendingIn.front()));
        FPendingIn.pop_front();
    }
    FSim->Reset();
}

void TEmulatedAdapter::RefuseIoctl(unsigned long request, int error)
{
    std::lock_guard lock(FLock);
    FRefusals[request] = error;
}

int TEmulatedAdapter::OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self)
{
    return static_cast<TEmulatedAdapter*>(self)->HandleIoctl(client);
}

bool TEmulatedAdapter::HandleIoctl(UMockdevIoctlClient* client)
{
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    std::lock_guard lock(FLock);
    ++FCounters.ioctls;
    if (request == USBDEVFS_REAPURBNDELAY || request == USBDEVFS_REAPURB) {
        Reap(client, arg);
        return true;
    }
    if (!FPresent) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return true;
    }
    if (const auto refusal = FRefusals.find(request); refusal != FRefusals.end()) {
        ++FCounters.refused;
        umockdev_ioctl_client_complete(client, -1, refusal->second);
        return true;
    }
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        g_autoptr(UMockdevIoctlData) caps =
            umockdev_ioctl_data_resolve(arg, 0, sizeof(uint32_t), nullptr);
        *reinterpret_cast<uint32_t*>(caps->data) = kCapabilities;
        break;
    }
    case USBDEVFS_SETCONFIGURATION:
        ++FCounters.setConfiguration;
        FCounters.lastConfiguration = int(ReadArgU32(arg));
        break;
    case USBDEVFS_CLAIMINTERFACE: {
        const unsigned interface = ReadArgU32(arg);
        ++FCounters.claims;
        FCounters.lastClaimed = int(interface);
        if (interface >= FShape.interfaces.size()) {
            umockdev_ioctl_client_complete(client, -1, ENOENT);
            return true;
        }
        break;
    }
    case USBDEVFS_RELEASEINTERFACE:
        ++FCounters.releases;
        break;
    case USBDEVFS_SUBMITURB:
        Submit(client, arg);
        return true;
    case USBDEVFS_DISCARDURB:
        Discard(client, arg);
        return true;
    default:
        return false; // umockdev answers ENOTTY, as the kernel does for what it does not know
    }
    umockdev_ioctl_client_complete(client, 0, 0);
    return true;
}

void TEmulatedAdapter::Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    g_autoptr(UMockdevIoctlData) copy =
        umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
    if (!copy) {
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return;
    }
    auto urb = std::make_unique<TUrb>(copy);
    usbdevfs_urb& u = urb->Urb();
    // From here on u.buffer points to a local copy of the caller's buffer.
    g_autoptr(UMockdevIoctlData) buffer = umockdev_ioctl_data_resolve(
        copy, offsetof(usbdevfs_urb, buffer), size_t(u.buffer_length), nullptr);
    u.status = 0;
    u.actual_length = 0;
    const bool control = u.type == USBDEVFS_URB_TYPE_CONTROL;
    if ((!control && u.type != USBDEVFS_URB_TYPE_BULK) || (control && u.buffer_length < kSetupSize)
        || (!control && !HasEndpoint(u.endpoint)) || (u.buffer_length > 0 && !buffer)) {
        umockdev_ioctl_client_complete(client, -1, control ? EINVAL : ENOENT);
        return;
    }
    if (control) {
        RunControl(*urb);
        FDone.push_back(std::move(urb));
        ServeBulkIn(); // a request may have armed data for a waiting IN transfer
    } else if (u.endpoint & 0x80) {
        FPendingIn.push_back(std::move(urb));
        ServeBulkIn();
    } else {
        RunBulkOut(*urb);
        FDone.push_back(std::move(urb));
    }
    umockdev_ioctl_client_complete(client, 0, 0);
}

void TEmulatedAdapter::RunControl(TUrb& urb)
{
    usbdevfs_urb& u = urb.Urb();
    const uint8_t* setup = urb.Buffer();
    const uint16_t wLength = U16(setup + 6);
    if (u.buffer_length < kSetupSize + wLength) {
        u.status = -EINVAL;
        return;
    }
    const int moved = FSim->ControlTransfer(setup[0], setup[1], U16(setup + 2), U16(setup + 4),
                                            urb.Buffer() + kSetupSize, wLength);
    if (moved < 0)
        u.status = -EPIPE; // the adapter stalls the request
    else
        u.actual_length = moved;
}

void TEmulatedAdapter::RunBulkOut(TUrb& urb)
{
    usbdevfs_urb& u = urb.Urb();
    const int taken = FSim->BulkOut(urb.Buffer(), uint32_t(u.buffer_length));
    if (taken < 0)
        u.status = -EPIPE;
    else
        u.actual_length = taken;
}

// The adapter answers IN transfers in packets of up to kMaxPacketSize bytes. A transfer ends
// when its buffer is full or a short packet arrives; otherwise it waits for more data, and a
// transfer that waits ends only by libusb's time-out, which discards it with the part it holds.
void TEmulatedAdapter::ServeBulkIn()
{
    while (!FPendingIn.empty()) {
        TUrb& urb = *FPendingIn.front();
        usbdevfs_urb& u = urb.Urb();
        bool finished = false;
        while (!finished && u.actual_length < u.buffer_length) {
            const int n = FSim->BulkIn(urb.Buffer() + u.actual_length,
                                       uint32_t(u.buffer_length - u.actual_length));
            if (n == 0)
                break;
            if (n < 0) {
                u.status = -EPIPE;
                finished = true;
            } else {
                u.actual_length += n;
                finished = n % TUsbShape::kMaxPacketSize != 0;
            }
        }
        if (!finished && u.actual_length < u.buffer_length)
            return;
        FDone.push_back(std::move(FPendingIn.front()));
        FPendingIn.pop_front();
    }
}

void TEmulatedAdapter::Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    // libusb reaps only without waiting; a waiting REAPURB is answered the same way, which is
    // enough for a caller that polls first.
    if (FDone.empty()) {
        umockdev_ioctl_client_complete(client, -1, FPresent ? EAGAIN : ENODEV);
        return;
    }
    const std::unique_ptr<TUrb> urb = std::move(FDone.front());
    FDone.pop_front();
    g_autoptr(UMockdevIoctlData) slot = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
    umockdev_ioctl_data_set_ptr(slot, 0, urb->data);
    umockdev_ioctl_client_complete(client, 0, 0);
}

void TEmulatedAdapter::Discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    // DISCARDURB takes the URB's address itself, not a pointer to it.
    const gulong address = *reinterpret_cast<const gulong*>(arg->data);
    for (auto it = FPendingIn.begin(); it != FPendingIn.end(); ++it) {
        if ((*it)->data->client_addr != address)
            continue;
        usbdevfs_urb& u = (*it)->Urb();
        u.status = -ENOENT;
        ++FCounters.discards;
        FCounters.discardedBytes += u.actual_length;
        FDone.push_back(std::move(*it));
        FPendingIn.erase(it);
        umockdev_ioctl_client_complete(client, 0, 0);
        return;
    }
    umockdev_ioctl_client_complete(client, -1, EINVAL); // already finished
}

bool TEmulatedAdapter::HasEndpoint(uint8_t address) const
{
    for (const TUsbInterface& interface : FShape.interfaces)
        for (const TUsbAltSetting& setting : interface.altSettings)
            for (const TUsbEndpoint& ep : setting.endpoints)
                if (ep.address == address)
                    return true;
    return false;
}
