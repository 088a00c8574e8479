#include "KorvelCommon/KorvelString.h"

#include "support/StringUnits.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace
{
template <class... A> std::u16string Formatted(const wchar_t* pFormat, A... args)
{
    CKorvelString str;
    str.Format(pFormat, args...);
    return Units(str);
}

int ScanThroughList(const CKorvelString& str, const unsigned short* pFormat, ...)
{
    va_list args;
    va_start(args, pFormat);
    int iCount = str.ScanV(pFormat, args);
    va_end(args);
    return iCount;
}
} // namespace

// --- formatting ------------------------------------------------------------------------------

TEST(CKorvelString, FormatNumbers)
{
    EXPECT_EQ(Formatted(L"0x%08x", 0x1234), u"0x00001234");
    EXPECT_EQ(Formatted(L"%X", 0x12AB34CFu), u"12AB34CF");
    EXPECT_EQ(Formatted(L"%x", 255), u"ff");
    EXPECT_EQ(Formatted(L"%u", 4294967295u), u"4294967295");
    EXPECT_EQ(Formatted(L"%d", -1), u"-1");
    EXPECT_EQ(Formatted(L"%l", 1LL << 40), u"1099511627776");
    EXPECT_EQ(Formatted(L"%ld", 5LL), u"5d");
    EXPECT_EQ(Formatted(L"%02d", 123), u"123");
    EXPECT_EQ(Formatted(L"%04d-%02d-%02d, %02d:%02d:%02d", 2012, 3, 7, 9, 5, 0), u"2012-03-07, 09:05:00");
    // Zero fill keeps the sign first.
    EXPECT_EQ(Formatted(L"%04d", -5), u"-005");
    EXPECT_EQ(Formatted(L"%03l", -7LL), u"-07");
    EXPECT_EQ(Formatted(L"%02d", -5), u"-5");
    // Other fill units go before the sign.
    EXPECT_EQ(Formatted(L"%14d", -5), u"11-5");
    // A width meets only the integer conversions, a precision only %f.
    EXPECT_EQ(Formatted(L"%05f|%d", 1.5, 7), u"1.500000000|00007");
    EXPECT_EQ(Formatted(L"%.2d|%f|%f", 7, 1.5, 1.5), u"7|1.50|1.500000000");
    EXPECT_EQ(Formatted(L"%03d%d", 1, 2), u"0012");
    EXPECT_EQ(Formatted(L"%f", 1.5), u"1.500000000");
    EXPECT_EQ(Formatted(L"%.2f", 2.756), u"2.75");
    EXPECT_EQ(Formatted(L"%f", 3.0), u"3.0");
    EXPECT_EQ(Formatted(L"%.0f", 2.7), u"2");
    EXPECT_EQ(Formatted(L"%.3f", 0.1), u"0.100");
    EXPECT_EQ(Formatted(L"%.1f", 2.5f), u"2.5");
}

TEST(CKorvelString, FormatTextDirectivesAndEdges)
{
    CKorvelString name(L"theme");
    EXPECT_EQ(Formatted(L"%s_%d.kmp", name.GetBuffer(), 2), u"theme_2.kmp");
    EXPECT_EQ(Formatted(L"[%S]", name.GetBuffer()), u"[theme]");
    EXPECT_EQ(Formatted(L"[%s]", static_cast<const unsigned short*>(nullptr)), u"[]");
    EXPECT_EQ(Formatted(L"[%s]", CKorvelString().GetBuffer()), u"[]");
    EXPECT_EQ(Formatted(L"100%%"), u"100%");
    // An unknown letter is dropped and takes no argument.
    EXPECT_EQ(Formatted(L"%q%d", 7), u"7");
    // A format ending inside a directive.
    EXPECT_EQ(Formatted(L"ab%"), u"ab");
    EXPECT_EQ(Formatted(L"ab%0"), u"ab");
    EXPECT_EQ(Formatted(L"ab%."), u"ab");
    EXPECT_EQ(Formatted(L"ab%.3"), u"ab");
    // A null format keeps the text, an empty one clears it.
    CKorvelString str(L"keep");
    str.Format(static_cast<const wchar_t*>(nullptr));
    str.Format(static_cast<const unsigned short*>(nullptr));
    EXPECT_EQ(Units(str), u"keep");
    str.Format(L"");
    EXPECT_EQ(str.GetBuffer(), nullptr);
    str.Set(L"abc"); // its own text as an argument
    str.Format(L"%s-%s", str.GetBuffer(), str.GetBuffer());
    EXPECT_EQ(Units(str), u"abc-abc");
}

