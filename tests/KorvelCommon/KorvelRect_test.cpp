#include "KorvelCommon/KorvelRect.h"

#include <gtest/gtest.h>

TEST(CKorvelRect, IntersectHasInclusiveEdges)
{
    CKorvelRect<int> a(0, 0, 10, 10);
    CKorvelRect<int> out(-1, -1, -1, -1);
    EXPECT_EQ(a.Intersect(CKorvelRect<int>(10, 10, 20, 20), &out), 1);
    EXPECT_EQ(out.left, 10);
    EXPECT_EQ(out.top, 10);
    EXPECT_EQ(out.right, 10);
    EXPECT_EQ(out.bottom, 10);

    out.Set(-1, -1, -1, -1);
    EXPECT_EQ(a.Intersect(CKorvelRect<int>(11, 0, 20, 10), &out), 0);
    EXPECT_EQ(out.left, -1); // untouched
    EXPECT_EQ(a.Intersect(CKorvelRect<int>(0, 11, 10, 20), nullptr), 0);
    EXPECT_EQ(a.Intersect(CKorvelRect<int>(-5, -5, -1, 3), nullptr), 0);
    EXPECT_EQ(a.Intersect(CKorvelRect<int>(3, -5, 4, 20), nullptr), 1);

    // Nested and crossing rectangles.
    ASSERT_EQ(a.Intersect(CKorvelRect<int>(2, 3, 4, 5), &out), 1);
    EXPECT_EQ(out.left, 2);
    EXPECT_EQ(out.bottom, 5);
    ASSERT_EQ(a.Intersect(CKorvelRect<int>(-4, 6, 30, 8), &out), 1);
    EXPECT_EQ(out.left, 0);
    EXPECT_EQ(out.top, 6);
    EXPECT_EQ(out.right, 10);
    EXPECT_EQ(out.bottom, 8);
    EXPECT_EQ(out.GetWidth(), 10);
    EXPECT_EQ(out.GetHeight(), 2);

    CKorvelRect<float> f(0.25f, 0.5f, 1.0f, 0.75f);
    EXPECT_FLOAT_EQ(f.GetWidth(), 0.75f);
    EXPECT_FLOAT_EQ(f.GetHeight(), 0.25f);
}
