#pragma once

#include "sim/TSimController.h"
#include "tests/usb/TEmulatedAdapter.h"
#include "tests/usb/TUsbTestbed.h"

#include <gtest/gtest.h>

#include <memory>

// A fixture with one emulated adapter (firmware 1.33) on the kernel's USB interface and the
// simulated controller on its serial line. Skips when umockdev's preload library is not in
// front; a derived SetUp checks IsSkipped() after this one.
class TEmulatedRoadTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<TUsbTestbed> bed;
    TEmulatedAdapter* adapter = nullptr;
    std::unique_ptr<TSimController> controller;
};
