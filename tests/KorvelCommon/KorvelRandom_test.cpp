#include "KorvelCommon/KorvelRandom.h"

#include <gtest/gtest.h>

namespace
{

TEST(CKorvelRandom, SequenceIsTheSameEverywhereAndStaysInFifteenBits)
{
    CKorvelRandom random, other;
    random.Seed(1);
    other.Seed(1);
    // The classic portable generator's first values from seed 1.
    EXPECT_EQ(random.Next(), 16838);
    EXPECT_EQ(random.Next(), 5758);
    EXPECT_EQ(random.Next(), 10113);
    EXPECT_EQ(random.Next(), 17515);
    EXPECT_EQ(other.Next(), 16838); // generators are independent

    random.Seed(12345);
    int iMin = CKorvelRandom::MAX, iMax = 0;
    for (int i = 0; i < 100000; ++i)
    {
        int iValue = random.Next();
        iMin = std::min(iMin, iValue);
        iMax = std::max(iMax, iValue);
    }
    EXPECT_GE(iMin, 0);
    EXPECT_LE(iMax, CKorvelRandom::MAX);
    EXPECT_GT(iMax, 32000);
}

TEST(CKorvelRandom, IntIncludesBothEnds)
{
    CKorvelRandom random;
    random.Seed(7);
    bool bSeen[3] = {false, false, false};
    for (int i = 0; i < 1000; ++i)
    {
        int iValue = random.Int(-1, 1);
        ASSERT_GE(iValue, -1);
        ASSERT_LE(iValue, 1);
        bSeen[iValue + 1] = true;
    }
    EXPECT_TRUE(bSeen[0] && bSeen[1] && bSeen[2]);
    EXPECT_EQ(random.Int(3, 3), 3);
    EXPECT_EQ(random.Int(5, 4), 5); // would divide by zero
    EXPECT_EQ(random.Int(5, -100), 5);
    int iWide = random.Int(-2147483647 - 1, 2147483647);
    EXPECT_GE(iWide, -2147483647 - 1);
    EXPECT_LE(iWide, -2147483647 - 1 + CKorvelRandom::MAX);
}

TEST(CKorvelRandom, FloatAndDoubleScaleTheFifteenBits)
{
    CKorvelRandom random, copy;
    random.Seed(99);
    copy.Seed(99);
    for (int i = 0; i < 1000; ++i)
    {
        float fValue = random.Float(2.0f, 4.0f);
        EXPECT_EQ(fValue, 2.0f + 2.0f * static_cast<float>(copy.Next()) / 32767.0f);
        double dValue = random.Double(-1.0, 1.0);
        EXPECT_GE(dValue, -1.0);
        EXPECT_LE(dValue, 1.0);
        copy.Next();
    }
}

} // namespace
