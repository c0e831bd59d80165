// The main window's frame: caption, size, menus, toolbar, status bar and where the controls of
// the live monitor lie.
#include "tests/ui/MainWindowFixture.h"

#include "ui/main/TLiveMonitor.h"
#include "ui/main/TMainActions.h"
#include "ui/widgets/TLed.h"
#include "ui/widgets/TPlot.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

class MainWindowLayout : public MainWindowFixture {
protected:
    // The client area is what lies below the menu bar.
    QRect ClientRect(const QWidget* w)
    {
        const QPoint origin(0, window().menuBar()->height());
        return QRect(w->mapTo(&window(), QPoint(0, 0)) - origin, w->size());
    }
    QWidget* Control(const char* name)
    {
        return window().findChild<QWidget*>(QLatin1String(name));
    }
};

TEST_F(MainWindowLayout, CaptionIsTitleAndVersion)
{
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Brevon 1.4.3.0"));
    EXPECT_EQ(window().AppTitle(), QByteArray("Brevon"));
}

TEST_F(MainWindowLayout, ClientAreaIsFixedAt804By558)
{
    const QSize client(window().width(), window().height() - window().menuBar()->height());
    EXPECT_EQ(client, QSize(804, 558));
    EXPECT_EQ(window().minimumSize(), window().maximumSize());
    EXPECT_FALSE(window().windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainWindowLayout, FixedTextsAreSet)
{
    const std::pair<QByteArray, const char*> rows[] = {
        { window().AdapterLabel(), " KorvelConnect" },
        { window().DisconnectedText(), " Desconectado" },
        { window().ControllerLabel(), "Orbel" },
        { window().DetectedText(), " Detectado" },
        { window().NotDetectedText(), " No Detectado" },
    };
    for (const auto& [member, text] : rows)
        EXPECT_EQ(member, QByteArray(text)) << text;
}

struct TMenuRow {
    const char* menu;
    const char* item;
    const char* caption; // nullptr: a separator
    bool visible;
    bool enabled; // a hidden action is never enabled
};

TEST_F(MainWindowLayout, MenusHoldTheirItemsInOrder)
{
    const TMenuRow rows[] = {
        { "Archivo1", "Abrir1", "&Open", true, true },
        { "Archivo1", "Guardar1", "&Save", true, true },
        { "Archivo1", "Guardarcomo1", "Save &as...", true, true },
        { "Archivo1", "N1", nullptr, true, true },
        { "Archivo1", "Salir1", "&Exit", true, true },
        { "Memoria1", "Restauraranterior1", "&Restore", true, true },
        { "Memoria1", "N3", nullptr, true, true },
        { "Memoria1", "Cargar1", "&Load", true, true },
        { "Memoria1", "ProtegerMemS1", nullptr, false, false },
        { "Memoria1", "ProtegerMem", "&Protect", false, false },
        { "Configuracin1", "Sistemadecontrol1", "&Control system", true, true },
        { "Configuracin1", "Brevon1", "&Lambda probe", true, true },
        { "Configuracin1", "CutOff1", "Cut-&off", true, true },
        // Recording and replay come with a later part of the tools; their items stand disabled.
        { "Herramientas1", "GrabarLog1", "Record log\u2026", true, true },
        { "Herramientas1", "DetenerGrabacion1", "Stop recording", true, false },
        { "Herramientas1", "N5", nullptr, true, true },
        { "Herramientas1", "ReproducirLog1", "Replay log\u2026", true, true },
        { "Herramientas1", "VerLog1", "View log\u2026", true, true },
        { "Herramientas1", "N6", nullptr, true, true },
        { "Herramientas1", "CompararArchivo1", "Compare with file\u2026", true, true },
        { "Herramientas1", "CompararDosArchivos1", "Compare two files\u2026", true, true },
    };
    std::map<QString, int> next;
    for (const TMenuRow& r : rows) {
        SCOPED_TRACE(r.item);
        auto* menu = window().findChild<QMenu*>(QLatin1String(r.menu));
        ASSERT_TRUE(menu);
        const QList<QAction*> actions = menu->actions();
        const int index = next[QLatin1String(r.menu)]++;
        ASSERT_LT(index, actions.size());
        QAction* a = actions[index];
        EXPECT_EQ(a->objectName(), QLatin1String(r.item));
        EXPECT_EQ(a->isSeparator(), r.caption == nullptr);
        if (r.caption) {
            EXPECT_EQ(a->text(), QString::fromUtf8(r.caption));
        }
        EXPECT_EQ(a->isVisible(), r.visible);
        EXPECT_EQ(a->isEnabled(), r.enabled);
    }
    for (const char* menu : { "Archivo1", "Memoria1", "Configuracin1", "Herramientas1" })
        EXPECT_EQ(window().findChild<QMenu*>(QLatin1String(menu))->actions().size(),
                  next[QLatin1String(menu)])
            << menu << " holds another item";
    // The protection item is disabled in its own right, not only by being hidden.
    QAction* protect = window().Actions().ProtegerMem;
    protect->setVisible(true);
    EXPECT_FALSE(protect->isEnabled());
}

TEST_F(MainWindowLayout, MenuBarShowsFileMemoryConfigurationAndTools)
{
    QStringList all;
    QStringList shown;
    for (QAction* a : window().menuBar()->actions()) {
        all << a->text();
        if (a->isVisible())
            shown << a->text();
    }
    // "&Language" stays hidden until the language start-up gives it an item; "&Tools" comes
    // after it.
    EXPECT_EQ(all, (QStringList { "&File", "&Memory", "&Configuration", "&Language", "&Tools" }));
    EXPECT_EQ(shown, (QStringList { "&File", "&Memory", "&Configuration", "&Tools" }));
    EXPECT_EQ(window().MLanguage()->objectName(), QStringLiteral("MLanguage"));
    EXPECT_TRUE(window().MLanguage()->actions().isEmpty());
}

TEST_F(MainWindowLayout, MemoryMenuShowsRestoreAndLoadOnly)
{
    QStringList shown;
    for (QAction* a : window().findChild<QMenu*>(QStringLiteral("Memoria1"))->actions())
        if (a->isVisible() && !a->isSeparator())
            shown << a->text();
    EXPECT_EQ(shown, (QStringList { "&Restore", "&Load" }));
}

TEST_F(MainWindowLayout, ToolBarHoldsButtonsSeparatorsAndLedInOrder)
{
    struct TRow {
        const char* name;
        const char* hint; // nullptr: not a button
        int width;
    };
    const TRow rows[] = {
        { "BMemOpen", "Open file", 39 },
        { "BMemSave", "Save file", 39 },
        { "ToolButton3", nullptr, 8 },
        { "BMemRestore", "Restore Memory", 39 },
        { "BMemCharge", "Load Memory", 39 },
        { "ToolButton1", nullptr, 8 },
        { "ToolButton6", nullptr, 22 },
        { "BConfCtrl", "Control System configuration", 39 },
        { "BConfLambda", "Lambda Control configuration", 39 },
        { "BConfCutOff", "Cut-off Control configuration", 39 },
        { "ToolButton10", nullptr, 22 },
        { "Image1", nullptr, 28 },
        { "ToolButton7", nullptr, 3 },
        { "iLedCommSts", nullptr, 22 },
        { "ToolButton2", nullptr, 22 },
        { "BVerGraf", "Graphical Mode", 39 },
    };
    QToolBar* bar = window().findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->height(), 29);
    const QList<QAction*> actions = bar->actions();
    ASSERT_EQ(actions.size(), int(std::size(rows)));
    int left = -1;
    for (int i = 0; i < actions.size(); ++i) {
        const TRow& r = rows[i];
        SCOPED_TRACE(r.name);
        QWidget* w = bar->widgetForAction(actions[i]);
        ASSERT_TRUE(w);
        EXPECT_EQ(w->objectName(), QLatin1String(r.name));
        EXPECT_EQ(w->width(), r.width);
        EXPECT_GT(w->x(), left); // left to right
        left = w->x();
        if (r.hint) {
            EXPECT_EQ(actions[i]->objectName(), QLatin1String(r.name));
            EXPECT_EQ(actions[i]->toolTip(), QLatin1String(r.hint));
            EXPECT_FALSE(actions[i]->icon().isNull());
        }
    }
    TLed* led = window().iLedCommSts();
    EXPECT_EQ(led->shape(), TLed::TShape::Diamond);
    EXPECT_TRUE(led->hasBevel());
    EXPECT_EQ(led->size(), QSize(22, 22));
}

