#include "Framework/Shell/HashString.h"

#include "KorvelCommon/KorvelSet.h"

#include <gtest/gtest.h>

TEST(CHashString, HashesOfTheExamples)
{
    EXPECT_EQ(CHashString().GetHash(), 0x811C1CD9u);
    EXPECT_EQ(CHashString(CKorvelString("abc")).GetHash(), 0x96D1D4A8u);
    EXPECT_EQ(CHashString(L"abc").GetHash(), 0x96D1D4A8u);
    // Tails of four, two and one bytes; the last byte is signed.
    const char aUnits[] = {'h', 0, 'e', 0, 'l', 0, 'l', 0, 'o', 0, ' ', 0,
                           'w', 0, 'o', 0, 'r', 0, 'l', 0, 'd', 0, '!', 0};
    struct
    {
        const char* pBytes;
        size_t uSize;
        unsigned int uHash;
    } aCases[] = {{"", 0, 0x811C1CD9u},
                  {"\xff", 1, 0xBF67CF31u},
                  {"abcdefghijk", 11, 0x2076A1D6u},
                  {aUnits, sizeof(aUnits), 0x16C74023u}};
    for (const auto& c : aCases)
        EXPECT_EQ(FNV1A_Hash_Jesteress(c.pBytes, c.uSize), c.uHash) << c.uSize;
}

TEST(CHashString, CopiesCarryTheHashAndTheText)
{
    CHashString a(CKorvelString("resource.png"));
    CHashString b(a), c;
    EXPECT_EQ(b.GetHash(), 0x8B29B30Eu);
    c = b;
    EXPECT_EQ(c.Compare(a), 0);
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
    ASSERT_GE(iAbcd, 0);
    EXPECT_EQ(m.Find(CHashString("accD")), iAbcd + 1); // equal hashes, text order
    EXPECT_EQ(m.GetAt(iAbcd).m_Second, 2);
    EXPECT_EQ(m.Find(CHashString("abce")), -1);

    m.Remove(CHashString("abcd"));
    EXPECT_EQ(m.Find(CHashString("accD")), iAbcd);
    m[CKorvelString("fresh")] = 4; // a string converts to its key
    EXPECT_EQ(m.GetAt(m.Find(CHashString("fresh"))).m_Second, 4);

    CKorvelSet<CHashString> s;
    EXPECT_EQ(s.Add(CHashString("x")), 1);
    EXPECT_EQ(s.Add(CHashString("x")), 0);
}
