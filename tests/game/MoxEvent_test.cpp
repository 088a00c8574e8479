// The event queue: copies, serials from the counter it is given, FIFO order, ownership.
#include "game/MoxEvent.h"

#include <gtest/gtest.h>

#include <vector>

TEST(CMoxEventManager, AddCopiesTheBytesAndTakesTheCounter)
{
    int iCounter = 41;
    CMoxEventManager queue(&iCounter);
    unsigned char aBytes[16] = {30, 0, 0, 0, 7};
    CMoxEvent* pEvent = queue.AddEvent(30, aBytes, 16, 1);
    ASSERT_NE(pEvent, nullptr);
    aBytes[4] = 99; // the writer's stack is reused at once
    EXPECT_EQ(pEvent->m_pPayload[4], 7);
    EXPECT_NE(pEvent->m_pPayload, aBytes);
    EXPECT_EQ(pEvent->m_uType, 30);
    EXPECT_EQ(pEvent->m_iSerial, 41);
    EXPECT_EQ(pEvent->m_iTimeStamp, -1);
    EXPECT_EQ(pEvent->m_uSendFlag, 1u);
    EXPECT_EQ(pEvent->m_iSize, 16);
    EXPECT_EQ(iCounter, 42);

    // A payload-less event has no bytes to read.
    CMoxEvent* pEmpty = queue.AddEvent(8, nullptr, 0, 0);
    ASSERT_NE(pEmpty, nullptr);
    EXPECT_EQ(pEmpty->m_pPayload, nullptr);
    EXPECT_EQ(pEmpty->m_iSize, 0);
    EXPECT_EQ(pEmpty->m_iSerial, 42);
}

TEST(CMoxEventManager, QueuesSharingACounterCountTogetherOthersApart)
{
    int iGameA = 0, iGameB = 0;
    CMoxEventManager localA(&iGameA), playbackA(&iGameA), localB(&iGameB);
    const unsigned char aByte[1] = {0};
    localA.AddEvent(1, aByte, 1, 0);
    playbackA.AddEvent(1, aByte, 1, 0);
    EXPECT_EQ(localB.AddEvent(1, aByte, 1, 0)->m_iSerial, 0);
    EXPECT_EQ(localA.AddEvent(1, aByte, 1, 0)->m_iSerial, 2);
    EXPECT_EQ(iGameA, 3);
    EXPECT_EQ(iGameB, 1);

    CMoxEventManager alone;
    alone.AddEvent(1, aByte, 1, 0);
    EXPECT_EQ(alone.AddEvent(1, aByte, 1, 0)->m_iSerial, 1);
}

TEST(CMoxEventManager, FrontToBackAndOutOfRangeGivesNull)
{
    CMoxEventManager queue;
    EXPECT_FALSE(queue.HasNextEvent());
    EXPECT_EQ(queue.GetEvent(), nullptr);
    EXPECT_EQ(queue.PopEvent(), nullptr);
    for (int iType : {5, 6, 7})
    {
        const unsigned char aBytes[1] = {(unsigned char)iType};
        queue.AddEvent(iType, aBytes, 1, 0);
    }
    EXPECT_TRUE(queue.HasNextEvent());
    EXPECT_EQ(queue.GetNumEvents(), 3);
    EXPECT_EQ(queue.GetEvent()->m_uType, 5);
    EXPECT_EQ(queue.GetEvent(2)->m_uType, 7);
    for (int iIndex : {-1, 3, 1 << 30})
        EXPECT_EQ(queue.GetEvent(iIndex), nullptr) << iIndex;

    // The popped record is the caller's: it outlives the queue's clearing.
    CMoxEvent* pFront = queue.PopEvent();
    queue.Clear();
    ASSERT_NE(pFront, nullptr);
    EXPECT_EQ(pFront->m_pPayload[0], 5);
    EXPECT_EQ(queue.GetNumEvents(), 0);
    delete pFront;

    // What is left at the end goes with the queue (leak checks run here).
    const unsigned char aBytes[64] = {};
    queue.AddEvent(77, aBytes, 64, 1);
}
