// The live monitor's editing controls: the valve sliders, the RPM-signal list and the control
// mode, the edit guard, and the two plot commands.
#include "tests/ui/MainWindowFixture.h"

#include "protocol/CtrlSetEncoding.h"
#include "ui/main/TLiveMonitor.h"
#include "ui/main/TMainActions.h"
#include "ui/widgets/TPlot.h"
#include "ui/widgets/TSlider.h"
#include "ui/widgets/TValueBox.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QTest>

#include <qcustomplot.h>

namespace {

using TEdits = MainWindowFixture;

struct TValveRow {
    const char* name;
    TSlider* (TLiveMonitor::*slider)() const;
    TValueBox* (TLiveMonitor::*box)() const;
    uint16_t CtrlSet::*field;
    int limit; // 0 yellow, 1 red, 2 fuchsia
};

const TValveRow kValveRows[] = {
    { "SET_AperturaPos", &TLiveMonitor::SET_AperturaPos, &TLiveMonitor::VAL_AperturaPos,
      &CtrlSet::AperturaPos, TLiveMonitor::liAperturaPos },
    { "SET_AperturaPosMin", &TLiveMonitor::SET_AperturaPosMin, &TLiveMonitor::VAL_AperturaPosMin,
      &CtrlSet::AperturaPosMin, TLiveMonitor::liAperturaPosMin },
    { "SET_AperturaPosMax", &TLiveMonitor::SET_AperturaPosMax, &TLiveMonitor::VAL_AperturaPosMax,
      &CtrlSet::AperturaPosMax, TLiveMonitor::liAperturaPosMax },
};

TEST_F(TEdits, SliderStoresItsTruncatedPositionShowsItAndMovesItsLine)
{
    const TLiveMonitor& m = window().Monitor();
    for (const TValveRow& r : kValveRows) {
        SCOPED_TRACE(r.name);
        (m.*r.slider)()->setPosition(123.7);
        EXPECT_EQ(controlSet().Working().*r.field, 123);
        EXPECT_EQ((m.*r.box)()->text(), QStringLiteral("123"));
        EXPECT_EQ(m.iPlot1()->limitPosition(r.limit), 123);
        EXPECT_EQ(window().Supervision().WriteDelay(), 2);
        // Only the working copy: the device copy waits for the write delay.
        EXPECT_EQ(controlSet().Device().*r.field, 0);
    }
    // The three are independent: a minimum above the maximum is kept as it is.
    m.SET_AperturaPosMin()->setPosition(400);
    m.SET_AperturaPosMax()->setPosition(100.9);
    EXPECT_EQ(controlSet().Working().AperturaPosMin, 400);
    EXPECT_EQ(controlSet().Working().AperturaPosMax, 100);
}

TEST_F(TEdits, PulsoVueltaStoresTheCodeOfTheChosenItem)
{
    const std::pair<int, uint8_t> rows[] = { { 0, 4 }, { 1, 5 }, { 2, 6 }, { 3, 8 },
                                             { 4, 2 }, { 5, 1 }, { 6, 3 } };
    QComboBox* list = window().Monitor().PulsoVuelta();
    ASSERT_EQ(list->count(), 7);
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_EQ(list->itemText(6), QStringLiteral("3 Cylinder / 1 Coil"));
    for (const auto& [index, code] : rows) {
        SCOPED_TRACE(index);
        list->setCurrentIndex(index);
        EXPECT_EQ(controlSet().Working().PulsoVuelta, code);
    }
}

TEST_F(TEdits, WhileTheSupervisionTimerIsStoppedEditsAreIgnored)
{
    window().SetEditsEnabled(false);
    ASSERT_FALSE(window().TimerRefreshCtrlSet().isActive());
    const TLiveMonitor& m = window().Monitor();
    for (const TValveRow& r : kValveRows)
        (m.*r.slider)()->setPosition(250);
    m.PulsoVuelta()->setCurrentIndex(6);
    m.SwitchManItems()->button(1)->click();

    EXPECT_EQ(controlSet().Working(), CtrlSet {});
    EXPECT_EQ(window().Supervision().WriteDelay(), 0);
    EXPECT_EQ(m.VAL_AperturaPos()->text(), QStringLiteral("0"));
    window().SetEditsEnabled(true);
    EXPECT_TRUE(window().TimerRefreshCtrlSet().isActive());
}

TEST_F(TEdits, ManualIsSentAtOnceAndTheControlSetFollowsAfterTheWriteDelay)
{
    ASSERT_TRUE(RunUntilReceiving());
    const size_t before = adapter().SentRecords().size();
    window().Monitor().SwitchManItems()->button(1)->click();
    EXPECT_TRUE(HasFlag(controlSet().Working().Flags, cfManual));

    ASSERT_TRUE(RunUntil([&] { return adapter().SentRecords().size() > before; }));
    const std::vector<uint8_t> first = rig().SentSince(before).front();
    ASSERT_GE(first.size(), 7u);
    EXPECT_EQ(std::vector<uint8_t>(first.begin(), first.begin() + 7),
              (std::vector<uint8_t> { 0x03, 0x05, 0x01, 0x18, 0x10, 0xFE, 0x04 }));

    // Two supervision ticks later the working copy goes out with command 0x21.
    ASSERT_TRUE(RunUntil([&] { return controller().CommandsReceived(0x21) > 0; }));
    EXPECT_TRUE(HasFlag(controller().ControlSet()[0], cfManual));
    EXPECT_TRUE(controller().State().manual);
}

TEST_F(TEdits, GraphicalModeSwitchesBetweenThePlots)
{
    TPlot* valve = window().Monitor().iPlot1();
    TPlot* lambda = window().Monitor().iPlot2();
    QAction* button = window().Actions().BVerGraf;
    const std::pair<bool, bool> shownAfter[] = { { false, true }, { true, false }, { false, true } };
    for (const auto& [valveShown, lambdaShown] : shownAfter) {
        button->trigger();
        EXPECT_EQ(valve->isVisible(), valveShown);
        EXPECT_EQ(lambda->isVisible(), lambdaShown);
    }
}

TEST_F(TEdits, DoubleClickOnTheLambdaPlotEmptiesItAndStartsTimeAgain)
{
    window().BVerGrafClick();
    TPlot* lambda = window().Monitor().iPlot2();
    ASSERT_TRUE(RunUntilReceiving());
    ASSERT_TRUE(rig().RunFrames(5));
    rig().StopTelemetry();
    ASSERT_GT(lambda->pointCount(TLiveMonitor::chLambda), 0);
    ASSERT_GT(protocol().Telemetry().PlotTime(), 0);

    auto* drawing = lambda->findChild<QCustomPlot*>();
    ASSERT_TRUE(drawing);
    QTest::mouseDClick(drawing, Qt::LeftButton, {}, drawing->rect().center());
    EXPECT_EQ(lambda->pointCount(TLiveMonitor::chLambda), 0);
    EXPECT_EQ(lambda->pointCount(TLiveMonitor::chLambdaSim), 0);
    EXPECT_EQ(protocol().Telemetry().PlotTime(), 0);

    rig().StartTelemetry();
    ASSERT_TRUE(rig().RunFrames(1));
    EXPECT_EQ(lambda->points(TLiveMonitor::chLambda).front().x(), 0);
}

} // namespace
