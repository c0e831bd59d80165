#include "tests/usb/TUsbTestbed.h"

#include <umockdev.h>

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace {

void ThrowOn(GError* error, const std::string& what)
{
    if (!error)
        return;
    const std::string message = what + ": " + error->message;
    g_error_free(error);
    throw std::runtime_error(message);
}

} // namespace

bool TUsbTestbed::PreloadActive()
{
    void* preload = dlopen("libumockdev-preload.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (!preload)
        return false;
    dlclose(preload);
    return true;
}

TUsbTestbed::TUsbTestbed()
    : FTestbed(umockdev_testbed_new())
{
}

TUsbTestbed::~TUsbTestbed()
{
    // The testbed first: the adapters' handlers run on its thread.
    g_object_unref(FTestbed);
    FAdapters.clear();
}

TEmulatedAdapter& TUsbTestbed::Add(uint16_t productId, TUsbShape shape)
{
    const int bus = int(FAdapters.size()) + 1;
    auto adapter = std::make_unique<TEmulatedAdapter>(productId, std::move(shape), bus);
    GError* error = nullptr;
    // The handler goes in before the device node exists, so that no open can miss it.
    umockdev_testbed_attach_ioctl(FTestbed, adapter->DevNode().c_str(), adapter->IoctlHandler(),
                                  &error);
    ThrowOn(error, "attaching the ioctl handler of " + adapter->DevNode());
    umockdev_testbed_add_from_string(FTestbed, adapter->DeviceRecord().c_str(), &error);
    ThrowOn(error, "adding " + adapter->SysPath());
    FAdapters.push_back(std::move(adapter));
    return *FAdapters.back();
}

void TUsbTestbed::Unplug(TEmulatedAdapter& adapter)
{
    adapter.SetPresent(false);
    umockdev_testbed_uevent(FTestbed, adapter.SysPath().c_str(), "remove");
}

void TUsbTestbed::Replug(TEmulatedAdapter& adapter)
{
    adapter.SetPresent(true);
    umockdev_testbed_uevent(FTestbed, adapter.SysPath().c_str(), "add");
}

std::string TUsbTestbed::NodeFile(const TEmulatedAdapter& adapter) const
{
    g_autofree gchar* root = umockdev_testbed_get_root_dir(FTestbed);
    return std::string(root) + adapter.DevNode();
}
