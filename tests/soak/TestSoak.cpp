// A short soak: a hundred seeded events of faults and user actions on the stepped clock. The
// full one is scripts/soak.sh.
#include "TSoak.h"

#include <gtest/gtest.h>

namespace {

TEST(Soak, HundredEventsLoseNothing)
{
    for (const uint64_t seed : { 1u, 2u }) {
        const TSoakFigures f = TSoak::Run(100, seed);
        EXPECT_EQ(f.hangs, 0) << "seed " << seed;
        for (const std::string& failure : f.failures)
            ADD_FAILURE() << failure;
        // The run did strike: writes were acknowledged and edits were checked on the controller.
        EXPECT_GT(f.writesAcknowledged, 0) << "seed " << seed;
        EXPECT_GT(f.editsMade, 0) << "seed " << seed;
    }
}

} // namespace
