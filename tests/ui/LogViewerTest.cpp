// The log viewer window on datalog files: loading, the cursor's read-out, the mouse on the
// panes, showing and hiding channels, the decimated drawing and the export.
#include "tests/datalog/DatalogFiles.h"

#include "datalog/TDatalogColumns.h"
#include "ui/datalog/TLogPlot.h"
#include "ui/datalog/TLogViewerForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using TId = TDatalogChannel::TId;

// Three rows whose read-outs are known, the emulated lambda missing from the first.
std::vector<TDatalogRow> ThreeRows()
{
    TDatalogRow a;
    a.timeMs = 1000;
    a.rpm = 820;
    a.tps = 95;
    a.lambda = 92;
    a.valveActual = 47;
    a.valveControl = 200;
    TDatalogRow b = a;
    b.timeMs = 1050;
    b.rpm = 1500;
    b.tps = 205;
    b.lambda = 143;
    b.lambdaSim = 41;
    b.valveActual = 150;
    b.valveControl = 210;
    b.gas = true;
    b.led = TDatalogRow::ldRedOn;
    TDatalogRow c = b;
    c.timeMs = 6000;
    c.rpm = 3000;
    c.led = TDatalogRow::ldRedOff;
    return { a, b, c };
}

class LogViewer : public ::testing::Test {
protected:
    // A shown viewer that has read `content` and drawn it once.
    TLogViewerForm& Open(const std::string& content)
    {
        FForm = std::make_unique<TLogViewerForm>();
        FForm->setAttribute(Qt::WA_DeleteOnClose, false);
        FForm->resize(1000, 700);
        FForm->show();
        EXPECT_TRUE(FForm->Open(FFiles.Write(content))) << FForm->ErrorText().toStdString();
        FForm->FinishLoading();
        Plot().replot(QCustomPlot::rpImmediateRefresh);
        return *FForm;
    }
    TLogPlot& Plot() { return *FForm->Plot(); }
    QPointF Centre(TLogPlot::TPane pane) { return Plot().PaneRect(pane)->rect().center(); }
    void Wheel(QPointF at, int notches)
    {
        QWheelEvent wheel(at, Plot().mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Plot(), &wheel);
        Plot().replot(QCustomPlot::rpImmediateRefresh);
    }
    void Mouse(QEvent::Type type, QPointF at, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, at, Plot().mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&Plot(), &event);
    }
    QCPRange Values(TLogPlot::TPane pane) { return Plot().ValueAxis(pane)->range(); }

    DatalogFiles FFiles;
    std::unique_ptr<TLogViewerForm> FForm;
};

bool Same(const QCPRange& a, const QCPRange& b)
{
    return std::abs(a.lower - b.lower) < 1e-9 && std::abs(a.upper - b.upper) < 1e-9;
}

} // namespace

// Open checks the file; its rows are read from the event loop afterwards, in slices.
TEST_F(LogViewer, LoadsInSlicesFromTheEventLoop)
{
    std::vector<TDatalogRow> rows;
    for (int i = 0; i < 60000; ++i)
        rows.push_back(MakeRow(int64_t(i) * 50, i));
    TLogViewerForm form;
    form.setAttribute(Qt::WA_DeleteOnClose, false);
    QSignalSpy loaded(&form, &TLogViewerForm::loaded);
    ASSERT_TRUE(form.Open(FFiles.Write(LogText(rows))));
    EXPECT_TRUE(form.Loading());
    EXPECT_EQ(form.Log(), nullptr);
    ASSERT_TRUE(loaded.wait(60000));
    EXPECT_FALSE(form.Loading());
    ASSERT_NE(form.Log(), nullptr);
    EXPECT_EQ(form.Log()->Rows(), rows.size());
    EXPECT_EQ(form.Log()->Row(59999), rows.back());
    EXPECT_TRUE(form.SummaryText().startsWith(QLocale().toString(60000) + QStringLiteral(" rows")));
}

