#include "ui/widgets/TUiFont.h"

#include <QApplication>

#include <gtest/gtest.h>

// Test main for widget tests; they run on the offscreen platform, in the program's own font.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TUiFont::Install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
