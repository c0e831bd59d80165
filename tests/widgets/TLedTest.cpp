#include "ui/widgets/TLed.h"

#include <QImage>

#include <gtest/gtest.h>

#include <string>

namespace {

struct LedRow {
    std::string name;
    TLed::TShape shape;
    bool bevel;
    QSize size;
};

void PrintTo(const LedRow& row, std::ostream* os)
{
    *os << row.name;
}

class LedLook : public testing::TestWithParam<LedRow> {};

// The lamp's middle is bright in its colour when lit and dark when not.
TEST_P(LedLook, LitIsBrightOffIsDark)
{
    const LedRow& row = GetParam();
    TLed led;
    led.resize(row.size);
    led.setShape(row.shape);
    led.setBevel(row.bevel);
    led.setOnColor(Qt::red);

    const QPoint middle(row.size.width() / 2, row.size.height() / 2);
    const QColor off = led.grab().toImage().pixelColor(middle);
    led.setActive(true);
    const QColor on = led.grab().toImage().pixelColor(middle);

    EXPECT_GT(on.red(), 200);
    EXPECT_GT(on.red(), on.green() + 100);
    EXPECT_LT(off.red(), 110);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LedLook,
    testing::Values(LedRow {"control_led", TLed::TShape::Round, false, {37, 37}},
                    LedRow {"fuel_led", TLed::TShape::Round, false, {29, 29}},
                    LedRow {"toolbar_diamond", TLed::TShape::Diamond, true, {22, 22}}),
    [](const auto& info) { return info.param.name; });

TEST(LedColours, OffLookDerivedUnlessGiven)
{
    TLed led;
    led.setOnColor(Qt::yellow);
    EXPECT_LT(led.offColor().value(), QColor(Qt::yellow).value() / 2);
    led.setOffColor(Qt::gray);
    EXPECT_EQ(led.offColor(), QColor(Qt::gray));
    led.setOffColor(QColor());
    EXPECT_NE(led.offColor(), QColor(Qt::gray));
}

} // namespace
