#include <QCoreApplication>

#include <gtest/gtest.h>

// Test main for code that needs a Qt event loop but no widget.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
