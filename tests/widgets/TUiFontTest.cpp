#include "ui/widgets/TUiFont.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>

#include <gtest/gtest.h>

// The test main installs the windows' font as the program's start does; every widget test, and
// the layout test above all, measures with it.
TEST(UiFont, IsLiberationSansAtElevenPixelsInBothWeights)
{
    EXPECT_TRUE(TUiFont::Install()) << "fonts-liberation2 is not installed";
    const QFont regular = QApplication::font();
    EXPECT_EQ(QFontInfo(regular).family(), QLatin1String(TUiFont::kFamily));
    EXPECT_EQ(regular.pixelSize(), 11);
    QFont bold = regular;
    bold.setBold(true);
    EXPECT_EQ(QFontInfo(bold).family(), QLatin1String(TUiFont::kFamily));
    EXPECT_TRUE(QFontInfo(bold).bold());
    // Digits 0.556 of the size wide in both weights, the widths the layout's value boxes were
    // sized for: "65535" takes 31 of a value box's 33 pixels.
    for (const QFont& f : {regular, bold})
        EXPECT_NEAR(QFontMetricsF(f).horizontalAdvance(QStringLiteral("65535")), 30.6, 0.2);
}
