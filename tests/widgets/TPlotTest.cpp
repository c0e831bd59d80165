#include "ui/widgets/TPlot.h"

#include "tests/widgets/WidgetEvents.h"

#include <qcustomplot.h>

#include <QCoreApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace ev = widget_events;

namespace {

template <class Row>
std::string rowName(const testing::TestParamInfo<Row>& info)
{
    return info.param.name;
}

// The valve plot as the main window sets it up (channels 0, 4 and 5 matter here).
void setUpValvePlot(TPlot& plot)
{
    plot.resize(792, 284);
    plot.setTitle(QStringLiteral("Valve position / RPM"));
    plot.setXFixed(0, 8000);
    plot.setYFixed(0, 500);
    plot.setLegendVisible(true);
    plot.addChannel(QStringLiteral("Actual position"), Qt::white);
    plot.setChannelRingBuffer(0, 1);
    plot.setChannelMarker(0, TPlot::TMarker::Disc);
    plot.addLimit(Qt::yellow);
    plot.addLimit(Qt::red);
    plot.addLimit(Qt::magenta);
}

// The lambda plot: X scrolls over 10 units, Y from 0 over 1000 up to 5000, ten minutes kept.
void setUpLambdaPlot(TPlot& plot)
{
    plot.resize(792, 284);
    plot.setTitle(QStringLiteral("Lambda probe"));
    plot.setXScrolling(10);
    plot.setYFollow(0, 1000, 5000);
    for (int i = 0; i < 2; ++i) {
        plot.addChannel(i == 0 ? QStringLiteral("Lambda probe") : QStringLiteral("Lambda simulation"),
                        i == 0 ? QColor(Qt::white) : QColor(0, 204, 0));
        plot.setChannelXWindow(i, 600);
    }
    plot.setChannelLineWidth(1, 3);
}

// --- channels and their buffers ---

TEST(PlotRing, BufferOfOneIsAMovingMarker)
{
    TPlot plot;
    setUpValvePlot(plot);
    plot.AddXY(0, 800, 40);
    plot.AddXY(0, 2500, 120);
    plot.AddXY(0, 1200, 90);
    EXPECT_EQ(plot.pointCount(0), 1);
    EXPECT_EQ(plot.lastPoint(0), QPointF(1200, 90));
    EXPECT_EQ(plot.points(0), (QList<QPointF> {{1200, 90}}));
}

TEST(PlotRing, KeepsTheLastPointsInTheOrderTheyCame)
{
    // X out of order and repeated, as (RPM, position) points come: the oldest go, not the
    // lowest.
    TPlot plot;
    plot.addChannel(QStringLiteral("trail"), Qt::white);
    plot.setChannelRingBuffer(0, 3);
    for (QPointF p : {QPointF(5, 1), QPointF(1, 2), QPointF(5, 3), QPointF(5, 4), QPointF(2, 5)})
        plot.AddXY(0, p.x(), p.y());
    EXPECT_EQ(plot.points(0), (QList<QPointF> {{2, 5}, {5, 3}, {5, 4}}));
}

TEST(PlotWindow, LongChannelStaysWithinItsXWindow)
{
    // A day's session at 20 points a second would be 1.7 million points; ten minutes are kept.
    TPlot plot;
    setUpLambdaPlot(plot);
    double t = 0;
    for (int i = 0; i < 36000; ++i, t += 0.05) { // 30 minutes
        plot.AddXY(0, t, 450);
        plot.AddXY(1, t, 800);
    }
    const double newest = t - 0.05;
    for (int ch = 0; ch < 2; ++ch) {
        EXPECT_LE(plot.pointCount(ch), 12001) << "channel " << ch;
        EXPECT_GE(plot.pointCount(ch), 11999) << "channel " << ch;
        EXPECT_GE(plot.points(ch).first().x(), newest - 600 - 1e-6) << "channel " << ch;
        EXPECT_DOUBLE_EQ(plot.lastPoint(ch).x(), newest) << "channel " << ch;
    }
}

TEST(PlotClear, ClearEmptiesOneChannelClearAllEvery)
{
    TPlot plot;
    setUpLambdaPlot(plot);
    plot.AddXY(0, 0, 1);
    plot.AddXY(1, 0, 2);
    plot.Clear(1);
    EXPECT_EQ(plot.pointCount(0), 1);
    EXPECT_EQ(plot.pointCount(1), 0);
    EXPECT_TRUE(std::isnan(plot.lastPoint(1).x()));
    plot.ClearAll();
    EXPECT_EQ(plot.pointCount(0), 0);
}

TEST(PlotChannels, UnknownIndicesAreIgnored)
{
    TPlot plot;
    plot.addChannel(QStringLiteral("only"), Qt::white);
    plot.AddXY(1, 0, 0);
    plot.AddXY(-1, 0, 0);
    plot.Clear(7);
    plot.setLimitPosition(0, 5);
    plot.setAnnotationLine(0, QLineF(0, 0, 1, 1));
    EXPECT_EQ(plot.pointCount(0), 0);
    EXPECT_EQ(plot.pointCount(1), 0);
    EXPECT_TRUE(std::isnan(plot.limitPosition(0)));
    EXPECT_EQ(plot.annotationLine(0), QLineF());
}

TEST(PlotChannels, TitlesAndColoursAreSettable)
{
    TPlot plot;
    const int ch = plot.addChannel(QStringLiteral("Upper Cut Off"), QColor(255, 128, 0));
    EXPECT_EQ(plot.channelTitle(ch), QStringLiteral("Upper Cut Off"));
    EXPECT_EQ(plot.channelColor(ch), QColor(255, 128, 0));
    plot.setChannelTitle(ch, QStringLiteral("Corte superior"));
    plot.setChannelColor(ch, Qt::cyan);
    EXPECT_EQ(plot.channelTitle(ch), QStringLiteral("Corte superior"));
    EXPECT_EQ(plot.channelColor(ch), QColor(Qt::cyan));
}

// --- limits, annotations, legend ---

TEST(PlotLimits, MoveOnlyWhenTheProgramMovesThem)
{
    TPlot plot;
    setUpValvePlot(plot);
    plot.show();
    plot.setLimitPosition(0, 123);
    plot.setLimitPosition(1, 450);
    EXPECT_DOUBLE_EQ(plot.limitPosition(0), 123);
    EXPECT_DOUBLE_EQ(plot.limitPosition(1), 450);
    EXPECT_DOUBLE_EQ(plot.limitPosition(2), 0);

    // A drag across the yellow line moves neither it nor the axes.
    auto* drawing = plot.findChild<QCustomPlot*>();
    ASSERT_NE(drawing, nullptr);
    plot.flushReplot();
    const double lineY = drawing->yAxis->coordToPixel(123);
    const double midX = drawing->xAxis->coordToPixel(4000);
    ev::press(drawing, QPointF(midX, lineY));
    ev::drag(drawing, QPointF(midX, lineY - 60));
    ev::release(drawing, QPointF(midX, lineY - 60));
    EXPECT_DOUBLE_EQ(plot.limitPosition(0), 123);
    EXPECT_DOUBLE_EQ(drawing->yAxis->range().upper, 500);
}

TEST(PlotAnnotations, CutOffLineFollowsItsPoint)
{
    TPlot plot;
    setUpValvePlot(plot);
    const int a = plot.addLineAnnotation(QLineF(0, 0, 0, 500), Qt::cyan);
    plot.setAnnotationLine(a, QLineF(6000, 120, 6000, 500));
    EXPECT_EQ(plot.annotationLine(a), QLineF(6000, 120, 6000, 500));
    EXPECT_EQ(plot.annotationCount(), 1);
}

TEST(PlotLegend, Toggles)
{
    TPlot plot;
    EXPECT_FALSE(plot.legendVisible());
    plot.setLegendVisible(true);
    EXPECT_TRUE(plot.legendVisible());
}

// --- axes ---

struct ScrollRow {
    std::string name;
    std::vector<double> xs; // X of the points added to channel 0, in order
    bool clearAll;          // ClearAll after adding them
    double lower;
    double upper;
};

void PrintTo(const ScrollRow& row, std::ostream* os)
{
    *os << row.name;
}

class PlotScroll : public testing::TestWithParam<ScrollRow> {};

TEST_P(PlotScroll, XFollowsTheNewestPoint)
{
    const ScrollRow& row = GetParam();
    TPlot plot;
    setUpLambdaPlot(plot);
    for (double x : row.xs)
        plot.AddXY(0, x, 500);
    if (row.clearAll)
        plot.ClearAll();
    EXPECT_DOUBLE_EQ(plot.xRange().lower, row.lower);
    EXPECT_DOUBLE_EQ(plot.xRange().upper, row.upper);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlotScroll,
    testing::Values(ScrollRow {"empty", {}, false, 0, 10},
                    ScrollRow {"inside_first_span", {0, 2.5, 5}, false, 0, 10},
                    ScrollRow {"at_right_edge", {0, 10}, false, 0, 10},
                    ScrollRow {"past_right_edge", {0, 10, 23.5}, false, 13.5, 23.5},
                    ScrollRow {"cleared_scrolls_back", {0, 10, 23.5}, true, 0, 10}),
    rowName<ScrollRow>);

TEST(PlotScroll, EmptyingTheSimulationChannelKeepsTheScroll)
{
    // Old controllers: channel 1 is emptied on every frame while channel 0 goes on.
    TPlot plot;
    setUpLambdaPlot(plot);
    plot.AddXY(0, 42, 500);
    plot.AddXY(1, 42, 800);
    plot.Clear(1);
    EXPECT_DOUBLE_EQ(plot.xRange().upper, 42);
}

struct YRow {
    std::string name;
    double span;                 // setYSpan
    std::vector<QPointF> points; // added to channel 0
    double upper;
};

void PrintTo(const YRow& row, std::ostream* os)
{
    *os << row.name;
}

class PlotYFollow : public testing::TestWithParam<YRow> {};

TEST_P(PlotYFollow, YFromZeroOverTheSpanGrowsWithTheDataUpToTheCap)
{
    const YRow& row = GetParam();
    TPlot plot;
    setUpLambdaPlot(plot);
    plot.setYSpan(row.span);
    for (QPointF p : row.points)
        plot.AddXY(0, p.x(), p.y());
    EXPECT_DOUBLE_EQ(plot.ySpan(), row.span);
    EXPECT_DOUBLE_EQ(plot.yRange().lower, 0);
    EXPECT_DOUBLE_EQ(plot.yRange().upper, row.upper);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlotYFollow,
    testing::Values(YRow {"empty_1v", 1000, {}, 1000},
                    YRow {"within_span", 1000, {{0, 450}, {1, 900}}, 1000},
                    YRow {"above_span_in_steps", 1000, {{0, 450}, {1, 1234}}, 1400},
                    YRow {"never_beyond_cap", 1000, {{0, 7000}}, 5000},
                    YRow {"five_volt_span", 5000, {{0, 450}}, 5000},
                    YRow {"scrolled_out_peak_forgotten", 1000, {{0, 3000}, {30, 450}}, 1000}),
    rowName<YRow>);

TEST(PlotAxes, FixedAxesIgnoreTheData)
{
    TPlot plot;
    setUpValvePlot(plot);
    plot.AddXY(0, 9000, 700);
    EXPECT_DOUBLE_EQ(plot.xRange().lower, 0);
    EXPECT_DOUBLE_EQ(plot.xRange().upper, 8000);
    EXPECT_DOUBLE_EQ(plot.yRange().upper, 500);
}

// --- redrawing and the mouse ---

TEST(PlotReplot, ManyChangesGiveOneReplot)
{
    TPlot plot;
    setUpLambdaPlot(plot);
    plot.setReplotDelay(0);
    plot.show();
    auto* drawing = plot.findChild<QCustomPlot*>();
    ASSERT_NE(drawing, nullptr);
    QCoreApplication::processEvents();
    plot.flushReplot();

    int replots = 0;
    QObject::connect(drawing, &QCustomPlot::afterReplot, [&replots] { ++replots; });
    for (int i = 0; i < 100; ++i) {
        plot.AddXY(0, i * 0.05, 450);
        plot.AddXY(1, i * 0.05, 800);
    }
    plot.setLimitPosition(0, 0); // no limit: ignored, draws nothing new
    EXPECT_EQ(replots, 0);
    EXPECT_TRUE(plot.replotPending());
    for (int pass = 0; pass < 10 && plot.replotPending(); ++pass)
        QCoreApplication::processEvents();
    EXPECT_FALSE(plot.replotPending());
    EXPECT_EQ(replots, 1);
    EXPECT_DOUBLE_EQ(drawing->xAxis->range().upper, 10);
}

// A plot drawn change by change (only the data layer again when the axes stay) looks exactly
// as one that draws the same final state at once.
struct TRedrawRow {
    const char* name;
    void (*setUp)(TPlot&);
    std::vector<void (*)(TPlot&)> changes;
};

void PrintTo(const TRedrawRow& row, std::ostream* os)
{
    *os << row.name;
}

class PlotRedraw : public testing::TestWithParam<TRedrawRow> {};

// Both the plot painted afresh and what the paints of every change left in its window, where a
// part the plot forgot to ask for would still show the old picture.
TEST_P(PlotRedraw, ChangeByChangeLooksAsDrawnAtOnce)
{
    const TRedrawRow& row = GetParam();
    TPlot stepped;
    row.setUp(stepped);
    stepped.show();
    stepped.flushReplot();
    QCoreApplication::processEvents();
    for (auto change : row.changes) {
        change(stepped);
        stepped.flushReplot();
        QCoreApplication::processEvents();
    }

    TPlot once;
    row.setUp(once);
    for (auto change : row.changes)
        change(once);
    once.show();
    once.flushReplot();

    const QImage expected = once.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(stepped.grab().toImage().convertToFormat(QImage::Format_RGB32) == expected)
        << "the plot drawn change by change differs from the plot drawn at once";
    const QImage onScreen = stepped.screen()->grabWindow(stepped.winId()).toImage();
    EXPECT_TRUE(onScreen.convertToFormat(QImage::Format_RGB32) == expected)
        << "the paints of the changes left a picture that differs from the plot drawn at once";
}

// The valve plot as the window has it: a live marker under still lines, and a second live
// marker above them, so that the data is drawn on four layers.
void setUpLayeredValvePlot(TPlot& plot)
{
    setUpValvePlot(plot);
    plot.setChannelLive(0, true);
    const int curve = plot.addChannel(QStringLiteral("Control position"), Qt::yellow);
    for (const QPointF& p : { QPointF(0, 0), QPointF(2000, 150), QPointF(5000, 300) })
        plot.AddXY(curve, p.x(), p.y());
    plot.setChannelRingBuffer(plot.addChannel(QStringLiteral("Cut off"), Qt::cyan), 1);
    plot.setChannelMarker(2, TPlot::TMarker::TriangleDown, 11);
    plot.setChannelLive(2, true);
    // Slanting lines have pixels of partial cover, which a layer drawn twice over itself would
    // darken: each drawing in part must clear what it draws on.
    plot.addLineAnnotation(QLineF(0, 100, 8000, 400), Qt::green);
}

// A plot whose X stays but whose Y grows with the data.
void setUpFollowingPlot(TPlot& plot)
{
    setUpValvePlot(plot);
    plot.setYFollow(0, 500, 2000);
    plot.addChannel(QStringLiteral("trail"), Qt::yellow);
    plot.setChannelLineWidth(1, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlotRedraw,
    testing::Values(
        TRedrawRow { "MarkerMoves", setUpValvePlot,
                     { [](TPlot& p) { p.AddXY(0, 800, 40); },
                       [](TPlot& p) { p.AddXY(0, 2500, 0); },
                       [](TPlot& p) { p.AddXY(0, 7900, 480); } } },
        TRedrawRow { "LimitsAndLinesMove", setUpValvePlot,
                     { [](TPlot& p) { p.setLimitPosition(0, 123.4); },
                       [](TPlot& p) { p.addLineAnnotation(QLineF(0, 0, 4000, 300), Qt::cyan); },
                       [](TPlot& p) { p.setLimitPosition(0, 300); },
                       [](TPlot& p) { p.setAnnotationLine(0, QLineF(100, 500, 8000, 0)); } } },
        TRedrawRow { "ChannelCleared", setUpValvePlot,
                     { [](TPlot& p) { p.AddXY(0, 4000, 250); },
                       [](TPlot& p) { p.Clear(0); } } },
        TRedrawRow { "TitleAndLegendChangeBetweenPoints", setUpValvePlot,
                     { [](TPlot& p) { p.AddXY(0, 4000, 250); },
                       [](TPlot& p) { p.setTitle(QStringLiteral("Posición de la válvula")); },
                       [](TPlot& p) { p.AddXY(0, 4100, 260); },
                       [](TPlot& p) { p.setChannelTitle(0, QStringLiteral("Posición real")); },
                       [](TPlot& p) { p.setLegendVisible(false); },
                       [](TPlot& p) { p.AddXY(0, 4200, 270); } } },
        TRedrawRow { "LiveMarkersCrossStillLines", setUpLayeredValvePlot,
                     { [](TPlot& p) { p.AddXY(0, 2000, 150); },
                       [](TPlot& p) { p.AddXY(2, 1000, 480); },
                       [](TPlot& p) { p.AddXY(0, 1000, 250); },
                       [](TPlot& p) { p.setLimitPosition(1, 250); },
                       [](TPlot& p) { p.AddXY(0, 0, 0); },
                       [](TPlot& p) { p.AddXY(1, 8000, 500); },
                       [](TPlot& p) { p.AddXY(0, 8100, -20); },
                       [](TPlot& p) { p.setChannelLive(2, false); },
                       [](TPlot& p) { p.AddXY(2, 7000, 100); },
                       [](TPlot& p) { p.Clear(0); } } },
        TRedrawRow { "YGrowsWithTheData", setUpFollowingPlot,
                     { [](TPlot& p) { p.AddXY(1, 1000, 100); },
                       [](TPlot& p) { p.AddXY(1, 2000, 900); },
                       [](TPlot& p) { p.AddXY(1, 3000, 1700); },
                       [](TPlot& p) { p.AddXY(1, 4000, 200); } } },
        TRedrawRow { "ScrollingX", setUpLambdaPlot,
                     { [](TPlot& p) { for (int i = 0; i < 100; ++i) p.AddXY(0, i * 0.05, 450); },
                       [](TPlot& p) { for (int i = 100; i < 300; ++i) p.AddXY(1, i * 0.05, 800); } } }),
    rowName<TRedrawRow>);

TEST(PlotReplot, PointsOnStillAxesDoNotLayTheRestOutAgain)
{
    TPlot plot;
    setUpValvePlot(plot);
    plot.show();
    plot.flushReplot();
    auto* drawing = plot.findChild<QCustomPlot*>();
    ASSERT_NE(drawing, nullptr);
    int wholeReplots = 0;
    QObject::connect(drawing, &QCustomPlot::beforeReplot, [&wholeReplots] { ++wholeReplots; });
    plot.AddXY(0, 800, 40);
    plot.setLimitPosition(1, 450);
    plot.flushReplot();
    EXPECT_EQ(wholeReplots, 0);
    plot.setTitle(QStringLiteral("Posición de la válvula"));
    plot.flushReplot();
    EXPECT_EQ(wholeReplots, 1);
}

// Notes the region of every paint of the widget it watches.
class TPaintWatch : public QObject {
public:
    QRegion painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return QObject::eventFilter(watched, event);
    }
};

// A marker that moves asks for the pixels it left and the pixels it goes to, not the whole plot.
TEST(PlotReplot, AMovingMarkerRepaintsWhereItWasAndIs)
{
    TPlot plot;
    setUpValvePlot(plot);
    plot.setChannelLive(0, true);
    plot.AddXY(0, 1000, 100);
    plot.show();
    plot.flushReplot();
    QCoreApplication::processEvents();
    auto* drawing = plot.findChild<QCustomPlot*>();
    ASSERT_NE(drawing, nullptr);
    TPaintWatch watch;
    drawing->installEventFilter(&watch);
    const QPoint was(int(drawing->xAxis->coordToPixel(1000)), int(drawing->yAxis->coordToPixel(100)));
    const QPoint is(int(drawing->xAxis->coordToPixel(6000)), int(drawing->yAxis->coordToPixel(400)));

    plot.AddXY(0, 6000, 400);
    plot.flushReplot();
    QCoreApplication::processEvents();

    EXPECT_TRUE(watch.painted.contains(QRect(was - QPoint(6, 6), QSize(13, 13))));
    EXPECT_TRUE(watch.painted.contains(QRect(is - QPoint(6, 6), QSize(13, 13))));
    int area = 0;
    for (const QRect& r : watch.painted)
        area += r.width() * r.height();
    EXPECT_LT(area, 1000) << "the paint covered " << area << " pixels of "
                          << drawing->width() * drawing->height();
}

// Calls `onUpdateRequest` when the widget it watches is about to repaint its window.
class TUpdateRequestWatch : public QObject {
public:
    std::function<void()> onUpdateRequest;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest && onUpdateRequest)
            onUpdateRequest();
        return QObject::eventFilter(watched, event);
    }
};

