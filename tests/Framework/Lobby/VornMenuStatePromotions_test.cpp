// Achievements, tournament scores and the promotion buttons on the lobby pages.
// KORVEL_GL_TEST
#include "VornMenuStateShopServer.h"

#include "Framework/UI/GridLayout.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/WebButton.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "support/TestFont.h"

using namespace menu_state_test;

namespace
{

std::string Text(const char* pName)
{
    return Box(pName, "text", "<text font=\"main\"/>");
}

// The own card: row "0" of the own list with achievements and the tournament grid.
std::string OwnCard()
{
    std::string strSlots;
    for (int k = 1; k <= 5; ++k)
    {
        const std::string strText = "my_achievement_" + std::to_string(k);
        const std::string strIcon = "my_achievement_image_" + std::to_string(k);
        strSlots += Text(strText.c_str()) + Box(strIcon.c_str(), "image");
    }
    const std::string strTemplate =
        "<element name=\"score_item\" type=\"widget\"><size w=\"0.2\" h=\"0.05\"/>" + Text("score_name") +
        Text("score_number") + "</element>";
    const std::string strGrid =
        "<element name=\"tournament_scores_list\" type=\"grid_layout\" num_columns=\"1\" "
        "layout_mode=\"list\"><size w=\"0.2\" h=\"0.3\"/>" +
        strTemplate + "</element>";
    return Page("me_root", "<element name=\"0\" type=\"widget\"><size w=\"1.0\" h=\"0.8\"/>" + strSlots +
                               "<element name=\"tournament_container\" type=\"widget\"><size w=\"0.2\" "
                               "h=\"0.4\"/><element name=\"tournament_scores_root\" type=\"widget\"><size "
                               "w=\"0.2\" h=\"0.3\"/>" +
                               strGrid + "</element></element></element>");
}

std::string PromotionLayout()
{
    std::string strPages = MenuPages();
    const std::string strEnd = "</element>\n";
    strPages.erase(strPages.size() - strEnd.size());
    const std::string strChallenge = Page("challenge_received", "");
    strPages.replace(strPages.find(strChallenge), strChallenge.size(),
                     Page("challenge_received", Text("player_score")));
    strPages += OwnCard() +
                Page("startscreen_more", Box("button_moregames", "web_button") +
                                             Box("button-tournaments", "web_button", "", "display=\"0\"") +
                                             Box("cl-icon-tournament", "image") + Text("label-tournament")) +
                strEnd;
    return MenuLayout(strPages + VornButton() + Dialogs());
}

std::vector<uint8_t> Png()
{
    return TestPagePng(8, 8, [](int x, int) { return x * 30; });
}

class CVornMenuState : public CShopServerTest
{
protected:
    CVornMenuState() { m_strLayout = PromotionLayout(); }

