// The challenge state on its own, where no server refuses a challenge for it first.
#include "Framework/Lobby/VornChallengeState.h"

#include <gtest/gtest.h>

namespace
{

const int B = 2, C = 3;

// Between the accept and its match the session may still pass a challenge or another
// challenger's withdrawal on: the challenge is refused, and the accepted one stays.
TEST(CVornChallengeState, AChallengeWhileTheAcceptedMatchWaitsIsRefused)
{
    CVornChallengeState state;
    ASSERT_TRUE(state.Receive(B, false));
    ASSERT_EQ(state.Accept(), B);
    EXPECT_FALSE(state.Receive(C, false));
    EXPECT_EQ(state.GetReceived(), CVornChallengeState::RECEIVED_NONE);
    EXPECT_EQ(state.Withdrawn(C), CVornChallengeState::WITHDRAWN_NOTHING);
    EXPECT_EQ(state.GetOwn(), CVornChallengeState::OWN_ACCEPTED);
    EXPECT_EQ(state.GetOwnPartner(), B);
}

// A shown challenge holds off another only while its toast or page still shows.
TEST(CVornChallengeState, AShownChallengeGivesWayOnceNothingShowsIt)
{
    CVornChallengeState state;
    ASSERT_TRUE(state.Receive(B, false));
    EXPECT_FALSE(state.Receive(C, true));
    EXPECT_EQ(state.GetChallenger(), B);
    EXPECT_TRUE(state.Receive(C, false));
    EXPECT_EQ(state.GetChallenger(), C);
}

} // namespace
