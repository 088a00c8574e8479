#include "KorvelCommon/KorvelArray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Records the life of every slot, like the network records whose destructors free strings.
struct sTracked
{
    static int s_iLive;
    static int s_iAssignments;
    std::string m_strText;
    sTracked() { ++s_iLive; }
    sTracked(const sTracked& o) : m_strText(o.m_strText) { ++s_iLive; }
    sTracked& operator=(const sTracked& o)
    {
        m_strText = o.m_strText;
        ++s_iAssignments;
        return *this;
    }
    ~sTracked() { --s_iLive; }
};
int sTracked::s_iLive = 0;
int sTracked::s_iAssignments = 0;

std::vector<int> CapacitiesWhileAdding(CKorvelArray<int>& a, int n)
{
    std::vector<int> caps;
    for (int i = 0; i < n; ++i)
    {
        a.Add(i);
        if (caps.empty() || caps.back() != a.m_iCapacity)
            caps.push_back(a.m_iCapacity);
    }
    return caps;
}
} // namespace

TEST(CKorvelArray, AutomaticStepGrowsByCountOverEightBetweenFourAnd1024)
{
    CKorvelArray<int> a;
    EXPECT_EQ(a.Add(7), 0);
    EXPECT_EQ(a.m_iCount, 1);
    EXPECT_EQ(a.m_iCapacity, 1);
    a.Add(8);
    EXPECT_EQ(a.m_iCapacity, 5);

    CKorvelArray<int> b;
    std::vector<int> caps = CapacitiesWhileAdding(b, 50);
    std::vector<int> expected = {1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 41, 46, 51};
    EXPECT_EQ(caps, expected); // step 5 from an old count of 41

    CKorvelArray<int> big;
    big.SetSize(8192);
    big.SetSize(8193);
    EXPECT_EQ(big.m_iCapacity, 8192 + 1024);
    big.SetSize(20000);
    EXPECT_EQ(big.m_iCapacity, 20000);
    big.SetSize(20001);
    EXPECT_EQ(big.m_iCapacity, 21024); // the step never passes 1024
}

TEST(CKorvelArray, FixedGrowStep)
{
    CKorvelArray<int> a(3);
    a.Add(1);
    a.Add(2);
    EXPECT_EQ(a.m_iCapacity, 4);

    CKorvelArray<int> b;
    b.m_iGrowBy = 10;
    std::vector<int> expected = {1, 11, 21, 31};
    EXPECT_EQ(CapacitiesWhileAdding(b, 25), expected);
}

TEST(CKorvelArray, SetSizeTakesTheLargerOfStepAndRequest)
{
    CKorvelArray<int> a;
    a.SetSize(80);
    a.SetSize(100);
    EXPECT_EQ(a.m_iCapacity, 100);

    CKorvelArray<int> b;
    b.SetSize(80);
    b.SetSize(85);
    EXPECT_EQ(b.m_iCapacity, 90);
    EXPECT_EQ(b.m_iCount, 85);
}

TEST(CKorvelArray, ShrinkKeepsSlotsAliveAndZeroFreesEverything)
{
    {
        CKorvelArray<sTracked> a;
        a.SetSize(5);
        EXPECT_EQ(sTracked::s_iLive, 5);
        const char* texts[] = {"a", "b", "c", "d", "e"};
        for (int i = 0; i < 5; ++i)
            a[i].m_strText = texts[i];
        a.SetSize(2);
        EXPECT_EQ(sTracked::s_iLive, 5); // nothing destroyed by a shrink
        a.SetSize(5);
        EXPECT_EQ(a.m_iCount, 5);
        EXPECT_EQ(a[2].m_strText, "c");
        EXPECT_EQ(a[4].m_strText, "e");

        // A regrow copies only the counted elements; every new slot is constructed.
        a.SetSize(2);
        sTracked::s_iAssignments = 0;
        a.SetSize(6);
        EXPECT_EQ(a.m_iCapacity, 9);
        EXPECT_EQ(sTracked::s_iAssignments, 2);
        EXPECT_EQ(sTracked::s_iLive, 9);
        EXPECT_EQ(a[1].m_strText, "b");
        EXPECT_EQ(a[2].m_strText, "");

        a.RemoveAll();
        EXPECT_EQ(sTracked::s_iLive, 0);
        EXPECT_EQ(a.m_pData, nullptr);
        EXPECT_EQ(a.m_iCapacity, 0);
        a.SetSize(3);
    }
    EXPECT_EQ(sTracked::s_iLive, 0); // the destructor destroys every slot
}

TEST(CKorvelArray, InsertAt)
{
    CKorvelArray<int> a;
    a.Add(1);
    a.Add(2);
    EXPECT_EQ(a.InsertAt(5, 9), 5);
    EXPECT_EQ(a.m_iCount, 6);
    EXPECT_EQ(a[5], 9);
    EXPECT_EQ(a[1], 2);

    EXPECT_EQ(a.InsertAt(-1, 4), -1);
    EXPECT_EQ(a.m_iCount, 6);

    CKorvelArray<std::string> s;
    s.Add("a");
    s.Add("b");
    s.InsertAt(0, "x");
    ASSERT_EQ(s.m_iCount, 3);
    EXPECT_EQ(s[0], "x");
    EXPECT_EQ(s[1], "a");
    EXPECT_EQ(s[2], "b");
}

TEST(CKorvelArray, AddingOwnElementWhileTheBlockMoves)
{
    CKorvelArray<std::string> s;
    s.Add("first element, long enough to live on the heap");
    for (int i = 0; i < 20; ++i)
        s.Add(s[0]);
    s.InsertAt(0, s[3]);
    ASSERT_EQ(s.m_iCount, 22);
    for (int i = 0; i < s.m_iCount; ++i)
        EXPECT_EQ(s[i], "first element, long enough to live on the heap");
}

TEST(CKorvelArray, CopiesAreDeep)
{
    CKorvelArray<std::string> a;
    a.Add("one");
    a.Add("two");
    CKorvelArray<std::string> b(a);
    b[0] = "changed";
    EXPECT_EQ(a[0], "one");
    CKorvelArray<std::string> c;
    c = b;
    c = c;
    ASSERT_EQ(c.m_iCount, 2);
    EXPECT_EQ(c[0], "changed");
    EXPECT_EQ(c[1], "two");
}

TEST(CKorvelArray, NegativeSizeIsRefused)
{
    CKorvelArray<int> a;
    a.Add(3);
    EXPECT_EQ(a.SetSize(-4), 0);
    EXPECT_EQ(a.m_iCount, 1);
}
