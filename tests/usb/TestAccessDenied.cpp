#include "tests/ui/ManualTickWindows.h"
#include "tests/support/TMessageLog.h"
#include "tests/usb/TUsbTestbed.h"

#include "link/TLibusbTransport.h"
#include "sim/TSimController.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

// An adapter whose device node this user may not open, on libusb's real Linux path: the
// program shows the access notice, keeps the status texts, and connects once the node is made
// readable, as the udev rule would make it, with no restart.
//
// Root opens any node whatever its mode, so as root the test runs again as the unprivileged
// user nobody: a copy of this program in a folder of nobody's own, started through setpriv,
// which builds its own emulated bus.
namespace {

constexpr int kSecondOfTicks = 40;

// Runs `test` of this program as nobody; the failure, if any, with the run's output.
testing::AssertionResult RunAsNobody(const QString& test)
{
    const passwd* nobody = getpwnam("nobody");
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (!nobody || setpriv.isEmpty())
        return testing::AssertionFailure() << "no user nobody or no setpriv to run it as";
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/brevon-nobody-XXXXXX"));
    const QString copy = home.filePath(QStringLiteral("test_usb_window"));
    if (!QFile::copy(QStringLiteral("/proc/self/exe"), copy)
        || chmod(QFile::encodeName(copy).constData(), 0755) != 0
        || chmod(QFile::encodeName(home.path()).constData(), 0755) != 0
        || chown(QFile::encodeName(home.path()).constData(), nobody->pw_uid, nobody->pw_gid)
            != 0)
        return testing::AssertionFailure() << "cannot copy the test program for nobody";

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The copy starts itself again with the preload and makes its own bus.
    for (const char* name : { "LD_PRELOAD", "UMOCKDEV_DIR", "XDG_RUNTIME_DIR", "TMPDIR" })
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("HOME"), home.path());
    QProcess run;
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.setWorkingDirectory(home.path());
    run.start(setpriv,
              { QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                QStringLiteral("--regid=%1").arg(nobody->pw_gid), QStringLiteral("--clear-groups"),
                QStringLiteral("--"), copy, QStringLiteral("--gtest_filter=") + test });
    const bool ended = run.waitForFinished(120000);
    const QByteArray output = run.readAll();
    std::printf("---- as nobody ----\n%s---- end ----\n", output.constData());
    if (!ended || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0)
        return testing::AssertionFailure() << "the run as nobody failed";
    if (!output.contains("[  PASSED  ] 1 test"))
        return testing::AssertionFailure() << "the run as nobody ran no test";
    return testing::AssertionSuccess();
}

TEST(UsbAccess, UnreadableNodeShowsTheNoticeAndReadableNodeConnects)
{
    if (getuid() == 0) {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        EXPECT_TRUE(RunAsNobody(QStringLiteral("%1.%2").arg(QLatin1String(info->test_suite_name()),
                                                             QLatin1String(info->name()))));
        return;
    }
    if (!TUsbTestbed::PreloadActive())
        GTEST_SKIP() << TUsbTestbed::kUnavailable;

    TUsbTestbed bed;
    TEmulatedAdapter& adapter = bed.Add(0x0033);
    TSimController controller(adapter.SharedSim());
    const QByteArray node = QByteArray::fromStdString(bed.NodeFile(adapter));
    ASSERT_EQ(chmod(node.constData(), 0), 0); // as without the udev rule: root's alone

    const TMessageLog log;
    TKorvelComm::TTransports transports;
    transports.push_back(std::make_unique<TLibusbTransport>());
    TManualTickWindows windows(std::move(transports));
    TMainForm& window = windows.window();

    ASSERT_TRUE(windows.TicksUntil([&] { return windows.NoticeShown(); }, 8));
    EXPECT_TRUE(window.AccessNotice()->text().contains(
        QStringLiteral("The KORVEL-CONNECT adapter is plugged in, but this user may not open it.")));
    EXPECT_EQ(window.StatusPanel(0)->text(), QStringLiteral(" KorvelConnect Desconectado"));
    EXPECT_EQ(windows.link().GetLinkStatus(), lkNoAdapter);

    // The search goes on: the next attempt is refused as well, with no second notice and a
    // warning logged once.
    windows.Ticks(kSecondOfTicks);
    EXPECT_EQ(windows.link().AccessDenials(), 1u);
    EXPECT_EQ(adapter.Counters().setConfiguration, 0);
    EXPECT_EQ(log.Count(QStringLiteral(
                  R"(^brevon\.usb: libusb_open of the adapter ffff:0033 on bus 001 device 001 failed: LIBUSB_ERROR_ACCESS$)")),
              1)
        << log.Lines().join(u'\n').toStdString();

    // The rule's work: the node becomes the user's. The program connects without a restart.
    ASSERT_EQ(chmod(node.constData(), 0666), 0);
    ASSERT_TRUE(windows.TicksUntil(
        [&] { return window.StatusPanel(0)->text() == QStringLiteral(" KorvelConnect V-1.71"); },
        kSecondOfTicks + 8));
    EXPECT_FALSE(windows.NoticeShown());
    EXPECT_EQ(windows.link().Backend(), beLibusb);
    EXPECT_EQ(adapter.Counters().setConfiguration, 1);
}

} // namespace