// Points added while an event is handled (a batch of telemetry) are drawn before the window's
// repaint that the same event asked for, so one paint shows the plot with the rest.
TEST(PlotReplot, PointsAreDrawnBeforeTheRepaintTheirEventAskedFor)
{
    QWidget window;
    TPlot plot(&window);
    setUpLambdaPlot(plot);
    window.resize(plot.size());
    window.show();
    for (int pass = 0; pass < 10; ++pass)
        QCoreApplication::processEvents();
    ASSERT_FALSE(plot.replotPending());
    auto* drawing = plot.findChild<QCustomPlot*>();
    ASSERT_NE(drawing, nullptr);
    int replots = 0;
    QObject::connect(drawing, &QCustomPlot::afterReplot, [&replots] { ++replots; });
    std::vector<int> replotsAtRepaint;
    TUpdateRequestWatch watch;
    watch.onUpdateRequest = [&] { replotsAtRepaint.push_back(replots); };
    window.installEventFilter(&watch);

    QMetaObject::invokeMethod(
        &window,
        [&] {
            window.update(); // another instrument of the window moved
            plot.AddXY(0, 1, 450);
        },
        Qt::QueuedConnection);
    for (int pass = 0; pass < 10; ++pass)
        QCoreApplication::processEvents();
    EXPECT_EQ(replots, 1);
    EXPECT_EQ(replotsAtRepaint, std::vector<int> { 1 }) << "one repaint, after the replot";
}