    CKorvelArray<CASN1AchievementList::sData> Achievements(int iCount)
    {
        CKorvelArray<CASN1AchievementList::sData> aRecords;
        for (int i = 0; i < iCount; ++i)
        {
            CASN1AchievementList::sData record;
            record.m_strText0 = CKorvelString(("title " + std::to_string(i + 1)).c_str());
            record.m_strText1 = CKorvelString("not shown");
            aRecords.Add(record);
        }
        return aRecords;
    }
    // Own-card scores for the names, the first record for iUserId.
    void SendScores(const std::vector<std::string>& aNames, int iUserId, int iKinds)
    {
        CKorvelArray<CKorvelString> aNameList;
        CASN1TournamentScores::sData record;
        record.m_iUserId = iUserId;
        for (size_t i = 0; i < aNames.size(); ++i)
        {
            aNameList.Add(CKorvelString(aNames[i].c_str()));
            record.m_aScores.Add(static_cast<int>(100 + i));
        }
        CKorvelArray<CASN1TournamentScores::sData> aRecords;
        aRecords.Add(record);
        Lobby()->OnTournamentScores(aNameList, aRecords, iKinds);
    }
    void SendImage(const char* pId, const std::vector<uint8_t>& aBytes, const char* pUrl = "https://x/y",
                   const char* pLabel = "")
    {
        Lobby()->OnImageAndLink(CKorvelString(pId), static_cast<int>(aBytes.size()), aBytes.data(),
                                CKorvelString(pUrl), CKorvelString(pLabel), CKorvelString());
    }
    int ScoreRows() const
    {
        int n = 0;
        CWidget* pGrid = Find("tournament_scores_list");
        for (int i = 0; pGrid && i < pGrid->GetWidgets().GetCount(); ++i)
            n += Narrow(pGrid->GetWidgets()[i]->GetName()).rfind("me_score_", 0) == 0 ? 1 : 0;
        return n;
    }
    CKorvelSurface* ImageOf(const char* pName) const
    {
        CImageWidget* pImage = FindAs<CImageWidget>(pName);
        return pImage ? pImage->GetImage() : nullptr;
    }
    CKorvelSurface* Stored(const char* pName)
    {
        CKorvelSurface* pSurface = m_App.HaveSurface(CKorvelString(pName));
        CKorvelSurface* pCopy = pSurface;
        m_App.ReleaseSurface(pSurface);
        return pCopy;
    }
};

TEST_F(CVornMenuState, ThreeAchievementsFillTheirSlotsAndClearTheRest)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    // A trophy the resource manager holds; the test keeps its own reference.
    CKorvelSurface* pTrophy = new CKorvelSurface;
    std::vector<uint8_t> aPng = Png();
    ASSERT_EQ(pTrophy->LoadFromMemory(&m_App, aPng.data(), static_cast<unsigned int>(aPng.size()), nullptr),
              KE_OK);
    m_App.AddSurface(CKorvelString("cl-icon-trophy.png"), pTrophy);

    CKorvelArray<CASN1AchievementList::sData> aFive = Achievements(5);
    Lobby()->OnAchievementList(0, 0, 0, aFive, 0);
    CKorvelArray<CASN1AchievementList::sData> aThree = Achievements(3);
    Lobby()->OnAchievementList(0, 0, 0, aThree, 0);

    const struct
    {
        const char* pText;
        const char* pIcon;
        const char* pExpected;
        bool bTrophy;
    } aSlots[] = {{"my_achievement_1", "my_achievement_image_1", "title 1", true},
                  {"my_achievement_2", "my_achievement_image_2", "title 2", true},
                  {"my_achievement_3", "my_achievement_image_3", "title 3", true},
                  {"my_achievement_4", "my_achievement_image_4", "", false},
                  {"my_achievement_5", "my_achievement_image_5", "", false}};
    for (const auto& slot : aSlots)
    {
        EXPECT_EQ(TextOf(slot.pText), slot.pExpected) << slot.pText;
        EXPECT_EQ(ImageOf(slot.pIcon), slot.bTrophy ? pTrophy : nullptr) << slot.pIcon;
    }
    CKorvelSurface* pOwn = pTrophy;
    m_App.ReleaseSurface(pOwn);
}

TEST_F(CVornMenuState, OwnTournamentScoresSizeTheCardOnceAndRepeatedAnswersKeepIt)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    const int iOwn = m_App.GetNetworkSession()->GetOwnUserId();
    CGridLayout* pGrid = FindAs<CGridLayout>("tournament_scores_list");
    ASSERT_NE(pGrid, nullptr);
    CWidget* pCard = Find("0");
    const int iRowHeight = Find("score_item")->GetArea().GetHeight();

    SendScores({"a", "b", "c", "d", "e"}, iOwn + 1, 1);
    EXPECT_EQ(ScoreRows(), 0) << "another player's first record changes nothing";

    SendScores({"a", "b", "c", "d", "e"}, iOwn, 1);
    EXPECT_EQ(pGrid->GetNumRows(), 3);
    EXPECT_EQ(ScoreRows(), 5);
    CWidget* pRow = Find("me_score_c");
    ASSERT_NE(pRow, nullptr);
    EXPECT_EQ(
        Narrow(widget_cast<CTextWidget*>(pRow->FindWidget(CKorvelString("score_number"), -1))->GetText()),
        "102");
    EXPECT_EQ(pGrid->GetArea().GetHeight(), iRowHeight * 3);
    const int iCardHeight = pCard->GetArea().GetHeight();

    for (int i = 0; i < 2; ++i)
        SendScores({"a", "b", "c", "d", "e"}, iOwn, 1);
    EXPECT_EQ(pCard->GetArea().GetHeight(), iCardHeight);
    EXPECT_EQ(ScoreRows(), 5);

    SendScores({"a", "b", "c", "d"}, iOwn, 1);
    EXPECT_EQ(pGrid->GetNumRows(), 2);
    EXPECT_EQ(ScoreRows(), 4);
    EXPECT_EQ(pCard->GetArea().GetHeight(), iCardHeight - iRowHeight);
}

