// The touch tracker stepped by hand: what a screen sees of touches at each fixed step.
#include "game/MultiTouch.h"

#include <gtest/gtest.h>

namespace
{

// A click whose press and release come in one frame: pressed in one step, released in the next.
TEST(CMultiTouch, ATouchBetweenTwoStepsIsATap)
{
    CMultiTouch touches;
    touches.Step();
    touches.OnDown(2, 10, 10);
    touches.OnUp(2);
    touches.Step();
    const sTouch& t = touches.m_Touches[2];
    EXPECT_EQ(t.pressed, 1u);
    EXPECT_EQ(t.down, 1u) << "down in the step of its press, as a held touch is";
    EXPECT_EQ(t.released, 0u);
    EXPECT_EQ(touches.m_bAnyPressed, 1u);
    EXPECT_EQ(t.position.x, 10.0f);
    touches.Step();
    EXPECT_EQ(t.pressed, 0u);
    EXPECT_EQ(t.released, 1u);
    EXPECT_EQ(t.down, 0u);
    touches.Step();
    EXPECT_EQ(t.released, 0u);
}

TEST(CMultiTouch, PressMoveAndReleaseStepByStep)
{
    CMultiTouch touches;
    touches.OnDown(0, 100, 50);
    touches.OnDown(0, 104, 53); // moved before the step: no delta on the press, but a drag
    touches.Step();
    const sTouch& t = touches.m_Touches[0];
    EXPECT_EQ(t.pressed, 1u);
    EXPECT_EQ(touches.m_bAnyPressed, 1u);
    EXPECT_EQ(t.start.x, 100.0f) << "where it went down";
    EXPECT_EQ(t.delta.x, 0.0f);
    EXPECT_EQ(t.drag.y, 3.0f);
    EXPECT_EQ(t.moved, 0u);

    struct sCASE
    {
        int iX, iY;
        float fDeltaX, fDragX;
        unsigned int uMoved;
    };
    const sCASE cases[] = {{104, 53, 0.0f, 4.0f, 0},
                           {110, 53, 6.0f, 10.0f, 1},
                           {110, 53, 0.0f, 10.0f, 0},
                           {100, 63, -10.0f, 0.0f, 1}};
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(c.iX);
        touches.OnDown(0, c.iX, c.iY);
        touches.Step();
        EXPECT_EQ(t.pressed, 0u);
        EXPECT_EQ(t.delta.x, c.fDeltaX);
        EXPECT_EQ(t.drag.x, c.fDragX);
        EXPECT_EQ(t.moved, c.uMoved);
    }

    touches.OnUp(0);
    touches.Step();
    EXPECT_EQ(t.released, 1u);
    EXPECT_EQ(t.position.x, 100.0f) << "the last position stays";
    touches.Step();
    EXPECT_EQ(t.released, 0u) << "released for one step only";
}

TEST(CMultiTouch, AMoveCountsFromAboutAThirdOfAPixel)
{
    // Positions arrive in whole pixels; set sub-pixel moves directly as a stand-in for a
    // scaled input.
    for (float fMove : {0.3f, 0.4f})
    {
        CMultiTouch touches;
        touches.OnDown(1, 10, 10);
        touches.Step();
        touches.m_Touches[1].position.x += fMove;
        touches.Step();
        EXPECT_EQ(touches.m_Touches[1].moved, fMove > 0.35f ? 1u : 0u) << fMove;
    }
}

TEST(CMultiTouch, APinchOfTheFirstTwoTouches)
{
    CMultiTouch touches;
    touches.OnDown(0, 100, 100);
    touches.Step();
    EXPECT_EQ(touches.m_bPinch, 0u);
    touches.OnDown(1, 130, 140);
    touches.Step();
    EXPECT_EQ(touches.m_bPinch, 1u);
    EXPECT_EQ(touches.m_fPinchDelta, 0.0f);
    EXPECT_EQ(touches.m_fPinchCurrent, 50.0f);
    EXPECT_EQ(touches.m_vPinchStart.x, 30.0f);

    touches.OnDown(1, 160, 180); // the fingers part: distance 100
    touches.Step();
    EXPECT_EQ(touches.m_fPinchDelta, 50.0f);
    EXPECT_EQ(touches.m_vPinchNow.y, 80.0f);
    EXPECT_EQ(touches.m_vPinchStart.x, 30.0f);

    touches.OnUp(0);
    touches.Step();
    EXPECT_EQ(touches.m_bPinch, 0u);
    EXPECT_EQ(touches.m_fPinchDelta, 50.0f) << "the last values stay";
}

TEST(CMultiTouch, IndicesBeyondTheRecordsAndResetLeaveNothingBehind)
{
    CMultiTouch touches;
    touches.OnDown(16, 5, 5);
    touches.OnDown(1000, 5, 5);
    touches.OnUp(16);
    touches.Step();
    EXPECT_EQ(touches.m_bAnyPressed, 0u);
    for (const sTouch& t : touches.m_Touches)
        EXPECT_EQ(t.down, 0u);

    touches.OnDown(15, 7, 8);
    touches.Step();
    touches.Reset();
    EXPECT_EQ(touches.m_Touches[15].down, 0u);
    EXPECT_EQ(touches.m_Touches[15].position.x, 0.0f);
    EXPECT_EQ(touches.m_bAnyPressed, 0u);
}

} // namespace
