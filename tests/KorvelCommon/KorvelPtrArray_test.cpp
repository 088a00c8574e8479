#include "KorvelCommon/KorvelPtrArray.h"

#include <gtest/gtest.h>

TEST(CKorvelPtrArray, GrowsByFiveSlots)
{
    int v[12];
    CKorvelPtrArray a;
    EXPECT_EQ(a.m_ppData, nullptr);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(a.Add(&v[i]), i + 1);
    EXPECT_EQ(a.m_iFree, 0);
    void** pFirstBlock = a.m_ppData;
    a.Add(&v[5]);
    EXPECT_NE(a.m_ppData, pFirstBlock);
    EXPECT_EQ(a.m_iCount + a.m_iFree, 10);
    for (int i = 6; i < 11; ++i)
        a.Add(&v[i]);
    EXPECT_EQ(a.m_iCount + a.m_iFree, 15);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(a[i], &v[i]);
}

TEST(CKorvelPtrArray, InsertAndRemoveKeepOrder)
{
    int v[4];
    CKorvelPtrArray a;
    a.Add(&v[0]);
    a.Add(&v[2]);
    EXPECT_EQ(a.InsertAt(1, &v[1]), 3);
    EXPECT_EQ(a.InsertAt(3, &v[3]), 4); // at the count: an append
    EXPECT_EQ(a.InsertAt(9, &v[3]), -1);
    EXPECT_EQ(a.InsertAt(-1, &v[3]), -1);
    ASSERT_EQ(a.m_iCount, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(a[i], &v[i]);

    a.RemoveAt(0);
    EXPECT_EQ(a.m_iCount, 3);
    EXPECT_EQ(a[0], &v[1]);
    EXPECT_EQ(a.m_iFree, 2);
    a.RemoveAt(3); // past the end: nothing
    a.RemoveAt(-1);
    EXPECT_EQ(a.m_iCount, 3);

    a.SetAt(0, &v[0]);
    EXPECT_EQ(a[0], &v[0]);
}

TEST(CKorvelPtrArray, RemoveTakesTheFirstOccurrenceOnlyAndCopiesOwnTheirSlots)
{
    int x, y;
    CKorvelPtrArray a;
    EXPECT_EQ(a.Remove(&x), 0);
    a.Add(&x);
    a.Add(&y);
    a.Add(&x);
    EXPECT_EQ(a.Remove(&x), 1);
    ASSERT_EQ(a.m_iCount, 2);
    EXPECT_EQ(a[0], &y);
    EXPECT_EQ(a[1], &x);
    EXPECT_EQ(a.Remove(&a), 0);

    a.Clear();
    EXPECT_EQ(a.m_iCount, 0);
    EXPECT_EQ(a.m_iFree, 0);
    EXPECT_EQ(a.m_ppData, nullptr);

    CKorvelPtrArray* pOriginal = CKorvelPtrArray::New();
    pOriginal->Add(&x);
    CKorvelPtrArray b(*pOriginal);
    b.Add(&y);
    delete pOriginal;
    ASSERT_EQ(b.m_iCount, 2);
    EXPECT_EQ(b[0], &x);
}

TEST(CKorvelTypedPtrArray, TypedAccess)
{
    struct sREC
    {
        int m_iValue;
    } r1{1}, r2{2};
    CKorvelTypedPtrArray<sREC> a;
    a.Add(&r2);
    a.InsertAt(0, &r1);
    EXPECT_EQ(a[0]->m_iValue, 1);
    EXPECT_EQ(a.GetAt(1)->m_iValue, 2);
    EXPECT_EQ(a.Remove(&r1), 1);
    EXPECT_EQ(a.m_iCount, 1);
}
