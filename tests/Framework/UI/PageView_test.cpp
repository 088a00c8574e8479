// Page views: the history and its limit, the ":back" path forms, when a switch animates,
// the login special case, page buttons, slides driven by the view, and a reload.
#include <gtest/gtest.h>

#include <vector>

#include "Framework/UI/EasingCurve.h"
#include "Framework/UI/GameXMLLoader.h"
#include "Framework/UI/PageButton.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/TextWidget.h"
#include "tests/Framework/UI/UiLoaderTest.h"

namespace page_view_test
{
// A "menu_root" holding a 200 x 100 page view "view" with pages p0..p(n-1).
class CPageView : public ::testing::Test
{
protected:
    void SetUp() override { m_App.StartResourcesOnly(); }

    ::CPageView* Build(int iLimit, int iPages = 4, bool bTransitions = true,
                       const char* pRootName = "menu_root")
    {
        m_pRoot.reset(new CWidget);
        m_pRoot->Startup(&m_App, &m_App, Rect(0, 0, 300, 200));
        m_pRoot->SetName(CKorvelString(pRootName));
        m_pView = new ::CPageView;
        m_pView->Startup(&m_App, &m_App, Rect(0, 0, 200, 100));
        m_pView->SetName(CKorvelString("view"));
        m_pView->SetHistoryLimit(iLimit);
        if (bTransitions)
        {
            m_pView->AddTransition(MakeTransition(CTransition::TYPE_IN, CTransition::DIRECTION_RIGHT));
            m_pView->AddTransition(MakeTransition(CTransition::TYPE_OUT, CTransition::DIRECTION_LEFT));
        }
        m_pRoot->AddWidget(m_pView);
        for (int i = 0; i < iPages; ++i)
            AddPage(("p" + std::to_string(i)).c_str());
        return m_pView;
    }
    static CTransition* MakeTransition(CTransition::eTransitionType eType,
                                       CTransition::eTransitionDirection eDir)
    {
        CTransition* p = new CTransition;
        p->Startup(1, eDir, eType, 1.0f);
        p->SetEasingIn(new CEasingCurveLinear);
        p->SetEasingOut(new CEasingCurveLinear);
        return p;
    }
    CWidget* AddPage(const char* pName)
    {
        CWidget* pPage = new CWidget;
        pPage->Startup(&m_App, &m_App, Rect(0, 0, 10, 10));
        pPage->SetName(CKorvelString(pName));
        m_pView->AddWidget(pPage);
        return pPage;
    }
    std::vector<int> History() const
    {
        std::vector<int> a;
        for (int i = 0; i < m_pView->GetHistory().GetCount(); ++i)
            a.push_back(m_pView->GetHistory()[i]);
        return a;
    }
    void Visit(std::initializer_list<const char*> pages)
    {
        for (const char* p : pages)
        {
            m_pView->SwitchToPage(S(p));
            m_pView->StopTransitions();
        }
    }

