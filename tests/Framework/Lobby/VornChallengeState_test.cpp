// The challenge state on its own, where no server refuses a challenge for it first.
#include "Framework/Lobby/VornChallengeState.h"

#include <gtest/gtest.h>

namespace
{

// Between the accept and its match the session may still pass a challenge on: it is refused,
// and the accepted one stays.
TEST(CVornChallengeState, AChallengeWhileTheAcceptedMatchWaitsIsRefused)
{
    const int B = 2, C = 3;
    CVornChallengeState state;
    ASSERT_TRUE(state.Receive(B, false));
    ASSERT_EQ(state.Accept(), B);
    EXPECT_FALSE(state.Receive(C, false));
    EXPECT_EQ(state.GetReceived(), CVornChallengeState::RECEIVED_NONE);
    EXPECT_EQ(state.GetOwnPartner(), B);
}

} // namespace
