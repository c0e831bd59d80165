// The main window's part of the refresh after a read: every control takes the controller's
// control set, and filling them is not taken for an edit.
#include "tests/ui/MainWindowFixture.h"

#include "protocol/CtrlSetEncoding.h"
#include "ui/main/TLiveMonitor.h"
#include "ui/widgets/TLedBar.h"
#include "ui/widgets/TPlot.h"
#include "ui/widgets/TSlider.h"
#include "ui/widgets/TValueBox.h"

#include <QComboBox>

namespace {

struct TRefreshRow {
    const char* name;
    CtrlSet set;
    int switchMan;
    int pulsoIndex;
    double lambdaMaximum;
    double lambdaSpan;
};

void PrintTo(const TRefreshRow& row, std::ostream* os)
{
    *os << row.name;
}

CtrlSet FourCylinders()
{
    CtrlSet s;
    s.Flags = cfManual | cfCutOffLAct;
    s.PulsoVuelta = 3;
    s.SondaIdeal = 92;
    s.SondaPobre = 41;
    s.SondaRica = 143;
    s.AperturaPos = 210;
    s.AperturaPosMin = 90;
    s.AperturaPosMax = 450;
    s.CutOffLRpm = 1500;
    s.CutOffLPos = 120;
    s.CutOffHRpm = 6200;
    s.CutOffHPos = 470;
    return s;
}

CtrlSet FiveVoltProbe()
{
    CtrlSet s = FourCylinders();
    s.Flags = cfSondaInv;
    s.PulsoVuelta = 7; // no item
    s.SondaPobre = 300;
    s.SondaRica = 700;
    s.SondaIdeal = 512;
    s.AperturaPosMin = 480; // above the maximum: shown as it is
    s.AperturaPosMax = 20;
    return s;
}

const TRefreshRow kRows[] = {
    { "fourCylinders", FourCylinders(), 1, 6, 205, 1000 },
    { "fiveVoltProbe", FiveVoltProbe(), 0, -1, 1024, 5000 },
};

class TRefresh : public MainWindowFixture, public ::testing::WithParamInterface<TRefreshRow> {
};

TEST_P(TRefresh, ReadFillsEveryControlOfTheMainWindow)
{
    const TRefreshRow& r = GetParam();
    controller().SetControlSet(r.set.ToBytes());
    ASSERT_TRUE(RunUntilReceiving());
    const TLiveMonitor& m = window().Monitor();

    EXPECT_EQ(m.SwitchManIndex(), r.switchMan);
    EXPECT_EQ(m.PulsoVuelta()->currentIndex(), r.pulsoIndex);

    EXPECT_EQ(m.LEV_Lambda()->maximum(), r.lambdaMaximum);
    EXPECT_EQ(m.iPlot2()->ySpan(), r.lambdaSpan);
    EXPECT_EQ(m.LEV_Lambda()->section1End(), r.set.SondaPobre);
    EXPECT_EQ(m.LEV_Lambda()->section2End(), r.set.SondaRica);
    EXPECT_DOUBLE_EQ(m.iPlot2()->limitPosition(TLiveMonitor::liSondaPobre),
                     r.set.SondaPobre * 4.887585532747);
    EXPECT_DOUBLE_EQ(m.iPlot2()->limitPosition(TLiveMonitor::liSondaRica),
                     r.set.SondaRica * 4.887585532747);
    EXPECT_DOUBLE_EQ(m.iPlot2()->limitPosition(TLiveMonitor::liSondaIdeal),
                     r.set.SondaIdeal * 4.887585532747);

    struct TValve {
        const char* name;
        TSlider* slider;
        TValueBox* box;
        int limit;
        uint16_t value;
    };
    const TValve valves[] = {
        { "AperturaPos", m.SET_AperturaPos(), m.VAL_AperturaPos(), TLiveMonitor::liAperturaPos,
          r.set.AperturaPos },
        { "AperturaPosMin", m.SET_AperturaPosMin(), m.VAL_AperturaPosMin(),
          TLiveMonitor::liAperturaPosMin, r.set.AperturaPosMin },
        { "AperturaPosMax", m.SET_AperturaPosMax(), m.VAL_AperturaPosMax(),
          TLiveMonitor::liAperturaPosMax, r.set.AperturaPosMax },
    };
    for (const TValve& v : valves) {
        SCOPED_TRACE(v.name);
        EXPECT_EQ(v.slider->position(), v.value);
        EXPECT_EQ(v.box->text(), QString::number(v.value));
        EXPECT_EQ(m.iPlot1()->limitPosition(v.limit), v.value);
    }

    TPlot* valve = m.iPlot1();
    EXPECT_EQ(valve->lastPoint(TLiveMonitor::chLowerCutOff), QPointF(1500, 120));
    EXPECT_EQ(valve->lastPoint(TLiveMonitor::chUpperCutOff), QPointF(6200, 470));
    EXPECT_EQ(valve->pointCount(TLiveMonitor::chUpperCutOff), 1);
    EXPECT_EQ(valve->annotationLine(0), QLineF(1500, 120, 1500, 500));
    EXPECT_EQ(valve->annotationLine(1), QLineF(6200, 470, 6200, 500));

    // Filling the controls changed nothing: no edit waits and nothing is written back.
    EXPECT_EQ(controlSet().Working(), r.set);
    EXPECT_EQ(window().Supervision().WriteDelay(), 0);
    EXPECT_TRUE(window().EditsEnabled());
    PumpFor(300);
    EXPECT_EQ(controller().CommandsReceived(0x21), 0);
    EXPECT_EQ(controller().CommandsReceived(0x18), 0);
}

INSTANTIATE_TEST_SUITE_P(ControlSets, TRefresh, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
