#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelString.h"

#include "support/StringUnits.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// --- construction and conversions --------------------------------------------------

TEST(CKorvelString, EmptyInputsGiveNoBufferAndLongOnesAreCut)
{
    ExpectEmpty(CKorvelString(""));
    CKorvelString str(L"abc");
    str.Set(L"");
    ExpectEmpty(str);
    ExpectEmpty(CKorvelString(L"abcdef").Mid(3, 0));
    str.Set(L"ab");
    str.SetLength(0);
    ExpectEmpty(str);
    ExpectEmpty(CKorvelString(static_cast<const char*>(nullptr)));
    ExpectEmpty(CKorvelString(static_cast<const CKorvelString*>(nullptr)));
    ExpectEmpty(CKorvelString());

    // Sources are cut at the length limit.
    std::string strLong(CKorvelString::MAX_LENGTH + 10, 'x');
    CKorvelString cut(strLong.c_str());
    EXPECT_EQ(cut.GetLength(), 511999);
    EXPECT_EQ(cut.GetBuffer()[511999], 0);
    EXPECT_EQ(CKorvelString::ComputeLength(strLong.c_str()), 511999);
    EXPECT_EQ(CKorvelString::ComputeLength(static_cast<const char*>(nullptr)), 0);
    EXPECT_EQ(CKorvelString::ComputeLength(L"abc"), 3);
}

TEST(CKorvelString, EightBitAndWideConversions)
{
    CKorvelString str("a\xE9\x80"); // widened signed, narrowed back
    EXPECT_EQ(Units(str), (std::u16string{u'a', 0xFFE9, 0xFF80}));
    char aOut[4] = {1, 1, 1, 1};
    str.MakeAnsi(aOut);
    EXPECT_EQ(std::string(aOut), "a\xE9\x80");
    char aEmpty[1] = {1};
    CKorvelString().MakeAnsi(aEmpty);
    EXPECT_EQ(aEmpty[0], 0);

    // Wide text keeps the low sixteen bits; a character whose low half is zero ends the text.
    const wchar_t aText[] = {L'a', 0x1F600, 0x10000, L'b', 0};
    EXPECT_EQ(Units(CKorvelString(aText)), (std::u16string{u'a', 0xF600}));
}

TEST(CKorvelString, CopiesAreDeepAndOwnTextIsSafe)
{
    CKorvelString a(L"hello");
    CKorvelString b(a);
    CKorvelString c(&a);
    b.SetAt(0, 'j');
    EXPECT_EQ(Units(a), u"hello");
    EXPECT_EQ(Units(b), u"jello");
    EXPECT_EQ(Units(c), u"hello");
    a = a;
    EXPECT_EQ(Units(a), u"hello");

    CKorvelString str(L"abcdef");
    str.Set(str.GetBuffer() + 2);
    EXPECT_EQ(Units(str), u"cdef");
    str.Set(str.GetBuffer());
    EXPECT_EQ(Units(str), u"cdef");
}

// --- comparison and search ------------------------------------------------------------------

TEST(CKorvelString, CompareOrdersUnitsUnsignedAndCaseMappingPairsLatin1)
{
    CKorvelString empty, a(L"a"), ab(L"ab"), abc(L"abc"), z(L"z");
    EXPECT_EQ(empty.Compare(CKorvelString()), 0);
    EXPECT_EQ(empty.Compare(a), -1);
    EXPECT_EQ(a.Compare(empty), 1);
    EXPECT_EQ(ab.Compare(abc), -1);
    EXPECT_EQ(abc.Compare(ab), 1);
    EXPECT_EQ(abc.Compare(CKorvelString(L"abc")), 0);
    EXPECT_EQ(FromUnits(std::u16string{0xFF80}).Compare(z), 1);
    EXPECT_EQ(abc.IsEqual(CKorvelString(L"abc")), 1);
    EXPECT_EQ(abc.IsEqual(ab), 0);
    // Case mapping pairs the Latin-1 letters.
    EXPECT_EQ(CKorvelString(L"ABC").CompareNoCase(CKorvelString(L"abc")), 0);
    EXPECT_EQ(FromUnits(u"\u00C0").CompareNoCase(FromUnits(u"\u00E0")), 0);
    EXPECT_EQ(FromUnits(u"\u00DE").CompareNoCase(FromUnits(u"\u00FE")), 0);
    EXPECT_NE(FromUnits(u"\u00D7").CompareNoCase(FromUnits(u"\u00F7")), 0);
    CKorvelString lower(FromUnits(u"AZ\u00BF\u00C0\u00D6\u00D7\u00D8\u00DE\u00DF"));
    lower.MakeLower();
    EXPECT_EQ(Units(lower), u"az\u00BF\u00E0\u00F6\u00D7\u00F8\u00FE\u00DF");
    CKorvelString upper(FromUnits(u"az\u00DF\u00E0\u00F6\u00F7\u00F8\u00FE\u00FF"));
    upper.MakeUpper();
    EXPECT_EQ(Units(upper), u"AZ\u00DF\u00C0\u00D6\u00F7\u00D8\u00DE\u00FF");
    // The operands of CompareNoCase are left alone.
    CKorvelString mixed(L"MiX");
    mixed.CompareNoCase(CKorvelString(L"mix"));
    EXPECT_EQ(Units(mixed), u"MiX");
}

