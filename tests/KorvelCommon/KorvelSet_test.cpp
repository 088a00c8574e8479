#include "KorvelCommon/KorvelSet.h"

#include "KorvelCommon/KorvelString.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace
{
// Tags equal keys so that the test can see which one went where.
struct sTAGGED
{
    int m_iKey;
    int m_iTag;
    bool operator<(const sTAGGED& o) const { return m_iKey < o.m_iKey; }
};

template <class S> std::vector<int> Tags(const S& s)
{
    std::vector<int> v;
    for (int i = 0; i < s.m_iCount; ++i)
        v.push_back(s.m_pData[i].m_iTag);
    return v;
}

// An ordering class in the manner of the layout areas: a class of its own, compared
// through pointers by a float field, built once per Add.
struct sAREA
{
    float m_fAspect;
};
struct CAreaOrder
{
    static int g_iBuilt;
    CAreaOrder() { ++g_iBuilt; }
    int Compare(sAREA* const& a, sAREA* const& b) const
    {
        return a->m_fAspect < b->m_fAspect ? -1 : (b->m_fAspect < a->m_fAspect ? 1 : 0);
    }
};
int CAreaOrder::g_iBuilt = 0;

// A key with its own three-way Compare, as the engine string has.
struct sNAME
{
    std::string m_str;
    int Compare(const sNAME& o) const { return m_str.compare(o.m_str); } // any sign magnitude
};
} // namespace

CKorvelMultiSet<sTAGGED> OneThreeThreeThreeFive()
{
    CKorvelMultiSet<sTAGGED> s;
    int keys[] = {1, 3, 3, 3, 5};
    for (int i = 0; i < 5; ++i)
        s.InsertAt(i, sTAGGED{keys[i], i});
    return s;
}

TEST(CKorvelMultiSet, InsertsBeforeTheEqualElementTheSearchHits)
{
    CKorvelMultiSet<sTAGGED> s = OneThreeThreeThreeFive();
    EXPECT_EQ(s.Add(sTAGGED{3, 10}), 2); // the middle 3 is hit first
    EXPECT_EQ(Tags(s), (std::vector<int>{0, 1, 10, 2, 3, 4}));
    const std::pair<int, int> kKeyAndPosition[] = {{4, 4}, {9, 5}, {0, 0}};
    for (const auto& c : kKeyAndPosition)
    {
        s = OneThreeThreeThreeFive();
        EXPECT_EQ(s.Add(sTAGGED{c.first, 10}), c.second) << c.first;
    }

    CKorvelMultiSet<int> e;
    EXPECT_EQ(e.Add(4), 0);
}

TEST(CKorvelMultiSet, OrderingClassOfItsOwnBuiltOncePerAdd)
{
    sAREA wide{1.7f}, square{1.0f}, tall{0.6f}, square2{1.0f};
    CKorvelMultiSet<sAREA*, CAreaOrder> areas;
    areas.Add(&wide);
    areas.Add(&square);
    CAreaOrder::g_iBuilt = 0;
    areas.Add(&tall);
    EXPECT_EQ(CAreaOrder::g_iBuilt, 1);
    areas.Add(&square2);
    ASSERT_EQ(areas.m_iCount, 4);
    EXPECT_EQ(areas[0], &tall);
    EXPECT_EQ(areas[1], &square2); // in front of the equal aspect already held
    EXPECT_EQ(areas[2], &square);
    EXPECT_EQ(areas[3], &wide);
}

TEST(CKorvelSet, AddKeepsElementsUniqueInCompareOrder)
{
    CKorvelSet<int> s;
    EXPECT_EQ(s.Find(1), -1);
    EXPECT_EQ(s.Add(5), 1);
    EXPECT_EQ(s.Add(1), 1);
    EXPECT_EQ(s.Add(3), 1);
    EXPECT_EQ(s.Add(3), 0);
    ASSERT_EQ(s.m_iCount, 3);
    EXPECT_EQ(s[0], 1);
    EXPECT_EQ(s[1], 3);
    EXPECT_EQ(s[2], 5);
    EXPECT_EQ(s.Find(5), 2);
    EXPECT_EQ(s.Find(4), -1);
    EXPECT_EQ(s.Find(0), -1);
    EXPECT_EQ(s.Find(9), -1);
    CKorvelSet<sNAME> names; // ordered by the element's own Compare
    names.Add(sNAME{"pear"});
    names.Add(sNAME{"apple"});
    names.Add(sNAME{"fig"});
    EXPECT_EQ(names.Add(sNAME{"fig"}), 0);
    ASSERT_EQ(names.m_iCount, 3);
    EXPECT_EQ(names[0].m_str, "apple");
    EXPECT_EQ(names[2].m_str, "pear");
    EXPECT_EQ(names.Find(sNAME{"fig"}), 1);
}

