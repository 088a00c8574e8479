#include "KorvelCommon/KorvelArray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Records the life of every slot, like the network records whose destructors free strings.
struct sTRACKED
{
    static int g_iLive;
    static int g_iAssignments;
    std::string m_strText;
    sTRACKED() { ++g_iLive; }
    sTRACKED(const sTRACKED& o) : m_strText(o.m_strText) { ++g_iLive; }
    sTRACKED& operator=(const sTRACKED& o)
    {
        m_strText = o.m_strText;
        ++g_iAssignments;
        return *this;
    }
    ~sTRACKED() { --g_iLive; }
};
int sTRACKED::g_iLive = 0;
int sTRACKED::g_iAssignments = 0;

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

TEST(CKorvelArray, CapacitySequences)
{
    CKorvelArray<int> b;
    EXPECT_EQ(CapacitiesWhileAdding(b, 50),
              (std::vector<int>{1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 41, 46, 51}));

    CKorvelArray<int> big; // the automatic step never passes 1024
    big.SetSize(8192);
    big.SetSize(8193);
    EXPECT_EQ(big.m_iCapacity, 8192 + 1024);
    big.SetSize(20000);
    EXPECT_EQ(big.m_iCapacity, 20000);
    big.SetSize(20001);
    EXPECT_EQ(big.m_iCapacity, 21024);

    CKorvelArray<int> fixed(3);
    fixed.Add(1);
    fixed.Add(2);
    EXPECT_EQ(fixed.m_iCapacity, 4);
    CKorvelArray<int> ten;
    ten.m_iGrowBy = 10;
    EXPECT_EQ(CapacitiesWhileAdding(ten, 25), (std::vector<int>{1, 11, 21, 31}));

    // SetSize takes the larger of step and request.
    CKorvelArray<int> c;
    c.SetSize(80);
    c.SetSize(85);
    EXPECT_EQ(c.m_iCapacity, 90);
    EXPECT_EQ(c.m_iCount, 85);
    c.SetSize(100);
    EXPECT_EQ(c.m_iCapacity, 100);
    EXPECT_EQ(c.SetSize(-4), 0); // refused
    EXPECT_EQ(c.m_iCount, 100);
}

TEST(CKorvelArray, ShrinkKeepsSlotsAliveAndZeroFreesEverything)
{
    {
        CKorvelArray<sTRACKED> a;
        a.SetSize(5);
        const char* texts[] = {"a", "b", "c", "d", "e"};
        for (int i = 0; i < 5; ++i)
            a[i].m_strText = texts[i];
        a.SetSize(2);
        EXPECT_EQ(sTRACKED::g_iLive, 5); // nothing destroyed by a shrink
        a.SetSize(5);
        EXPECT_EQ(a[4].m_strText, "e");

        // A regrow copies only the counted elements; every new slot is constructed.
        a.SetSize(2);
        sTRACKED::g_iAssignments = 0;
        a.SetSize(6);
        EXPECT_EQ(a.m_iCapacity, 9);
        EXPECT_EQ(sTRACKED::g_iAssignments, 2);
        EXPECT_EQ(sTRACKED::g_iLive, 9);
        EXPECT_EQ(a[1].m_strText, "b");
        EXPECT_EQ(a[2].m_strText, "");

        a.RemoveAll();
        EXPECT_EQ(sTRACKED::g_iLive, 0);
        EXPECT_EQ(a.m_pData, nullptr);
        a.SetSize(3);
    }
    EXPECT_EQ(sTRACKED::g_iLive, 0); // the destructor destroys every slot
}

TEST(CKorvelArray, InsertAtAndCopies)
{
    CKorvelArray<int> a;
    a.Add(1);
    a.Add(2);
    EXPECT_EQ(a.InsertAt(5, 9), 5); // past the end grows the array
    EXPECT_EQ(a.m_iCount, 6);
    EXPECT_EQ(a[5], 9);
    EXPECT_EQ(a.InsertAt(-1, 4), -1);
    EXPECT_EQ(a.m_iCount, 6);

    CKorvelArray<std::string> s;
    s.Add("a");
    s.Add("b");
    s.InsertAt(0, "x");
    CKorvelArray<std::string> copy(s);
    copy[0] = "changed";
    CKorvelArray<std::string> assigned;
    assigned = copy;
    assigned = assigned;
    ASSERT_EQ(s.m_iCount, 3);
    EXPECT_EQ(s[0], "x");
    EXPECT_EQ(s[2], "b");
    ASSERT_EQ(assigned.m_iCount, 3);
    EXPECT_EQ(assigned[0], "changed");
    EXPECT_EQ(assigned[1], "a");
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
