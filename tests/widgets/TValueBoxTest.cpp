#include "ui/widgets/TValueBox.h"

#include <gtest/gtest.h>

TEST(ValueBox, ShowsZeroUntilSetRightAligned)
{
    TValueBox box;
    EXPECT_EQ(box.text(), QStringLiteral("0"));
    EXPECT_TRUE(box.alignment() & Qt::AlignRight);
    EXPECT_TRUE(box.font().bold());
    box.setText(QStringLiteral("123"));
    EXPECT_EQ(box.text(), QStringLiteral("123"));
    EXPECT_EQ(box.palette().color(QPalette::Window), QColor(0, 0, 128));
    EXPECT_EQ(box.palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::white));
}