TEST(CKorvelString, FormatGrowsAndIsCutAtTheLengthLimit)
{
    std::vector<unsigned short> aText(600, 'y');
    aText.push_back(0);
    std::u16string result = Formatted(L"<%s>", aText.data());
    EXPECT_EQ(result.size(), 602u);
    EXPECT_EQ(result.front(), u'<');
    EXPECT_EQ(result.back(), u'>');
    aText.assign(CKorvelString::MAX_LENGTH, 'z');
    aText.push_back(0);
    CKorvelString str;
    str.Format(L"ab%s", aText.data());
    EXPECT_EQ(str.GetLength(), CKorvelString::MAX_LENGTH);
}

// --- scanning ---------------------------------------------------------------------------------

TEST(CKorvelString, ScanExamples)
{
    unsigned short aName[64];
    CKorvelString header(L"NAME=English\r\nCODE=en-us\r\n");
    EXPECT_EQ(header.Scan(L"NAME=%s\r\n", aName), 1);
    EXPECT_EQ(Units(aName), u"English");
    EXPECT_EQ(header.Scan(L"CODE=%s\r\n", aName), 1);
    EXPECT_EQ(Units(aName), u"en-us");
    int iSpecial = -1;
    EXPECT_EQ(CKorvelString(L"SPECIAL_CHARS=1\r\n").Scan(L"SPECIAL_CHARS=%d\r\n", &iSpecial), 1);
    EXPECT_EQ(iSpecial, 1);
    unsigned short aHost[32];
    int iPort = 0;
    EXPECT_EQ(CKorvelString(L"host:5000").Scan(L"%s:%d", aHost, &iPort), 2);
    EXPECT_EQ(Units(aHost), u"host");
    EXPECT_EQ(iPort, 5000);
    int a[6] = {};
    EXPECT_EQ(CKorvelString(L"1.2.2013 10:20:30")
                  .Scan(L"%d.%d.%d %d:%d:%d", &a[0], &a[1], &a[2], &a[3], &a[4], &a[5]),
              6);
    EXPECT_EQ(std::vector<int>(a, a + 6), (std::vector<int>{1, 2, 2013, 10, 20, 30}));
}

TEST(CKorvelString, ScanNumbersSearchForTheirDigits)
{
    // No digit still stores 0 and counts; hex takes no sign and skips nothing but blanks.
    const std::pair<const wchar_t*, int> kInts[] = {{L"x = -12", -12}, {L"a-b 7", -7}, {L"abc", 0}};
    const std::pair<const wchar_t*, float> kFloats[] = {
        {L"3,25", 3.25f}, {L"v -0.5", -0.5f}, {L"1.2.3", 1.23f}};
    const std::pair<const wchar_t*, unsigned int> kHex[] = {
        {L"ff", 255u}, {L"  A0b1zz", 0xA0B1u}, {L"#ff", 0u}};
    for (const auto& c : kInts)
    {
        int iValue = 99;
        EXPECT_EQ(CKorvelString(c.first).Scan(L"%d", &iValue), 1);
        EXPECT_EQ(iValue, c.second);
    }
    for (const auto& c : kFloats)
    {
        float fValue = 0;
        EXPECT_EQ(CKorvelString(c.first).Scan(L"%f", &fValue), 1);
        EXPECT_FLOAT_EQ(fValue, c.second);
    }
    for (const auto& c : kHex)
    {
        unsigned int uHex = 99;
        EXPECT_EQ(CKorvelString(c.first).Scan(L"%x", &uHex), 1);
        EXPECT_EQ(uHex, c.second);
    }
    long long iBig = 0;
    EXPECT_EQ(CKorvelString(L"-1099511627776").Scan(L"%l", &iBig), 1);
    EXPECT_EQ(iBig, -(1LL << 40));
    // Overlong digit runs wrap rather than overflow.
    int iValue = 0;
    EXPECT_EQ(CKorvelString(L"99999999999999999999999").Scan(L"%d", &iValue), 1);
}

