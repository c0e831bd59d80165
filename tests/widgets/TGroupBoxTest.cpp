#include "ui/widgets/TGroupBox.h"

#include <QFontMetrics>
#include <QImage>

#include <gtest/gtest.h>

// The frame's top line runs through the middle of the title, broken where the title stands; the
// first row of controls, 16 pixels down, stands below it.
TEST(GroupBox, TopLineRunsThroughTheTitleAndBreaksForIt)
{
    TGroupBox box(QStringLiteral("Lambda probe"));
    QFont bold = box.font();
    bold.setBold(true);
    box.setFont(bold);
    box.resize(381, 101);
    const QFontMetrics fm(bold);
    EXPECT_EQ(box.frameTop(), fm.height() / 2);
    EXPECT_LT(box.frameTop() + 1, 16);
    const QRect title = box.titleRect();
    EXPECT_EQ(title.left(), TGroupBox::kTitleLeft);
    EXPECT_EQ(title.width(), fm.horizontalAdvance(box.title()) + 2 * TGroupBox::kTitleGap);

    QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    box.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    const QRgb dark = box.palette().color(QPalette::Dark).rgba();
    const int y = box.frameTop();
    EXPECT_EQ(image.pixel(2, y), dark);                     // before the title
    EXPECT_EQ(image.pixel(title.right() + 4, y), dark);     // after it
    EXPECT_EQ(qAlpha(image.pixel(title.left(), y)), 0);     // the gap before the text
    EXPECT_EQ(qAlpha(image.pixel(title.right(), y)), 0);    // and after it
    EXPECT_EQ(image.pixel(0, box.height() / 2), dark);      // the left side
}

TEST(GroupBox, WithoutTitleTheFrameStartsAtTheTop)
{
    TGroupBox box(QString{});
    box.resize(100, 50);
    EXPECT_EQ(box.frameTop(), 0);
    EXPECT_TRUE(box.titleRect().isEmpty());
}
