// The block manager on real physics: identifiers, refusals, bodies and the counter of
// created blocks, which each game keeps for itself.
#include "game/MoxBlock.h"

#include <gtest/gtest.h>

#include "game/MoxGameContext.h"
#include "game/MoxPhysics.h"
#include "game/MoxTables.h"

namespace
{

class CBlockManager : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Physics.Startup(1.0f / 30.0f, 4);
        m_Blocks.Startup(&m_Physics);
    }
    CMoxPhysics m_Physics;
    ::CBlockManager m_Blocks;
};

TEST_F(CBlockManager, ShapesOutsideTheTableMakeNothing)
{
    for (signed char cShape : {(signed char)40, (signed char)-1, (signed char)-128, (signed char)127})
        EXPECT_EQ(m_Blocks.AddBlock(cShape, {0.0f, 0.0f}, 0, 0, 0), nullptr) << int(cShape);
    EXPECT_NE(m_Blocks.AddBlock(39, {0.0f, 0.0f}, 0, 0, 0), nullptr);
    EXPECT_EQ(m_Blocks.GetCount(), 1);
    EXPECT_EQ(m_Physics.m_Bodies.GetCount(), 1);
}

TEST_F(CBlockManager, BlockAndBody)
{
    struct sCASE
    {
        int iMaterial;
        float fBounce;
    };
    const sCASE cases[] = {{0, 0.15f}, {1, 0.15f}, {2, 0.15f}, {3, 0.8f}, {4, 0.15f}};
    for (const sCASE& c : cases)
    {
        CBlock* pBlock = m_Blocks.AddBlock(31, {0.5f, 1.25f}, c.iMaterial, 2, 3);
        ASSERT_NE(pBlock, nullptr);
        CBody* pBody = pBlock->m_pBody;
        EXPECT_EQ(pBody->m_fBounce, c.fBounce) << c.iMaterial;
        EXPECT_EQ(pBody->m_fFriction, 0.75f);
        EXPECT_EQ(pBody->m_uCollisionMask, 0x11111111u);
        EXPECT_EQ(pBody->m_pOwner, pBlock);
        EXPECT_EQ(pBody->m_uUser, pBlock->m_uID);
        // Shape codes are half sizes: 31 is 0.3 x 0.1.
        EXPECT_EQ(pBody->m_vHalfSize.x, BlockShapes[31].x);
        EXPECT_EQ(pBody->m_vHalfSize.y, BlockShapes[31].y);
    }
}

TEST_F(CBlockManager, IdentifiersFillTheFreeRange)
{
    for (int i = 0; i < 223; ++i)
        ASSERT_EQ(m_Blocks.AddBlock(0, {0.0f, 0.0f}, 0, 0, 0)->m_uID, 32 + i);
    EXPECT_EQ(m_Blocks.GetNewBlockID(), -1);
    EXPECT_EQ(m_Blocks.AddBlock(0, {0.0f, 0.0f}, 0, 0, 0), nullptr); // the 224th
    EXPECT_EQ(m_Physics.m_Bodies.GetCount(), 223);

    m_Blocks.DeleteBlock(100);
    EXPECT_EQ(m_Blocks.GetBlockByID(100), nullptr);
    EXPECT_EQ(m_Physics.m_Bodies.GetCount(), 222);
    EXPECT_EQ(m_Blocks.AddBlock(0, {0.0f, 0.0f}, 0, 0, 0)->m_uID, 100);
}

TEST_F(CBlockManager, DeletedIdentifierIsTheNextOne)
{
    for (int i = 0; i < 3; ++i)
        m_Blocks.AddBlock(1, {0.2f * float(i), 0.0f}, 0, 0, 0);
    CBody* pLast = m_Blocks.GetBlockByID(34)->m_pBody;
    m_Blocks.DeleteBlock(33);
    m_Blocks.DeleteBlock(77); // none: nothing happens
    ASSERT_EQ(m_Blocks.GetCount(), 2);
    EXPECT_EQ(m_Blocks.GetAt(0)->m_uID, 32);
    EXPECT_EQ(m_Blocks.GetAt(1)->m_uID, 34); // order kept
    EXPECT_EQ(m_Blocks.GetBlockByID(34)->m_pBody, pLast);
    EXPECT_EQ(m_Blocks.AddBlock(1, {0.0f, 1.0f}, 0, 0, 0)->m_uID, 33);
}

TEST_F(CBlockManager, ClearLeavesTheBodiesToThePhysics)
{
    m_Blocks.AddBlock(1, {0.0f, 0.0f}, 0, 0, 0);
    m_Blocks.AddBlock(1, {1.0f, 0.0f}, 0, 0, 0);
    m_Blocks.Clear();
    EXPECT_EQ(m_Blocks.GetCount(), 0);
    EXPECT_EQ(m_Physics.m_Bodies.GetCount(), 2);
    EXPECT_EQ(m_Blocks.AddBlock(1, {0.0f, 0.0f}, 0, 0, 0)->m_uID, 32);
}

// Two games in one process: each context counts its own blocks.
TEST_F(CBlockManager, TwoGameContextsCountApart)
{
    CMoxGameContext first, second;
    CMoxPhysics otherPhysics;
    otherPhysics.Startup(1.0f / 30.0f, 4);
    ::CBlockManager otherBlocks;
    m_Blocks.Startup(&m_Physics, &first.m_iBlockCounter);
    otherBlocks.Startup(&otherPhysics, &second.m_iBlockCounter);
    EXPECT_EQ(first.m_iBlockCounter, 32);
    for (int i = 0; i < 5; ++i)
        m_Blocks.AddBlock(1, {0.0f, 0.0f}, 0, 0, 0);
    otherBlocks.AddBlock(1, {0.0f, 0.0f}, 0, 0, 0);
    EXPECT_EQ(first.m_iBlockCounter, 37);
    EXPECT_EQ(second.m_iBlockCounter, 33);
    EXPECT_EQ(otherBlocks.GetAt(0)->m_uID, 32);
}

} // namespace