TEST_F(MainWindowLayout, StatusBarHasAdapterAndControllerPanels)
{
    EXPECT_EQ(window().StatusPanel(0)->width(), 160);
    EXPECT_GT(window().StatusPanel(1)->width(), 160);
    EXPECT_EQ(ClientRect(window().statusBar()).bottom(), 557);
    // Panel 0 waits for the first supervision tick.
    EXPECT_TRUE(window().StatusPanel(0)->text().isEmpty());
}

TEST_F(MainWindowLayout, PlotsLieOneAboveTheOtherAndTheValvePlotIsShown)
{
    TPlot* valve = window().Monitor().iPlot1();
    TPlot* lambda = window().Monitor().iPlot2();
    EXPECT_EQ(valve->size(), QSize(792, 284));
    EXPECT_EQ(valve->geometry(), lambda->geometry());
    EXPECT_TRUE(valve->isVisible());
    EXPECT_FALSE(lambda->isVisible());
    EXPECT_EQ(valve->title(), QStringLiteral("Valve position / RPM"));
    EXPECT_EQ(lambda->title(), QStringLiteral("Lambda probe"));
    const char* channels[] = { "Actual position", "Control position", "Max limit",
                               "Min limit",       "Lower Cut Off",    "Upper Cut Off" };
    ASSERT_EQ(valve->channelCount(), 6);
    for (int ch = 0; ch < 6; ++ch)
        EXPECT_EQ(valve->channelTitle(ch), QLatin1String(channels[ch])) << ch;
    EXPECT_EQ(valve->channelColor(TLiveMonitor::chUpperCutOff), QColor(255, 128, 0));
    EXPECT_EQ(lambda->channelColor(TLiveMonitor::chLambdaSim), QColor(0, 204, 0));
    EXPECT_EQ(valve->limitCount(), 3);
    EXPECT_EQ(lambda->limitCount(), 3);
    // The two cut-off lines reach the top of the plot.
    ASSERT_EQ(valve->annotationCount(), 2);
    EXPECT_EQ(valve->annotationLine(1).y2(), 500);
}

