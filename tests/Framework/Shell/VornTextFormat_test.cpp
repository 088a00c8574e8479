// Language texts as formats: substituted only when their conversions match the values.
#include <gtest/gtest.h>

#include "Framework/Shell/VornTextFormat.h"
#include "support/TestText.h"

namespace
{

TEST(CVornTextFormat, MatchingConversionsAreSubstituted)
{
    const CKorvelString strAnn("Ann"), strVersion("1.2"), strPercent("50%d");
    struct sCASE
    {
        const char* pFormat;
        std::string strExpected;
        CKorvelString strOut;
    };
    const sCASE aCases[] = {
        {"%d seconds", "5 seconds", CVornTextFormat::Format(CKorvelString("%d seconds"), {5})},
        {"%d", "-2147483648", CVornTextFormat::Format(CKorvelString("%d"), {-2147483647 - 1})},
        {"%s entered the chat", "Ann entered the chat",
         CVornTextFormat::Format(CKorvelString("%s entered the chat"), {strAnn})},
        {"%s %s", "Ann 1.2", CVornTextFormat::Format(CKorvelString("%s %s"), {strAnn, strVersion})},
        // A percent sign in a value is not read as a conversion.
        {"%s!", "50%d!", CVornTextFormat::Format(CKorvelString("%s!"), {strPercent})},
        {"100%% of %d", "100% of 3", CVornTextFormat::Format(CKorvelString("100%% of %d"), {3})},
        {"no conversion", "no conversion", CVornTextFormat::Format(CKorvelString("no conversion"), {})},
        {"", "", CVornTextFormat::Format(CKorvelString(), {})},
    };
    for (const sCASE& c : aCases)
        EXPECT_EQ(Narrow(c.strOut), c.strExpected) << c.pFormat;
}

TEST(CVornTextFormat, MismatchedTextsAreShownAsTheyStand)
{
    const CKorvelString strAnn("Ann");
    struct sCASE
    {
        const char* pFormat;
        CKorvelString strOut;
        bool bMatches;
    };
    const sCASE aCases[] = {
        {"%s seconds", CVornTextFormat::Format(CKorvelString("%s seconds"), {5}),
         CVornTextFormat::Matches(CKorvelString("%s seconds"), {5})},
        {"%d joined", CVornTextFormat::Format(CKorvelString("%d joined"), {strAnn}),
         CVornTextFormat::Matches(CKorvelString("%d joined"), {strAnn})},
        {"%n%d", CVornTextFormat::Format(CKorvelString("%n%d"), {5}),
         CVornTextFormat::Matches(CKorvelString("%n%d"), {5})},
        {"%s %s", CVornTextFormat::Format(CKorvelString("%s %s"), {strAnn}),
         CVornTextFormat::Matches(CKorvelString("%s %s"), {strAnn})},
        {"%d left", CVornTextFormat::Format(CKorvelString("%d left"), {1, 2}),
         CVornTextFormat::Matches(CKorvelString("%d left"), {1, 2})},
        {"%s then %d", CVornTextFormat::Format(CKorvelString("%s then %d"), {1, strAnn}),
         CVornTextFormat::Matches(CKorvelString("%s then %d"), {1, strAnn})},
        {"ends in %", CVornTextFormat::Format(CKorvelString("ends in %"), {5}),
         CVornTextFormat::Matches(CKorvelString("ends in %"), {5})},
        {"%x %08d %ls", CVornTextFormat::Format(CKorvelString("%x %08d %ls"), {5, 5, strAnn}),
         CVornTextFormat::Matches(CKorvelString("%x %08d %ls"), {5, 5, strAnn})},
        {"a lone %", CVornTextFormat::Format(CKorvelString("a lone %"), {}),
         CVornTextFormat::Matches(CKorvelString("a lone %"), {})},
    };
    for (const sCASE& c : aCases)
    {
        EXPECT_EQ(Narrow(c.strOut), c.pFormat) << c.pFormat;
        EXPECT_FALSE(c.bMatches) << c.pFormat;
    }
}

TEST(CVornTextFormat, WideTextsPassThroughUnchanged)
{
    const unsigned short aFormat[] = {0x0645, '%', 's', 0x20AC, 0};
    const unsigned short aName[] = {0x4E2D, 0xD83D, 0xDE00, 0};
    const CKorvelString strOut = CVornTextFormat::Format(CKorvelString(aFormat), {CKorvelString(aName)});
    const std::u16string strUnits(reinterpret_cast<const char16_t*>(strOut.GetBuffer()), strOut.GetLength());
    EXPECT_EQ(strUnits, std::u16string(u"\u0645\u4E2D\U0001F600\u20AC"));
}

} // namespace
