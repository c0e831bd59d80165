#include "tests/usb/TUsbTestbed.h"

#include <QCoreApplication>
#if defined(BREVON_USB_WIDGETS)
#include <QApplication>
#endif

#include <gtest/gtest.h>

#include <link.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

// Test main for the emulated USB bus, with a QApplication where BREVON_USB_WIDGETS is defined. umockdev's preload library has to be in the process from
// its first instruction, so without it the program starts itself again with LD_PRELOAD set; the
// test listing at build time takes the same road.
namespace {

constexpr char kPreloadLibrary[] = "libumockdev-preload.so.0";

// A sanitizer runtime insists on coming first in the preload list.
std::string SanitizerRuntimes()
{
    std::string list;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* out) {
            const char* name = info->dlpi_name;
            for (const char* runtime : { "/libasan.so", "/libtsan.so", "/libubsan.so" })
                if (name && std::strstr(name, runtime))
                    *static_cast<std::string*>(out) += std::string(name) + ":";
            return 0;
        },
        &list);
    return list;
}

void StartAgainWithPreload(char** argv)
{
    const char* current = std::getenv("LD_PRELOAD");
    if (current && std::strstr(current, "libumockdev-preload"))
        return; // tried already and it did not load: the tests skip
    std::string preload = SanitizerRuntimes() + kPreloadLibrary;
    if (current && *current)
        preload += std::string(":") + current;
    setenv("LD_PRELOAD", preload.c_str(), 1);
    execv("/proc/self/exe", argv);
    // exec failed: carry on without the preload, and the tests skip
}

} // namespace

#if defined(__SANITIZE_THREAD__)
// GLib and umockdev are not built for ThreadSanitizer: it cannot see their own locking and
// reports races inside them.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:libglib-2.0.so\n"
           "race:libgobject-2.0.so\n"
           "race:libgio-2.0.so\n"
           "race:libumockdev.so\n";
}
#endif

int main(int argc, char** argv)
{
    if (!TUsbTestbed::PreloadActive())
        StartAgainWithPreload(argv);
#if defined(BREVON_USB_WIDGETS)
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