TEST_F(CVornMenuState, AChallengersScoreShowsOnlyOnTheChallengePage)
{
    ASSERT_NO_FATAL_FAILURE(StartAsGuest());
    SendScores({"week"}, 77, 8);
    EXPECT_EQ(TextOf("player_score"), "");
    Lobby()->SwitchToPage(CKorvelString("challenge_received"), 1);
    Settle();
    SendScores({"week"}, 77, 8);
    EXPECT_EQ(TextOf("player_score"), "100");
}

TEST_F(CVornMenuState, PromotionImagesAreDecodedOnceAndKeptWithTheirLinksForLaterLayouts)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitForStart());
    CWebButton* pMore = FindAs<CWebButton>("button_moregames");
    ASSERT_NE(pMore, nullptr);

    SendImage("moregames", Png(), "https://more/games");
    CKorvelSurface* pStored = Stored("imageandlink_moregames");
    ASSERT_NE(pStored, nullptr);
    EXPECT_EQ(pMore->GetImage(), pStored);
    EXPECT_EQ(Narrow(pMore->GetUrl()), "https://more/games");

    // Bytes that would not decode: the stored surface is taken instead.
    SendImage("moregames", {1, 2, 3}, "https://more/again");
    EXPECT_EQ(pMore->GetImage(), pStored);
    EXPECT_EQ(Narrow(pMore->GetUrl()), "https://more/again");

    SendImage("other", {1, 2, 3});
    EXPECT_EQ(Stored("imageandlink_other"), nullptr) << "undecodable bytes keep nothing";

    EXPECT_FALSE(Visible("button-tournaments"));
    SendImage("tournaments", Png(), "https://t/1", "Cups");
    EXPECT_TRUE(Visible("button-tournaments"));
    EXPECT_EQ(Narrow(FindAs<CWebButton>("button-tournaments")->GetUrl()), "https://t/1");
    EXPECT_EQ(ImageOf("cl-icon-tournament"), Stored("imageandlink_tournaments"));
    EXPECT_EQ(TextOf("label-tournament"), "Cups");

    const size_t uAsked = In("GetImageAndLink").size();
    Lobby()->OnScreenChanged(480, 320);
    Settle();
    pMore = FindAs<CWebButton>("button_moregames");
    ASSERT_NE(pMore, nullptr);
    EXPECT_EQ(pMore->GetImage(), Stored("imageandlink_moregames"));
    EXPECT_NE(pMore->GetImage(), nullptr);
    EXPECT_EQ(In("GetImageAndLink").size(), uAsked);
    // Both buttons still lead where the server said.
    EXPECT_EQ(Narrow(pMore->GetUrl()), "https://more/again");
    EXPECT_EQ(Narrow(FindAs<CWebButton>("button-tournaments")->GetUrl()), "https://t/1");
}

TEST_F(CVornMenuState, TheServersPromotionsReachTheirButtonsAfterTheLogin)
{
    ASSERT_NO_FATAL_FAILURE(StartWithCatalogue());
    ASSERT_TRUE(WaitFor([&] { return Visible("button-tournaments"); }));
    CWebButton* pMore = FindAs<CWebButton>("button_moregames");
    ASSERT_NE(pMore, nullptr);
    EXPECT_NE(pMore->GetImage(), nullptr);
    EXPECT_EQ(pMore->GetImage(), Stored("imageandlink_moregames"));
    EXPECT_EQ(Narrow(pMore->GetUrl()), "https://localhost/more.php");
    EXPECT_EQ(Narrow(FindAs<CWebButton>("button-tournaments")->GetUrl()), "https://localhost/cup.php");
    EXPECT_EQ(ImageOf("cl-icon-tournament"), Stored("imageandlink_tournaments"));
    EXPECT_EQ(TextOf("label-tournament"), "Cup of the week");
}

} // namespace
