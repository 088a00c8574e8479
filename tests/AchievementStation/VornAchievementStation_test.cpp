// Local achievements: descriptions from a pack built here, state in a temporary data folder.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "AchievementStation/VornAchievementStation.h"

#include "AchievementStation/VornAchievement.h"
#include "AchievementStation/VornAchievementGame.h"
#include "KorvelCommon/KorvelTimer.h"
#include "KorvelGraphics/KorvelSurface.h"

#include "support/StringUnits.h"
#include "support/TestMedia.h"
#include "support/TestPack.h"
#include "support/TestVornApplication.h"
#include "support/TestWorkingDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
const int kGame = 64;

std::string Utf16(const std::u16string& text)
{
    std::string strBytes;
    for (char16_t c : text)
        PutTestU16(strBytes, c);
    return strBytes;
}

// "ach.dat" bytes: version, count, then (id, six time fields) records.
struct sRECORD
{
    int m_iId;
    unsigned int m_aTime[6];
};
std::string StateBytes(uint32_t uVersion, uint32_t uCount, const std::vector<sRECORD>& aRecords)
{
    std::string strBytes;
    PutTestU32(strBytes, uVersion);
    PutTestU32(strBytes, uCount);
    for (const sRECORD& record : aRecords)
    {
        PutTestU32(strBytes, static_cast<unsigned int>(record.m_iId));
        for (unsigned int uField : record.m_aTime)
            PutTestU16(strBytes, uField);
    }
    return strBytes;
}

// Identifier, name, description and picture of each achievement of the game, in order.
std::vector<std::u16string> Described(const CVornAchievementStation& station)
{
    std::vector<std::u16string> aOut;
    const CVornAchievementGame* pGame = station.GetGame(kGame);
    for (int i = 0; pGame && i < pGame->GetAchievementCount(); ++i)
    {
        const CVornAchievement* p = pGame->GetAchievementByIndex(i);
        CKorvelString strId;
        strId.FromInt(p->GetId(), 10);
        aOut.push_back(Units(strId) + u"|" + Units(p->GetName()) + u"|" + Units(p->GetDescription()) + u"|" +
                       Units(p->GetImageName()));
    }
    return aOut;
}

std::vector<int> Time(const CVornAchievement* p)
{
    const CKorvelDateTime& t = *p->GetTime();
    return {t.m_iYear, t.m_iMonth, t.m_iDay, t.m_iHour, t.m_iMinute, t.m_iSecond};
}

const char16_t* const kTwo =
    u"achievement 1 { name \"First\" description \"Win one\" surfaceName \"a.png\" }\n"
    u"achievement 2 { name \"Second\" }\n"
    u"achievement 3 { name \"Third\" }\n";

// Named after the class under test; the class itself is ::CVornAchievementStation here.
class CVornAchievementStation : public ::testing::Test
{
protected:
    std::string PackPath() const { return m_App.AppFile("achievements.kmp"); }
    void PutPack(const std::u16string& text, const TestPackItems& extra = {})
    {
        TestPackItems items = {{"/ach_EN.txt", Utf16(text)}};
        items.insert(items.end(), extra.begin(), extra.end());
        CTestWorkingDir::Put(PackPath(), TestPackBytes(items));
    }
    void PutState(const std::string& strBytes) { CTestWorkingDir::Put(m_App.DataFile("ach.dat"), strBytes); }
    std::string State() const { return CTestWorkingDir::Get(m_App.DataFile("ach.dat")); }
    KE_RETVAL Start(::CVornAchievementStation& station)
    {
        return station.Startup(&m_App, kGame, CKorvelString(PackPath().c_str()));
    }

    CTestVornApplication m_App;
};

