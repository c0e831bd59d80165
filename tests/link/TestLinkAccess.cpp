#include "LinkFixture.h"

#include <string>
#include <vector>

// An adapter that is plugged in but that this user may not open: the link searches on as for
// a missing adapter, and counts each plug-in that is refused once.
namespace {

enum TAttempt { atDenied, atAbsent, atOpened };

struct AccessCase {
    const char* name;
    std::vector<TAttempt> attempts;
    std::vector<uint32_t> denials; // AccessDenials after each attempt
};

void PrintTo(const AccessCase& c, std::ostream* os)
{
    *os << c.name;
}

class LinkAccess : public LinkFixture, public ::testing::WithParamInterface<AccessCase> {
protected:
    // Ticks until the transport has seen one more open attempt.
    void NextAttempt()
    {
        const int before = transport->Attempts();
        for (int tick = 0; tick < 100 && transport->Attempts() == before; ++tick)
            Ticks(1);
        ASSERT_EQ(transport->Attempts(), before + 1);
    }

    void Attempt(TAttempt attempt)
    {
        transport->SetPlugged(attempt != atAbsent);
        transport->SetAccessDenied(attempt == atDenied);
        NextAttempt();
        if (attempt != atOpened) {
            EXPECT_EQ(link->GetLinkStatus(), lkNoAdapter);
            EXPECT_EQ(link->OpenWaitTicks(), 40) << "the next attempt follows a second later";
            return;
        }
        EXPECT_EQ(link->GetLinkStatus(), lkAdapterReady);
        transport->SetPlugged(false); // the adapter goes again, ready for the next attempt
        for (int tick = 0; tick < 4 && link->GetLinkStatus() != lkNoAdapter; ++tick)
            Ticks(1);
        EXPECT_EQ(link->GetLinkStatus(), lkNoAdapter);
    }
};

TEST_P(LinkAccess, EachRefusedPlugInCountsOnce)
{
    const AccessCase& c = GetParam();
    for (size_t i = 0; i < c.attempts.size(); ++i) {
        SCOPED_TRACE("attempt " + std::to_string(i + 1));
        Attempt(c.attempts[i]);
        EXPECT_EQ(link->AccessDenials(), c.denials[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Plugins, LinkAccess,
    ::testing::Values(
        AccessCase { "RefusedThreeTimes", { atDenied, atDenied, atDenied }, { 1, 1, 1 } },
        AccessCase { "ReplugWhileRefused", { atDenied, atAbsent, atDenied }, { 1, 1, 2 } },
        AccessCase { "RefusedAllowedRefused", { atDenied, atOpened, atDenied }, { 1, 1, 2 } },
        AccessCase { "OpenedThenRefused", { atOpened, atAbsent, atDenied }, { 0, 0, 1 } }),
    [](const ::testing::TestParamInfo<AccessCase>& info) { return std::string(info.param.name); });

TEST_F(LinkFixture, RefusedAdapterOpensOnceAccessIsGranted)
{
    transport->SetAccessDenied(true);
    Ticks(4 + 40 * 2); // three refused attempts
    EXPECT_EQ(transport->Attempts(), 3);
    EXPECT_EQ(transport->Opens(), 0);
    EXPECT_EQ(link->AccessDenials(), 1u);

    transport->SetAccessDenied(false); // the rule is in place: no restart, no re-plug
    Ticks(40);
    EXPECT_EQ(transport->Opens(), 1);
    EXPECT_EQ(link->GetLinkStatus(), lkAdapterReady);
}

} // namespace