TEST(CKorvelString, Search)
{
    CKorvelString abc(L"abc"), aba(L"aba"), abab(L"abab");
    EXPECT_EQ(CKorvelString(L"xyx").Find('x', -5), 0);
    EXPECT_EQ(abc.Find(0, 0), 3);
    EXPECT_EQ(abc.Find('c', 1), 2);
    EXPECT_EQ(abc.Find('a', 1), -1);
    EXPECT_EQ(abc.Find('a', 4), -1);
    EXPECT_EQ(CKorvelString().Find(0, 0), -1);

    EXPECT_EQ(aba.FindReverse('a', -1), 2);
    EXPECT_EQ(aba.FindReverse('a', 1), 0);
    EXPECT_EQ(aba.FindReverse('b', 0), -1);
    EXPECT_EQ(aba.FindReverse('a', 4), -1);
    EXPECT_EQ(aba.FindReverse('a', -2), -1);
    EXPECT_EQ(aba.FindReverse(0, 3), 3);
    EXPECT_EQ(CKorvelString().FindReverse('a', -1), -1);

    EXPECT_EQ(abc.Find(CKorvelString(L"bc"), -3), 1);
    EXPECT_EQ(abc.Find(CKorvelString(L"bc"), 2), -1);
    EXPECT_EQ(abc.Find(CKorvelString(L"abcd"), 0), -1);
    EXPECT_EQ(abc.Find(CKorvelString(), 0), -1);
    EXPECT_EQ(CKorvelString().Find(abc, 0), -1);
    EXPECT_EQ(abc.Find(CKorvelString(L"c"), 4), -1);

    EXPECT_EQ(abab.BeginsWith(CKorvelString(L"ab")), 1);
    EXPECT_EQ(abab.BeginsWith(CKorvelString(L"b")), 0);
    EXPECT_EQ(abab.BeginsWith(CKorvelString()), 0);
    // The last units decide, even when the suffix also occurs earlier.
    EXPECT_EQ(abab.EndsWith(CKorvelString(L"ab")), 1);
    EXPECT_EQ(abab.EndsWith(CKorvelString(L"ba")), 0);
    EXPECT_EQ(abab.EndsWith(CKorvelString(L"xabab")), 0);
    EXPECT_EQ(abab.EndsWith(CKorvelString()), 0);
}

// --- editing -----------------------------------------------------------------------------------

TEST(CKorvelString, AddMidSetLengthAndSetAt)
{
    CKorvelString str;
    str.Add('a');
    str.Add(CKorvelString(L"bc"));
    str.Add(str);
    str.Add(CKorvelString());
    str.Add(static_cast<unsigned short>(0));
    EXPECT_EQ(Units(str), u"abcabc");

    str.Set(L"abcdef"); // Mid is clamped to the text
    EXPECT_EQ(Units(str.Mid(2, 3)), u"cde");
    EXPECT_EQ(Units(str.Mid(2, -1)), u"cdef");
    EXPECT_EQ(Units(str.Mid(4, 10)), u"ef");
    EXPECT_EQ(Units(str.Mid(-2, 2)), u"ab");
    ExpectEmpty(str.Mid(6, -1));
    ExpectEmpty(str.Mid(99, 2));
    ExpectEmpty(CKorvelString().Mid(0, 5));

    str.Set(L"ab"); // SetLength pads with spaces or cuts
    str.SetLength(5);
    EXPECT_EQ(Units(str), u"ab   ");
    str.SetLength(1);
    EXPECT_EQ(Units(str), u"a");
    str.SetLength(-3);
    ExpectEmpty(str);
    str.SetLength(2);
    EXPECT_EQ(Units(str), u"  ");

    str.Set(L"abc"); // SetAt stays inside the text
    str.SetAt(1, 'X');
    str.SetAt(3, 'Y');
    str.SetAt(-1, 'Z');
    str.SetAt(100, 'Z');
    EXPECT_EQ(Units(str), u"aXc");
    CKorvelString empty;
    empty.SetAt(0, 'a');
    ExpectEmpty(empty);
}

