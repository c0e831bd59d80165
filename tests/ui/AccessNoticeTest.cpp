#include "tests/ui/ManualTickWindows.h"

#include "settings/TGettext.h"
#include "sim/TSimAdapter.h"
#include "sim/TSimTransport.h"
#include "session/TAccessNotice.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The notice shown when the adapter is plugged in but this user may not open it, on the
// simulated adapter; tests/usb shows the same through libusb's own code.
namespace {

const QString kHeadline =
    QStringLiteral("The KORVEL-CONNECT adapter is plugged in, but this user may not open it.");
constexpr int kSecondOfTicks = 40;

class AccessNotice : public ::testing::Test {
protected:
    AccessNotice()
    {
        auto t = std::make_unique<TSimTransport>(adapter);
        transport = t.get();
        transport->SetAccessDenied(true); // before the first open attempt
        TKorvelComm::TTransports transports;
        transports.push_back(std::move(t));
        windows = std::make_unique<TManualTickWindows>(std::move(transports));
    }

    QString Panel0() const { return windows->window().StatusPanel(0)->text(); }

    std::shared_ptr<TSimAdapter> adapter = std::make_shared<TSimAdapter>();
    TSimTransport* transport = nullptr;
    std::unique_ptr<TManualTickWindows> windows;
};

TEST_F(AccessNotice, OncePerRefusedPlugInAndGoneWhenTheAdapterOpens)
{
    TManualTickWindows& w = *windows;
    ASSERT_TRUE(w.TicksUntil([&] { return w.NoticeShown(); }, 8));
    QMessageBox* notice = w.window().AccessNotice();
    EXPECT_TRUE(notice->text().contains(kHeadline)) << notice->text().toStdString();
    EXPECT_EQ(notice->windowModality(), Qt::NonModal);
    EXPECT_EQ(Panel0(), QStringLiteral(" KorvelConnect Desconectado")); // the status text stays

    // Closed by the user, it stays closed while the same plug-in is refused again.
    notice->button(QMessageBox::Ok)->click();
    w.Ticks(2 * kSecondOfTicks);
    EXPECT_EQ(transport->Attempts(), 3);
    EXPECT_FALSE(w.NoticeShown());

    // Unplugged and plugged in again, still refused: the notice once more.
    transport->SetPlugged(false);
    w.Ticks(kSecondOfTicks);
    EXPECT_FALSE(w.NoticeShown());
    transport->SetPlugged(true);
    ASSERT_TRUE(w.TicksUntil([&] { return w.NoticeShown(); }, kSecondOfTicks + 4));
    EXPECT_EQ(w.window().AccessNotice(), notice) << "one notice, shown again";

    // The rule in place: the adapter opens with no restart and the notice goes.
    transport->SetAccessDenied(false);
    ASSERT_TRUE(w.TicksUntil([&] { return Panel0() == QStringLiteral(" KorvelConnect V-1.71"); },
                             kSecondOfTicks + 8));
    EXPECT_FALSE(w.NoticeShown());
}

TEST_F(AccessNotice, AnAdapterThatOpensShowsNone)
{
    transport->SetAccessDenied(false);
    TManualTickWindows& w = *windows;
    ASSERT_TRUE(w.TicksUntil([&] { return Panel0() == QStringLiteral(" KorvelConnect V-1.71"); },
                             12));
    EXPECT_EQ(w.window().AccessNotice(), nullptr);
}

// The fix the notice gives, by where the rule is found.
struct FixCase {
    const char* name;
    const char* language;
    std::vector<const char*> rulesIn; // folders, of "etc", "lib", that hold the rule
    std::vector<const char*> says;    // "<dir>" stands for the temporary folder
    const char* neverSays;
};

void PrintTo(const FixCase& c, std::ostream* os)
{
    *os << c.name;
}

class AccessNoticeText : public ::testing::TestWithParam<FixCase> {};

TEST_P(AccessNoticeText, NamesTheFixForThisMachine)
{
    const FixCase& c = GetParam();
    QTemporaryDir dir;
    const QDir root(dir.path());
    QStringList folders;
    for (const char* folder : { "etc", "lib" }) {
        ASSERT_TRUE(root.mkpath(QLatin1String(folder)));
        folders.append(root.filePath(QLatin1String(folder)));
    }
    for (const char* folder : c.rulesIn) {
        QFile rule(root.filePath(QLatin1String(folder) + u'/'
                                 + QLatin1String(TAccessNotice::kRuleName)));
        ASSERT_TRUE(rule.open(QIODevice::WriteOnly));
    }
    TGettext gettext(QStringLiteral(BREVON_PROGRAM_DIR));
    gettext.UseLanguage(QLatin1String(c.language));
    const QString text = TAccessNotice::Text(folders, QStringLiteral("/src/packaging/rule"));
    for (const char* part : c.says) {
        QString expected = QString::fromUtf8(part);
        expected.replace(QStringLiteral("<dir>"), dir.path());
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n in:\n"
                                             << text.toStdString();
    }
    EXPECT_FALSE(text.contains(QString::fromUtf8(c.neverSays))) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rules, AccessNoticeText,
    ::testing::Values(
        FixCase { "NoRule",
                  "en",
                  {},
                  { "The KORVEL-CONNECT adapter is plugged in, but this user may not open it.",
                    "    sudo install -m 644 /src/packaging/rule /etc/udev/rules.d/\n",
                    "    sudo udevadm control --reload\n",
                    "plug it in again",
                    "Brevon keeps looking for the adapter and connects as soon as it may open "
                    "it." },
                  "seat" },
        FixCase { "PackageRule",
                  "en",
                  { "lib" },
                  { "(<dir>/lib/60-korvel-connect.rules)", "Unplug the adapter and plug it in "
                    "again", "seat" },
                  "sudo" },
        FixCase { "AdministratorsRuleFirst", "en", { "lib", "etc" },
                  { "(<dir>/etc/60-korvel-connect.rules)" }, "sudo" },
        FixCase { "NoRuleInSpanish",
                  "es",
                  {},
                  { "El adaptador KORVEL-CONNECT está conectado, pero este usuario no tiene "
                    "permiso para abrirlo.",
                    "    sudo install -m 644 /src/packaging/rule /etc/udev/rules.d/\n",
                    "    sudo udevadm control --reload\n",
                    "Brevon sigue buscando el adaptador" },
                  "seat" },
        FixCase { "PackageRuleInSpanish",
                  "es",
                  { "lib" },
                  { "(<dir>/lib/60-korvel-connect.rules)", "puesto de este ordenador" },
                  "sudo" }),
    [](const ::testing::TestParamInfo<FixCase>& info) { return std::string(info.param.name); });

} // namespace