TEST_F(LogViewer, ReadsOutEveryChannelAtTheCursor)
{
    Open(LogText(ThreeRows()));
    struct Case {
        double seconds; // since the first row
        const char* cursor;
        const char* values[TDatalogChannel::kCount];
    };
    const char* const first[] = { "820 rpm", "0.464 V", "449.7 mV", "\u2013", "47", "200",
                                  "Gasoline", "Blinking yellow" };
    const char* const second[] = { "1500 rpm", "1.002 V", "698.9 mV", "200.4 mV", "150", "210",
                                   "Cng/Ngv", "Red, lit" };
    const char* const third[] = { "3000 rpm", "1.002 V", "698.9 mV", "200.4 mV", "150", "210",
                                  "Cng/Ngv", "Red, dark" };
    struct Instant {
        double seconds;
        const char* cursor;
        const char* const* values;
    };
    const Instant instants[] = {
        { -1, "0:00:00.000", first },    { 0, "0:00:00.000", first },
        { 0.049, "0:00:00.000", first }, { 0.05, "0:00:00.050", second },
        { 4.9, "0:00:00.050", second },  { 5, "0:00:05.000", third },
        { 1e6, "0:00:05.000", third },
    };
    for (const Instant& at : instants) {
        Plot().SetCursor(at.seconds);
        EXPECT_TRUE(FForm->CursorText().endsWith(QLatin1String(at.cursor)))
            << at.seconds << ": " << FForm->CursorText().toStdString();
        for (int ch = 0; ch < TDatalogChannel::kCount; ++ch)
            EXPECT_EQ(FForm->ReadOut(TId(ch)), QString::fromUtf8(at.values[ch]))
                << at.seconds << " s, channel " << ch;
    }
}

TEST_F(LogViewer, AClickPlacesTheCursorAndTheArrowsStepIt)
{
    Open(LogText(ThreeRows()));
    QCPAxis* time = Plot().TimeAxis(TLogPlot::pnValve);
    const QPointF at(time->coordToPixel(2.5), Centre(TLogPlot::pnValve).y());
    Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    EXPECT_NEAR(Plot().Cursor(), 2.5, 2 * time->range().size() / time->axisRect()->width());
    EXPECT_EQ(FForm->ReadOut(TDatalogChannel::chRpm), QStringLiteral("1500 rpm"));
    for (const auto& [pane, line] : { std::pair(TLogPlot::pnRpm, Plot().CursorLine(TLogPlot::pnRpm)),
                                      std::pair(TLogPlot::pnLed, Plot().CursorLine(TLogPlot::pnLed)) })
        EXPECT_EQ(line->point1->coords().x(), Plot().Cursor()) << pane;

    QTest::keyClick(&Plot(), Qt::Key_Right);
    EXPECT_EQ(Plot().Cursor(), 5.0);
    QTest::keyClick(&Plot(), Qt::Key_Left);
    QTest::keyClick(&Plot(), Qt::Key_Left);
    EXPECT_EQ(Plot().Cursor(), 0.0);
}

// The wheel zooms the axis it is over, about the point under the mouse, and nothing else.
TEST_F(LogViewer, TheWheelZoomsTheAxisUnderIt)
{
    Open(LogText(ThreeRows()));
    const QCPRange time = Plot().TimeRange();
    const QCPRange rpm = Values(TLogPlot::pnRpm);
    const QCPRange lambda = Values(TLogPlot::pnLambda);
    const QRect rpmRect = Plot().PaneRect(TLogPlot::pnRpm)->rect();

    // Over the engine speed's value axis: that axis alone.
    Wheel(QPointF(rpmRect.left() - 10, rpmRect.center().y()), 2);
    EXPECT_LT(Values(TLogPlot::pnRpm).size(), rpm.size() * 0.8);
    EXPECT_TRUE(Same(Plot().TimeRange(), time));
    EXPECT_TRUE(Same(Values(TLogPlot::pnLambda), lambda));

    // Over the data of another pane: the time of every pane, about the mouse's instant.
    const QRect lambdaRect = Plot().PaneRect(TLogPlot::pnLambda)->rect();
    const QPointF at(lambdaRect.left() + lambdaRect.width() / 4.0, lambdaRect.center().y());
    const double instant = Plot().TimeAxis(TLogPlot::pnLambda)->pixelToCoord(at.x());
    const QCPRange rpmZoomed = Values(TLogPlot::pnRpm);
    Wheel(at, 1);
    EXPECT_NEAR(Plot().TimeRange().size(), time.size() * 0.85, 1e-9);
    EXPECT_NEAR(Plot().TimeAxis(TLogPlot::pnLambda)->pixelToCoord(at.x()), instant, 1e-6);
    for (int p = 0; p < TLogPlot::kPanes; ++p)
        EXPECT_TRUE(Same(Plot().TimeAxis(TLogPlot::TPane(p))->range(), Plot().TimeRange())) << p;
    EXPECT_TRUE(Same(Values(TLogPlot::pnLambda), lambda));
    EXPECT_TRUE(Same(Values(TLogPlot::pnRpm), rpmZoomed));

    // Over the time labels under the lowest pane: the time, zoomed out again.
    const QRect ledRect = Plot().PaneRect(TLogPlot::pnLed)->rect();
    const QCPRange before = Plot().TimeRange();
    Wheel(QPointF(ledRect.center().x(), ledRect.bottom() + 8), -1);
    EXPECT_NEAR(Plot().TimeRange().size(), before.size() / 0.85, 1e-9);
    EXPECT_TRUE(Same(Values(TLogPlot::pnLambda), lambda));
}