    CUiTestApp m_App;
    WidgetTree m_pRoot;
    ::CPageView* m_pView = nullptr;
};

TEST_F(CPageView, TheHistoryKeepsTheNewestPagesAndBackWalksIt)
{
    Build(3);
    EXPECT_EQ(m_pView->GetActivePage(), 0) << "the first page added is active";
    EXPECT_EQ(m_pView->GetWidgets()[1]->GetVisible(), 0u) << "later pages are hidden when added";
    Visit({"p1", "p2", "p3"});
    EXPECT_EQ(History(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(m_pView->SwitchToPage(S(":back")), m_pView->GetWidgets()[2]);
    EXPECT_EQ(m_pView->GetActivePage(), 2);
    EXPECT_EQ(m_pView->GetPreviousPage(), m_pView->GetWidgets()[2]) << "going back keeps the previous index";
    EXPECT_EQ(History(), (std::vector<int>{1, 2}));
}

TEST_F(CPageView, BackPathForms)
{
    struct sCASE
    {
        const char* pPath;
        int iPage;                // active page after the switch
        std::vector<int> history; // afterwards
        bool bOutRunning;         // the "out" slide was started
    };
    // Each case starts from the history 0, 1, 2 on page 2, with a limit of 3.
    const sCASE aCases[] = {
        {":back", 1, {0, 1}, true},        {":back#5", 0, {0, 0}, false}, {":back#0", 2, {0, 1, 2}, false},
        {":back#", 2, {0, 1, 2}, false},   {":back:p1", 1, {0, 1}, true}, {":back:p0", 0, {0}, true},
        {":back:p3", 3, {0, 1, 3}, false},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.pPath);
        Build(3);
        Visit({"p1", "p2"});
        CWidget* pResult = m_pView->SwitchToPage(S(c.pPath));
        EXPECT_EQ(pResult, m_pView->GetCurrentPage()) << "the result is the active page";
        EXPECT_EQ(m_pView->GetActivePage(), c.iPage);
        EXPECT_EQ(History(), c.history);
        CTransition* pOut = m_pView->GetTransition(CTransition::TYPE_OUT);
        EXPECT_EQ(pOut->GetRunning() != 0, c.bOutRunning);
    }
}

TEST_F(CPageView, ABackToANameHidesThePagesDroppedOnTheWay)
{
    Build(5);
    Visit({"p1", "p2", "p3"});
    m_pView->GetWidgets()[2]->SetVisible(1);
    m_pView->SwitchToPage(S(":back:p0"));
    EXPECT_EQ(m_pView->GetActivePage(), 0);
    EXPECT_EQ(History(), (std::vector<int>{0}));
    EXPECT_EQ(m_pView->GetWidgets()[2]->GetVisible(), 0u);
    CTransition* pOut = m_pView->GetTransition(CTransition::TYPE_OUT);
    ASSERT_TRUE(pOut->GetRunning());
    EXPECT_EQ(pOut->GetFrom(), m_pView->GetWidgets()[3]);
    EXPECT_EQ(pOut->GetTo(), m_pView->GetWidgets()[0]) << "one step, straight to the named page";
}

TEST_F(CPageView, APathThatNamesNoChildChangesNothing)
{
    Build(3);
    CWidget* pDeep = new CWidget;
    pDeep->Startup(&m_App, &m_App, Rect(0, 0, 5, 5));
    pDeep->SetName(CKorvelString("deep"));
    m_pView->GetWidgets()[1]->AddWidget(pDeep);
    Visit({"p1"});
    for (const char* pPath : {"nothing", "deep", "p1/deep"})
    {
        EXPECT_EQ(m_pView->SwitchToPage(S(pPath)), nullptr) << pPath;
        EXPECT_EQ(m_pView->GetActivePage(), 1) << pPath;
    }
    EXPECT_EQ(History(), (std::vector<int>{0, 1}));
}

TEST_F(CPageView, OnlyAForwardSwitchUnderAShownMenuRootAnimates)
{
    struct sCASE
    {
        const char* pWhat;
        const char* pRootName;
        bool bHideRoot;
        const char* pFirst; // visited without looking
        const char* pPath;
        bool bAnimated;
    };
    const sCASE aCases[] = {
        {"shown menu root", "menu_root", false, nullptr, "p2", true},
        {"to the first page", "menu_root", false, "p2", "p0", false},
        {"hidden menu root", "menu_root", true, nullptr, "p2", false},
        {"no menu root", "other", false, nullptr, "p2", false},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.pWhat);
        Build(3, 4, true, c.pRootName);
        if (c.pFirst)
            Visit({c.pFirst});
        if (c.bHideRoot)
            m_pRoot->SetVisible(0);
        m_pView->SwitchToPage(S(c.pPath));
        EXPECT_EQ(m_pView->TransitionRunning() != 0, c.bAnimated);
    }
}

TEST_F(CPageView, WithoutAHistoryLimitPagesSwitchButNothingIsRemembered)
{
    Build(0);
    EXPECT_EQ(m_pView->SwitchToPage(S("p2")), m_pView->GetWidgets()[2]);
    EXPECT_EQ(m_pView->TransitionRunning(), 0u);
    EXPECT_EQ(m_pView->GetNumberofHistoryPages(), 0);
    EXPECT_EQ(m_pView->SwitchToPage(S(":back")), nullptr) << "an ordinary path that finds nothing";
    EXPECT_EQ(m_pView->GetActivePage(), 2);
}

TEST_F(CPageView, ThePlayerNamePageEmptiesTheEmailLoginFields)
{
    Build(3, 1);
    CWidget* pEmail = AddPage("loginscreen_email");
    AddPage("loginscreen_playername");
    CWidget* pBox = new CWidget;
    pBox->Startup(&m_App, &m_App, Rect(0, 0, 50, 50));
    pEmail->AddWidget(pBox);
    std::vector<CTextWidget*> apFields;
    for (const char* pName : {"input_email", "input_password"})
    {
        CTextWidget* pText = new CTextWidget;
        pText->Startup(&m_App, &m_App, Rect(0, 0, 50, 10));
        pText->SetName(CKorvelString(pName));
        pText->SetText(S("typed"));
        pBox->AddWidget(pText);
        apFields.push_back(pText);
    }
    m_pView->SwitchToPage(S("loginscreen_email"));
    EXPECT_EQ(Text(apFields[0]->GetText()), "typed") << "other pages leave the fields";
    m_pView->SwitchToPage(S("loginscreen_playername"));
    for (CTextWidget* p : apFields)
        EXPECT_EQ(Text(p->GetText()), "") << Text(p->GetName());
}

TEST_F(CPageView, PageButtonsShowWhetherTheirPageIsVisible)
{
    Build(3);
    CPageButton* pButton = new CPageButton;
    pButton->Startup(&m_App, &m_App, Rect(250, 0, 290, 20));
    pButton->SetPageViewPath(S("<menu_root/view"));
    pButton->SetPagePath(S("p1"));
    m_pRoot->AddWidget(pButton);
    EXPECT_EQ(pButton->GetPageView(), nullptr) << "found at the first update";
    m_pRoot->DoUpdate(0.0f);
    ASSERT_EQ(pButton->GetPageView(), m_pView);
    EXPECT_EQ(m_pView->GetPageButtons().GetCount(), 1);
    EXPECT_EQ(pButton->GetToggled(), 0u);

    pButton->click();
    EXPECT_EQ(m_pView->GetActivePage(), 1);
    m_pView->StopTransitions();
    m_pRoot->DoUpdate(0.0f);
    EXPECT_EQ(pButton->GetToggled(), 1u) << "its page is visible";
    pButton->click();
    m_pRoot->DoUpdate(0.0f);
    EXPECT_EQ(pButton->GetToggled(), 1u) << "clicking again changes nothing";
    EXPECT_EQ(History(), (std::vector<int>{0, 1}));

    m_pView->SwitchToPage(S("p2"));
    m_pView->StopTransitions();
    m_pRoot->DoUpdate(0.0f);
    EXPECT_EQ(pButton->GetToggled(), 0u);
    pButton->Shutdown();
    EXPECT_EQ(m_pView->GetPageButtons().GetCount(), 0);
    m_pRoot->DeleteWidget(pButton);
}

TEST_F(CPageView, PagesAreLaidOutAfterTheSlideNotDuringIt)
{
    Build(3);
    CWidget* p0 = m_pView->GetWidgets()[0];
    CWidget* p1 = m_pView->GetWidgets()[1];
    m_pView->DoUpdate(0.0f);
    EXPECT_TRUE(HasArea(p0, Rect(0, 0, 200, 100)));
    m_pView->SwitchToPage(S("p1"));
    m_pView->DoUpdate(0.25f);
    EXPECT_TRUE(HasArea(p1, Rect(150, 0, 350, 100))) << "the slide places the page entered";
    EXPECT_TRUE(HasArea(p0, Rect(-50, 0, 150, 100))) << "and pushes the other one";
    EXPECT_FLOAT_EQ(m_pView->GetDistDifference(), 50.0f);
    int x = 100, y = 10;
    m_pView->MapToClient(x, y);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, -40);
    m_pView->MapFromClient(x, y);
    EXPECT_EQ(x, 100);

