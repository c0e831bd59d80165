#include "ui/widgets/TSlider.h"

#include "tests/widgets/WidgetEvents.h"

#include <QFontMetricsF>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace ev = widget_events;

namespace {

// The valve-position slider of the main window: 0 to 500, steps 1 and 10, 405 pixels wide.
struct SliderFixture {
    TSlider slider;
    std::vector<double> changes;  // positionChanged, in order
    std::vector<double> finishes; // moveFinished, in order

    SliderFixture()
    {
        slider.resize(405, 45);
        slider.setRange(0, 500);
        slider.setSmallStep(1);
        slider.setLargeStep(10);
        slider.setMajorTickCount(6);
        slider.setMinorTickCount(9);
        QObject::connect(&slider, &TSlider::positionChanged,
                         [this](double p) { changes.push_back(p); });
        QObject::connect(&slider, &TSlider::moveFinished,
                         [this](double p) { finishes.push_back(p); });
    }
};

template <class Row>
std::string rowName(const testing::TestParamInfo<Row>& info)
{
    return info.param.name;
}

// --- programmatic sets: clamping and the change signal ---

struct SetRow {
    std::string name;
    double start;                  // position before the set
    double set;                    // the value set
    double expected;               // position after it
    std::vector<double> emissions; // positionChanged arguments caused by the set
};

void PrintTo(const SetRow& row, std::ostream* os)
{
    *os << row.name;
}

class SliderSet : public testing::TestWithParam<SetRow> {};

TEST_P(SliderSet, ClampsAndSignalsRealChangesOnly)
{
    const SetRow& row = GetParam();
    SliderFixture f;
    f.slider.setPosition(row.start);
    f.changes.clear();

    f.slider.setPosition(row.set);

    EXPECT_DOUBLE_EQ(f.slider.position(), row.expected);
    EXPECT_EQ(f.changes, row.emissions);
    EXPECT_TRUE(f.finishes.empty()) << "a programmatic set is no finished move";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SliderSet,
    testing::Values(SetRow {"inside", 100, 250, 250, {250}},
                    SetRow {"fractional", 100, 123.7, 123.7, {123.7}},
                    SetRow {"same_position", 100, 100, 100, {}},
                    SetRow {"below_minimum", 100, -20, 0, {0}},
                    SetRow {"above_maximum", 100, 9999, 500, {500}},
                    SetRow {"above_maximum_at_maximum", 500, 600, 500, {}},
                    SetRow {"below_minimum_at_minimum", 0, -1, 0, {}},
                    SetRow {"nan_ignored", 100, std::nan(""), 100, {}}),
    rowName<SetRow>);

TEST(SliderRange, NarrowingClampsThePositionAndSignals)
{
    SliderFixture f;
    f.slider.setPosition(400);
    f.changes.clear();

    f.slider.setRange(1000, 5000); // the quick-probe RPM slider's range
    EXPECT_DOUBLE_EQ(f.slider.position(), 1000);
    f.slider.setRange(0, 2000); // position still inside: no change
    EXPECT_EQ(f.changes, (std::vector<double> {1000}));

    f.slider.setRange(10, 10); // empty range ignored
    EXPECT_DOUBLE_EQ(f.slider.minimum(), 0);
    EXPECT_DOUBLE_EQ(f.slider.maximum(), 2000);
}

TEST(SliderValue, TruncatesTowardZero)
{
    SliderFixture f;
    f.slider.setPosition(123.7);
    EXPECT_EQ(f.slider.value(), 123);
    f.slider.setPosition(499.999);
    EXPECT_EQ(f.slider.value(), 499);
}

TEST(SliderSignal, HandlerMayPullTheSliderBack)
{
    // The dialogs' RPM rule: a handler that finds the slider too far sets it back, nested.
    SliderFixture f;
    QObject::connect(&f.slider, &TSlider::positionChanged, [&f](double p) {
        if (p > 300)
            f.slider.setPosition(300);
    });
    f.slider.setPosition(400);
    EXPECT_DOUBLE_EQ(f.slider.position(), 300);
    EXPECT_EQ(f.changes, (std::vector<double> {400, 300}));
}

// --- user steps: keys and wheel ---

struct StepRow {
    std::string name;
    double start;
    std::function<void(TSlider&)> act;
    double expected;
};

void PrintTo(const StepRow& row, std::ostream* os)
{
    *os << row.name;
}

class SliderStep : public testing::TestWithParam<StepRow> {};

TEST_P(SliderStep, MovesByItsStepAndReportsTheFinishedMove)
{
    const StepRow& row = GetParam();
    SliderFixture f;
    f.slider.setPosition(row.start);
    f.changes.clear();

    row.act(f.slider);

    EXPECT_DOUBLE_EQ(f.slider.position(), row.expected);
    const bool moved = row.expected != row.start;
    EXPECT_EQ(f.changes.size(), moved ? 1u : 0u);
    EXPECT_EQ(f.finishes, moved ? std::vector<double> {row.expected} : std::vector<double> {});
}

StepRow keyRow(std::string name, double start, int key, double expected)
{
    return {std::move(name), start, [key](TSlider& s) { ev::key(&s, key); }, expected};
}

StepRow wheelRow(std::string name, double start, std::vector<int> angles, double expected)
{
    return {std::move(name), start,
            [angles](TSlider& s) {
                for (int a : angles)
                    ev::wheel(&s, a);
            },
            expected};
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SliderStep,
    testing::Values(keyRow("right", 100, Qt::Key_Right, 101),
                    keyRow("up", 100, Qt::Key_Up, 101),
                    keyRow("left", 100, Qt::Key_Left, 99),
                    keyRow("down", 100, Qt::Key_Down, 99),
                    keyRow("page_up", 100, Qt::Key_PageUp, 110),
                    keyRow("page_down", 100, Qt::Key_PageDown, 90),
                    keyRow("home", 100, Qt::Key_Home, 0),
                    keyRow("end", 100, Qt::Key_End, 500),
                    keyRow("right_from_fraction", 123.7, Qt::Key_Right, 124.7),
                    keyRow("page_up_clamped", 495, Qt::Key_PageUp, 500),
                    keyRow("right_at_maximum", 500, Qt::Key_Right, 500),
                    keyRow("left_at_minimum", 0, Qt::Key_Left, 0),
                    keyRow("other_key_ignored", 100, Qt::Key_A, 100),
                    wheelRow("wheel_up", 100, {120}, 101),
                    wheelRow("wheel_down", 100, {-120}, 99),
                    wheelRow("wheel_two_notches", 100, {240}, 102),
                    wheelRow("wheel_half_notch", 100, {60}, 100),
                    wheelRow("wheel_half_notches_add_up", 100, {60, 60}, 101),
                    wheelRow("wheel_down_at_minimum", 0, {-120}, 0)),
    rowName<StepRow>);

TEST(SliderKeys, EscapeIsLeftToTheDialog)
{
    SliderFixture f;
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    esc.setAccepted(true);
    QCoreApplication::sendEvent(&f.slider, &esc);
    EXPECT_FALSE(esc.isAccepted());
}

// --- mouse ---

TEST(SliderMouse, DragGivesAFractionalPositionAndOneFinishedMove)
{
    SliderFixture f;
    const double y = 9;
    ev::press(&f.slider, QPointF(f.slider.xOf(0), y)); // on the thumb: no jump
    EXPECT_TRUE(f.changes.empty());

    ev::drag(&f.slider, QPointF(f.slider.xOf(60), y));
    ev::drag(&f.slider, QPointF(f.slider.xOf(123.7), y));
    EXPECT_NEAR(f.slider.position(), 123.7, 1e-9);
    EXPECT_EQ(f.slider.value(), 123);
    EXPECT_TRUE(f.finishes.empty()) << "still moving";

    ev::release(&f.slider, QPointF(f.slider.xOf(123.7), y));
    ASSERT_EQ(f.changes.size(), 2u);
    ASSERT_EQ(f.finishes.size(), 1u);
    EXPECT_NEAR(f.finishes[0], 123.7, 1e-9);
}

TEST(SliderMouse, PressOnTheTrackPutsTheThumbThere)
{
    SliderFixture f;
    ev::press(&f.slider, QPointF(f.slider.xOf(250), 9));
    ev::release(&f.slider, QPointF(f.slider.xOf(250), 9));
    EXPECT_NEAR(f.slider.position(), 250, 1e-9);
    EXPECT_EQ(f.finishes.size(), 1u);
}

TEST(SliderMouse, DragPastTheEndsClamps)
{
    SliderFixture f;
    f.slider.setPosition(250);
    ev::press(&f.slider, QPointF(f.slider.xOf(250), 9));
    ev::drag(&f.slider, QPointF(-50, 9));
    EXPECT_DOUBLE_EQ(f.slider.position(), 0);
    ev::drag(&f.slider, QPointF(f.slider.width() + 50, 9));
    EXPECT_DOUBLE_EQ(f.slider.position(), 500);
    ev::release(&f.slider, QPointF(f.slider.width() + 50, 9));
}

TEST(SliderMouse, ClickWithoutMovingReportsNothing)
{
    SliderFixture f;
    f.slider.setPosition(250);
    f.changes.clear();
    ev::press(&f.slider, QPointF(f.slider.xOf(250), 9));
    ev::release(&f.slider, QPointF(f.slider.xOf(250), 9));
    EXPECT_TRUE(f.changes.empty());
    EXPECT_TRUE(f.finishes.empty());
}

// --- tick labels ---

struct LabelRow {
    std::string name;
    int width;
    double minimum;
    double maximum;
    int decimals;
    int rightInset;                 // columns a neighbour covers
    std::vector<std::string> shown; // the labels, left to right
};

void PrintTo(const LabelRow& row, std::ostream* os)
{
    *os << row.name;
}

class SliderLabels : public testing::TestWithParam<LabelRow> {};

// Each label stands centred on its tick's pixel, a blank clear of the next label and of the
// slider's usable edges; where the full labels cannot, shorter ones or fewer do.
TEST_P(SliderLabels, StandCentredUnderTheirTicksABlankApart)
{
    const LabelRow& row = GetParam();
    TSlider s;
    s.resize(row.width, 49);
    s.setRange(row.minimum, row.maximum);
    s.setMajorTickCount(6);
    s.setMinorTickCount(4);
    s.setLabelDecimals(row.decimals);
    s.setRightInset(row.rightInset);

    const QList<TSlider::TTickLabel> labels = s.tickLabels();
    std::vector<std::string> shown;
    for (const TSlider::TTickLabel& l : labels)
        shown.push_back(l.text.toStdString());
    EXPECT_EQ(shown, row.shown);

    const double blank = QFontMetricsF(s.font()).horizontalAdvance(u' ');
    const double usable = row.width - row.rightInset;
    for (qsizetype k = 0; k < labels.size(); ++k) {
        const TSlider::TTickLabel& l = labels[k];
        SCOPED_TRACE(l.text.toStdString());
        EXPECT_DOUBLE_EQ(l.box.center().x(), l.tickX);
        EXPECT_EQ(l.tickX, std::round(l.tickX));
        EXPECT_GE(l.box.left(), blank - 0.5);
        EXPECT_LE(l.box.right(), usable - blank + 0.5);
        if (k > 0) {
            EXPECT_GE(l.box.left() - labels[k - 1].box.right(), blank);
        }
    }
    // The thumb's track ends under the first and the last tick.
    EXPECT_NEAR(s.xOf(row.minimum), labels.front().tickX, 0.5);
    if (labels.size() == 6) {
        EXPECT_NEAR(s.xOf(row.maximum), labels.back().tickX, 0.5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SliderLabels,
    testing::Values(
        LabelRow {"millivolts", 201, 0, 5000, 0, 0, {"0", "1000", "2000", "3000", "4000", "5000"}},
        LabelRow {"high_regime_rpm", 201, 2000, 7000, 0, 0,
                  {"2000", "3000", "4000", "5000", "6000", "7000"}},
        LabelRow {"volts", 201, 0, 5, 2, 0, {"0.00", "1.00", "2.00", "3.00", "4.00", "5.00"}},
        LabelRow {"beside_a_value_box", 201, 0, 5000, 0, 2,
                  {"0", "1000", "2000", "3000", "4000", "5000"}},
        LabelRow {"narrow_thousands", 130, 0, 5000, 0, 0, {"0", "1k", "2k", "3k", "4k", "5k"}},
        LabelRow {"narrow_volts", 120, 0, 5, 2, 0, {"0", "1", "2", "3", "4", "5"}},
        LabelRow {"narrower_every_second", 80, 0, 5000, 0, 0, {"0", "2k", "4k"}}),
    rowName<LabelRow>);

TEST(SliderLabels, StackedSlidersShareTheirTrackEnds)
{
    TSlider scaled;
    scaled.resize(405, 45);
    scaled.setRange(0, 500);
    scaled.setMajorTickCount(6);
    scaled.setRightInset(1);
    TSlider plain;
    plain.resize(405, 21);
    plain.setRange(0, 500);
    plain.setRightInset(1);
    ASSERT_GT(scaled.trackMargin(), plain.trackMargin());
    plain.setMinimumTrackMargin(scaled.trackMargin());
    for (double v : {0.0, 123.7, 500.0})
        EXPECT_DOUBLE_EQ(plain.xOf(v), scaled.xOf(v)) << v;
}

} // namespace