// A drag moves the time of every pane and the values of the pane it started in; it leaves the
// cursor where it was.
TEST_F(LogViewer, ADragPansTimeEverywhereAndValuesInItsPane)
{
    Open(LogText(ThreeRows()));
    Plot().SetCursor(0.05);
    const QCPRange time = Plot().TimeRange();
    const QCPRange rpm = Values(TLogPlot::pnRpm);
    const QCPRange lambda = Values(TLogPlot::pnLambda);
    const QPointF from = Centre(TLogPlot::pnLambda);
    const QPointF to = from + QPointF(-100, 20);
    Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    Mouse(QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    Plot().replot(QCustomPlot::rpImmediateRefresh);

    const double perPixel = time.size() / Plot().PaneRect(TLogPlot::pnLambda)->width();
    EXPECT_NEAR(Plot().TimeRange().lower - time.lower, 100 * perPixel, 2 * perPixel);
    EXPECT_NEAR(Plot().TimeRange().size(), time.size(), 1e-9);
    EXPECT_TRUE(Same(Plot().TimeAxis(TLogPlot::pnLed)->range(), Plot().TimeRange()));
    EXPECT_GT(Values(TLogPlot::pnLambda).lower, lambda.lower);
    EXPECT_TRUE(Same(Values(TLogPlot::pnRpm), rpm));
    EXPECT_EQ(Plot().Cursor(), 0.05);
}

// A channel's box hides its graph; a pane whose channels are all hidden leaves its room to
// the others, and the lowest pane shown labels the time.
TEST_F(LogViewer, HidingChannelsHidesTheirGraphsAndEmptyPanes)
{
    Open(LogText(ThreeRows()));
    FForm->ChannelBox(TDatalogChannel::chLambda)->setChecked(false);
    EXPECT_FALSE(Plot().Graph(TDatalogChannel::chLambda)->visible());
    EXPECT_TRUE(Plot().PaneShown(TLogPlot::pnLambda));
    EXPECT_EQ(Plot().plotLayout()->rowCount(), 6);

    FForm->ChannelBox(TDatalogChannel::chLambdaSim)->setChecked(false);
    FForm->ChannelBox(TDatalogChannel::chLed)->setChecked(false);
    Plot().replot(QCustomPlot::rpImmediateRefresh);
    EXPECT_FALSE(Plot().PaneShown(TLogPlot::pnLambda));
    EXPECT_FALSE(Plot().PaneRect(TLogPlot::pnLambda)->visible());
    EXPECT_EQ(Plot().plotLayout()->rowCount(), 4);
    EXPECT_TRUE(Plot().TimeAxis(TLogPlot::pnFuel)->tickLabels());
    EXPECT_FALSE(Plot().TimeAxis(TLogPlot::pnTps)->tickLabels());
    EXPECT_GT(Plot().PaneRect(TLogPlot::pnRpm)->height(), 0);

    for (int ch = 0; ch < TDatalogChannel::kCount; ++ch)
        FForm->ChannelBox(TId(ch))->setChecked(true);
    Plot().replot(QCustomPlot::rpImmediateRefresh);
    EXPECT_EQ(Plot().plotLayout()->rowCount(), 6);
    EXPECT_TRUE(Plot().TimeAxis(TLogPlot::pnLed)->tickLabels());
    EXPECT_GT(Plot().Graph(TDatalogChannel::chLambda)->data()->size(), 0);
}

// However long the log, a graph holds at most two points a pixel and keeps the peaks; zoomed
// in, it holds the rows themselves.
TEST_F(LogViewer, DrawsEachChannelDecimatedToThePixels)
{
    std::vector<TDatalogRow> rows;
    for (int i = 0; i < 40000; ++i)
        rows.push_back(MakeRow(int64_t(i) * 50, i));
    rows[31234].rpm = 9999;
    Open(LogText(rows));
    const int pixels = Plot().width();
    QCPGraph* rpm = Plot().Graph(TDatalogChannel::chRpm);
    EXPECT_LE(rpm->data()->size(), 2 * pixels + 2);
    bool found = false;
    const QCPRange values = rpm->data()->valueRange(found);
    ASSERT_TRUE(found);
    EXPECT_EQ(values.upper, 9999);
    EXPECT_EQ(values.lower, 800);

    Plot().SetTimeRange(QCPRange(100, 110));
    Plot().replot(QCustomPlot::rpImmediateRefresh);
    EXPECT_EQ(rpm->data()->size(), 200 + 1 + 2); // the rows in view and one either side
}

TEST_F(LogViewer, ExportsThePlotToPngAndPdf)
{
    Open(LogText(ThreeRows()));
    const QString png = FFiles.Path(QStringLiteral("view.png"));
    ASSERT_TRUE(FForm->ExportTo(png));
    const QImage image(png);
    EXPECT_EQ(image.size(), Plot().size());

    const QString pdf = FFiles.Path(QStringLiteral("view.pdf"));
    ASSERT_TRUE(FForm->ExportTo(pdf));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF"));

    // A name without a suffix gets ".png"; a folder that is not there is reported.
    ASSERT_TRUE(FForm->ExportTo(FFiles.Path(QStringLiteral("bare"))));
    EXPECT_TRUE(QImage(FFiles.Path(QStringLiteral("bare.png"))).width() > 0);
    QStringList errors;
    FForm->ShowError = [&errors](const QString& message) { errors << message; };
    const QString nowhere = FFiles.Path(QStringLiteral("absent/view.png"));
    FForm->ChooseExportFile = [&nowhere] { return nowhere; };
    FForm->BExportClick();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(nowhere));
}