    // A switch while sliding ends the running slide first.
    m_pView->SwitchToPage(S("p2"));
    CTransition* pIn = m_pView->GetTransition(CTransition::TYPE_IN);
    EXPECT_EQ(pIn->GetFrom(), p1) << "the new slide starts from where the old one ended";
    EXPECT_EQ(p0->GetVisible(), 0u);
    m_pView->DoUpdate(2.0f);
    EXPECT_EQ(pIn->GetRunning(), 0u);
    m_pView->DoUpdate(0.0f);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_TRUE(HasArea(m_pView->GetWidgets()[i], Rect(0, 0, 200, 100))) << i;
        EXPECT_EQ(m_pView->GetWidgets()[i]->GetVisible(), i == 2 ? 1u : 0u) << i;
    }
}

TEST_F(CPageView, HistorySurvivesAReloadUnderTheSameUniqueName)
{
    CUiTestApp app;
    const std::string strAreas =
        "<menu><area width='1024' height='600' name='wide'>"
        "<element name='menu_root'><element name='view' type='page_layout' uniquename='pages'>"
        "<history max-size='5'/><transition type='in' direction='right' duration='0.5'/>"
        "<element name='a'/><element name='b'/><element name='c'/></element></element></area></menu>";
    ASSERT_TRUE(app.AddFiles({{"areas.xml", strAreas}}));
    CGameXMLLoader loader;
    ASSERT_EQ(loader.Startup(app, nullptr, nullptr), KE_OK);
    ASSERT_EQ(loader.LoadFromFile(S("areas.xml")), KE_OK);
    WidgetTree root(loader.GetAreaWidget(1024, 600, nullptr));
    ::CPageView* pView = widget_cast<::CPageView*>(Find(root, "view"));
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(pView->GetTransitionCount(), 1);
    pView->SwitchToPage(S("c"));
    pView->SwitchToPage(S("b"));
    pView->StopTransitions();

    WidgetTree reloaded(loader.GetAreaWidget(1024, 600, root.release()));
    ASSERT_NE(reloaded, nullptr);
    ::CPageView* pAgain = widget_cast<::CPageView*>(Find(reloaded, "view"));
    ASSERT_EQ(pAgain, pView) << "the view is kept under its unique name";
    ASSERT_NE(pAgain->GetCurrentPage(), nullptr);
    EXPECT_EQ(Text(pAgain->GetCurrentPage()->GetName()), "b");
    std::vector<int> aHistory;
    for (int i = 0; i < pAgain->GetHistory().GetCount(); ++i)
        aHistory.push_back(pAgain->GetHistory()[i]);
    EXPECT_EQ(aHistory, (std::vector<int>{0, 2, 1}));
    pAgain->SwitchToPage(S(":back"));
    EXPECT_EQ(Text(pAgain->GetCurrentPage()->GetName()), "c");
    loader.Shutdown();
}
} // namespace page_view_test