TEST(CKorvelMap, AddKeepsTheOldValueAndIndexingAddsByKey)
{
    CKorvelMap<char, int> m;
    EXPECT_EQ(m.Add('a', 1), 1);
    EXPECT_EQ(m.Add('a', 2), 0);
    EXPECT_EQ(m.GetAt(m.Find('a')).m_Second, 1);
    EXPECT_EQ(m.Find('q'), -1);

    EXPECT_EQ(m['b'], 0); // added with a zero value
    EXPECT_EQ(m.m_iCount, 2);
    m['b'] = 7;
    EXPECT_EQ(m.GetAt(1).m_Second, 7);
    CKorvelMap<int, const char*> ints; // int keys by value, not by index
    ints.Add(10, "ten");
    ints.Add(-3, "minus three");
    ints.Add(7, "seven");
    EXPECT_STREQ(ints[7], "seven");
    EXPECT_EQ(ints[1], nullptr);
    ASSERT_EQ(ints.m_iCount, 4);
    int expected[] = {-3, 1, 7, 10};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ints.GetAt(i).m_First, expected[i]);
}

TEST(CKorvelMap, RemoveShiftsDownAndKeepsTheBlock)
{
    CKorvelMap<std::string, int> m;
    m.Add("zebra", 1);
    m.Add("ant", 2);
    m.Add("moose", 3);
    m.Add("bee", 4);
    const char* order[] = {"ant", "bee", "moose", "zebra"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(m.GetAt(i).m_First, order[i]);

    int iCapacity = m.m_iCapacity;
    m.Remove("zz");
    EXPECT_EQ(m.m_iCount, 4);
    m.Remove("bee");
    ASSERT_EQ(m.m_iCount, 3);
    EXPECT_EQ(m.m_iCapacity, iCapacity);
    EXPECT_EQ(m.GetAt(1).m_First, "moose");
    EXPECT_EQ(m.GetAt(1).m_Second, 3);
    EXPECT_EQ(m.Find("zebra"), 2);

    m.Clear();
    EXPECT_EQ(m.m_iCount, 0);
    EXPECT_EQ(m.m_pData, nullptr);
    EXPECT_EQ(m.Find("ant"), -1);
}

TEST(CKorvelMap, InterleavedInsertsStayInKeyOrder)
{
    CKorvelMap<long long, int> m;
    for (int i = 0; i < 500; ++i)
    {
        long long key = (long long)((i * 7919) % 1000) - 500 + ((long long)i << 33);
        EXPECT_EQ(m.Add(key, i), 1);
    }
    for (int i = 1; i < m.m_iCount; ++i)
        EXPECT_LT(m.GetAt(i - 1).m_First, m.GetAt(i).m_First);
    for (int i = 0; i < 500; ++i)
    {
        long long key = (long long)((i * 7919) % 1000) - 500 + ((long long)i << 33);
        int idx = m.Find(key);
        ASSERT_GE(idx, 0);
        EXPECT_EQ(m.GetAt(idx).m_Second, i);
    }
}

TEST(CKorvelMap, EngineStringKeysInCompareOrder)
{
    CKorvelMap<CKorvelString, int, CKorvelMultiSet_DefaultOrdering<CKorvelString>> m;
    m.Add(CKorvelString("b"), 1);
    m.Add(CKorvelString("abc"), 2);
    m.Add(CKorvelString("ab"), 3);
    m.Add(CKorvelString(""), 4);
    const unsigned short aHigh[] = {0xFF80, 0};
    m.Add(CKorvelString(aHigh), 5);
    EXPECT_EQ(m.Add(CKorvelString("ab"), 6), 0);
    int expected[] = {4, 3, 2, 1, 5}; // '', 'ab', 'abc', 'b', then 0xFF80 after 'z'
    ASSERT_EQ(m.m_iCount, 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(m.GetAt(i).m_Second, expected[i]);
    EXPECT_EQ(m[CKorvelString("abc")], 2);
}
