// The lobby's layout binding: every action name, bare and with "app:", reaches its handler
// with the lobby as context, also in the tree rebuilt after a screen change; a layout
// without a required widget fails; a second load keeps the tree.
// KORVEL_GL_TEST
#include "VornMenuStateTest.h"

#include <set>

#include "Framework/UI/InfiniteList.h"

using namespace menu_state_test;

namespace
{

// One button per action name and prefix: "b<index>" bare, "a<index>" with "app:".
std::string ActionButtons()
{
    std::string strButtons;
    for (int i = 0; i < ::CVornMenuState::ACTION_COUNT; ++i)
    {
        const std::string strName = ::CVornMenuState::s_aActions[i].m_pName;
        for (const char* pPrefix : {"b", "a"})
        {
            const std::string strAction = (pPrefix[0] == 'a' ? "app:" : "") + strName;
            strButtons += "<element name=\"" + std::string(pPrefix) + std::to_string(i) +
                          "\" type=\"button\" display=\"0\"><events><onclick action=\"" + strAction +
                          "\"/></events></element>\n";
        }
    }
    return strButtons;
}

class CVornMenuState : public CMenuStateTest
{
protected:
    // The names whose button does not call its handler with the lobby.
    std::vector<std::string> Unbound()
    {
        std::vector<std::string> aWrong;
        for (int i = 0; i < ::CVornMenuState::ACTION_COUNT; ++i)
        {
            for (const char* pPrefix : {"b", "a"})
            {
                const std::string strButton = pPrefix + std::to_string(i);
                CButton* pButton = FindAs<CButton>(strButton.c_str());
                const ::CVornMenuState::sACTION& action = ::CVornMenuState::s_aActions[i];
                if (!pButton || pButton->GetOnClick().GetFunction() != action.m_pfnHandler ||
                    pButton->GetOnClick().GetContext() != Lobby())
                    aWrong.push_back(strButton + ":" + action.m_pName);
            }
        }
        return aWrong;
    }
};

TEST_F(CVornMenuState, TheTableHasDistinctNamesAndSharesHandlersOnlyWhereIntended)
{
    std::set<std::string> names;
    std::set<ActionFunction> handlers;
    for (int i = 0; i < ::CVornMenuState::ACTION_COUNT; ++i)
    {
        names.insert(::CVornMenuState::s_aActions[i].m_pName);
        handlers.insert(::CVornMenuState::s_aActions[i].m_pfnHandler);
    }
    EXPECT_EQ(names.size(), 133u);
    EXPECT_EQ(handlers.size(), 128u);
    EXPECT_EQ(::CVornMenuState::s_aActions[0].m_pfnHandler, &::CVornMenuState::actionLoginKestrolund);
    EXPECT_EQ(::CVornMenuState::s_aActions[132].m_pfnHandler, &::CVornMenuState::actionExitApp);
}

TEST_F(CVornMenuState, EveryNameReachesItsHandlerBareAndWithTheAppPrefixAlsoAfterAScreenChange)
{
    m_strLayout = MenuLayout(MenuPages() + VornButton() + Dialogs() + ActionButtons());
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NE(Lobby()->GetRoot(), nullptr);
    EXPECT_EQ(Unbound(), std::vector<std::string>());

    CWidget* pOld = Lobby()->GetRoot();
    EXPECT_EQ(Lobby()->LoadLayout(320, 240, nullptr), KE_OK);
    EXPECT_EQ(Lobby()->GetRoot(), pOld) << "a second load keeps the tree";

    Lobby()->OnScreenChanged(480, 320);
    ASSERT_NE(Lobby()->GetRoot(), nullptr);
    EXPECT_EQ(Unbound(), std::vector<std::string>());
}

TEST_F(CVornMenuState, ALayoutWithoutTheVornButtonEndsTheApplication)
{
    m_strLayout = MenuLayout(MenuPages() + Dialogs());
    m_pServer.reset(new CLobbyServerProcess(m_App.Dir() + "/server.jsonl"));
    ASSERT_TRUE(m_pServer->Start());
    ASSERT_TRUE(PrepareAppFolder());
    ASSERT_EQ(m_App.Start(), KE_OK);
    m_App.RunSplash();
    EXPECT_EQ(m_App.m_uExit, 1u);
}

TEST_F(CVornMenuState, TheRequiredWidgetsAreTakenAndTheListsAreTheLayoutsOwn)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(m_App.m_uExit, 0u);
    EXPECT_EQ(Lobby()->GetPageView(), FindAs<CPageView>("menu_root"));
    EXPECT_EQ(Lobby()->GetVornButton(), FindAs<CButton>("vorn_button"));
    CKorvelRect<int> rcArea;
    Lobby()->GetVornArea(rcArea);
    EXPECT_EQ(rcArea.left, 256);
    EXPECT_EQ(rcArea.right, 320);
    Lobby()->ReleaseLayout();
    EXPECT_EQ(Lobby()->GetPageView(), nullptr);
    Lobby()->GetVornArea(rcArea);
    EXPECT_EQ(rcArea.right, 0);
}

} // namespace
