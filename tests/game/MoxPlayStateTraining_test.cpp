// Training on the real match screen: the buttons, action and free item of each training
// scene, the mentor's lines in the real chat overlay and the texts it takes from a
// generated language pack.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include "game/MoxChat.h"
#include "game/MoxScene.h"
#include "tests/game/PlayStateFixture.h"

namespace
{

class CMoxPlayStateTraining : public CPlayStateTest
{
protected:
    void SetUp() override
    {
        CPlayStateTest::SetUp();
        // Text i reads "T<i>".
        std::vector<std::string> aTexts;
        for (int i = 0; i < 60; ++i)
            aTexts.push_back("T" + std::to_string(i));
        ASSERT_TRUE(WriteTestFile(m_App.AppFile("quorvalinlanguage_en.kmp"),
                                  TestLanguagePackBytes("English", "en", aTexts)));
        ASSERT_NO_FATAL_FAILURE(StartPlay(nullptr, false));
        m_pChat = dynamic_cast<CMoxChat*>(m_pGame->GetChat());
        ASSERT_NE(m_pChat, nullptr);
        m_pPlay->SetSinglePlayerMode(1);
    }
    CPlayer& Own() { return m_pPlay->m_pLiveScene->m_Players[m_pPlay->m_iOwnPlayer]; }
    // The action buttons a touch can use, in the order jump, whip, fire, sticky, special.
    std::string Undimmed()
    {
        std::string str;
        for (int iID :
             {PLAY_BUTTON_JUMP, PLAY_BUTTON_WHIP, PLAY_BUTTON_FIRE, PLAY_BUTTON_STICKY, PLAY_BUTTON_SPECIAL})
        {
            CMoxButton* pButton = m_pPlay->m_pButtons->GetButtonByID(iID);
            str += pButton && pButton->IsEligible() ? std::to_string(iID) : "";
        }
        return str;
    }

    CMoxChat* m_pChat = nullptr;
};

TEST_F(CMoxPlayStateTraining, TheSwitchNamesThePlayersAndReturnsToTheChooser)
{
    EXPECT_EQ(m_pPlay->GetNextStateID(), STATE_TRAINING);
    EXPECT_EQ(m_pPlay->m_bSinglePlayer, 1u);
    EXPECT_EQ(Narrow(m_pPlay->m_pLiveScene->m_Players[0].m_strName), "You");
    EXPECT_EQ(Narrow(m_pPlay->m_pLiveScene->m_Players[1].m_strName), "Master Flomp");
    EXPECT_NE(m_pGame->GetContext().psrfGameTextures[TEXTURE_BACKGROUND_BATTLE], nullptr)
        << "resources restored";
}

TEST_F(CMoxPlayStateTraining, EachSceneOpensTheButtonsItTeaches)
{
    const struct
    {
        int iScene;
        const char* pUndimmed; // button ids run together
        int iAction;
        int bSnow, bCluster;
    } cases[] = {
        {0, "2", 0, 0, 0},     {1, "25", 0, 0, 0},    {2, "3", 1, 0, 0},     {4, "3", 1, 0, 0},
        {5, "4", 2, 0, 0},     {7, "4", 2, 0, 0},     {8, "25348", 4, 1, 0}, {9, "25348", 5, 0, 1},
        {10, "2534", 1, 0, 0}, {14, "2534", 1, 0, 0}, {15, "", 7, 0, 0},     {-1, "", 7, 0, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.iScene);
        m_pPlay->m_iSceneIndex = c.iScene;
        // A bomb of the shop is taken away; a picked action other than the scene's is
        // replaced (7 stands for "unchanged").
        Own().m_bHasCluster = 1;
        Own().m_iClusterItemId = 9;
        Own().m_iSelectedAction = 7;
        m_pPlay->InitControls(1);
        EXPECT_EQ(Undimmed(), c.pUndimmed);
        EXPECT_EQ(Own().m_iSelectedAction, c.iAction);
        EXPECT_EQ(Own().m_bHasSnow, c.bSnow);
        EXPECT_EQ(Own().m_bHasCluster, c.bCluster);
        EXPECT_EQ(Own().m_iClusterItemId, 0);
    }
}

TEST_F(CMoxPlayStateTraining, AMentorLineReplacesTheLastOneUntilTheMatchIsDecided)
{
    m_pChat->AddMessage(CKorvelString("HI"), CKorvelString("Me"), 0, {0, 0}, {0, 0}, 0);
    m_pPlay->MentorDialog(CKorvelString("JUMP NOW"));
    m_pPlay->MentorDialog(CKorvelString("FIRE NOW"));
    ASSERT_EQ(m_pChat->GetCount(), 1);
    const CChatMessage* pMessage = m_pChat->GetMessage(0);
    EXPECT_EQ(Narrow(*pMessage->m_pText), "FIRE NOW");
    EXPECT_EQ(Narrow(*pMessage->m_pSender), "Opponent");
    EXPECT_EQ(pMessage->m_uColour, m_pPlay->GetPlayerColour(1));
    EXPECT_FLOAT_EQ(pMessage->m_vPosition.x, 720.0f);
    EXPECT_FLOAT_EQ(pMessage->m_vPosition.y, 495.0f);
    EXPECT_FLOAT_EQ(pMessage->m_vTarget.x, 800.0f);
    EXPECT_FLOAT_EQ(pMessage->m_vTarget.y, 600.0f);
    EXPECT_EQ(pMessage->m_uFlags, 1u);

    m_pPlay->m_bGameOver = 1;
    m_pPlay->MentorDialog(CKorvelString("TOO LATE"));
    ASSERT_EQ(m_pChat->GetCount(), 1);
    EXPECT_EQ(Narrow(*m_pChat->GetMessage(0)->m_pText), "FIRE NOW");
}

TEST_F(CMoxPlayStateTraining, HelpTextsFollowTheSceneIndex)
{
    m_pPlay->m_iSceneIndex = 3;
    m_pPlay->LoadSinglePlayerHelp();
    EXPECT_EQ(Narrow(m_pPlay->m_pLiveScene->m_strHelpText), "T34");
    const CKorvelString* apTexts[] = {&m_pPlay->m_strHelpJump, &m_pPlay->m_strHelpWhip,
                                      &m_pPlay->m_strHelpFire, &m_pPlay->m_strHelpSticky,
                                      &m_pPlay->m_strHelpSnow, &m_pPlay->m_strHelpCluster};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Narrow(*apTexts[i]), "T" + std::to_string(50 + i));
    m_pPlay->m_iSceneIndex = 14;
    m_pPlay->LoadSinglePlayerHelp();
    EXPECT_EQ(Narrow(m_pPlay->m_pLiveScene->m_strHelpText), "T45");
}

} // namespace