TEST(PlotReplot, HiddenPlotIsDrawnWhenShown)
{
    QWidget window; // the two plots lie on top of each other; one is hidden
    TPlot plot(&window);
    setUpLambdaPlot(plot);
    plot.hide();
    window.show();
    auto* drawing = plot.findChild<QCustomPlot*>();
    ASSERT_NE(drawing, nullptr);
    int replots = 0;
    QObject::connect(drawing, &QCustomPlot::afterReplot, [&replots] { ++replots; });

    for (int i = 0; i <= 300; ++i)
        plot.AddXY(0, i * 0.05, 450);
    EXPECT_FALSE(plot.replotPending()) << "nothing to draw while hidden";
    EXPECT_EQ(plot.pointCount(0), 301);

    plot.show();
    EXPECT_EQ(replots, 1);
    EXPECT_DOUBLE_EQ(drawing->xAxis->range().upper, 15);
}

TEST(PlotMouse, DoubleClickIsReported)
{
    TPlot plot;
    setUpLambdaPlot(plot);
    int clicks = 0;
    QObject::connect(&plot, &TPlot::doubleClicked, [&clicks] { ++clicks; });
    auto* drawing = plot.findChild<QCustomPlot*>();
    ASSERT_NE(drawing, nullptr);
    ev::doubleClick(drawing, QPointF(400, 140));
    EXPECT_EQ(clicks, 1);
}

// The legend stands in a row of its own above the data area and leaves it free; hidden, it
// gives its room back.
TEST(PlotLegend, StandsAboveTheDataAreaAndGivesItsRoomBackWhenHidden)
{
    TPlot plot;
    plot.resize(792, 284);
    plot.setTitle(QStringLiteral("Valve position / RPM"));
    for (const char* title : {"Actual position", "Control position", "Max limit", "Min limit",
                              "Lower Cut Off", "Upper Cut Off"})
        plot.addChannel(QLatin1String(title), Qt::white);
    plot.setLegendVisible(true);
    plot.show();
    plot.flushReplot();
    const QRect legend = plot.legendRect();
    const QRect data = plot.dataRect();
    ASSERT_FALSE(legend.isEmpty());
    EXPECT_FALSE(legend.intersects(data));
    EXPECT_LE(legend.bottom(), data.top());
    EXPECT_TRUE(plot.rect().contains(legend));

    plot.setLegendVisible(false);
    plot.flushReplot();
    EXPECT_TRUE(plot.legendRect().isEmpty());
    EXPECT_LT(plot.dataRect().top(), data.top());
    plot.setLegendVisible(true);
    plot.flushReplot();
    EXPECT_EQ(plot.dataRect(), data);
}

} // namespace
