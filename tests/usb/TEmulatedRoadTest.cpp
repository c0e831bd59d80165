#include "tests/usb/TEmulatedRoadTest.h"

void TEmulatedRoadTest::SetUp()
{
    if (!TUsbTestbed::PreloadActive())
        GTEST_SKIP() << TUsbTestbed::kUnavailable;
    bed = std::make_unique<TUsbTestbed>();
    adapter = &bed->Add(0x0033);
    controller = std::make_unique<TSimController>(adapter->SharedSim());
}

void TEmulatedRoadTest::TearDown()
{
    controller.reset();
    bed.reset();
}
