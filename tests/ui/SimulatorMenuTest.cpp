// The demo's "Simulator" menu drives the simulated adapter and controller under a running
// main window.
#include "tests/ui/MainWindowFixture.h"

#include "demo/TSimulatorMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

class TSimulator : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        FMenu = new TSimulatorMenu(*window().menuBar(), adapter(), controller(),
                                   [this] { return link() ? &transport() : nullptr; });
    }
    QAction* Item(const char* name) { return FMenu->Menu()->findChild<QAction*>(QLatin1String(name)); }
    QAction* Version(const char* submenu, const char* text)
    {
        for (QAction* a : FMenu->Menu()->actions())
            if (a->menu() && a->text() == QLatin1String(submenu))
                for (QAction* v : a->menu()->actions())
                    if (v->text() == QLatin1String(text))
                        return v;
        return nullptr;
    }

    TSimulatorMenu* FMenu = nullptr;
};

TEST_F(TSimulator, MenuStandsLastOnTheMenuBar)
{
    EXPECT_EQ(window().menuBar()->actions().last()->text(), QStringLiteral("&Simulator"));
}

TEST_F(TSimulator, UnpluggingAndPluggingInTheAdapter)
{
    ASSERT_TRUE(RunUntilReceiving());
    QAction* plugged = Item("SimPlugged");
    ASSERT_TRUE(plugged && plugged->isChecked());
    plugged->trigger();
    EXPECT_FALSE(transport().Plugged());
    EXPECT_TRUE(RunUntil([this] { return link()->GetLinkStatus() == lkNoAdapter; }));
    // The link finds it again at its next open attempt.
    plugged->trigger();
    EXPECT_TRUE(transport().Plugged());
}

TEST_F(TSimulator, SilencingTheController)
{
    QAction* silent = Item("SimSilent");
    silent->trigger();
    EXPECT_EQ(controller().Fault(), TSimController::fmSilent);
    silent->trigger();
    EXPECT_EQ(controller().Fault(), TSimController::fmNone);
}

TEST_F(TSimulator, MakingTheControllerDropOrRefuseWrites)
{
    QAction* drop = Item("SimDropWrites");
    QAction* refuse = Item("SimRefuseWrites");
    ASSERT_TRUE(drop && refuse);
    drop->trigger();
    EXPECT_EQ(controller().CommandFault(0x21), TSimController::cmfDropAnswer);
    refuse->trigger(); // one at a time
    EXPECT_FALSE(drop->isChecked());
    EXPECT_EQ(controller().CommandFault(0x21), TSimController::cmfNak);
    refuse->trigger();
    EXPECT_EQ(controller().CommandFault(0x21), TSimController::cmfNone);
    EXPECT_EQ(controller().CommandFault(0x20), TSimController::cmfNone);
}

TEST_F(TSimulator, PickingTheFirmwareVersions)
{
    struct TRow {
        const char* submenu;
        const char* item;
        uint16_t controller;
        bool adapterChecked; // the adapter's V-1.70 item
    };
    const TRow rows[] = {
        { "Controller firmware", "V-1.03", 0x0103, false },
        { "Adapter firmware", "V-1.70", 0x0103, true },
        { "Controller firmware", "V-1.04", 0x0104, true },
        { "Adapter firmware", "V-1.71", 0x0104, false },
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.item);
        QAction* a = Version(r.submenu, r.item);
        ASSERT_TRUE(a);
        a->trigger();
        EXPECT_TRUE(a->isChecked());
        EXPECT_EQ(controller().Version(), r.controller);
        EXPECT_EQ(Version("Adapter firmware", "V-1.70")->isChecked(), r.adapterChecked);
    }
}

} // namespace