TEST_F(CVornAchievementStation, DescriptionsAreReadFromTheTokens)
{
    struct sCASE
    {
        const char* m_pszName;
        std::u16string m_Text;
        std::vector<std::u16string> m_aExpected;
    };
    const sCASE aCases[] = {
        {"keys in any order, some missing",
         u"achievement 7 { surfaceName \"s.png\" description \"d e\" name \"N 1\" }\tachievement 8 {\tname "
         u"\"M\"\t}",
         {u"7|N 1|d e|s.png", u"8|M||"}},
        {"byte-order mark", u"\ufeffachievement 1 { name \"A\" }", {u"1|A||"}},
        {"swapped byte-order mark", u"\ufffeachievement 1 { name \"A\" }", {u"1|A||"}},
        {"CRLF with spaces",
         u"achievement 1 { \r\n name \"A\" \r\n } \r\nachievement 2 { name \"B\" } \r\n",
         {u"1|A||", u"2|B||"}},
        {"brace before a carriage return", u"achievement 1 {\r\n name \"A\" }\r\n", {}},
        {"no brace after the identifier",
         u"achievement 5 name \"X\" }\nachievement 6 { name \"Y\" }",
         {u"6|Y||"}},
        {"no name", u"achievement 1 { description \"only\" }\nachievement 2 { name \"\" }", {}},
        {"nested block skipped",
         u"achievement 3 { name \"N\" extra { name \"Z\" { } } description \"D\" }",
         {u"3|N|D|"}},
        {"inside top-level braces",
         u"{ achievement 9 { name \"hidden\" } } achievement 4 { name \"shown\" }",
         {u"4|shown||"}},
        {"stray closing brace", u"} achievement 4 { name \"shown\" }", {u"4|shown||"}},
        {"quote without its end", u"achievement 6 { name \"open to the end", {u"6|open to the end||"}},
        {"key at the end", u"achievement 6 { name", {}},
        {"zero unit ends the text",
         std::u16string(u"achievement 1 { name \"A\" }\0achievement 2 { name \"B\" }", 52),
         {u"1|A||"}},
        {"other tokens ignored",
         u"version 2 achievements: achievement 1 { colour red name \"R\" }",
         {u"1|R||"}},
    };
    for (const sCASE& c : aCases)
    {
        PutPack(c.m_Text);
        ::CVornAchievementStation station;
        EXPECT_EQ(Start(station), KE_OK) << c.m_pszName;
        EXPECT_EQ(Described(station), c.m_aExpected) << c.m_pszName;
        EXPECT_EQ(station.GetGame(kGame)->GetAchievement(c.m_aExpected.empty() ? 0 : 1) != nullptr,
                  !c.m_aExpected.empty() && c.m_aExpected[0][0] == u'1')
            << c.m_pszName;
    }
}

TEST_F(CVornAchievementStation, StartupResults)
{
    ::CVornAchievementStation station;
    EXPECT_EQ(Start(station), KE_ERR_FILEOPEN) << "no pack";
    EXPECT_EQ(station.GetGameCount(), 1);
    station.Shutdown();

    CTestWorkingDir::Put(PackPath(), TestPackBytes({{"/other.txt", "x"}}));
    EXPECT_EQ(Start(station), KE_ERR_NOTFOUND) << "no descriptions";
    station.Shutdown();

    PutPack(kTwo);
    EXPECT_EQ(Start(station), KE_OK) << "no state file yet";
    EXPECT_EQ(station.GetGame(kGame)->GetAchievementCount(), 3);
    EXPECT_EQ(station.GetGame(kGame)->GetAchievedCount(), 0);
    EXPECT_EQ(station.GetGame(kGame + 1), nullptr);
    EXPECT_EQ(station.GetGameByIndex(1), nullptr);
    station.Shutdown();
    EXPECT_EQ(station.GetGameByIndex(0), nullptr);
}