TEST(CKorvelString, ScanLiteralsSkipToTheirUnitAndTheScanEndsWithTheText)
{
    int iValue = 0;
    unsigned short aWord[16];
    CKorvelString path(L":back:menu#3");
    EXPECT_EQ(path.Scan(L"#%d", &iValue), 1);
    EXPECT_EQ(iValue, 3);
    EXPECT_EQ(CKorvelString(L"back:menu").Scan(L":%s", aWord), 1);
    EXPECT_EQ(Units(aWord), u"menu");
    // A literal that is absent is skipped and the position stays.
    EXPECT_EQ(CKorvelString(L"42").Scan(L"=%d", &iValue), 1);
    EXPECT_EQ(iValue, 42);
    int a = 5, b = 5;
    EXPECT_EQ(CKorvelString().Scan(L"%d", &a), 0);
    EXPECT_EQ(a, 5);
    // A conversion that meets only blanks runs on the terminator.
    EXPECT_EQ(CKorvelString(L"7:   ").Scan(L"%d:%d", &a, &b), 2);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, 0);
    // After the text is used up, the scan stops.
    b = 5;
    EXPECT_EQ(CKorvelString(L"12").Scan(L"%d %d", &a, &b), 1);
    EXPECT_EQ(b, 5);
    unsigned short aRest[16];
    EXPECT_EQ(CKorvelString(L"a b c").Scan(L"%s", aRest), 1);
    EXPECT_EQ(Units(aRest), u"a b c");
}

TEST(CKorvelString, ScanNullTargetsAndUnknownLettersTakeNothing)
{
    int iValue = 0;
    EXPECT_EQ(CKorvelString(L"5 6").Scan(L"%d %d", static_cast<int*>(nullptr), &iValue), 1);
    EXPECT_EQ(iValue, 5);
    unsigned short aWord[16];
    // A null "%s" leaves its stop unit in the format, where it acts as a literal.
    EXPECT_EQ(CKorvelString(L"ab:cd").Scan(L"%s:%s", static_cast<unsigned short*>(nullptr), aWord), 1);
    EXPECT_EQ(Units(aWord), u"cd");
    EXPECT_EQ(CKorvelString(L"9").Scan(L"%q%d", &iValue), 1);
    EXPECT_EQ(iValue, 9);
}

TEST(CKorvelString, ScanBoundedCutsLongTextsAndScanVTakesAList)
{
    unsigned short aName[6];
    for (unsigned short& u : aName)
        u = 0xAAAA;
    int iPort = 0;
    CKorvelString str(L"averylonghostname:81");
    EXPECT_EQ(str.ScanBounded(4, L"%s:%d", aName, &iPort), 2);
    EXPECT_EQ(Units(aName), u"ave");
    EXPECT_EQ(aName[4], 0xAAAA);
    EXPECT_EQ(iPort, 81);
    // Texts that fit come out as Scan gives them.
    EXPECT_EQ(CKorvelString(L"NAME=Deutsch\r\n").ScanBounded(6, L"NAME=%s\r\n", aName), 1);
    EXPECT_EQ(Units(aName), u"Deuts");
    EXPECT_EQ(CKorvelString(L"NAME=De\r\n").ScanBounded(6, L"NAME=%s\r\n", aName), 1);
    EXPECT_EQ(Units(aName), u"De");
    EXPECT_EQ(str.ScanBounded(0, L"%s", aName), 0);
    // Through a va_list.
    CKorvelString format(L"%d/%d");
    int a = 0, b = 0;
    EXPECT_EQ(ScanThroughList(CKorvelString(L"3/4"), format.GetBuffer(), &a, &b), 2);
    EXPECT_EQ(a * 10 + b, 34);
    EXPECT_EQ(CKorvelString(L"3/4").Scan(format.GetBuffer(), &a, &b), 2);
    EXPECT_EQ(CKorvelString().Scan(format.GetBuffer(), &a, &b), 0);
}
