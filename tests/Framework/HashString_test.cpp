#include "Framework/HashString.h"

#include "KorvelCommon/KorvelSet.h"

#include <gtest/gtest.h>

TEST(CHashString, HashesOfTheExamples)
{
    CHashString empty;
    EXPECT_EQ(empty.GetHash(), 0x811C1CD9u);
    EXPECT_EQ(empty.GetText().GetLength(), 0);
    EXPECT_EQ(CHashString::Hash(CKorvelString()), 0x811C1CD9u);

    CHashString abc(CKorvelString("abc"));
    EXPECT_EQ(abc.GetHash(), 0x96D1D4A8u);
    EXPECT_EQ(abc.GetString().Compare(CKorvelString("abc")), 0);
    EXPECT_EQ(CHashString(L"abc").GetHash(), 0x96D1D4A8u);
}

TEST(FNV1A_Hash_Jesteress, TailsOfFourTwoAndOneBytes)
{
    EXPECT_EQ(FNV1A_Hash_Jesteress("", 0), 0x811C1CD9u);
    EXPECT_EQ(FNV1A_Hash_Jesteress("\xff", 1), 0xBF67CF31u); // the last byte is signed
    EXPECT_EQ(FNV1A_Hash_Jesteress("abcdefghijk", 11), 0x2076A1D6u);
    const char aUnits[] = {'h', 0, 'e', 0, 'l', 0, 'l', 0, 'o', 0, ' ', 0,
                           'w', 0, 'o', 0, 'r', 0, 'l', 0, 'd', 0, '!', 0};
    EXPECT_EQ(FNV1A_Hash_Jesteress(aUnits, sizeof(aUnits)), 0x16C74023u);
}

TEST(CHashString, CopiesCarryTheHashAndTheText)
{
    CHashString a(CKorvelString("resource.png"));
    CHashString b(a);
    EXPECT_EQ(b.GetHash(), 0x8B29B30Eu);
    EXPECT_EQ(b.Compare(a), 0);
    CHashString c;
    c = b;
    EXPECT_EQ(c.GetHash(), a.GetHash());
    EXPECT_EQ(c.GetText().Compare(a.GetText()), 0);
    c = CHashString(CKorvelString("other"));
    EXPECT_EQ(b.GetText().Compare(CKorvelString("resource.png")), 0); // deep copies
}

TEST(CHashString, OrdersByHashThenText)
{
    // "abcd" and "accD" share a hash: the texts decide.
    CHashString abcd("abcd"), accD("accD");
    ASSERT_EQ(abcd.GetHash(), accD.GetHash());
    EXPECT_LT(abcd.Compare(accD), 0);
    EXPECT_GT(accD.Compare(abcd), 0);

    // "b" has a larger hash than "a" but "Ab" a larger one than "BA": hash decides first.
    EXPECT_LT(CHashString("a").Compare(CHashString("b")), 0);
    EXPECT_GT(CHashString("Ab").Compare(CHashString("BA")), 0);
}

TEST(CHashString, KeysOfSortedMaps)
{
    CKorvelMap<CHashString, int, CKorvelMultiSet_DefaultOrdering<CHashString>> m;
    EXPECT_EQ(m.Add(CHashString("accD"), 1), 1);
    EXPECT_EQ(m.Add(CHashString("abcd"), 2), 1);
    EXPECT_EQ(m.Add(CHashString("name"), 3), 1);
    EXPECT_EQ(m.Add(CHashString("abcd"), 9), 0);
    ASSERT_EQ(m.m_iCount, 3);
    for (int i = 1; i < m.m_iCount; ++i)
        EXPECT_LE(m.GetAt(i - 1).m_First.GetHash(), m.GetAt(i).m_First.GetHash());

    int iAbcd = m.Find(CHashString("abcd"));
    int iAccD = m.Find(CHashString("accD"));
    ASSERT_GE(iAbcd, 0);
    ASSERT_GE(iAccD, 0);
    EXPECT_EQ(iAccD, iAbcd + 1); // equal hashes, text order
    EXPECT_EQ(m.GetAt(iAbcd).m_Second, 2);
    EXPECT_EQ(m.Find(CHashString("abce")), -1);

    m.Remove(CHashString("abcd"));
    EXPECT_EQ(m.Find(CHashString("accD")), iAbcd);
    m[CKorvelString("fresh")] = 4; // a string converts to its key
    EXPECT_EQ(m.m_iCount, 3);
    EXPECT_EQ(m.GetAt(m.Find(CHashString("fresh"))).m_Second, 4);
    m.Clear();
    EXPECT_EQ(m.m_iCount, 0);

    CKorvelSet<CHashString> s;
    EXPECT_EQ(s.Add(CHashString("x")), 1);
    EXPECT_EQ(s.Add(CHashString("x")), 0);
}

TEST(CHashString, ArraysCopyKeysByAssignment)
{
    CKorvelArray<CHashString> a;
    a.SetSize(3);
    EXPECT_EQ(a[2].GetHash(), 0x811C1CD9u); // new slots are empty keys
    a[0] = CHashString("first");
    a.SetSize(40); // regrow: copied by assignment
    EXPECT_EQ(a[0].GetHash(), CHashString::Hash(CKorvelString("first")));
    EXPECT_EQ(a[0].GetText().Compare(CKorvelString("first")), 0);
}