TEST(CKorvelString, ReplaceFirstOccurrenceAndReplaceAllFromTheStart)
{
    CKorvelString str(L"abcb");
    EXPECT_EQ(str.Replace(CKorvelString(L"b"), CKorvelString(L"xy")), 1);
    EXPECT_EQ(Units(str), u"axycb");
    EXPECT_EQ(str.Replace(CKorvelString(L"q"), CKorvelString(L"z")), -1);
    EXPECT_EQ(str.Replace(CKorvelString(), CKorvelString(L"z")), -1);
    EXPECT_EQ(Units(str), u"axycb");
    EXPECT_EQ(str.Replace(CKorvelString(L"axycb"), CKorvelString()), 0);
    ExpectEmpty(str);

    // ReplaceAll repeats from the start; then cases the comparison below skips, where the new
    // text equals or holds the old.
    struct sCASE
    {
        const wchar_t *pText, *pOld, *pNew;
        std::u16string expected;
    };
    const sCASE kCases[] = {{L"aaaa", L"aa", L"a", u"a"},
                            {L"abc", L"a", L"a", u"abc"},
                            {L"a$b$", L"$", L"$$", u"a$$b$$"},
                            {L"line\\nnext\\n", L"\\n", L"\n", u"line\nnext\n"}};
    for (const sCASE& c : kCases)
    {
        str.Set(c.pText);
        str.ReplaceAll(CKorvelString(c.pOld), CKorvelString(c.pNew));
        EXPECT_EQ(Units(str), c.expected);
    }
}

TEST(CKorvelString, ReplaceAllMatchesRepeatedReplace)
{
    // Every small case over a two-letter alphabet, against Replace called until it fails.
    auto text = [](unsigned int uBits, int iLength)
    {
        std::u16string units;
        for (int i = 0; i < iLength; ++i)
            units += (uBits >> i) & 1 ? u'b' : u'a';
        return units;
    };
    int iCompared = 0;
    for (int iOld = 1; iOld <= 2; ++iOld)
        for (unsigned int uOld = 0; uOld < (1u << iOld); ++uOld)
            for (int iNew = 0; iNew <= 2; ++iNew)
                for (unsigned int uNew = 0; uNew < (1u << iNew); ++uNew)
                {
                    CKorvelString strOld(FromUnits(text(uOld, iOld))), strNew(FromUnits(text(uNew, iNew)));
                    if (strNew.Find(strOld, 0) >= 0 || strOld.Compare(strNew) == 0)
                        continue;
                    for (int iText = 0; iText <= 6; ++iText)
                        for (unsigned int uText = 0; uText < (1u << iText); ++uText)
                        {
                            CKorvelString expected(FromUnits(text(uText, iText)));
                            CKorvelString actual(expected);
                            int iSteps = 0;
                            while (expected.Replace(strOld, strNew) >= 0)
                                ASSERT_LT(++iSteps, 1000);
                            actual.ReplaceAll(strOld, strNew);
                            ASSERT_EQ(Units(actual), Units(expected));
                            ++iCompared;
                        }
                }
    EXPECT_GT(iCompared, 500);
}

// --- file record --------------------------------------------------------------------------------

TEST(CKorvelString, SaveWritesCountAndUnitsAndLoadReadsThem)
{
    unsigned char aBlock[64] = {};
    CKorvelFile file;
    ASSERT_EQ(file.OpenFromMemory(aBlock, sizeof(aBlock), CKorvelFile::FLAG_WRITE), KE_OK);
    CKorvelString(L"ab").Save(file);
    const unsigned char aExpected[8] = {2, 0, 0, 0, 0x61, 0, 0x62, 0};
    EXPECT_EQ(memcmp(aBlock, aExpected, 8), 0);
    CKorvelString original(FromUnits(std::u16string{u'x', 0xFFE9, 0xD83D, 0x1234}));
    original.Save(file);
    CKorvelString().Save(file);
    EXPECT_EQ(file.GetPosition(), 8 + 12 + 4);

    file.Seek(8, KET_SEEK_BEGIN);
    CKorvelString loaded(L"old");
    loaded.Load(file);
    EXPECT_EQ(Units(loaded), Units(original));
    loaded.Load(file);
    ExpectEmpty(loaded);
    EXPECT_EQ(file.GetPosition(), 8 + 12 + 4);
}

TEST(CKorvelString, LoadRejectsUntrustedCounts)
{
    CKorvelFile file;
    CKorvelString str;
    // More units than bytes present.
    unsigned char aShort[8] = {3, 0, 0, 0, 'a', 0, 'b', 0};
    ASSERT_EQ(file.OpenFromMemory(aShort, sizeof(aShort), 0), KE_OK);
    str.Load(file);
    ExpectEmpty(str);
    // A count over the length limit, and one that is negative as a signed number.
    for (unsigned int uCount : {512000u, 0x80000000u, 0xFFFFFFFFu})
    {
        unsigned char aHeader[4] = {
            static_cast<unsigned char>(uCount), static_cast<unsigned char>(uCount >> 8),
            static_cast<unsigned char>(uCount >> 16), static_cast<unsigned char>(uCount >> 24)};
        file.Close();
        ASSERT_EQ(file.OpenFromMemory(aHeader, sizeof(aHeader), 0), KE_OK);
        str.Set(L"old");
        str.Load(file);
        ExpectEmpty(str);
    }
    // A count cut short.
    unsigned char aCut[2] = {1, 0};
    file.Close();
    ASSERT_EQ(file.OpenFromMemory(aCut, sizeof(aCut), 0), KE_OK);
    str.Load(file);
    ExpectEmpty(str);
}