TEST_F(MainWindowLayout, LiveMonitorControlsLieWhereTheyBelong)
{
    struct TRow {
        const char* name;
        QRect place; // width or height 0: not checked
    };
    const TRow rows[] = {
        { "SwitchMan", { 4, 316, 141, 53 } },
        { "LedCtrl", { 104, 328, 37, 37 } },
        { "StaticText4", { 172, 318, 0, 0 } },
        { "LedNafta", { 194, 341, 29, 29 } },
        { "StaticText5", { 253, 318, 0, 0 } },
        { "LedGnc", { 272, 341, 29, 29 } },
        { "StaticText9", { 372, 320, 0, 0 } },
        { "PulsoVuelta", { 372, 338, 201, 21 } },
        { "StaticText1", { 4, 400, 69, 45 } },
        { "SET_AperturaPos", { 76, 376, 405, 45 } },
        { "SET_AperturaPosMax", { 76, 420, 405, 21 } },
        { "SET_AperturaPosMin", { 76, 440, 405, 21 } },
        { "VAL_AperturaActual", { 480, 376, 37, 21 } },
        { "VAL_AperturaPos", { 480, 400, 37, 21 } },
        { "VAL_AperturaPosMax", { 480, 420, 37, 21 } },
        { "VAL_AperturaPosMin", { 480, 440, 37, 21 } },
        { "StaticText2", { 4, 468, 0, 0 } },
        { "LEV_Lambda", { 72, 472, 409, 21 } },
        { "VAL_Lambda", { 480, 472, 37, 21 } },
        { "StaticText3", { 4, 504, 0, 0 } },
        { "LEV_Tps", { 72, 504, 409, 21 } },
        { "VAL_Tps", { 480, 504, 37, 21 } },
        { "LEV_Rpm", { 576, 312, 215, 213 } },
        { "VAL_Rpm", { 664, 492, 45, 21 } },
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.name);
        QWidget* w = Control(r.name);
        ASSERT_TRUE(w);
        const QRect at = ClientRect(w);
        EXPECT_EQ(at.topLeft(), r.place.topLeft());
        if (r.place.width() > 0) {
            EXPECT_EQ(at.size(), r.place.size());
        }
    }
}

TEST_F(MainWindowLayout, ValueBoxLabelsStandAtLeft520)
{
    const std::pair<const char*, const char*> rows[] = {
        { "VAL_AperturaActual", "Actual" }, { "VAL_AperturaPos", "Control" },
        { "VAL_AperturaPosMax", "Max" },    { "VAL_AperturaPosMin", "Min" },
        { "VAL_Lambda", "mV" },             { "VAL_Tps", "Volt's" },
    };
    for (const auto& [box, text] : rows) {
        SCOPED_TRACE(text);
        QLabel* label = nullptr;
        for (QLabel* l : window().findChildren<QLabel*>())
            if (l->text() == QLatin1String(text) && ClientRect(l).left() == 520)
                label = l;
        ASSERT_TRUE(label);
        EXPECT_EQ(ClientRect(label).top(), ClientRect(Control(box)).top());
        EXPECT_EQ(static_cast<QLabel*>(Control(box))->text(), QStringLiteral("0"));
    }
}

} // namespace
