#include "link/TLinkRing.h"

#include <gtest/gtest.h>

namespace {

TLinkMsg Msg(uint8_t len, uint8_t first)
{
    TLinkMsg m;
    m.Type = 3;
    m.Len = len;
    m.Data[0] = first;
    return m;
}

TEST(LinkRing, HoldsNineRecordsInOrder)
{
    TLinkRing ring;
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(ring.Free(), 9 - i);
        ASSERT_TRUE(ring.Push(Msg(1, uint8_t(i))));
    }
    EXPECT_TRUE(ring.Full());
    EXPECT_EQ(ring.Free(), 0);
    EXPECT_FALSE(ring.Push(Msg(1, 99)));
    for (int i = 0; i < 9; ++i) {
        TLinkMsg out;
        ASSERT_TRUE(ring.Pop(out));
        EXPECT_EQ(out.Data[0], i);
    }
    EXPECT_TRUE(ring.Empty());
}

TEST(LinkRing, PopSkipsEmptySlotsAndLeavesTheCallersRecordOnFailure)
{
    TLinkRing ring;
    ring.Push(Msg(0, 1));
    ring.Push(Msg(0, 2));
    ring.Push(Msg(2, 3));
    TLinkMsg out;
    ASSERT_TRUE(ring.Pop(out));
    EXPECT_EQ(out.Data[0], 3);

    TLinkMsg untouched = Msg(7, 42);
    EXPECT_FALSE(ring.Pop(untouched));
    EXPECT_EQ(untouched.Len, 7);
    EXPECT_EQ(untouched.Data[0], 42);
}

TEST(LinkRing, WrapsAroundAndClears)
{
    TLinkRing ring;
    TLinkMsg out;
    for (int i = 0; i < 25; ++i) {
        ASSERT_TRUE(ring.Push(Msg(1, uint8_t(i))));
        ASSERT_TRUE(ring.Pop(out));
        ASSERT_EQ(out.Data[0], i);
    }
    ring.Push(Msg(1, 1));
    ring.Clear();
    EXPECT_TRUE(ring.Empty());
    EXPECT_FALSE(ring.Pop(out));
}

} // namespace