TEST_F(LogViewer, SaysHowManyRowsWereSkippedAndWhy)
{
    const std::vector<TDatalogRow> rows = ThreeRows();
    const std::string content = std::string(TDatalogFormat::kMagic) + "\n"
        + std::string(TDatalogFormat::kHeader) + "\n" + RowText(rows[0]) + "1010,x\n"
        + RowText(rows[1]) + "1020,1,0,0,,0,0,0,0\n" + RowText(rows[2]) + "7000,1,0,0,,0,0,5,0\n";
    Open(content);
    EXPECT_EQ(FForm->Log()->Rows(), 3u);
    EXPECT_TRUE(FForm->SummaryText().contains(QStringLiteral("3 rows could not be read")))
        << FForm->SummaryText().toStdString();
    const QString why = FForm->findChild<QLabel*>(QStringLiteral("LSummary"))->toolTip();
    EXPECT_TRUE(why.contains(QStringLiteral("Line 4: The row has fewer values than columns.")))
        << why.toStdString();
    EXPECT_TRUE(why.contains(QStringLiteral("Line 6: The row's time is earlier")));
    EXPECT_TRUE(why.contains(QStringLiteral("Line 8: A value is outside the range")));
}

// The control set in effect at the cursor: the last one the log named before the cursor's row.
TEST_F(LogViewer, NamesTheControlSetInEffectAtTheCursor)
{
    const std::vector<TDatalogRow> rows = ThreeRows();
    const std::string hash(64, 'a');
    const std::string content = std::string(TDatalogFormat::kMagic) + "\n"
        + "# control set file= sha256=" + hash + "\n" + std::string(TDatalogFormat::kHeader) + "\n"
        + RowText(rows[0]) + RowText(rows[1]) + "# control set file=tuned.mem sha256=" + hash
        + "\n" + RowText(rows[2]);
    Open(content);
    Plot().SetCursor(0);
    EXPECT_EQ(FForm->ControlSetText(), QStringLiteral("no file (aaaaaaaaaaaa)"));
    Plot().SetCursor(0.05);
    EXPECT_EQ(FForm->ControlSetText(), QStringLiteral("no file (aaaaaaaaaaaa)"));
    Plot().SetCursor(5);
    EXPECT_EQ(FForm->ControlSetText(), QStringLiteral("tuned.mem (aaaaaaaaaaaa)"));
}