TEST_F(CVornAchievementStation, TheStateFileMarksEarnedAchievementsWithTheirTimes)
{
    PutPack(kTwo);
    struct sCASE
    {
        const char* m_pszName;
        std::string m_strState;
        KE_RETVAL m_iResult;
        std::vector<unsigned int> m_aEarned; // achieved flags of 1, 2, 3
    };
    const sRECORD one = {1, {2024, 11, 31, 23, 59, 58}};
    const sRECORD unknown = {99, {1, 2, 3, 4, 5, 6}};
    const sRECORD three = {3, {65535, 0, 1, 2, 3, 4}};
    const std::string strFull = StateBytes(1, 3, {one, unknown, three});
    const sCASE aCases[] = {
        {"unknown identifier between two known", strFull, KE_OK, {1, 0, 1}},
        {"version 2", StateBytes(2, 3, {one, unknown, three}), KE_ERR_DECODE, {0, 0, 0}},
        {"cut inside the last record", strFull.substr(0, strFull.size() - 1), KE_ERR_BADDATA, {1, 0, 0}},
        {"count beyond the file", StateBytes(1, 0xFFFFFFFF, {one}), KE_ERR_BADDATA, {1, 0, 0}},
        {"cut in the header", strFull.substr(0, 6), KE_ERR_BADDATA, {0, 0, 0}},
        {"fewer than counted", StateBytes(1, 1, {one, three}), KE_OK, {1, 0, 0}},
    };
    for (const sCASE& c : aCases)
    {
        PutState(c.m_strState);
        ::CVornAchievementStation station;
        EXPECT_EQ(Start(station), c.m_iResult) << c.m_pszName;
        const CVornAchievementGame* pGame = station.GetGame(kGame);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(pGame->GetAchievementByIndex(i)->GetAchieved(), c.m_aEarned[i])
                << c.m_pszName << " " << i;
    }

    PutState(strFull);
    ::CVornAchievementStation station;
    ASSERT_EQ(Start(station), KE_OK);
    EXPECT_EQ(Time(station.GetGame(kGame)->GetAchievement(1)), (std::vector<int>{2024, 11, 31, 23, 59, 58}));
    EXPECT_EQ(Time(station.GetGame(kGame)->GetAchievement(3)), (std::vector<int>{65535, 0, 1, 2, 3, 4}));
    EXPECT_EQ(Time(station.GetGame(kGame)->GetAchievement(2)), (std::vector<int>{0, 0, 0, 0, 0, 0}));
}

TEST_F(CVornAchievementStation, WritingKeepsOnlyNamedEarnedAchievements)
{
    PutPack(kTwo);
    ::CVornAchievementStation station;
    ASSERT_EQ(Start(station), KE_OK);
    ASSERT_FALSE(CTestWorkingDir::Exists(m_App.DataFile("ach.dat")));
    EXPECT_EQ(station.WriteAchievementData(), KE_OK);
    EXPECT_EQ(State(), StateBytes(1, 0, {}));

    CVornAchievementGame* pGame = station.GetGame(kGame);
    CKorvelDateTime time;
    time.Set(2025, 1, 2, 3, 4, 5);
    pGame->GetAchievement(3)->SetAchieved(1);
    pGame->GetAchievement(3)->SetTime(&time);
    CVornAchievement* pUnnamed = pGame->AddAchievement(50, CKorvelString(), CKorvelString("d"), 1, 0);
    ASSERT_NE(pUnnamed, nullptr);
    EXPECT_EQ(pUnnamed->GetAchieved(), 1u);
    // A time of more than 16 bits keeps its low bits.
    time.m_iYear = 0x12345;
    pGame->GetAchievement(1)->SetAchieved(7);
    pGame->GetAchievement(1)->SetTime(&time);
    EXPECT_EQ(station.WriteAchievementData(), KE_OK);
    EXPECT_EQ(State(), StateBytes(1, 2, {{1, {0x2345, 1, 2, 3, 4, 5}}, {3, {2025, 1, 2, 3, 4, 5}}}));
    EXPECT_FALSE(CTestWorkingDir::Exists(m_App.DataFile("ach.dat.tmp")));

    // Read back by a new station.
    ::CVornAchievementStation again;
    ASSERT_EQ(Start(again), KE_OK);
    EXPECT_EQ(again.GetGame(kGame)->GetAchievement(3)->GetAchieved(), 1u);
    EXPECT_EQ(Time(again.GetGame(kGame)->GetAchievement(3)), (std::vector<int>{2025, 1, 2, 3, 4, 5}));
}

TEST_F(CVornAchievementStation, AStationWithoutItsGameLeavesTheOldStateAlone)
{
    const std::string strOld = StateBytes(1, 1, {{1, {2020, 0, 1, 0, 0, 0}}});
    PutState(strOld);
    ::CVornAchievementStation station;
    EXPECT_EQ(station.WriteAchievementData(), KE_ERR_NOTFOUND) << "never started";
    PutPack(kTwo);
    ASSERT_EQ(Start(station), KE_OK);
    station.Shutdown();
    EXPECT_EQ(station.WriteAchievementData(), KE_ERR_NOTFOUND);
    EXPECT_EQ(State(), strOld);
    EXPECT_FALSE(CTestWorkingDir::Exists(m_App.DataFile("ach.dat.tmp")));
}

TEST_F(CVornAchievementStation, PicturesLoadFromThePackOrSayWhyNot)
{
    ASSERT_EQ(m_App.StartHeadless(), KE_OK);
    std::vector<uint8_t> aPixels(size_t{4} * 3 * 4, 0x80);
    const std::vector<uint8_t> aPng = EncodeTestPng({4, 3, 6 /* RGBA */, 8, aPixels});
    ASSERT_FALSE(aPng.empty());
    PutPack(
        u"achievement 1 { name \"Good\" surfaceName \"good.png\" }\n"
        u"achievement 2 { name \"Missing\" surfaceName \"absent.png\" }\n"
        u"achievement 3 { name \"Broken\" surfaceName \"broken.png\" }\n"
        u"achievement 4 { name \"None\" }\n",
        {{"/pictures/good.png", std::string(aPng.begin(), aPng.end())}, {"/broken.png", "not a picture"}});
    ::CVornAchievementStation station;
    ASSERT_EQ(Start(station), KE_OK);
    CVornAchievementGame* pGame = station.GetGame(kGame);

    struct sCASE
    {
        int m_iId;
        KE_RETVAL m_iResult;
        int m_iState;
        bool m_bImage;
    };
    const sCASE aCases[] = {
        {1, KE_OK, CVornAchievement::IMAGE_NONE, true},
        {2, KE_ERR_NOTFOUND, CVornAchievement::IMAGE_MISSING, false},
        {3, KE_ERR_DECODE, CVornAchievement::IMAGE_BROKEN, false},
        {4, KE_OK, CVornAchievement::IMAGE_NONE, false},
    };
    for (const sCASE& c : aCases)
    {
        CVornAchievement* p = pGame->GetAchievement(c.m_iId);
        EXPECT_EQ(p->GetLocal(), 1u);
        EXPECT_EQ(p->Load(), c.m_iResult) << c.m_iId;
        EXPECT_EQ(p->GetImageState(), c.m_iState) << c.m_iId;
        EXPECT_EQ(p->GetImage() != nullptr, c.m_bImage) << c.m_iId;
    }
    EXPECT_EQ(pGame->GetAchievement(1)->GetImage()->GetWidth(), 4);
    EXPECT_EQ(pGame->GetAchievement(1)->Load(), KE_OK) << "loaded once";

    // Without the pack the picture counts as missing.
    ASSERT_EQ(unlink(PackPath().c_str()), 0);
    EXPECT_EQ(pGame->GetAchievement(3)->Load(), KE_ERR_FILEOPEN);
    EXPECT_EQ(pGame->GetAchievement(3)->GetImageState(), CVornAchievement::IMAGE_MISSING);
    station.Shutdown();
}

} // namespace
